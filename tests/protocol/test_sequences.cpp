// SPDX-License-Identifier: GPL-3.0-or-later
// The command sequence of each action and the time compensation's arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "protocol/compensation.h"
#include "protocol/sequences.h"

namespace {

using protocol::Commandes;
using protocol::Direction;

TEST(Sequences, PointingActions)
{
    // 1 h, 0°: the documented counts.
    EXPECT_EQ(
        protocol::initialisation(15.0, 0.0f), (Commandes { ":r+000,+15232#", ":d+000,+00000#", ":i#" }));
    EXPECT_EQ(
        protocol::premierRalliement(180.0, 45.0f), (Commandes { ":r+008,+18944#", ":d+002,-11072#", ":T#" }));
    EXPECT_EQ(protocol::ralliementCompensé(15.0), (Commandes { ":r+000,+15232#", ":T#" }));
    EXPECT_EQ(protocol::finRalliement(180.0), (Commandes { ":r+008,+18944#", ":i#" }));
}

TEST(Sequences, MovesSpeedsAndAutoguiding)
{
    EXPECT_EQ(
        protocol::départMouvement(protocol::vitesse(3), Direction::Est), (Commandes { ":M#  ", ":e#" }));
    EXPECT_EQ(protocol::départMouvement(":RS# ", Direction::Nord), (Commandes { ":RS# ", ":n#" }));
    // North and south stop the declination axis; east and west both stop with ":w#".
    EXPECT_EQ(protocol::arrêtMouvement(Direction::Sud), (Commandes { ":0#", ":S#" }));
    EXPECT_EQ(protocol::arrêtMouvement(Direction::Est), (Commandes { ":w#", ":S#" }));
    EXPECT_EQ(protocol::arrêtMouvement(Direction::Ouest), (Commandes { ":w#", ":S#" }));
    EXPECT_EQ(protocol::vitesse(0), ":S#  ");
    EXPECT_EQ(protocol::vitesse(4), "");
    EXPECT_EQ(protocol::vitesse(-1), "");
    EXPECT_EQ(protocol::autoguidage(true), Commandes { ":A#" });
    EXPECT_EQ(protocol::autoguidage(false), Commandes { ":a#" });
}

TEST(Compensation, MidnightClockChangesAndWrap)
{
    // 23:59:30 to 00:00:30 is one minute of sky: a quarter of a degree, across midnight.
    const float début = protocol::angleHorloge({ 23, 59, 30 }, 0.0f);
    const float fin = protocol::angleHorloge({ 0, 0, 30 }, 0.0f);
    EXPECT_NEAR(protocol::écartRalliement(début, fin, 60'000), 0.25f, 1e-4f);
    // The clock was set back an hour during a 40 s slew: the monotonic time counts.
    EXPECT_NEAR(protocol::écartRalliement(protocol::angleHorloge({ 22, 0, 0 }, 0.0f),
                    protocol::angleHorloge({ 21, 0, 40 }, 0.0f), 40'000),
        40.0f / 240.0f, 1e-6f);
    // A whole-second clock within the tolerance keeps the clock angle.
    EXPECT_FLOAT_EQ(protocol::écartRalliement(10.0f, 10.25f, 61'500), 0.25f);
    EXPECT_DOUBLE_EQ(protocol::ADcompensé(0.1, 0.25f), 360.0 + 0.1 - static_cast<double>(0.25f));
    EXPECT_EQ(protocol::ligneCompensation(0.25f, ","), "Erreur de compensation temporelle : 15'");
    EXPECT_EQ(protocol::ligneCompensation(0.0125f, ","), "Erreur de compensation temporelle : 0,75'");
}

} // namespace
