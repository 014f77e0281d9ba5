// SPDX-License-Identifier: GPL-3.0-or-later
// Initialisation, GOTO and the time compensation after it.
#include "Fixture.h"
#include "protocol/wire.h"

using platform::Answer;

struct Pointing : StartedWindow {
    Pointing()
    {
        // Started at 20:00:00.
        setFields("12", "00", "00", "+45", "00", "00");
        p.journal.clear();
    }
    // The controller reaches the target at the given time and says so.
    void slewEndsAt(platform::TimeOfDay firstOk, platform::TimeOfDay secondOk, std::string okText = "Ok")
    {
        p.port.onWrite = [this, firstOk, secondOk, okText, slews = 0](const std::string& command) mutable {
            if (command != ":T#")
                return;
            const auto when = ++slews == 1 ? firstOk : secondOk;
            p.system.onNextEvents([this, when, okText] {
                p.system.clock = when;
                p.port.arrive(okText);
            });
        };
    }
    void startGotoAt(platform::TimeOfDay t)
    {
        p.system.clock = t;
        f.BtnGOTO_Click();
    }
};

TEST_F(Pointing, InitialisationSendsThreeCommandsThenTells)
{
    f.btninitialisation_Click();
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":r+008,+18944#", ":d+002,-11072#", ":i#"}));
    const fake::Journal expected{"beep", "ask Selvane V2.2: Etes-vous sûr de vouloir initialiser?",
                                 "write :r+008,+18944#", "write :d+002,-11072#", "write :i#",
                                 "info Selvane V2.2: Système Selvane initialisé"};
    EXPECT_EQ(p.journal, expected) << "the periodic query is left alone";
}

TEST_F(Pointing, TwentyFourHoursTypedIsSentAsTheOrigin)
{
    setFields("24", "00", "00", "+45", "00", "00");
    f.btninitialisation_Click();
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":r+000,-32768#", ":d+002,-11072#", ":i#"}));
}

TEST_F(Pointing, CancelReadsTheFieldsButSendsNothing)
{
    p.system.answers = {Answer::Cancel, Answer::Cancel};
    f.btninitialisation_Click();
    EXPECT_EQ(f.objectAD, 180.0);
    EXPECT_EQ(f.objectDEC, 45.0f);
    setFields("1", "00", "00", "-12", "15", "00");
    f.BtnGOTO_Click();
    EXPECT_EQ(f.objectAD, 15.0);
    EXPECT_EQ(f.objectDEC, -12.25f);
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_EQ(log(), "essai\r\n");
    EXPECT_TRUE(f.Timerconsult.enabled());
    EXPECT_EQ(p.journal.size(), 4u) << "two beeps and two questions, nothing else";
}

TEST_F(Pointing, OutOfRangeTargetIsRefusedBeforeTheQuestion)
{
    for (const auto& fields : {std::array<const char*, 6>{"99999999", "0", "0", "0", "0", "0"},
                               std::array<const char*, 6>{"0", "0", "40000", "0", "0", "0"},
                               std::array<const char*, 6>{"0", "0", "0", "-999999", "0", "0"},
                               std::array<const char*, 6>{"1e999", "0", "0", "0", "0", "0"}}) {
        setFields(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
        p.journal.clear();
        f.btninitialisation_Click();
        f.BtnGOTO_Click();
        const fake::Journal expected{"info Selvane V2.2: Coordonnées de référence hors limites",
                                     "info Selvane V2.2: Coordonnées de référence hors limites"};
        EXPECT_EQ(p.journal, expected) << fields[0] << " " << fields[2] << " " << fields[3];
    }
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_TRUE(f.Timerconsult.enabled());
}

TEST_F(Pointing, CompleteGotoSendsItsCommandsAndLogsInOrder)
{
    slewEndsAt({21, 10, 40}, {21, 10, 50});
    startGotoAt({21, 10, 0});
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":r+008,+18944#", ":d+002,-11072#", ":T#",
                                                       ":r+008,+18411#", ":T#", ":r+008,+18944#", ":i#"}));
    EXPECT_EQ(log(), "Cible Référence pointée! Ok\r\n"
                     "Correction temporelle GOTO ... \r\n"
                     "Erreur de compensation temporelle : 9,999962'\r\n"
                     "GOTO Référence atteint ! Ok\r\n"
                     "GOTO en progression... \r\n"
                     "GOTO AD : +008,+18944\r\n"
                     "essai\r\n");
    EXPECT_EQ(f.TempsGOTO, 17.5f);
    EXPECT_DOUBLE_EQ(f.objectAD, 180.0 - static_cast<double>(0.16666603f));
    EXPECT_TRUE(f.Timerconsult.enabled());
    EXPECT_TRUE(p.button("BtnGOTO").isEnabled);
    const fake::Journal head{"beep", "ask Selvane V2.2: Etes-vous sûr de vouloir faire un GOTO référence?",
                             "write :r+008,+18944#", "write :d+002,-11072#", "write :T#", "Timerconsult off"};
    EXPECT_EQ(fake::Journal(p.journal.begin(), p.journal.begin() + 6), head);
}

