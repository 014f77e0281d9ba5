// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the two ways of quitting.
#include <algorithm>

#include "Fixture.h"

using fake::ProgramEnded;
using platform::Answer;

TEST(StartUp, RunsItsStepsInOrderAndSendsNothing)
{
    fake::FakePlatform p;
    p.system.copy("old clipboard text");
    p.system.clock = {20, 0, 0};
    p.port.arrive("stale bytes from before");
    frmTKR52princ f(p, p.system);
    f.positionAD = 7;
    f.objectDEC = 3;
    f.Form_Load();

    const fake::Journal expected{"clear clipboard", "port 1", "settings 9600,N,8,1", "open", "discard", "inputlen 1"};
    EXPECT_EQ(p.journal, expected);
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_TRUE(p.port.waiting.empty()) << "bytes received before opening reach no reply";
    EXPECT_FALSE(p.system.clipboardHasText());
    EXPECT_EQ(f.Vitesse, ":RS# ");
    EXPECT_EQ(f.Vitesse.size(), 5u);
    EXPECT_EQ(f.positionAD, 0);
    EXPECT_EQ(f.positionDEC, 0);
    EXPECT_EQ(f.objectAD, 0);
    EXPECT_EQ(f.objectDEC, 0);
    EXPECT_EQ(f.Tempsorigine, 300.0f);
    EXPECT_EQ(f.TempsGOTO, f.Tempsorigine);
    EXPECT_EQ(f.Tempscourant(), 0.0f) << "same second as start-up";
    EXPECT_TRUE(f.Timerconsult.enabled());
}

TEST(StartUp, UnavailablePortShowsOnlyTheMessageThenEnds)
{
    fake::FakePlatform p;
    p.system.copy("something");
    p.port.openSucceeds = false;
    frmTKR52princ f(p, p.system);
    EXPECT_THROW(f.Form_Load(), ProgramEnded);

    const fake::Journal expected{"clear clipboard", "port 1", "settings 9600,N,8,1", "open",
                                 "message Selvane V2.2: COM1: non disponible. Changez la propriété CommPort pour un autre port.",
                                 "end 1"};
    EXPECT_EQ(p.journal, expected);
    EXPECT_FALSE(p.system.windowShown);
    EXPECT_FALSE(f.demarre());
}

TEST(StartUp, UnavailablePortNamesTheDeviceGivenOnTheCommandLine)
{
    fake::FakePlatform p;
    p.port.openSucceeds = false;
    p.port.displayName = "/dev/ttyUSB0";
    frmTKR52princ f(p, p.system);
    EXPECT_THROW(f.Form_Load(), ProgramEnded);
    EXPECT_NE(std::find(p.journal.begin(), p.journal.end(),
                        "message Selvane V2.2: /dev/ttyUSB0: non disponible. Changez la propriété CommPort pour un autre port."),
              p.journal.end());
}

struct Quitting : StartedWindow {
    Quitting() { p.journal.clear(); }
};

TEST_F(Quitting, CloseButtonAsksAfterABeepAndEndsOnOk)
{
    EXPECT_THROW(f.btnFermerappli_Click(), ProgramEnded);
    const fake::Journal expected{"beep", "ask Selvane V2.2: Etes-vous sûr de vouloir quitter?", "close", "end 0"};
    EXPECT_EQ(p.journal, expected);
    EXPECT_FALSE(p.port.isOpen);
}

TEST_F(Quitting, MovesStillHeldAreStoppedBeforeThePortCloses)
{
    f.btnEst_MouseDown(1, 0, 0, 0);
    f.btnNord_MouseDown(1, 0, 0, 0);
    p.journal.clear();
    EXPECT_THROW(f.btnFermerappli_Click(), ProgramEnded);
    const fake::Journal expected{"beep", "ask Selvane V2.2: Etes-vous sûr de vouloir quitter?", "write :0#",
        "write :S#", "write :w#", "write :S#", "close", "end 0"};
    EXPECT_EQ(p.journal, expected);
}

TEST_F(Quitting, CancelChangesNothing)
{
    p.system.answers = {Answer::Cancel, Answer::Cancel};
    f.btnFermerappli_Click();
    std::int16_t cancel = 0;
    f.Form_Unload(cancel);
    EXPECT_NE(cancel, 0) << "the window stays open";
    const fake::Journal expected{"beep", "ask Selvane V2.2: Etes-vous sûr de vouloir quitter?", "beep",
                                 "ask Selvane V2.2: Etes-vous sûr de vouloir quitter?"};
    EXPECT_EQ(p.journal, expected);
    EXPECT_TRUE(p.port.isOpen);
}

TEST_F(Quitting, ClosingTheWindowWithOkClosesThePortAndEnds)
{
    std::int16_t cancel = 0;
    EXPECT_THROW(f.Form_Unload(cancel), ProgramEnded);
    EXPECT_FALSE(p.port.isOpen);
}

TEST_F(Quitting, QuitDuringAGotoWaitEndsWithoutResumingTheWait)
{
    setFields("12", "00", "00", "+45", "00", "00");
    // The user quits while the GOTO waits for the controller's "Ok".
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":T#")
            p.system.onNextEvents([this] { f.btnFermerappli_Click(); });
    };
    EXPECT_THROW(f.BtnGOTO_Click(), ProgramEnded);
    EXPECT_EQ(p.port.writes.back(), ":T#") << "nothing is sent after the quit";
    EXPECT_FALSE(p.port.isOpen);
}
