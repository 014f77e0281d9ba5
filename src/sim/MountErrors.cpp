// SPDX-License-Identifier: GPL-3.0-or-later
// The true pointing of the simulated mount, by plain rotations of unit vectors.
#include "sim/MountErrors.h"

#include <algorithm>
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
// The standard atmosphere: sea-level temperature and pressure, lapse rate, pressure exponent; the humidity
// and wavelength the refraction constants are taken for.
constexpr double kSeaLevelC = 15.0;
constexpr double kSeaLevelHPa = 1013.25;
constexpr double kLapseKPerM = 0.0065;
constexpr double kKelvin = 273.15;
constexpr double kPressureExponent = 5.25588;
constexpr double kHumidity = 0.5;
constexpr double kWavelengthMicrons = 0.55;
// The refraction formula holds down to a few degrees of altitude; lower, it is held at this zenith distance.
constexpr double kMaxZenithDistance = 87.0 * kDegRad;

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

LocalPlace seenPlace(const MountErrors& errors, LocalPlace direction)
{
    if (!errors.refraction)
        return direction;
    const double standardC = kSeaLevelC - kLapseKPerM * errors.altitudeM;
    const double standardHPa = kSeaLevelHPa
        * std::pow(1.0 - kLapseKPerM * errors.altitudeM / (kSeaLevelC + kKelvin), kPressureExponent);
    const double tc = std::isfinite(errors.temperatureC) ? errors.temperatureC : standardC;
    const double phpa = std::isfinite(errors.pressureHPa) ? errors.pressureHPa : standardHPa;
    double refa = 0, refb = 0;
    eraRefco(phpa, tc, kHumidity, kWavelengthMicrons, &refa, &refb);
    const double phi = errors.latitudeDeg * kDegRad;
    double az = 0, el = 0;
    eraHd2ae(direction.ha, direction.dec, phi, &az, &el);
    // The star is lower than where it is seen by A tan z + B tan^3 z, z the zenith distance seen.
    const double t = std::tan(std::min(std::numbers::pi / 2 - el, kMaxZenithDistance));
    double ha = 0, dec = 0;
    eraAe2hd(az, el - (refa * t + refb * t * t * t), phi, &ha, &dec);
    return { ha, dec };
}

MountErrors errorsFromEnvironment()
{
    const char* text = std::getenv(kErrorsVariable);
    if (!text)
        return {};
    double v[10] = {};
    v[8] = 1;
    const int read = std::sscanf(text, "%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf", &v[0], &v[1], &v[2], &v[3],
        &v[4], &v[5], &v[6], &v[7], &v[8], &v[9]);
    for (double& x : v)
        x = std::isfinite(x) ? x : 0.0;
    MountErrors errors { v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7] };
    // With the site, the sky has its air unless told otherwise.
    constexpr int kWithSite = 8;
    errors.refraction = read >= kWithSite && v[8] != 0;
    errors.altitudeM = v[9];
    return errors;
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
