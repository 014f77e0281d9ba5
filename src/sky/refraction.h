// SPDX-License-Identifier: GPL-3.0-or-later
// Where a place of the date is seen from the site: raised by the air's refraction (and the small
// diurnal aberration), with ERFA's model. The observer centres a star where it is seen, and a GOTO
// must aim there; what is shown stays the place of the date.
#pragma once

#include <cstdint>

#include "sky/site.h"
#include "sky/solar_system.h"

namespace sky {

struct Atmosphère {
    double températureC = 0;
    double pressionHPa = 0;
    double humidité = 0; // relative, 0..1
};

// The standard atmosphere at sea level, and how it changes with height (up to 11 km).
inline constexpr double TempératureMerC = 15.0;
inline constexpr double PressionMerHPa = 1013.25;
inline constexpr double GradientKParM = 0.0065;
inline constexpr double HumiditéStandard = 0.5;
// What a user may set: from a polar night to a desert, from a summit to below sea level.
inline constexpr double TempératureMinC = -60.0;
inline constexpr double TempératureMaxC = 60.0;
inline constexpr double PressionMinHPa = 300.0;
inline constexpr double PressionMaxHPa = 1100.0;

// The standard atmosphere at the site's altitude.
Atmosphère atmosphèreStandard(double altitudeM);

// The place of the date that a star of the place of the date `duJour` is seen at, from the site at
// utcMs through that atmosphere (UT1 taken as UTC, as for the sidereal time), and back.
Place placeVue(const Place& duJour, std::int64_t utcMs, const Lieu& lieu, const Atmosphère& air);
Place placeDuJourVue(const Place& vue, std::int64_t utcMs, const Lieu& lieu, const Atmosphère& air);

} // namespace sky
