// SPDX-License-Identifier: GPL-3.0-or-later
// Spin buttons on the entry fields and the import of a target from the clipboard.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "window/app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"

namespace {

using Clic = void (frmTKR52princ::*)();

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.Form_Load();
        p.port.writes.clear();
    }
    std::string& champ(const char* nom) { return p.text(nom).content; }
    std::vector<std::string> champs()
    {
        return {champ("EdtADréfHrs"), champ("EdtADréfMin"), champ("EdtADréfSec"),
                champ("EdtDECréfDeg"), champ("EdtDECréfMin"), champ("EdtDECréfSec")};
    }

    fake::FakePlatform p;
    frmTKR52princ f{p, p.system};
};

// ---- Spin buttons ----

struct Pas {
    Clic clic;
    const char* champ;
    const char* avant;
    const char* après;
};

TEST_F(EntryTest, SpinWrapsOnlyAtTheExactThresholdOfEachRow)
{
    using F = frmTKR52princ;
    const Pas cas[] = {
        {&F::UpDownADHrs_DownClick, "EdtADréfHrs", "00", "23"},
        {&F::UpDownADHrs_UpClick, "EdtADréfHrs", "23", "0"},
        {&F::UpDownADMin_UpClick, "EdtADréfMin", "59", "0"},
        {&F::UpDownADMin_DownClick, "EdtADréfMin", "0", "59"},
        {&F::UpDownADSec_UpClick, "EdtADréfSec", "59", "0"},
        {&F::UpDownADSec_DownClick, "EdtADréfSec", "00", "59"},
        {&F::UpDownDECdeg_UpClick, "EdtDECréfDeg", "+000", "1"},
        {&F::UpDownDECdeg_DownClick, "EdtDECréfDeg", "+000", "-1"},
        {&F::UpDownDECdeg_UpClick, "EdtDECréfDeg", "90", "-90"},
        {&F::UpDownDECdeg_DownClick, "EdtDECréfDeg", "-90", "90"},
        {&F::UpDownDECdeg_UpClick, "EdtDECréfDeg", "-1", "0"},
        {&F::UpDownDECdeg_UpClick, "EdtDECréfDeg", " +05", "6"},
        {&F::UpDownDECmin_UpClick, "EdtDECréfMin", "59", "0"},
        {&F::UpDownDECmin_DownClick, "EdtDECréfMin", "0", "59"},
        {&F::UpDownDECsec_UpClick, "EdtDECréfSec", "75", "76"},
        {&F::UpDownDECsec_DownClick, "EdtDECréfSec", "\t00 ", "59"},
        {&F::UpDownDECsec_UpClick, "EdtDECréfSec", "58,5", "59,5"},
        {&F::UpDownDECsec_UpClick, "EdtDECréfSec", "59,5", "60,5"},
    };
    for (const Pas& c : cas) {
        champ(c.champ) = c.avant;
        (f.*c.clic)();
        EXPECT_EQ(champ(c.champ), c.après) << c.champ << " " << c.avant;
    }
    // No carry into the neighbouring field, nothing sent.
    champ("EdtADréfHrs") = "07";
    champ("EdtADréfMin") = "59";
    f.UpDownADMin_UpClick();
    EXPECT_EQ(champ("EdtADréfHrs"), "07");
    EXPECT_TRUE(p.port.writes.empty());
}

TEST_F(EntryTest, SpinFollowsTheLocaleSeparatorBothWays)
{
    EXPECT_EQ(frmTKR52princ::pasSpin("0,5", 1, 60, "0", ","), "1,5");
    EXPECT_EQ(frmTKR52princ::pasSpin("0,5", -1, -1, "59", ","), "-0,5");
    EXPECT_EQ(frmTKR52princ::pasSpin("-0,5", 1, 60, "0", ","), "0,5");
    EXPECT_EQ(frmTKR52princ::pasSpin("0.25", 1, 60, "0", "."), "1.25");
    EXPECT_EQ(frmTKR52princ::pasSpin("1.5", 1, 60, "0", ","), std::nullopt);
    EXPECT_EQ(frmTKR52princ::pasSpin("1,5", 1, 60, "0", "."), std::nullopt);
    EXPECT_EQ(frmTKR52princ::pasSpin("-1", 1, 60, "0", ","), "0");
    EXPECT_EQ(frmTKR52princ::pasSpin("-0", -1, -91, "90", ","), "-1");
    // Through the window: the separator comes from the system, and a long result is written whole.
    p.system.separator = ",";
    champ("EdtADréfSec") = "0,5";
    f.UpDownADSec_UpClick();
    EXPECT_EQ(champ("EdtADréfSec"), "1,5");
}

