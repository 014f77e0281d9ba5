// SPDX-License-Identifier: GPL-3.0-or-later
// The site and the Sun: a GOTO near the Sun refused, one below the horizon said.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <cmath>
#include <cstring>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "protocol/wire.h"
#include "sky/dates.h"
#include "sky/solar_system.h"

namespace indi_driver {

std::optional<int> SelvaneTelescope::sunTooClose(double raDegrees, double dec) const
{
    if (SunSafetyS[0].s != ISS_ON)
        return std::nullopt;
    const sky::Place target { raDegrees, dec };
    const double fromSun
        = sky::séparation(target, sky::placeApparente(sky::Corps::Soleil, sky::maintenantMs(), site));
    if (fromSun >= sky::DistanceSoleilMin)
        return std::nullopt;
    return sky::degrésEntiers(fromSun);
}

bool SelvaneTelescope::refusedBySky(double ra, double dec)
{
    if (const auto fromSun = sunTooClose(ra * protocol::DegrésParHeure, dec)) {
        char message[MAXRBUF];
        std::snprintf(message, sizeof message, indi_texts::GotoPrèsDuSoleil, *fromSun);
        refuse(EqNP, message);
        return true;
    }
    if (site) {
        const sky::Place target { ra * protocol::DegrésParHeure, dec };
        const double height = sky::hauteur(target, sky::maintenantMs(), *site);
        if (height < 0)
            LOGF_WARN(indi_texts::CibleSousHorizon, sky::degrésEntiers(height));
    }
    return false;
}

bool SelvaneTelescope::updateLocation(double latitude, double longitude, double elevation)
{
    // INDI counts longitudes 0..360 eastward; the site −180..180.
    const sky::Lieu lieu { latitude,
        longitude > sky::LongitudeMax ? longitude - 2 * sky::LongitudeMax : longitude, elevation };
    if (longitude < 0 || !sky::lieuValide(lieu))
        return false;
    site = lieu;
    return true;
}

void SelvaneTelescope::newLocation(double values[], char* names[], int n)
{
    double wanted[3] = { NAN, NAN, LocationN[LOCATION_ELEVATION].value };
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            if (std::strcmp(names[i], LocationN[k].name) == 0)
                wanted[k] = values[i];
    if (!updateLocation(wanted[LOCATION_LATITUDE], wanted[LOCATION_LONGITUDE], wanted[LOCATION_ELEVATION])) {
        LOGF_WARN("%s", indi_texts::LieuRefusé.texte());
        LocationNP.s = IPS_ALERT;
        IDSetNumber(&LocationNP, "%s", indi_texts::LieuRefusé.texte());
        return;
    }
    for (int k = 0; k < 3; ++k)
        LocationN[k].value = wanted[k];
    LocationNP.s = IPS_OK;
    IDSetNumber(&LocationNP, indi_texts::LieuPris, site->latitude, site->longitude, site->altitude);
}

// Reached only through the base class, which newTarget keeps from calling them.

} // namespace indi_driver
