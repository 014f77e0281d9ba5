// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's pointing model: its properties (the switch that turns it on, the star count and the
// residual, the switch that forgets the stars) and the alignment built from the clients' syncs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <indiapi.h>

#include "alignment/Alignment.h"
#include "sky/refraction.h"
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
    // A client's numbers for the air: true when they were the model's (handled).
    bool newNumber(const char* name, double values[], char* names[], int n);

    bool on() const { return ModelS[0].s == ISS_ON; }
    // What a Sync does: a controller sync (":i#") or a star added from the next position read.
    enum class Synchro { Contrôleur, Étoile };
    Synchro sync(Équatoriales étoile, const std::optional<sky::Lieu>& site);
    // After a controller sync: the stars start anew, on that one when the model is on.
    void controllerSynced(Équatoriales étoile, const std::optional<sky::Lieu>& site);
    // A program's command gone on the line through the shared port. Its initialisation (":i#" after a
    // declination target, or without a slew since its last one) moves the controller's frame: the stars,
    // taken in the old one, are forgotten. The ":r" + ":i#" that closes a program's GOTO does not.
    void programCommand(const std::string& command);
    // A position read: the star waiting for it is added; returns the place to show (where the
    // telescope points by the model).
    Équatoriales positionRead(Équatoriales lue, const std::optional<sky::Lieu>& site);
    // Why the star of the last Sync was refused, once; nothing when it was taken.
    std::optional<std::string> takeRefusal();
    // The place to send for a GOTO to `voulue`; the same place while the model has under two stars.
    Équatoriales target(Équatoriales voulue, const std::optional<sky::Lieu>& site);

private:
    bool modelInUse(const std::optional<sky::Lieu>& site) const;
    void show();
    // The site's air: the client's, else the standard atmosphere at the site's altitude; where it comes
    // from is said when it changes.
    sky::Atmosphère air(const sky::Lieu& site);
    // Where a place of the date is seen from the site, and back, at utcMs.
    Équatoriales seen(Équatoriales p, std::int64_t utcMs, const sky::Lieu& site);
    Équatoriales ofTheDate(Équatoriales seenPlace, std::int64_t utcMs, const sky::Lieu& site);

    ISwitch ModelS[2];
    ISwitchVectorProperty ModelSP;
    INumber StarsN[2];
    INumberVectorProperty StarsNP;
    ISwitch ClearS[1];
    ISwitchVectorProperty ClearSP;
    INumber AirN[2];
    INumberVectorProperty AirNP;
    bool airGiven = false;
    std::string airSaid; // the last line said about the air
    std::optional<std::string> refusal;
    // The programs' commands since their last slew and initialisation.
    bool programDecTarget = false;
    bool programSlewed = false;
    alignment::Alignment stars;
    // The star of a Sync, waiting for the position read that goes with it.
    std::optional<Équatoriales> waiting;
};

} // namespace indi_driver
