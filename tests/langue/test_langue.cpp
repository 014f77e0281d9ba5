// SPDX-License-Identifier: GPL-3.0-or-later
// The rule that chooses the language, and a text that follows it.
#include <gtest/gtest.h>

#include "langue/langue.h"
#include "langue/table.h"

using langue::Langue;

TEST(Langue, FrenchForAFrenchLanguageOrTheCLocaleEnglishOtherwise)
{
    for (const char* français : { "fr", "fr_FR", "fr_FR.UTF-8", "fr-CA", "fr_BE@euro" })
        EXPECT_EQ(langue::règle(français, false), Langue::fr) << français;
    for (const char* c : { "C", "POSIX", "C.UTF-8" })
        EXPECT_EQ(langue::règle(c, false), Langue::fr) << c;
    EXPECT_EQ(langue::règle("en_GB", true), Langue::fr);
    for (const char* autre : { "en_GB.UTF-8", "en-US", "de_DE", "fri", "frr_DE" })
        EXPECT_EQ(langue::règle(autre, false), Langue::en) << autre;
    EXPECT_EQ(langue::lire("fr"), Langue::fr);
    EXPECT_EQ(langue::lire("en"), Langue::en);
    EXPECT_FALSE(langue::lire("EN"));
    EXPECT_FALSE(langue::lire(""));
}

TEST(Langue, ATextFollowsTheLanguageAndEveryPageItsOwn)
{
    // A text of the driver, through the table built from the catalogue.
    constexpr langue::Texte texte = SELVANE_TEXTE("indi", "Modèle de pointage");
    langue::installer(Langue::fr, langue::anglaisDeLaTable);
    EXPECT_STREQ(texte.texte(), "Modèle de pointage");
    {
        const langue::Portée page(Langue::en);
        EXPECT_STREQ(texte.texte(), "Pointing model");
    }
    EXPECT_STREQ(texte.texte(), "Modèle de pointage");
    langue::installer(Langue::en, langue::anglaisDeLaTable);
    EXPECT_EQ(std::string(texte), "Pointing model");
    // A text the catalogue does not know stays as written.
    EXPECT_STREQ(langue::Texte({ "indi", "pas dans le catalogue" }).texte(), "pas dans le catalogue");
    langue::installer(Langue::fr, nullptr);
}
