// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount's mechanical errors, and where its telescope truly points: an observer's eyepiece,
// for measuring how far a GOTO lands from its target.
//
// The six terms are Wallace's (see alignment/PointingModel.h for their first-order meaning), here in arc
// minutes, and applied as exact rotations of the axes and the tube, never through their linear formulas.
#pragma once

#include <chrono>

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

    bool any() const { return ihArcmin || idArcmin || chArcmin || npArcmin || maArcmin || meArcmin; }
};

// Hour angle (positive westwards) and declination, radians.
struct LocalPlace {
    double ha = 0;
    double dec = 0;
};

// The test hook of the driver's in-process simulator (its SIMULATION): the errors as
// "IH,ID,CH,NP,MA,ME[,LAT,LON]", arc minutes then the site in degrees (east positive).
inline constexpr const char* kErrorsVariable = "SELVANE_SIM_ERRORS";
// The errors that variable gives; none when it is unset. A missing or unreadable number is zero.
MountErrors errorsFromEnvironment();

// Where the telescope points on the sky when the axes read `mount`.
LocalPlace truePlace(const MountErrors& errors, LocalPlace mount);

// Local apparent sidereal time at the site's longitude, radians in [0, 2 pi); UTC taken for UT1.
double localSiderealTime(double longitudeDeg, std::chrono::system_clock::time_point when);

// Altitude of a place seen from latitude, radians.
double altitude(LocalPlace place, double latitudeDeg);

} // namespace sim
