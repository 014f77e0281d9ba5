// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's pointing model: stars from syncs, targets and positions through the model.
#include "indi/PointingModelProperties.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include <defaultdevice.h>
#include <indicom.h>
#include <indilogger.h>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "sky/dates.h"
#include "sky/solar_system.h"

namespace indi_driver {

namespace {

constexpr double RadiansParDegré = std::numbers::pi / 180.0;
constexpr double MinutesParDegré = 60.0;
constexpr double TourDegrés = 360.0;
constexpr double ÉtoilesMax = 1000;
constexpr double RésiduMaxMinutes = 600;

// Hour angle and declination, radians, of a place of the date at local sidereal time tsl (degrees),
// and back.
alignment::Place locale(Équatoriales p, double tsl)
{
    return alignment::localPlace({ p.ra * protocol::DegrésParHeure, p.dec }, tsl);
}

Équatoriales équatoriales(alignment::Place p, double tsl)
{
    const alignment::Equatorial e = alignment::equatorialPlace(p, tsl);
    return { e.raDeg / protocol::DegrésParHeure, e.decDeg };
}

} // namespace

void PointingModelProperties::fill(const char* device)
{
    IUFillSwitch(&ModelS[0], indi_texts::ModèleMarche, indi_texts::LibelléMarche, ISS_OFF);
    IUFillSwitch(&ModelS[1], indi_texts::ModèleArrêt, indi_texts::LibelléArrêt, ISS_ON);
    IUFillSwitchVector(&ModelSP, ModelS, 2, device, indi_texts::ModèlePointage,
        indi_texts::LibelléModèlePointage, MAIN_CONTROL_TAB, IP_RW, ISR_1OFMANY, 60, IPS_IDLE);
    IUFillNumber(
        &StarsN[0], indi_texts::NombreÉtoiles, indi_texts::LibelléNombreÉtoiles, "%.0f", 0, ÉtoilesMax, 1, 0);
    IUFillNumber(&StarsN[1], indi_texts::RésiduModèle, indi_texts::LibelléRésiduModèle, "%.1f", 0,
        RésiduMaxMinutes, 0, 0);
    IUFillNumberVector(&StarsNP, StarsN, 2, device, indi_texts::ÉtoilesModèle,
        indi_texts::LibelléÉtoilesModèle, MAIN_CONTROL_TAB, IP_RO, 60, IPS_IDLE);
    IUFillSwitch(&ClearS[0], indi_texts::EffacerModèle, indi_texts::LibelléEffacerModèle, ISS_OFF);
    IUFillSwitchVector(&ClearSP, ClearS, 1, device, indi_texts::EffacerModèle,
        indi_texts::LibelléEffacerModèle, MAIN_CONTROL_TAB, IP_RW, ISR_ATMOST1, 60, IPS_IDLE);
}

void PointingModelProperties::define(INDI::DefaultDevice& device)
{
    // A new connection may find the controller started afresh, its frame no longer the stars'.
    stars.clear();
    waiting.reset();
    StarsN[0].value = 0;
    StarsN[1].value = 0;
    device.defineProperty(&ModelSP);
    device.defineProperty(&StarsNP);
    device.defineProperty(&ClearSP);
}

void PointingModelProperties::remove(INDI::DefaultDevice& device)
{
    device.deleteProperty(ModelSP.name);
    device.deleteProperty(StarsNP.name);
    device.deleteProperty(ClearSP.name);
}

bool PointingModelProperties::newSwitch(const char* name, ISState* states, char* names[], int n)
{
    if (std::strcmp(name, ModelSP.name) == 0) {
        if (IUUpdateSwitch(&ModelSP, states, names, n) < 0)
            return false;
        ModelSP.s = IPS_OK;
        IDSetSwitch(&ModelSP, nullptr);
        return true;
    }
    if (std::strcmp(name, ClearSP.name) == 0) {
        stars.clear();
        waiting.reset();
        ClearS[0].s = ISS_OFF;
        ClearSP.s = IPS_OK;
        IDSetSwitch(&ClearSP, "%s", indi_texts::ModèleOublié);
        show();
        return true;
    }
    return false;
}

PointingModelProperties::Synchro PointingModelProperties::sync(
    Équatoriales étoile, const std::optional<sky::Lieu>& site)
{
    if (!on())
        return Synchro::Contrôleur;
    if (!site) {
        // Without a site there is no hour angle: a plain sync is what the client gets.
        ModelSP.s = IPS_ALERT;
        IDSetSwitch(&ModelSP, "%s", indi_texts::ModèleSansLieu);
        return Synchro::Contrôleur;
    }
    if (stars.size() == 0)
        return Synchro::Contrôleur;
    waiting = étoile;
    return Synchro::Étoile;
}

void PointingModelProperties::controllerSynced(Équatoriales étoile, const std::optional<sky::Lieu>& site)
{
    // The controller's frame has moved: stars taken in the old one no longer fit.
    stars.clear();
    waiting.reset();
    if (on() && site) {
        const alignment::Place p = locale(étoile, sky::tempsSidéralLocal(sky::maintenantMs(), *site));
        stars.add({ p, p });
    }
    show();
}

Équatoriales PointingModelProperties::positionRead(Équatoriales lue, const std::optional<sky::Lieu>& site)
{
    if (!site)
        return lue;
    // The sidereal time is worked out once: it runs the whole nutation series.
    const double tsl = sky::tempsSidéralLocal(sky::maintenantMs(), *site);
    if (waiting) {
        const alignment::Fit fit = stars.add({ locale(lue, tsl), locale(*waiting, tsl) });
        waiting.reset();
        if (fit.ok()) {
            ModelSP.s = IPS_OK;
            IDSetSwitch(&ModelSP, indi_texts::ModèlePoint, static_cast<int>(stars.size()),
                fit.rms / RadiansParDegré * MinutesParDegré);
        } else {
            ModelSP.s = IPS_ALERT;
            IDSetSwitch(&ModelSP, "%s", fit.message.c_str());
        }
        show();
    }
    if (!modelInUse(site))
        return lue;
    return équatoriales(stars.model().skyFromMount(locale(lue, tsl)), tsl);
}

Équatoriales PointingModelProperties::target(Équatoriales voulue, const std::optional<sky::Lieu>& site) const
{
    if (!modelInUse(site))
        return voulue;
    const double tsl = sky::tempsSidéralLocal(sky::maintenantMs(), *site);
    const Équatoriales monture = équatoriales(stars.model().mountFromSky(locale(voulue, tsl)), tsl);
    DEBUGFDEVICE(ModelSP.device, INDI::Logger::DBG_SESSION, indi_texts::ModèleCible,
        std::remainder((monture.ra - voulue.ra) * protocol::DegrésParHeure, TourDegrés) * MinutesParDegré,
        (monture.dec - voulue.dec) * MinutesParDegré);
    return monture;
}

bool PointingModelProperties::modelInUse(const std::optional<sky::Lieu>& site) const
{
    return on() && site && stars.size() >= 2;
}

void PointingModelProperties::show()
{
    StarsN[0].value = static_cast<double>(stars.size());
    StarsN[1].value = stars.fit().rms / RadiansParDegré * MinutesParDegré;
    StarsNP.s = IPS_OK;
    IDSetNumber(&StarsNP, nullptr);
}

} // namespace indi_driver
