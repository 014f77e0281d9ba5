// SPDX-License-Identifier: GPL-3.0-or-later
// The pointing model's figures: GOTO errors on a simulated mount with polar, cone, non-perpendicularity
// and index errors, after alignment on 1, 2, 3 and 6 stars, as an observer would measure them in the
// eyepiece (the simulator's true place of the telescope). Pure computation: no window, no line.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "alignment/PointingModel.h"
#include "common.h"
#include "model_yardstick.h"
#include "modes.h"
#include "sim/MountErrors.h"

namespace bench {

namespace {

using alignment::AlignmentPoint;
using alignment::Place;

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kArcmin = kDeg / 60.0;
constexpr double kArcsec = kArcmin / 60.0;
constexpr double kLatitudeDeg = 45.0;
constexpr double kMinAltitudeDeg = 20.0;
constexpr double kEyepieceRadiusArcmin = 30.0;
constexpr double kCentringErrorArcsec = 30.0;
constexpr std::uint32_t kTargetSeed = 21;

// 0.7 degrees across and along the meridian: the polar axis 1 degree off the pole.
const sim::MountErrors kMount { .ihArcmin = 30,
    .idArcmin = 30,
    .chArcmin = 10,
    .npArcmin = 5,
    .maArcmin = 42,
    .meArcmin = 42,
    .latitudeDeg = kLatitudeDeg };

Place fromHorizon(double azimuthDeg, double altitudeDeg)
{
    // Azimuth from the north through the east.
    const double phi = kLatitudeDeg * kDeg, az = azimuthDeg * kDeg, alt = altitudeDeg * kDeg;
    const double dec
        = std::asin(std::sin(phi) * std::sin(alt) + std::cos(phi) * std::cos(alt) * std::cos(az));
    const double ha = std::atan2(-std::sin(az) * std::cos(alt),
        std::cos(phi) * std::sin(alt) - std::sin(phi) * std::cos(alt) * std::cos(az));
    return { ha, dec };
}

Place truePlace(Place mount)
{
    const sim::LocalPlace sky = sim::truePlace(kMount, { mount.ha, mount.dec });
    return { sky.ha, sky.dec };
}

// The mount's reading once the star is centred: the simulator's true pointing, which the model's terms
// describe exactly, inverted.
Place readingWhenCentredOn(Place sky)
{
    static const alignment::PointingModel mount({ .ih = kMount.ihArcmin * kArcmin,
        .id = kMount.idArcmin * kArcmin,
        .ch = kMount.chArcmin * kArcmin,
        .np = kMount.npArcmin * kArcmin,
        .ma = kMount.maArcmin * kArcmin,
        .me = kMount.meArcmin * kArcmin });
    return mount.mountFromSky(sky);
}

// Places spread evenly over the sky above kMinAltitudeDeg, at random.
std::vector<Place> targets(int count)
{
    std::mt19937 random(kTargetSeed);
    std::uniform_real_distribution<double> azimuth(0, 360);
    std::uniform_real_distribution<double> sinAltitude(std::sin(kMinAltitudeDeg * kDeg), 1);
    std::vector<Place> places;
    for (int i = 0; i < count; ++i)
        places.push_back(fromHorizon(azimuth(random), std::asin(sinAltitude(random)) / kDeg));
    return places;
}

// Alignment stars (hour angle, declination in degrees), all above 20 degrees: spread in hour angle, and in
// declination too from three stars on, as the collimation and the axes' non-perpendicularity need.
std::vector<Place> alignmentStars(int count)
{
    static const std::vector<std::vector<std::pair<double, double>>> sets {
        { { 20, 30 } },
        { { -50, 20 }, { 40, 50 } },
        { { -60, 10 }, { 15, 45 }, { 70, 70 } },
        { { -75, 20 }, { -30, 60 }, { 0, 0 }, { 30, 30 }, { 80, 50 }, { 150, 75 } },
    };
    const auto& set
        = *std::find_if(sets.begin(), sets.end(), [&](const auto& s) { return int(s.size()) == count; });
    std::vector<Place> places;
    for (auto [ha, dec] : set)
        places.push_back({ ha * kDeg, dec * kDeg });
    return places;
}

// The alignment points, each star centred with `centringError` in a random direction.
std::vector<AlignmentPoint> centre(
    const std::vector<Place>& stars, double centringError, std::mt19937& random)
{
    std::uniform_real_distribution<double> direction(0, 2 * std::numbers::pi);
    std::vector<AlignmentPoint> points;
    for (const Place& star : stars) {
        const double angle = direction(random);
        const Place off { star.ha + centringError * std::cos(angle) / std::cos(star.dec),
            star.dec + centringError * std::sin(angle) };
        points.push_back({ readingWhenCentredOn(off), star });
    }
    return points;
}

void report(const std::string& who, int stars, bool noisy, const std::vector<double>& errors, int draws)
{
    std::vector<double> squares;
    double inside = 0;
    for (double e : errors) {
        squares.push_back(e * e);
        inside += e <= kEyepieceRadiusArcmin;
    }
    double sum = 0;
    for (double s : squares)
        sum += s;
    const double rms = std::sqrt(sum / static_cast<double>(errors.size()));
    const double p90 = percentile(errors, 90);
    const double worst = *std::max_element(errors.begin(), errors.end());
    const double share = 100.0 * inside / static_cast<double>(errors.size());
    std::string figure = who + ", " + std::to_string(stars) + (stars == 1 ? " star" : " stars");
    if (noisy)
        figure += ", 30\" centring (" + std::to_string(draws) + (draws == 1 ? " draw)" : " draws)");
    const std::string value = fixed(rms, 2) + "' RMS, p90 " + fixed(p90, 2) + "', worst " + fixed(worst, 2)
        + "', " + fixed(share, 0) + " % <= 30'";
    std::string target = "(report)";
    std::string met;
    if (who == "Model" && stars == 3) {
        target = "<= 2' RMS, >= 99 %";
        met = verdict(rms <= 2 && share >= 99);
    } else if (who == "Model" && stars == 6) {
        target = "<= 1' RMS";
        met = verdict(rms <= 1);
    }
    row(figure, value, target, met);
}

} // namespace

int runModel(const Sizes& sizes)
{
    const int targetCount = sizes.smoke ? 5 : 50;
    const int draws = sizes.smoke ? 1 : 20;
    const std::vector<Place> goals = targets(targetCount);
    const bool yardstick = yardstickAvailable();
    for (bool noisy : { false, true }) {
        for (int stars : { 1, 2, 3, 6 }) {
            std::mt19937 random(stars * 1000 + 7);
            std::vector<double> ours, theirs;
            bool theirsFailed = false;
            for (int draw = 0; draw < (noisy ? draws : 1); ++draw) {
                const auto points
                    = centre(alignmentStars(stars), noisy ? kCentringErrorArcsec * kArcsec : 0.0, random);
                const alignment::Fit fit = alignment::fitModel(points);
                if (!fit.ok())
                    fail("the model refused " + std::to_string(stars) + " well-spread stars: " + fit.message);
                for (const Place& goal : goals) {
                    ours.push_back(
                        alignment::separation(truePlace(fit.model.mountFromSky(goal)), goal) / kArcmin);
                }
                if (yardstick) {
                    std::vector<Place> theirCommands;
                    if (!yardstickCommands(points, goals, theirCommands)) {
                        theirsFailed = true;
                        continue;
                    }
                    for (std::size_t i = 0; i < goals.size(); ++i)
                        theirs.push_back(
                            alignment::separation(truePlace(theirCommands[i]), goals[i]) / kArcmin);
                }
            }
            report("Model", stars, noisy, ours, draws);
            if (yardstick && !theirsFailed)
                report("libindi built-in math", stars, noisy, theirs, draws);
            else if (yardstick)
                row("libindi built-in math, " + std::to_string(stars) + " stars", "failed", "(report)");
        }
    }
    if (!yardstick)
        row("libindi built-in math", yardstickUnavailableReason(), "(report)");
    return 0;
}

} // namespace bench
