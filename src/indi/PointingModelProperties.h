// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's pointing model: its properties (the switch that turns it on, the star count and the
// residual, the switch that forgets the stars) and the alignment built from the clients' syncs.
#pragma once

#include <optional>

#include <indiapi.h>

#include "alignment/Alignment.h"
#include "sky/site.h"

namespace INDI {
class DefaultDevice;
}

namespace indi_driver {

// Right ascension in hours, declination in degrees, as INDI and the controller's session use them.
struct Équatoriales {
    double ra = 0;
    double dec = 0;
};

class PointingModelProperties {
public:
    void fill(const char* device);
    // At each connection: the stars of an earlier one are forgotten.
    void define(INDI::DefaultDevice& device);
    void remove(INDI::DefaultDevice& device);
    // A client's switch of the model's: true when it was one (handled).
    bool newSwitch(const char* name, ISState* states, char* names[], int n);

    bool on() const { return ModelS[0].s == ISS_ON; }
    // What a Sync does: a controller sync (":i#") or a star added from the next position read.
    enum class Synchro { Contrôleur, Étoile };
    Synchro sync(Équatoriales étoile, const std::optional<sky::Lieu>& site);
    // After a controller sync: the stars start anew, on that one when the model is on.
    void controllerSynced(Équatoriales étoile, const std::optional<sky::Lieu>& site);
    // A position read: the star waiting for it is added; returns the place to show (where the
    // telescope points by the model).
    Équatoriales positionRead(Équatoriales lue, const std::optional<sky::Lieu>& site);
    // The place to send for a GOTO to `voulue`; the same place while the model has under two stars.
    Équatoriales target(Équatoriales voulue, const std::optional<sky::Lieu>& site) const;

private:
    bool modelInUse(const std::optional<sky::Lieu>& site) const;
    void show();

    ISwitch ModelS[2];
    ISwitchVectorProperty ModelSP;
    INumber StarsN[2];
    INumberVectorProperty StarsNP;
    ISwitch ClearS[1];
    ISwitchVectorProperty ClearSP;
    alignment::Alignment stars;
    // The star of a Sync, waiting for the position read that goes with it.
    std::optional<Équatoriales> waiting;
};

} // namespace indi_driver
