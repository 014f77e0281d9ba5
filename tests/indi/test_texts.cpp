// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's words for the session's failures, with the time limits said from the constants.
#include <gtest/gtest.h>

#include "indi/texts.h"

namespace {

TEST(DriverTexts, FailuresAreWordedWithTheirTimeLimits)
{
    using protocol::Échec;
    EXPECT_EQ(indi_texts::formulation({ Échec::PasDeRéponse, {} }), "pas de réponse du contrôleur en 2 s");
    EXPECT_EQ(indi_texts::formulation({ Échec::PasDeOk, {} }),
        "pas de « Ok » du contrôleur en 300 s : GOTO abandonné");
    EXPECT_EQ(indi_texts::formulation({ Échec::RéponseIllisible, ":+0x8,+1#" }),
        "réponse illisible du contrôleur : :+0x8,+1#");
    EXPECT_EQ(indi_texts::formulation({ Échec::ErreurLecture, "Input/output error" }),
        "liaison série perdue : erreur de lecture : Input/output error");
    EXPECT_EQ(indi_texts::contrôleurMuet("/dev/ttyUSB0"),
        "Le contrôleur ne répond pas sur /dev/ttyUSB0 (pas de réponse à :R# en 2 s)");
    EXPECT_STREQ(indi_texts::formulation(protocol::ProblèmeCible::HorsLimites), indi_texts::CibleHorsLimites);
}

} // namespace
