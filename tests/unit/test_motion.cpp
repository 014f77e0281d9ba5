// SPDX-License-Identifier: GPL-3.0-or-later
// Direction buttons, speed options and autoguiding: the exact writes on the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"

namespace {

using Strings = std::vector<std::string>;
using Pointeur = void (frmTKR52princ::*)(std::int16_t, std::int16_t, float, float);
using Option = void (frmTKR52princ::*)(std::int16_t);

class MotionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.Form_Load();
        p.port.writes.clear();
    }
    void clic(Pointeur handler, std::int16_t bouton = 1) { (f.*handler)(bouton, 0, 10.0f, 5.0f); }

    fake::FakePlatform p;
    frmTKR52princ f{p, p.system};
};

struct Bouton {
    Pointeur appui;
    Pointeur relâche;
    const char* direction;
    const char* arrêt;
};

const Bouton boutons[] = {
    {&frmTKR52princ::btnNord_MouseDown, &frmTKR52princ::btnNord_MouseUp, ":n#", ":0#"},
    {&frmTKR52princ::btnSud_MouseDown, &frmTKR52princ::btnSud_MouseUp, ":s#", ":0#"},
    {&frmTKR52princ::btnEst_MouseDown, &frmTKR52princ::btnEst_MouseUp, ":e#", ":w#"},
    {&frmTKR52princ::btnOuest_MouseDown, &frmTKR52princ::btnOuest_MouseUp, ":w#", ":w#"},
};

TEST_F(MotionTest, EachButtonBeforeAnySpeedSendsStartSpeedThenDirectionAndStops)
{
    for (const Bouton& b : boutons) {
        p.port.writes.clear();
        clic(b.appui);
        clic(b.relâche);
        EXPECT_EQ(p.port.writes, (Strings{":RS# ", b.direction, b.arrêt, ":S#"})) << b.direction;
    }
}

// A press that never reached the window (a box was open) leaves its release without one.
TEST_F(MotionTest, AReleaseWithoutItsPressSendsNothing)
{
    for (const Bouton& b : boutons) {
        clic(b.relâche);
        clic(b.appui);
        clic(b.relâche);
        clic(b.relâche);
    }
    EXPECT_EQ(p.port.writes, (Strings{":RS# ", ":n#", ":0#", ":S#", ":RS# ", ":s#", ":0#", ":S#", ":RS# ", ":e#",
                                      ":w#", ":S#", ":RS# ", ":w#", ":w#", ":S#"}));
}

TEST_F(MotionTest, EachSpeedOptionGoesOutPaddedAtTheNextPressOnly)
{
    const std::pair<Option, const char*> options[] = {
        {&frmTKR52princ::OptVitesselente_Click, ":S#  "},
        {&frmTKR52princ::OptVitessecentrage_Click, ":C#  "},
        {&frmTKR52princ::OptVitesseapproche_Click, ":G#  "},
        {&frmTKR52princ::OptVitessepointage_Click, ":M#  "},
    };
    for (const auto& [option, vitesse] : options) {
        for (const Bouton& b : boutons) {
            p.port.writes.clear();
            (f.*option)(0);
            EXPECT_TRUE(p.port.writes.empty()) << vitesse;
            EXPECT_EQ(f.Vitesse, vitesse);
            clic(b.appui);
            clic(b.relâche);
            EXPECT_EQ(p.port.writes, (Strings{vitesse, b.direction, b.arrêt, ":S#"})) << vitesse;
        }
    }
}

TEST_F(MotionTest, CentrageNorthMoveIsFourWritesOnTheLine)
{
    f.OptVitessecentrage_Click(1);
    clic(&frmTKR52princ::btnNord_MouseDown);
    clic(&frmTKR52princ::btnNord_MouseUp);
    EXPECT_EQ(p.port.wire(), ":C#  :n#:0#:S#");
}

TEST_F(MotionTest, SpeedChangedWhileHeldWaitsForTheNextPressAndAnyMouseButtonActs)
{
    clic(&frmTKR52princ::btnSud_MouseDown, 2); // right button
    f.OptVitessepointage_Click(3);
    clic(&frmTKR52princ::btnSud_MouseUp, 2);
    clic(&frmTKR52princ::btnSud_MouseDown, 4); // middle button
    EXPECT_EQ(p.port.writes, (Strings{":RS# ", ":s#", ":0#", ":S#", ":M#  ", ":s#"}));
    EXPECT_EQ(p.text("edtsaisie").content, "essai\r\n");
}

TEST_F(MotionTest, AutoguidingSendsAtOnceAndLogsInFront)
{
    auto& boîte = p.check("Optvitesseauto");
    auto& journal = p.text("edtsaisie");
    journal.content = "avant\r\n";
    boîte.state = platform::CheckState::Checked;
    f.Optvitesseauto_Click();
    EXPECT_EQ(p.port.writes, (Strings{":A#"}));
    EXPECT_EQ(journal.content, "Passage en autoguidage\r\navant\r\n");

    boîte.state = platform::CheckState::Clear;
    f.Optvitesseauto_Click();
    EXPECT_EQ(p.port.writes, (Strings{":A#", ":a#"}));
    EXPECT_EQ(journal.content, "Fin de l'autoguidage \r\nPassage en autoguidage\r\navant\r\n");

    // Grayed is not on.
    boîte.state = platform::CheckState::Grayed;
    f.Optvitesseauto_Click();
    EXPECT_EQ(p.port.writes.back(), ":a#");
    EXPECT_EQ(f.Vitesse, ":RS# ");
}

TEST_F(MotionTest, AutoguidingIntoAnEmptyLogBoxLeavesOneLine)
{
    p.text("edtsaisie").content.clear();
    p.check("Optvitesseauto").state = platform::CheckState::Checked;
    f.Optvitesseauto_Click();
    EXPECT_EQ(p.text("edtsaisie").content, "Passage en autoguidage\r\n");
}

} // namespace
