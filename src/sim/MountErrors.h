// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount's mechanical errors, and where its telescope truly points: an observer's eyepiece,
// for measuring how far a GOTO lands from its target.
//
// The six terms are Wallace's (see alignment/PointingModel.h for their first-order meaning), here in arc
// minutes, and applied as exact rotations of the axes and the tube, never through their linear formulas.
#pragma once

#include <chrono>
#include <limits>

namespace sim {

struct MountErrors {
    double ihArcmin = 0; // index error of the right ascension axis
    double idArcmin = 0; // index error of the declination axis
    double chArcmin = 0; // collimation: the tube not square to the declination axis
    double npArcmin = 0; // the two axes not perpendicular
    double maArcmin = 0; // polar axis off the pole across the meridian
    double meArcmin = 0; // polar axis off the pole along the meridian (positive: too high)
    double latitudeDeg = 0; // the site, for the altitude of the true place
    double longitudeDeg = 0; // east positive, for the sidereal time
    // The air of the site: a star is seen higher than its place of the date (ERFA's refraction constants).
    // Temperature and pressure not given (NaN) are the standard atmosphere's at the site's altitude.
    bool refraction = false;
    double altitudeM = 0;
    double temperatureC = std::numeric_limits<double>::quiet_NaN();
    double pressureHPa = std::numeric_limits<double>::quiet_NaN();

    bool any() const { return ihArcmin || idArcmin || chArcmin || npArcmin || maArcmin || meArcmin; }
};

// Hour angle (positive westwards) and declination, radians.
struct LocalPlace {
    double ha = 0;
    double dec = 0;
};

// The test hook of the driver's in-process simulator (its SIMULATION): the errors as
// "IH,ID,CH,NP,MA,ME[,LAT,LON[,REFRACTION[,ALT]]]", arc minutes, then the site in degrees (east positive),
// then 0 to see the sky without air (refraction is on with the site) and the site's altitude in metres.
inline constexpr const char* kErrorsVariable = "SELVANE_SIM_ERRORS";
// The errors that variable gives; none when it is unset. A missing or unreadable number is zero.
MountErrors errorsFromEnvironment();

// Where the telescope points on the sky when the axes read `mount`.
LocalPlace truePlace(const MountErrors& errors, LocalPlace mount);

// The place of the date of the star seen in the direction `direction` (the tube's): lower than the direction
// by the refraction when the errors have it on, else the direction itself.
LocalPlace seenPlace(const MountErrors& errors, LocalPlace direction);

// Local apparent sidereal time at the site's longitude, radians in [0, 2 pi); UTC taken for UT1.
double localSiderealTime(double longitudeDeg, std::chrono::system_clock::time_point when);

// Altitude of a place seen from latitude, radians.
double altitude(LocalPlace place, double latitudeDeg);

} // namespace sim