TEST_F(Pointing, CompensationFiguresFollowTheClock)
{
    const std::pair<platform::TimeOfDay, const char*> cases[] = {
        {{21, 10, 15}, "Erreur de compensation temporelle : 3,75'"},
        {{21, 11, 30}, "Erreur de compensation temporelle : 22,5'"},
    };
    for (const auto& [ok, line] : cases) {
        p.text("edtsaisie").content.clear();
        slewEndsAt(ok, ok);
        startGotoAt({21, 10, 0});
        EXPECT_NE(log().find(std::string(line) + "\r\n"), std::string::npos) << log();
    }
    p.system.separator = ".";
    slewEndsAt({21, 10, 15}, {21, 10, 15});
    startGotoAt({21, 10, 0});
    EXPECT_NE(log().find("Erreur de compensation temporelle : 3.75'"), std::string::npos) << log();
}

TEST_F(Pointing, SlewAcrossMidnightUsesItsRealDuration)
{
    fake::FakePlatform q;
    q.system.clock = {23, 0, 0};
    frmTKR52princ g(q, q.system);
    g.Form_Load();
    q.text("EdtADréfHrs").content = "12";
    q.port.onWrite = [&](const std::string& command) {
        if (command == ":T#")
            q.system.onNextEvents([&] {
                q.system.clock = {0, 10, 0};
                q.port.arrive("Ok");
            });
    };
    q.system.clock = {23, 59, 0};
    g.BtnGOTO_Click();
    EXPECT_NE(q.text("edtsaisie").content.find("Erreur de compensation temporelle : 165'"), std::string::npos);
    EXPECT_DOUBLE_EQ(g.objectAD, 180.0 - 2.75);
}

TEST_F(Pointing, ClockSetDuringTheSlewCountsTheSlewsRealDuration)
{
    for (const platform::TimeOfDay setTo : {platform::TimeOfDay{20, 10, 40}, platform::TimeOfDay{22, 10, 40}}) {
        p.text("edtsaisie").content.clear();
        p.port.writes.clear();
        p.port.onWrite = [this, setTo](const std::string& command) {
            if (command == ":T#")
                p.system.onNextEvents([this, setTo] {
                    p.system.clock = {21, 10, 40}; // 40 s of slew
                    p.system.clock.change(setTo);  // then the clock is set an hour back or on
                    p.port.arrive("Ok");
                });
        };
        startGotoAt({21, 10, 0});
        EXPECT_NE(log().find("Erreur de compensation temporelle : 10'\r\n"), std::string::npos) << log();
        EXPECT_EQ(p.port.writes[3], ":r+008,+18411#") << "corrected by 40 s as without the change";
    }
}

TEST_F(Pointing, SmallRightAscensionWrapsBelowZeroInsteadOfMirroring)
{
    setFields("0", "0", "12", "+45", "0", "0"); // 0.05°
    slewEndsAt({21, 10, 48}, {21, 10, 50});     // 48 s of time: 0.2°
    startGotoAt({21, 10, 0});
    EXPECT_NEAR(f.objectAD, 359.85, 1e-4);
    EXPECT_EQ(p.port.writes[3], ":r+017,+04640#");
    EXPECT_EQ(p.port.writes[5], ":r+000,-32608#") << "the re-initialisation uses the uncorrected 0.05°";
}

