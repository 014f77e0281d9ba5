// A serial device that vanishes and comes back: idle, inside a query, inside a GOTO.
#include "Fixture.h"

struct LinkLost : StartedWindow {
    LinkLost()
    {
        setFields("12", "00", "00", "+45", "00", "00");
        p.text("edtsaisie").content.clear();
    }
    void pull()
    {
        p.port.openSucceeds = false;
        p.port.vanish();
    }
    void plugBackIn() { p.port.openSucceeds = true; }
    int count(const std::string& line)
    {
        const std::string text = log();
        int n = 0;
        for (auto at = text.find(line + "\r\n"); at != std::string::npos; at = text.find(line + "\r\n", at + 1))
            ++n;
        return n;
    }
};

TEST_F(LinkLost, WhileIdleItIsSaidOnceAndEachTickTriesAgain)
{
    pull();
    pull();
    EXPECT_EQ(log(), "Liaison série perdue\r\n");
    EXPECT_FALSE(p.port.isOpen);
    EXPECT_TRUE(f.liaisonCoupée());

    const auto opensBefore = std::count(p.journal.begin(), p.journal.end(), "open");
    f.Timerconsult_Timer();
    f.Timerconsult_Timer();
    EXPECT_EQ(std::count(p.journal.begin(), p.journal.end(), "open"), opensBefore + 2);
    EXPECT_TRUE(p.port.writes.empty());

    plugBackIn();
    p.port.arrive("stale");
    answer({{":R#", ":+008,+18944#"}, {":D#", ":+002,-11072#"}});
    f.Timerconsult_Timer();
    EXPECT_EQ(log(), "DEC: :+002,-11072#\r\nAD : :+008,+18944#\r\nLiaison série rétablie\r\nLiaison série perdue\r\n");
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_FALSE(f.liaisonCoupée());
}

TEST_F(LinkLost, CommandsWhileDownAreDroppedAndSaidOnce)
{
    pull();
    f.btnNord_MouseDown(1, 0, 0, 0);
    f.btnNord_MouseUp(1, 0, 0, 0);
    f.btninitialisation_Click();
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_EQ(count("Liaison série perdue : commandes non envoyées"), 1);

    plugBackIn();
    f.Timerconsult_Timer(); // back, then the query times out on a silent line
    f.btnSud_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(p.port.writes.back(), ":s#");
    pull();
    f.btnSud_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(count("Liaison série perdue : commandes non envoyées"), 2) << "said again for a new loss";
}

TEST_F(LinkLost, InsideAQueryEndsItQuietly)
{
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":R#")
            p.system.onNextEvents([this] {
                p.port.arrive(":+008,");
                pull();
            });
    };
    f.Timerconsult_Timer();
    EXPECT_EQ(log(), "Liaison série perdue\r\n");
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#"}));
    EXPECT_EQ(alpha(), "00h 00m 00s");
    EXPECT_EQ(p.system.nowMs, 0) << "no waiting for the time limit";
}

TEST_F(LinkLost, InsideAGotoEndsItAsOnItsTimeLimit)
{
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":T#")
            p.system.onNextEvents([this] { pull(); });
    };
    f.BtnGOTO_Click();
    EXPECT_EQ(log(), "GOTO : pas de réponse du contrôleur\r\nLiaison série perdue\r\nGOTO en progression... \r\n"
                     "GOTO AD : +008,+18944\r\n");
    EXPECT_EQ(p.port.writes.back(), ":T#");
    EXPECT_TRUE(f.Timerconsult.enabled());
    EXPECT_TRUE(p.button("BtnGOTO").isEnabled);
    EXPECT_EQ(p.system.nowMs, 0);
}

TEST_F(LinkLost, PointingWhileDownSendsNothingAndIsNotReportedAsDone)
{
    const std::string nothingSent = "message Selvane V2.2: Liaison série perdue : rien n'a été envoyé au contrôleur";
    pull();
    p.journal.clear();
    f.btninitialisation_Click();
    f.BtnGOTO_Click();
    EXPECT_EQ(p.journal, (fake::Journal{"open", nothingSent, "open", nothingSent})) << "no question, no success";
    EXPECT_TRUE(f.Timerconsult.enabled());

    // Lost while the initialisation is being sent: not reported as done either.
    plugBackIn();
    p.port.onWrite = [this](const std::string& command) {
        if (command.rfind(":d", 0) == 0)
            pull();
    };
    f.btninitialisation_Click();
    EXPECT_EQ(p.journal.back(), nothingSent);
    EXPECT_EQ(count("Liaison série rétablie"), 1) << "the button tries the port again first";
}
