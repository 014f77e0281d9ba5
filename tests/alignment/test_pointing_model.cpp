// SPDX-License-Identifier: GPL-3.0-or-later
// The pointing model: the terms found again from stars centred on a mount with known errors, the inverse
// mapping, residuals, the sets that cannot be fitted, and GOTOs on the simulated mount.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "MountGeometry.h"
#include "alignment/Alignment.h"
#include "sim/MountErrors.h"

using namespace alignment;
using testsupport::kArcmin;
using testsupport::kDeg;

namespace {

// A mount 1 degree off the pole with cone, non-perpendicular axes and index offsets, as the simulator
// has it (arc minutes) and as the pointing model's terms.
const sim::MountErrors kMountErrors {
    .ihArcmin = 30, .idArcmin = -30, .chArcmin = 10, .npArcmin = 5, .maArcmin = 42, .meArcmin = 42
};
const Terms kMount = testsupport::termsOf(kMountErrors);

AlignmentPoint centred(const PointingModel& mount, double haDeg, double decDeg)
{
    const Place star { haDeg * kDeg, decDeg * kDeg };
    return { mount.mountFromSky(star), star };
}

std::vector<AlignmentPoint> stars(
    const PointingModel& mount, std::initializer_list<std::pair<double, double>> places)
{
    std::vector<AlignmentPoint> points;
    for (auto [ha, dec] : places)
        points.push_back(centred(mount, ha, dec));
    return points;
}

} // namespace

TEST(PointingModel, InverseMappingRoundTripsAndTheTermsActAsWallaceSays)
{
    const PointingModel mount(kMount);
    for (double dec : { -40.0, 0.0, 45.0, 80.0, 89.5 })
        for (double ha : { -150.0, -60.0, 0.0, 75.0, 179.0 }) {
            const Place sky { ha * kDeg, dec * kDeg };
            EXPECT_LT(separation(mount.skyFromMount(mount.mountFromSky(sky)), sky), 1e-10)
                << ha << " " << dec;
        }
    // First order: the mount reads more than the sky by ME on the meridian and by MA six hours west.
    const Place meridian = PointingModel(Terms { .me = 0.01 }).mountFromSky({ 0, 0.3 });
    EXPECT_NEAR(meridian.dec, 0.3 + 0.01, 1e-6);
    const Place west = PointingModel(Terms { .ma = 0.01 }).mountFromSky({ std::numbers::pi / 2, 0.3 });
    EXPECT_NEAR(west.dec, 0.3 + 0.01, 1e-6);
    const Place cone = PointingModel(Terms { .ch = 0.001 }).mountFromSky({ 0.5, 1.0 });
    EXPECT_NEAR(cone.ha, 0.5 - 0.001 / std::cos(1.0), 1e-6);
}

TEST(PointingModel, FindsTheTermsEachCountOfStarsDetermines)
{
    const PointingModel mount(kMount);
    const auto six
        = stars(mount, { { -60, 10 }, { 30, 60 }, { 70, -5 }, { -20, 35 }, { 100, 45 }, { -110, 70 } });
    const Fit full = fitModel(six);
    ASSERT_TRUE(full.ok()) << full.message;
    EXPECT_EQ(full.termSet, TermSet::Full);
    const Terms& t = full.model.terms();
    for (auto [found, wanted] : { std::pair { t.ih, kMount.ih }, { t.id, kMount.id }, { t.ch, kMount.ch },
             { t.np, kMount.np }, { t.ma, kMount.ma }, { t.me, kMount.me } })
        EXPECT_NEAR(found, wanted, 1e-8);
    EXPECT_LT(full.rms, 1e-9);
    ASSERT_EQ(full.residuals.size(), 6u);

    // Two stars fit the polar axis and the index errors, exactly on a mount without cone or
    // non-perpendicularity.
    const PointingModel square(Terms { kMount.ih, kMount.id, 0, 0, kMount.ma, kMount.me });
    const Fit two = fitModel(stars(square, { { -50, 20 }, { 40, 50 } }));
    ASSERT_TRUE(two.ok()) << two.message;
    EXPECT_EQ(two.termSet, TermSet::PolarAxis);
    EXPECT_NEAR(two.model.terms().ma, kMount.ma, 1e-8);
    EXPECT_NEAR(two.model.terms().me, kMount.me, 1e-8);
    EXPECT_EQ(two.model.terms().ch, 0.0);

    // One star is a plain sync: the offset that puts that star right.
    const auto one = stars(mount, { { 20, 30 } });
    const Fit sync = fitModel(one);
    ASSERT_TRUE(sync.ok());
    EXPECT_EQ(sync.termSet, TermSet::Offset);
    EXPECT_LT(separation(sync.model.skyFromMount(one[0].commanded), one[0].observed), 1e-10);
    EXPECT_NEAR(sync.model.terms().ih, one[0].observed.ha - one[0].commanded.ha, 1e-12);
}

