// SPDX-License-Identifier: GPL-3.0-or-later
// The observed place with ERFA: CIRS to observed (refraction by eraRefco's model) and back.
#include "sky/refraction.h"

#include <cmath>
#include <erfa.h>
#include <erfam.h>

#include "sky/dates.h"

namespace sky {

namespace {

constexpr double KelvinZéro = 273.15;
// The exponent of the standard atmosphere's pressure: g M / (R L).
constexpr double ExposantPression = 5.25588;
// Light near the middle of the visible, micrometres: what the eye centres.
constexpr double LongueurOndeMicrons = 0.55;

struct Repère {
    eraASTROM astrom {};
    double eo = 0; // equation of the origins: CIRS right ascension less that of the equinox
};

Repère repère(std::int64_t utcMs, const Lieu& lieu, const Atmosphère& air)
{
    const Dates d = dates(utcMs);
    Repère r;
    eraApio13(d.utc1, d.utc2, 0.0, lieu.longitude * ERFA_DD2R, lieu.latitude * ERFA_DD2R, lieu.altitude, 0.0,
        0.0, air.pressionHPa, air.températureC, air.humidité, LongueurOndeMicrons, &r.astrom);
    r.eo = eraEo06a(d.tt1, d.tt2);
    return r;
}

} // namespace

Atmosphère atmosphèreStandard(double altitudeM)
{
    const double kelvinMer = TempératureMerC + KelvinZéro;
    const double rapport = 1.0 - GradientKParM * altitudeM / kelvinMer;
    return { TempératureMerC - GradientKParM * altitudeM,
        PressionMerHPa * std::pow(rapport, ExposantPression), HumiditéStandard };
}

Place placeVue(const Place& duJour, std::int64_t utcMs, const Lieu& lieu, const Atmosphère& air)
{
    Repère r = repère(utcMs, lieu, air);
    double az = 0, zd = 0, ha = 0, dec = 0, ra = 0;
    eraAtioq(duJour.ad * ERFA_DD2R + r.eo, duJour.dec * ERFA_DD2R, &r.astrom, &az, &zd, &ha, &dec, &ra);
    return { eraAnp(ra - r.eo) * ERFA_DR2D, dec * ERFA_DR2D };
}

Place placeDuJourVue(const Place& vue, std::int64_t utcMs, const Lieu& lieu, const Atmosphère& air)
{
    Repère r = repère(utcMs, lieu, air);
    double ra = 0, dec = 0;
    eraAtoiq("R", vue.ad * ERFA_DD2R + r.eo, vue.dec * ERFA_DD2R, &r.astrom, &ra, &dec);
    return { eraAnp(ra - r.eo) * ERFA_DR2D, dec * ERFA_DR2D };
}

} // namespace sky
