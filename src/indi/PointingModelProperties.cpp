// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's pointing model: stars from syncs, targets and positions through the model.
#include "indi/PointingModelProperties.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include <defaultdevice.h>
#include <indicom.h>
#include <indilogger.h>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "protocol/wire.h"
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
    const sky::Atmosphère standard = sky::atmosphèreStandard(0);
    IUFillNumber(&AirN[0], indi_texts::TempératureAir, indi_texts::LibelléTempératureAir, "%.1f",
        sky::TempératureMinC, sky::TempératureMaxC, 0, standard.températureC);
    IUFillNumber(&AirN[1], indi_texts::PressionAir, indi_texts::LibelléPressionAir, "%.0f",
        sky::PressionMinHPa, sky::PressionMaxHPa, 0, standard.pressionHPa);
    IUFillNumberVector(&AirNP, AirN, 2, device, indi_texts::AirModèle, indi_texts::LibelléAirModèle, SITE_TAB,
        IP_RW, 60, IPS_IDLE);
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
    device.defineProperty(&AirNP);
}

void PointingModelProperties::remove(INDI::DefaultDevice& device)
{
    device.deleteProperty(ModelSP.name);
    device.deleteProperty(StarsNP.name);
    device.deleteProperty(ClearSP.name);
    device.deleteProperty(AirNP.name);
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
        IDSetSwitch(&ClearSP, "%s", indi_texts::ModèleOublié.texte());
        show();
        return true;
    }
    return false;
}

bool PointingModelProperties::newNumber(const char* name, double values[], char* names[], int n)
{
    if (std::strcmp(name, AirNP.name) != 0)
        return false;
    for (int i = 0; i < n; ++i) {
        const INumber* element = IUFindNumber(&AirNP, names[i]);
        if (!element || !std::isfinite(values[i]) || values[i] < element->min || values[i] > element->max) {
            AirNP.s = IPS_ALERT;
            IDSetNumber(&AirNP, "%s", indi_texts::AirRefusé.texte());
            return true;
        }
    }
    IUUpdateNumber(&AirNP, values, names, n);
    airGiven = true;
    AirNP.s = IPS_OK;
    IDSetNumber(&AirNP, nullptr);
    return true;
}

sky::Atmosphère PointingModelProperties::air(const sky::Lieu& site)
{
    sky::Atmosphère air = sky::atmosphèreStandard(site.altitude);
    char said[MAXRBUF];
    if (airGiven) {
        air.températureC = AirN[0].value;
        air.pressionHPa = AirN[1].value;
        std::snprintf(said, sizeof said, indi_texts::RéfractionDonnée, air.températureC, air.pressionHPa);
    } else {
        std::snprintf(said, sizeof said, indi_texts::RéfractionStandard, air.températureC, air.pressionHPa,
            site.altitude);
    }
    if (airSaid != said) {
        airSaid = said;
        DEBUGFDEVICE(ModelSP.device, INDI::Logger::DBG_SESSION, "%s", said);
        // The property shows the air in use.
        if (!airGiven) {
            AirN[0].value = air.températureC;
            AirN[1].value = air.pressionHPa;
            IDSetNumber(&AirNP, nullptr);
        }
    }
    return air;
}

Équatoriales PointingModelProperties::seen(Équatoriales p, std::int64_t utcMs, const sky::Lieu& site)
{
    const sky::Place vue = sky::placeVue({ p.ra * protocol::DegrésParHeure, p.dec }, utcMs, site, air(site));
    return { vue.ad / protocol::DegrésParHeure, vue.dec };
}

Équatoriales PointingModelProperties::ofTheDate(
    Équatoriales seenPlace, std::int64_t utcMs, const sky::Lieu& site)
{
    const sky::Place duJour = sky::placeDuJourVue(
        { seenPlace.ra * protocol::DegrésParHeure, seenPlace.dec }, utcMs, site, air(site));
    return { duJour.ad / protocol::DegrésParHeure, duJour.dec };
}