TEST_F(EntryTest, SpinLeavesAFieldWithoutANumberUnchanged)
{
    for (const char* texte : {"", "   ", "abc", "12abc", "1e999", "+", ",", "1e+", "--1", "1 2", "inf",
                              "0x10", "1,5,5", "\xff\xfe"}) {
        champ("EdtADréfMin") = texte;
        f.UpDownADMin_UpClick();
        f.UpDownADMin_DownClick();
        EXPECT_EQ(champ("EdtADréfMin"), texte);
    }
}

TEST_F(EntryTest, SpinResultsAreShortAndReadBack)
{
    struct Cas {
        const char* avant;
        const char* après;
    };
    const Cas cas[] = {
        {"1e3", "1001"},
        {"2,5E1", "26"},
        {"0,1", "1,1"},
        {"123456789012345678", "1,23456789012346E+17"},
        {"1E+20", "1E+20"},
        {"0,00000000123", "1,00000000123"},
    };
    for (const Cas& c : cas) {
        const auto pas = frmTKR52princ::pasSpin(c.avant, 1, 60, "0", ",");
        ASSERT_TRUE(pas) << c.avant;
        EXPECT_EQ(*pas, c.après);
        EXPECT_TRUE(frmTKR52princ::pasSpin(*pas, 1, 60, "0", ",")) << *pas;
    }
    // Very long texts: a number, and one that does not fit.
    const std::string zéros(1'000'000, '0');
    EXPECT_EQ(frmTKR52princ::pasSpin(zéros + "7", 1, 60, "0", ","), "8");
    EXPECT_EQ(frmTKR52princ::pasSpin("9" + zéros, 1, 60, "0", ","), std::nullopt);
}

// ---- Clipboard import ----

using Pièces = frmTKR52princ::PiècesCoordonnées;
std::vector<std::string> liste(const Pièces& x)
{
    return {x.heures, x.minutes, x.secondes, x.degrés, x.minutesDEC, x.secondesDEC};
}

TEST_F(EntryTest, ClipboardOwnFormatCutsBetweenSeparatorsAndShowsTheText)
{
    const std::string texte = "05h35m17.3s|-05°23'28.0";
    p.system.copy(texte);
    f.Btn_récup_clipboard_Click();
    EXPECT_EQ(champs(), (std::vector<std::string>{"05", "35", "17", "-05", "23", "28"}));
    EXPECT_EQ(champ("edtsaisie"), "Presse papier: \r\n" + texte);
    EXPECT_TRUE(p.system.clipboard.empty());
    EXPECT_FALSE(p.system.clipboardIsText);
    EXPECT_DOUBLE_EQ(f.objectAD, 0);

    // Blanks between separators stay, even where another reading would drop them.
    p.system.copy("5h 4m 3.2s | +00°07'55.9");
    f.Btn_récup_clipboard_Click();
    EXPECT_EQ(champs(), (std::vector<std::string>{"5", " 4", " 3", " +00", "07", "55"}));

    // The clipboard is empty now: a second click only shows the empty text.
    f.Btn_récup_clipboard_Click();
    EXPECT_EQ(champs(), (std::vector<std::string>{"5", " 4", " 3", " +00", "07", "55"}));
    EXPECT_EQ(champ("edtsaisie"), "Presse papier: \r\n");
    EXPECT_TRUE(p.port.writes.empty());
}