TEST(PointingModel, ResidualsShowTheBadlyCentredStar)
{
    const PointingModel mount(kMount);
    auto points = stars(mount,
        { { -60, 10 }, { 30, 60 }, { 70, -5 }, { -20, 35 }, { 100, 45 }, { -110, 70 }, { 10, 0 },
            { -80, 50 } });
    points[3].commanded.dec += 3 * kArcmin;
    const Fit fit = fitModel(points);
    ASSERT_TRUE(fit.ok());
    EXPECT_GT(fit.rms, 0.3 * kArcmin);
    EXPECT_LT(fit.rms, 3 * kArcmin);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i != 3) {
            EXPECT_LT(fit.residuals[i], fit.residuals[3]) << i;
        }
    }
}

TEST(PointingModel, RefusesSetsThatCannotBeFitted)
{
    const PointingModel mount(kMount);
    const Fit samePlace = fitModel(stars(mount, { { 10, 20 }, { 11, 21 }, { -60, 50 } }));
    EXPECT_EQ(samePlace.refusal, Refusal::SamePlace);
    EXPECT_FALSE(samePlace.message.empty());
    EXPECT_EQ(
        fitModel(stars(mount, { { 30, -10 }, { 30, 40 }, { 31, 75 } })).refusal, Refusal::OneHourCircle);
    EXPECT_EQ(fitModel(std::vector<AlignmentPoint> {}).refusal, Refusal::NoPoints);
    // Five stars at one declination: CH and NP cannot be told from IH, the polar axis still can.
    const Fit ring = fitModel(stars(mount, { { -90, 40 }, { -40, 40 }, { 0, 40 }, { 40, 40 }, { 90, 40 } }));
    ASSERT_TRUE(ring.ok()) << ring.message;
    EXPECT_EQ(ring.termSet, TermSet::PolarAxis);
    // A star matched with the wrong one gives no model rather than a wild one.
    auto mixedUp = stars(mount, { { -60, 10 }, { 30, 60 }, { 70, -5 } });
    mixedUp[1].observed = { 150 * kDeg, -50 * kDeg };
    EXPECT_FALSE(fitModel(mixedUp).ok());
}

TEST(Alignment, ANearStarReplacesTheOldOneAndARefusedOneIsNotKept)
{
    const PointingModel mount(kMount);
    Alignment alignment;
    EXPECT_TRUE(alignment.add(centred(mount, -50, 20)).ok());
    const Terms before = alignment.model().terms();
    // Same hour circle as the first star: refused, nothing changes.
    const Fit refused = alignment.add(centred(mount, -50, 70));
    EXPECT_EQ(refused.refusal, Refusal::OneHourCircle);
    EXPECT_EQ(alignment.size(), 1u);
    EXPECT_EQ(alignment.model().terms().ih, before.ih);
    EXPECT_TRUE(alignment.add(centred(mount, 40, 50)).ok());

    auto recentred = centred(mount, 42, 51);
    recentred.commanded.ha += 1 * kArcmin;
    EXPECT_TRUE(alignment.add(recentred).ok());
    ASSERT_EQ(alignment.size(), 2u);
    EXPECT_EQ(alignment.points().back().observed.ha, recentred.observed.ha);

    alignment.clear();
    EXPECT_EQ(alignment.size(), 0u);
    EXPECT_EQ(alignment.model().terms().ih, 0.0);
}