void PointingModelProperties::programCommand(const std::string& command)
{
    if (command.rfind(protocol::CibleDEC, 0) == 0) {
        programDecTarget = true;
        return;
    }
    if (command == protocol::Pointer) {
        programSlewed = true;
        programDecTarget = false;
        return;
    }
    if (command != protocol::Initialiser)
        return;
    const bool initialisation = programDecTarget || !programSlewed;
    programDecTarget = false;
    programSlewed = false;
    if (!initialisation)
        return;
    waiting.reset();
    if (stars.size() == 0)
        return;
    stars.clear();
    DEBUGFDEVICE(ModelSP.device, INDI::Logger::DBG_SESSION, "%s", indi_texts::ModèleRecommencé.texte());
    show();
}

std::optional<std::string> PointingModelProperties::takeRefusal()
{
    auto why = std::move(refusal);
    refusal.reset();
    return why;
}

PointingModelProperties::Synchro PointingModelProperties::sync(
    Équatoriales étoile, const std::optional<sky::Lieu>& site)
{
    if (!on())
        return Synchro::Contrôleur;
    if (!site) {
        // Without a site there is no hour angle: a plain sync is what the client gets.
        if (airSaid != indi_texts::RéfractionSansLieu.texte()) {
            airSaid = indi_texts::RéfractionSansLieu;
            DEBUGFDEVICE(
                ModelSP.device, INDI::Logger::DBG_SESSION, "%s", indi_texts::RéfractionSansLieu.texte());
        }
        ModelSP.s = IPS_ALERT;
        IDSetSwitch(&ModelSP, "%s", indi_texts::ModèleSansLieu.texte());
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
        // The controller reads the star's place of the date where the star is seen.
        const std::int64_t now = sky::maintenantMs();
        const double tsl = sky::tempsSidéralLocal(now, *site);
        stars.add({ locale(étoile, tsl), locale(seen(étoile, now, *site), tsl) });
    }
    show();
}

Équatoriales PointingModelProperties::positionRead(Équatoriales lue, const std::optional<sky::Lieu>& site)
{
    if (!site)
        return lue;
    // The sidereal time is worked out once: it runs the whole nutation series.
    const std::int64_t now = sky::maintenantMs();
    const double tsl = sky::tempsSidéralLocal(now, *site);
    if (waiting) {
        // The star as the observer centred it: where it is seen.
        const alignment::Fit fit = stars.add({ locale(lue, tsl), locale(seen(*waiting, now, *site), tsl) });
        waiting.reset();
        if (fit.ok()) {
            ModelSP.s = IPS_OK;
            IDSetSwitch(&ModelSP, indi_texts::ModèlePoint, static_cast<int>(stars.size()),
                fit.rms / RadiansParDegré * MinutesParDegré);
            DEBUGFDEVICE(ModelSP.device, INDI::Logger::DBG_SESSION, indi_texts::ModèleTermes,
                alignment::termNames(fit.termSet), fit.expectedWorst / RadiansParDegré * MinutesParDegré);
        } else {
            ModelSP.s = IPS_ALERT;
            IDSetSwitch(&ModelSP, "%s", fit.message.c_str());
            refusal = fit.message;
        }
        show();
    }
    if (!modelInUse(site))
        return lue;
    // What is shown is the place of the date of the star seen where the telescope points.
    return ofTheDate(équatoriales(stars.model().skyFromMount(locale(lue, tsl)), tsl), now, *site);
}

Équatoriales PointingModelProperties::target(Équatoriales voulue, const std::optional<sky::Lieu>& site)
{
    if (!modelInUse(site))
        return voulue;
    // The telescope must point where the target is seen.
    const std::int64_t now = sky::maintenantMs();
    const double tsl = sky::tempsSidéralLocal(now, *site);
    const Équatoriales monture
        = équatoriales(stars.model().mountFromSky(locale(seen(voulue, now, *site), tsl)), tsl);
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