TEST_F(EntryTest, ClipboardOtherCommonFormsGiveTheSamePieces)
{
    const std::vector<std::string> attendu{"05", "35", "17", "-05", "23", "28"};
    for (const char* texte : {
             "05 35 17.3 -05 23 28",
             "05:35:17.3 -05:23:28",
             "05h35m17.3s -05°23'28.0\"",
             "05h35m17.3s/-05°23'28.0",
             "05h35m17.3s\t-05°23'28.0",
             "05 35 17.3 / -05 23 28.4",
             "RA/Dec (J2000.0): 05h35m17.3s/-05°23'28.0",
             "RA/Dec (J2000.0): 05:35:17.3\t-05:23:28",
             "  05h 35m 17s  -05d 23m 28s  ",
         }) {
        const auto pièces = frmTKR52princ::découperPressePapier(texte);
        ASSERT_TRUE(pièces) << texte;
        EXPECT_EQ(liste(*pièces), attendu) << texte;
    }
    const auto court = frmTKR52princ::découperPressePapier("5h35m17.3s +0°3'8.25\"");
    ASSERT_TRUE(court);
    EXPECT_EQ(liste(*court), (std::vector<std::string>{"5", "35", "17", "+0", "3", "8"}));
}

TEST_F(EntryTest, ClipboardUnrecognisedChangesNoFieldAndSaysSo)
{
    for (const char* texte : {
             "05h35m17.3s",                   // no declination
             "-05°23'28.0|05h35m17.3s",       // declination first
             "0535m17.3s|-05°23'28.0",        // no "h"
             "25 35 17.3 -05 23 28",          // hours out of range
             "05 35 17.3 -05 23",             // one number short
             "hello",
         }) {
        const auto avant = champs();
        p.system.copy(texte);
        f.Btn_récup_clipboard_Click();
        EXPECT_EQ(champs(), avant) << texte;
        EXPECT_EQ(champ("edtsaisie"),
                  std::string("Coordonnées non reconnues\r\nPresse papier: \r\n") + texte);
        EXPECT_FALSE(p.system.clipboardIsText);
    }
}

TEST_F(EntryTest, ClipboardWithoutPlainTextOnlyShowsTheHeader)
{
    p.system.clipboard = "05h35m17.3s|-05°23'28.0";
    p.system.clipboardIsText = false;
    const auto avant = champs();
    f.Btn_récup_clipboard_Click();
    EXPECT_EQ(champs(), avant);
    EXPECT_EQ(champ("edtsaisie"), "Presse papier: \r\n");
    EXPECT_EQ(p.journal.back(), "clear clipboard");
}

TEST_F(EntryTest, ClipboardCountsCharactersAndSurvivesInvalidUtf8)
{
    // A stray byte stands for one character in the piece it falls in.
    const auto pièces = frmTKR52princ::découperPressePapier("0\xff" "5h35m17.3s|-05°23'28.0");
    ASSERT_TRUE(pièces);
    EXPECT_EQ(liste(*pièces),
              (std::vector<std::string>{"0\xEF\xBF\xBD" "5", "35", "17", "-05", "23", "28"}));
    // A Latin-1 degree sign is not "°".
    EXPECT_FALSE(frmTKR52princ::découperPressePapier("05h35m17.3s|-05\xb0" "23'28.0"));

    // Arbitrary bytes, stray ones among them, through the import and the spin: no crash.
    std::uint32_t graine = 12345;
    for (int essai = 0; essai < 3000; ++essai) {
        std::string octets;
        const int longueur = essai % 40;
        for (int i = 0; i < longueur; ++i) {
            graine = graine * 1103515245u + 12345u;
            const char alphabet[] = "0123456789hm.|' -+:/\t\xc2\xb0\xe2\x88\x92\xff\x80";
            octets += alphabet[(graine >> 16) % (sizeof alphabet - 1)];
        }
        p.system.copy(octets);
        f.Btn_récup_clipboard_Click();
        frmTKR52princ::pasSpin(octets, 1, 60, "0", ",");
    }
    SUCCEED();
}

} // namespace
