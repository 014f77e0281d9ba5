// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated mount's errors: where the telescope truly points follows Wallace's formulas to first order,
// and a mount without errors points where its counts say.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "../alignment/MountGeometry.h"
#include "sim/MountSimulator.h"

using testsupport::kArcmin;
using testsupport::kDeg;

TEST(SimErrors, SmallTermsMoveTheTruePlaceAsTheFirstOrderFormulasSay)
{
    // Mount minus sky: dH = -IH - CH sec d - NP tan d - MA cos h tan d + ME sin h tan d,
    //                  dd = -ID + MA sin h + ME cos h.
    const sim::MountErrors errors {
        .ihArcmin = 0.5, .idArcmin = -0.3, .chArcmin = 0.4, .npArcmin = 0.2, .maArcmin = 0.6, .meArcmin = -0.7
    };
    const double ih = 0.5 * kArcmin, id = -0.3 * kArcmin, ch = 0.4 * kArcmin, np = 0.2 * kArcmin,
                 ma = 0.6 * kArcmin, me = -0.7 * kArcmin;
    for (double h : { -2.0, -0.5, 0.0, 1.0, 2.5 })
        for (double d : { -0.6, 0.0, 0.4, 1.1 }) {
            const sim::LocalPlace sky = sim::truePlace(errors, { h, d });
            const double dH = -ih - ch / std::cos(d) - np * std::tan(d) - ma * std::cos(h) * std::tan(d)
                + me * std::sin(h) * std::tan(d);
            const double dd = -id + ma * std::sin(h) + me * std::cos(h);
            EXPECT_NEAR(h - sky.ha, dH, 3e-3 * kArcmin) << h << " " << d;
            EXPECT_NEAR(d - sky.dec, dd, 1e-3 * kArcmin) << h << " " << d;
        }
}

TEST(SimErrors, WithoutErrorsTheTelescopePointsAtItsCountsAndTheSiderealTimeIsRight)
{
    // Greenwich mean sidereal time at 2000-01-01 12:00 UTC is 18h41m50.5s (280.46 degrees).
    const auto j2000
        = std::chrono::sys_days { std::chrono::year { 2000 } / 1 / 1 } + std::chrono::hours { 12 };
    EXPECT_NEAR(sim::localSiderealTime(0, j2000) / kDeg, 280.46, 0.01);
    EXPECT_NEAR(sim::localSiderealTime(90, j2000) / kDeg, 10.46, 0.01);

    sim::MountSimulator simulator;
    const auto place = simulator.truePointing(288000, 120000, j2000); // 6 h, +45 degrees
    EXPECT_NEAR(place.raRad / kDeg, 90.0, 1e-9);
    EXPECT_NEAR(place.decRad / kDeg, 45.0, 1e-9);
}