TEST(PointingModel, ThreeStarsOnTheSimulatedMountPutEveryGotoOnTarget)
{
    // The simulator's own exact geometry.
    auto eyepiece = [](Place mount) { return testsupport::eyepiece(kMountErrors, mount); };
    // Centring a star: the reading at which the eyepiece shows it, found by the model of the true mount.
    const PointingModel reference(kMount);
    std::vector<AlignmentPoint> points;
    for (auto [ha, dec] : { std::pair { -60.0, 10.0 }, { 15.0, 45.0 }, { 70.0, 70.0 } }) {
        const Place star { ha * kDeg, dec * kDeg };
        const Place reading = reference.mountFromSky(star);
        ASSERT_LT(separation(eyepiece(reading), star), 1e-9);
        points.push_back({ reading, star });
    }
    const Fit fit = fitModel(points);
    ASSERT_TRUE(fit.ok()) << fit.message;
    for (double dec : { -20.0, 30.0, 85.0 })
        for (double ha : { -80.0, 0.0, 100.0 }) {
            const Place target { ha * kDeg, dec * kDeg };
            EXPECT_LT(separation(eyepiece(fit.model.mountFromSky(target)), target), 0.01 * kArcmin)
                << ha << " " << dec;
        }
}

namespace {

// The worst GOTO error of a model over targets up to 85° of declination, on the mount it was fitted to.
double worstError(const PointingModel& model, const PointingModel& mount)
{
    double worst = 0;
    for (double dec = -20; dec <= 85; dec += 5)
        for (double ha = -90; ha <= 90; ha += 15) {
            const Place target { ha * kDeg, dec * kDeg };
            worst = std::max(worst, separation(mount.skyFromMount(model.mountFromSky(target)), target));
        }
    return worst;
}

// A star centred within `error` radians, in a random direction.
AlignmentPoint centredWithin(
    const PointingModel& mount, double haDeg, double decDeg, double error, std::mt19937& random)
{
    AlignmentPoint point = centred(mount, haDeg, decDeg);
    const double angle = std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random);
    point.commanded.ha += error * std::cos(angle) / std::cos(point.commanded.dec);
    point.commanded.dec += error * std::sin(angle);
    return point;
}

} // namespace

TEST(PointingModel, FitsOnlyTheTermsTheStarsDetermine)
{
    const PointingModel mount(kMount);
    // Three stars spread in hour angle and declination determine all six; two stars at once three times
    // as close in declination cannot tell the cone from the non-perpendicularity.
    const Fit spread = fitModel(stars(mount, { { -60, 10 }, { 15, 45 }, { 70, 70 } }));
    ASSERT_TRUE(spread.ok()) << spread.message;
    EXPECT_EQ(spread.termSet, TermSet::Full);
    EXPECT_LT(spread.expectedWorst, 5 * kArcmin);
    const Fit bunched = fitModel(stars(mount, { { -40, 30 }, { 0, 35 }, { 40, 32 } }));
    ASSERT_TRUE(bunched.ok()) << bunched.message;
    EXPECT_NE(bunched.termSet, TermSet::Full);
    EXPECT_STRNE(termNames(bunched.termSet), termNames(TermSet::Full));
    // A second star near the pole: no GOTO is thrown beyond what the fit says it may expect.
    const Fit pole = fitModel(stars(mount, { { -30, 20 }, { 60, 88.4 } }));
    ASSERT_TRUE(pole.ok()) << pole.message;
    EXPECT_LT(worstError(pole.model, mount), pole.expectedWorst);
}

