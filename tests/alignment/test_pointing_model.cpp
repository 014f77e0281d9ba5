// SPDX-License-Identifier: GPL-3.0-or-later
// The pointing model: the terms found again from stars centred on a mount with known errors, the inverse
// mapping, residuals, the sets that cannot be fitted, and GOTOs on the simulated mount.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
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