TEST_F(Pointing, OkIsMatchedCaseExactAndWhatFollowsStaysWaiting)
{
    p.port.onWrite = [this, n = 0](const std::string& command) mutable {
        if (command == ":T#" && ++n == 1)
            p.system.onNextEvents([this] { p.port.arrive("OK ok oKOk#"); });
        else if (command == ":T#")
            p.system.onNextEvents([this] { p.port.arrive("Ok"); });
    };
    startGotoAt({21, 10, 0});
    EXPECT_NE(log().find("GOTO Référence atteint ! OK ok oKOk\r\n"), std::string::npos);
    EXPECT_NE(log().find("Cible Référence pointée! #Ok\r\n"), std::string::npos)
        << "the # after the first Ok is read by the second wait";
}

TEST_F(Pointing, OkAlreadyWaitingEndsTheWaitAtOnce)
{
    p.port.arrive("Ok");
    slewEndsAt({21, 10, 0}, {21, 10, 0});
    startGotoAt({21, 10, 0});
    EXPECT_NE(log().find("Erreur de compensation temporelle : 0'"), std::string::npos);
    EXPECT_EQ(p.port.writes[3], ":r+008,+18944#") << "a second slew to the same target";
}

TEST_F(Pointing, DuringTheWaitOnlyPointingIsLocked)
{
    p.port.onWrite = [this, n = 0](const std::string& command) mutable {
        if (command == ":T#" && ++n == 1) {
            p.system.onNextEvents([this] {
                EXPECT_FALSE(p.button("BtnGOTO").isEnabled);
                EXPECT_FALSE(p.button("btninitialisation").isEnabled);
                EXPECT_FALSE(p.button("BTN_ask").isEnabled);
                EXPECT_FALSE(f.Timerconsult.enabled());
                f.Timerconsult_Timer(); // a tick reads nothing
                f.BTN_ask_Click();
                f.BtnGOTO_Click();
                f.btnNord_MouseDown(1, 0, 0, 0);
                f.btnNord_MouseUp(1, 0, 0, 0);
                p.port.arrive("Ok");
            });
        } else if (command == ":T#") {
            p.port.arrive("Ok");
        }
    };
    startGotoAt({21, 10, 0});
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":r+008,+18944#", ":d+002,-11072#", ":T#", ":RS# ", ":n#",
                                                       ":0#", ":S#", ":r+008,+18944#", ":T#", ":r+008,+18944#",
                                                       ":i#"}));
    EXPECT_TRUE(p.button("BTN_ask").isEnabled);
}

TEST_F(Pointing, SilentControllerEndsTheGotoAfterItsTimeLimit)
{
    startGotoAt({21, 10, 0});
    EXPECT_EQ(p.system.nowMs, protocol::DélaiOkMs);
    EXPECT_EQ(p.port.writes.back(), ":T#") << "no compensation, no re-initialisation";
    EXPECT_EQ(log().rfind("GOTO : pas de réponse du contrôleur\r\nGOTO en progression", 0), 0u);
    EXPECT_TRUE(f.Timerconsult.enabled());
    EXPECT_TRUE(p.button("BtnGOTO").isEnabled);
    EXPECT_TRUE(p.button("btninitialisation").isEnabled);
    EXPECT_TRUE(p.button("BTN_ask").isEnabled);
    EXPECT_LE(p.port.reads, 3) << "the wait sleeps";
}

TEST_F(Pointing, EndlessChatterKeepsOnlyTheLastCharactersOfTheReply)
{
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":T#")
            p.port.arrive(std::string(5000, 'x') + "Ok");
    };
    startGotoAt({21, 10, 0});
    const auto line = log().substr(log().find("GOTO Référence atteint ! "));
    EXPECT_EQ(line.substr(0, line.find('\r')).size(),
        std::string("GOTO Référence atteint ! ").size() + protocol::LongueurMaxRéponseOk);
}
