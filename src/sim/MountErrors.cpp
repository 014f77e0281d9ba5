// SPDX-License-Identifier: GPL-3.0-or-later
// The true pointing of the simulated mount, by plain rotations of unit vectors.
#include "sim/MountErrors.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <erfa.h>
#include <numbers>

namespace sim {

namespace {

using Vec = std::array<double, 3>;

constexpr double kArcminRad = std::numbers::pi / (180.0 * 60.0);
constexpr double kDegRad = std::numbers::pi / 180.0;
constexpr double kUnixEpochJd = 2440587.5;
constexpr double kSecondsPerDay = 86400.0;
// TT - UTC: 32.184 s plus the 37 leap seconds in force since 2017.
constexpr double kTtMinusUtcSeconds = 69.184;

// Rotation by `angle` about the x axis (y towards z), then the y axis (z towards x), then the z axis (x
// towards y).
Vec aboutX(const Vec& v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return { v[0], c * v[1] - s * v[2], s * v[1] + c * v[2] };
}

Vec aboutY(const Vec& v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return { c * v[0] + s * v[2], v[1], -s * v[0] + c * v[2] };
}

Vec aboutZ(const Vec& v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return { c * v[0] - s * v[1], s * v[0] + c * v[1], v[2] };
}

} // namespace

LocalPlace truePlace(const MountErrors& errors, LocalPlace mount)
{
    // The axes' real angles are the readings plus their index errors.
    const double h = mount.ha + errors.ihArcmin * kArcminRad;
    const double d = mount.dec + errors.idArcmin * kArcminRad;
    // The tube, in the frame that turns with the polar axis (z on the polar axis, x on the meridian at h = 0,
    // y eastwards): square to the declination axis, that axis tilted by NP towards the pole, then the tube
    // tilted by the cone angle (-CH) towards the declination axis.
    Vec tube = aboutX(aboutY({ 1, 0, 0 }, -d), errors.npArcmin * kArcminRad);
    const double cone = -errors.chArcmin * kArcminRad;
    const Vec axis = aboutX({ 0, 1, 0 }, errors.npArcmin * kArcminRad);
    for (int i = 0; i < 3; ++i)
        tube[i] = std::cos(cone) * tube[i] + std::sin(cone) * axis[i];
    // Hour angle westwards, then the polar axis carried onto its real place: MA then ME.
    const Vec sky
        = aboutY(aboutX(aboutZ(tube, -h), errors.maArcmin * kArcminRad), errors.meArcmin * kArcminRad);
    return { std::atan2(-sky[1], sky[0]), std::atan2(sky[2], std::hypot(sky[0], sky[1])) };
}

MountErrors errorsFromEnvironment()
{
    const char* text = std::getenv(kErrorsVariable);
    if (!text)
        return {};
    double v[8] = {};
    std::sscanf(
        text, "%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
    for (double& x : v)
        x = std::isfinite(x) ? x : 0.0;
    return { v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7] };
}

double localSiderealTime(double longitudeDeg, std::chrono::system_clock::time_point when)
{
    const double unixSeconds = std::chrono::duration<double>(when.time_since_epoch()).count();
    const double days = unixSeconds / kSecondsPerDay;
    const double tt = days + kTtMinusUtcSeconds / kSecondsPerDay;
    const double gst = eraGst06a(kUnixEpochJd, days, kUnixEpochJd, tt);
    return eraAnp(gst + longitudeDeg * kDegRad);
}

double altitude(LocalPlace place, double latitudeDeg)
{
    const double phi = latitudeDeg * kDegRad;
    return std::asin(
        std::sin(phi) * std::sin(place.dec) + std::cos(phi) * std::cos(place.dec) * std::cos(place.ha));
}

} // namespace sim
