// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount's behaviour, with time given by the test.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/MountModel.h"
#include "sim/Protocol.h"

namespace {

using sim::MountModel;

constexpr double kRaPerDeg = sim::kRaCountsPerDegree;
constexpr double kDecPerDeg = sim::kDecCountsPerDegree;

sim::Rates testRates()
{
    sim::Rates rates;
    rates.slew = 1.0;
    rates.sidereal = 0.01;
    rates.centring = 0.1;
    rates.catchUp = 0.5;
    rates.fast = 2.0;
    return rates;
}

TEST(SimModel, TargetsAndSync)
{
    MountModel mount(testRates());
    EXPECT_EQ(mount.handle(":r+000,+15232#", 0), "");
    mount.handle(":d-001,+20960#", 0);
    EXPECT_EQ(mount.raCount(1), 0); // a target alone does not move the mount
    mount.handle(":i#", 1);
    EXPECT_EQ(mount.handle(":R#", 2), ":+000,+15232#");
    EXPECT_EQ(mount.handle(":D#", 2), ":-001,+20960#");
    // A sync renames the axes' place without moving them: the renaming is kept for the true place.
    EXPECT_EQ(mount.raSyncOffset(), 48000);
    EXPECT_EQ(mount.decSyncOffset(), -44576);

    // Malformed targets change nothing; out-of-range ones wrap (RA) or stop at the pole (Dec).
    mount.handle(":r+000,+1x232#", 3);
    mount.handle(":d#", 3);
    EXPECT_EQ(mount.targetRa(), 48000);
    EXPECT_EQ(mount.targetDec(), -44576);
    mount.handle(":r-001,+32765#", 3);
    mount.handle(":d+005,+00000#", 3);
    mount.handle(":i#", 3);
    EXPECT_EQ(mount.raCount(3), 1151997);
    EXPECT_EQ(mount.decCount(3), 240000);
    EXPECT_EQ(mount.raSyncOffset(), -3); // the shorter way round
    EXPECT_EQ(mount.decSyncOffset(), 240000);
}

TEST(SimModel, SlewGoesTheShorterWayAndArrivesWithTheSlowerAxis)
{
    MountModel mount(testRates());
    mount.setPosition(1000, 0, 0);
    mount.handle(":r" + sim::raFields(1151000) + "#", 0); // 2000 counts west, across 0
    mount.handle(":d" + sim::decFields(-8000) + "#", 0); // 3 degrees south
    mount.handle(":T#", 0);
    ASSERT_TRUE(mount.slewing());
    EXPECT_NEAR(*mount.slewArrival(), 3.0, 1e-9); // Dec: 3 s; RA: 0.625 s

    EXPECT_EQ(mount.raCount(0.5), 1151400);
    EXPECT_EQ(mount.raCount(1.0), 1151000); // RA already there
    EXPECT_EQ(mount.decCount(1.5), -4000);
    EXPECT_FALSE(mount.finishSlew(2.99));
    EXPECT_TRUE(mount.finishSlew(3.01));
    EXPECT_FALSE(mount.finishSlew(3.02)); // "Ok" once
    EXPECT_FALSE(mount.slewing());
    EXPECT_EQ(mount.raCount(10), 1151000);
    EXPECT_EQ(mount.decCount(10), -8000);

    // Already on target: arrives at once.
    mount.handle(":T#", 11);
    EXPECT_TRUE(mount.finishSlew(11));
}

TEST(SimModel, NewSlewDuringASlewStartsFromWhereTheMountIs)
{
    MountModel mount(testRates());
    mount.handle(":r" + sim::raFields(32000) + "#", 0); // 10 degrees east
    mount.handle(":T#", 0);
    mount.handle(":r" + sim::raFields(9600) + "#", 2); // mount at 6400; 1 degree further
    mount.handle(":T#", 2);
    EXPECT_NEAR(*mount.slewArrival(), 3.0, 1e-9);
    EXPECT_FALSE(mount.finishSlew(2.9));
    EXPECT_TRUE(mount.finishSlew(3.001));
    EXPECT_EQ(mount.raCount(4), 9600);

    // A sync ends a slew without its arrival.
    mount.handle(":r" + sim::raFields(64000) + "#", 5);
    mount.handle(":T#", 5);
    mount.handle(":i#", 6);
    EXPECT_FALSE(mount.slewing());
    EXPECT_FALSE(mount.finishSlew(100));
    EXPECT_EQ(mount.raCount(100), 64000);
}

TEST(SimModel, ManualMovesRunAtTheRateChosenBeforeThem)
{
    MountModel mount(testRates());
    mount.setPosition(100000, 0, 0);

    mount.handle(":M#", 0);
    mount.handle(":e#", 0);
    mount.handle(":S#", 1); // the move in progress keeps its rate
    EXPECT_EQ(mount.raCount(1.5), 100000 + std::llround(3 * kRaPerDeg));
    mount.handle(":w#", 2); // ends the east move
    EXPECT_FALSE(mount.raMoving(2));
    EXPECT_EQ(mount.raCount(5), 100000 + std::llround(4 * kRaPerDeg));

    mount.handle(":w#", 10); // nothing moving: goes west, at the sidereal rate
    EXPECT_EQ(mount.raCount(20), 112800 - std::llround(0.1 * kRaPerDeg));
    mount.handle(":w#", 20);
    EXPECT_EQ(mount.raCount(30), 112480);

    mount.handle(":RS#", 30); // same as ":S#"
    mount.handle(":G#", 30);
    mount.handle(":n#", 30);
    mount.handle(":s#", 31); // turns round from where it is
    EXPECT_EQ(mount.decCount(31.5), std::llround(0.25 * kDecPerDeg));
    mount.handle(":0#", 32);
    EXPECT_EQ(mount.decCount(40), 0);
}

TEST(SimModel, DeclinationStopsAtThePoleAndSlewsLockOutManualMoves)
{
    MountModel mount(testRates());
    mount.setPosition(0, 239000, 0);
    mount.handle(":C#", 0);
    mount.handle(":n#", 0);
    EXPECT_EQ(mount.decCount(60), 240000);
    EXPECT_FALSE(mount.decMoving(60));
    mount.handle(":0#", 60);
    mount.handle(":s#", 60); // leaves the pole at once
    EXPECT_EQ(mount.decCount(61), 240000 - std::llround(0.1 * kDecPerDeg));
    mount.handle(":0#", 61);

    mount.handle(":r" + sim::raFields(3200) + "#", 70);
    mount.handle(":d" + sim::decFields(mount.decCount(70)) + "#", 70);
    mount.handle(":T#", 70);
    mount.handle(":e#", 70.2); // pressed during the slew
    mount.handle(":0#", 70.5);
    EXPECT_EQ(mount.raCount(70.5), 1600);
    EXPECT_TRUE(mount.finishSlew(71));
    mount.handle(":w#", 72); // ... and released after it: no west move
    EXPECT_FALSE(mount.raMoving(73));
    EXPECT_EQ(mount.raCount(80), 3200);
}

} // namespace