TEST(PointingModel, ASystematicArcminuteOnThreeStarsStaysBoundedUpToThePole)
{
    // Each star seen 1′ higher than the model of the sky says (an air left out): no target up to 85° of
    // declination may be thrown far.
    const PointingModel mount(kMount);
    auto points = stars(mount, { { -50, 20 }, { 40, 50 }, { 5, -10 } });
    for (auto& p : points)
        p.observed.dec += 1 * kArcmin;
    const Fit fit = fitModel(points);
    ASSERT_TRUE(fit.ok()) << fit.message;
    EXPECT_LT(worstError(fit.model, mount), 5 * kArcmin);
}

namespace {

// The figure and the limit a refusal says, degrees.
std::pair<double, double> saidFigures(const std::string& message)
{
    double figure = 0, limit = 0;
    const auto at = message.find("est à ");
    const auto limitAt = message.find("(limite ");
    if (at == std::string::npos || limitAt == std::string::npos)
        return { -1, -1 };
    std::sscanf(message.c_str() + at + std::strlen("est à "), "%lf", &figure);
    std::sscanf(message.c_str() + limitAt + std::strlen("(limite "), "%lf", &limit);
    return { figure, limit };
}

} // namespace

TEST(Alignment, AWrongStarIsRefusedWithItsFigureAndTheLimit)
{
    const PointingModel mount(kMount);
    Alignment alignment;
    ASSERT_TRUE(alignment.add(centred(mount, -50, 20)).ok());
    // Synced 5° from where the telescope points: refused, whichever way.
    for (auto [dHa, dDec] : { std::pair { 0.0, 5.0 }, { 5.0 / std::cos(50 * kDeg), 0.0 } }) {
        auto wrong = centred(mount, 40, 50);
        wrong.observed.ha += dHa * kDeg;
        wrong.observed.dec += dDec * kDeg;
        const Fit second = alignment.add(wrong);
        EXPECT_EQ(second.refusal, Refusal::WrongStar);
        const auto [figure, limit] = saidFigures(second.message);
        EXPECT_NEAR(figure, 5.0, 1.5) << second.message;
        EXPECT_GT(figure, limit);
        EXPECT_EQ(alignment.size(), 1u);
    }
    // With two good stars, a third 3° off: the real figure and the limit.
    ASSERT_TRUE(alignment.add(centred(mount, 40, 50)).ok());
    auto third = centred(mount, 5, -10);
    third.observed.ha += 3 * kDeg;
    const Fit refused = alignment.add(third);
    EXPECT_EQ(refused.refusal, Refusal::WrongStar);
    const auto [figure, limit] = saidFigures(refused.message);
    EXPECT_NEAR(figure, 3.0, 0.3) << refused.message;
    EXPECT_EQ(limit, 1.0) << refused.message;
    EXPECT_EQ(alignment.size(), 2u);
}

TEST(Alignment, FiftyNoisySyncsKeepTheModelUnderAnArcminute)
{
    // A plate solver's night: 50 syncs at random places, each within 30″.
    const PointingModel mount(kMount);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> ha(-80, 80), dec(-15, 80);
    Alignment alignment;
    for (int i = 0; i < 50; ++i)
        alignment.add(centredWithin(mount, ha(random), dec(random), 0.5 * kArcmin, random));
    EXPECT_LE(alignment.size(), kMaxStars);
    double sumSquares = 0;
    int n = 0;
    for (double d = -10; d <= 85; d += 5)
        for (double h = -90; h <= 90; h += 15) {
            const Place target { h * kDeg, d * kDeg };
            const double e = separation(mount.skyFromMount(alignment.model().mountFromSky(target)), target);
            sumSquares += e * e;
            ++n;
        }
    EXPECT_LT(std::sqrt(sumSquares / n), 1 * kArcmin);
}
