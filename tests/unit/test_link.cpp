// SPDX-License-Identifier: GPL-3.0-or-later
// The periodic position query: replies, log lines, labels, nesting and the reply time limit.
#include "Fixture.h"
#include "window/link/texts.h"
#include "protocol/codec.h"
#include "protocol/wire.h"

struct Query : StartedWindow {
    void query(const std::string& ra, const std::string& dec)
    {
        answer({{":R#", ra}, {":D#", dec}});
        f.Timerconsult_Timer();
    }
};

TEST(QueryDecoding, RightAscensionExamples)
{
    const std::pair<const char*, std::pair<double, const char*>> cases[] = {
        {":+008,+18944#", {576000, " 12h 0m 0s"}}, {":+000,+15232#", {48000, " 1h 0m 0s"}},
        {":+000,-32768#", {0, " 0h 0m 0s"}},       {":+017,+05107#", {1151987, " 23h 59m 59s"}},
        {":+017,+05120#", {1152000, " 0h 0m 0s"}}, {":-001,+32765#", {-3, " 23h 59m 59s"}},
    };
    for (const auto& [reply, expected] : cases) {
        const auto count = protocol::compteAD(reply);
        ASSERT_TRUE(count) << reply;
        EXPECT_EQ(*count, expected.first) << reply;
        EXPECT_EQ(frmTKR52princ::texteAD(*count), expected.second) << reply;
    }
}

TEST(QueryDecoding, DeclinationExamples)
{
    const std::pair<const char*, std::pair<std::int32_t, const char*>> cases[] = {
        {":+002,-11072#", {120000, " 45° 0' 0\""}},
        {":-002,+11072#", {-120000, "-45° 0' 0\""}},
        {":-001,+20960#", {-44576, "-16° 42' 58\""}},
        {":+000,-01333#", {-1333, "-0° 30' 0\""}},
    };
    for (const auto& [reply, expected] : cases) {
        const auto count = protocol::compteDEC(reply);
        ASSERT_TRUE(count) << reply;
        EXPECT_EQ(*count, expected.first) << reply;
        EXPECT_EQ(frmTKR52princ::texteDEC(*count), expected.second) << reply;
    }
}

TEST_F(Query, OneQueryLogsBothRepliesAndSetsTheLabels)
{
    query(":+008,+18944#", ":+002,-11072#");
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#", ":D#"}));
    EXPECT_EQ(log(), "DEC: :+002,-11072#\r\nAD : :+008,+18944#\r\nessai\r\n");
    EXPECT_EQ(f.positionAD, 576000);
    EXPECT_EQ(f.positionDEC, 120000);
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_EQ(delta(), " 45° 0' 0\"");
}

TEST_F(Query, DeclinationIsAskedOnlyAfterTheWholeRightAscensionReply)
{
    std::vector<std::string> seenWhenDAsked;
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":R#") {
            p.port.arrive(":+008,");
            p.system.onNextEvents([this] { p.port.arrive("+18944#"); });
        } else if (command == ":D#") {
            EXPECT_TRUE(p.port.waiting.empty());
            p.port.arrive(":+002,-11072#");
        }
    };
    f.Timerconsult_Timer();
    EXPECT_EQ(alpha(), " 12h 0m 0s");
}

TEST_F(Query, StrayCharactersBeforeTheColonAreDroppedAndAfterTheHashKept)
{
    query("Ok:+000,+15232#", ":+002,-11072#tail");
    EXPECT_EQ(alpha(), " 1h 0m 0s");
    EXPECT_NE(log().find("AD : :+000,+15232#\r\n"), std::string::npos);
    EXPECT_EQ(p.port.waiting, "tail");
}

TEST_F(Query, AskButtonQueriesAtOnceAndSwitchesTheTimerOn)
{
    f.Timerconsult.setEnabled(false);
    answer({{":R#", ":+008,+18944#"}, {":D#", ":+002,-11072#"}});
    f.BTN_ask_Click();
    EXPECT_EQ(p.port.writes.size(), 2u);
    EXPECT_TRUE(f.Timerconsult.enabled());
}

TEST_F(Query, TickOrClickInsideAQueryStartsNothing)
{
    p.port.onWrite = [this](const std::string& command) {
        if (command == ":R#") {
            p.system.onNextEvents([this] {
                f.Timerconsult_Timer();
                f.BTN_ask_Click();
                p.port.arrive(":+008,+18944#");
            });
        } else if (command == ":D#") {
            p.port.arrive(":+002,-11072#");
        }
    };
    f.Timerconsult_Timer();
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#", ":D#"}));
    EXPECT_EQ(alpha(), " 12h 0m 0s");
}

TEST_F(Query, SilentControllerTimesOutWithoutSpinning)
{
    f.Timerconsult_Timer();
    EXPECT_EQ(p.system.nowMs, protocol::DélaiRéponsePositionMs);
    EXPECT_EQ(log(), "AD : pas de réponse\r\nessai\r\n");
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#"})) << "no declination query after a time-out";
    EXPECT_EQ(alpha(), "00h 00m 00s");
    EXPECT_LE(p.port.reads, 3) << "a wait sleeps instead of polling an empty line";
}

TEST_F(Query, LateReplyIsNotTakenForTheNextOne)
{
    f.Timerconsult_Timer(); // times out
    p.port.arrive(":+017,+05107#"); // the late reply to the first :R#
    query(":+008,+18944#", ":+002,-11072#");
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_EQ(p.port.writes.back(), ":D#");
}

TEST_F(Query, LateReplyArrivingJustAfterTheNextTickIsNotTakenEither)
{
    f.Timerconsult_Timer(); // times out at 2 s
    // The late reply comes 100 ms into the next query: the line is let fall quiet first.
    p.system.at(p.system.nowMs + 100, [this] { p.port.arrive(":+017,+05107#"); });
    query(":+008,+18944#", ":+002,-11072#");
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#", ":R#", ":D#"}));
}

TEST_F(Query, AfterATimeOutALineOneReplyBehindIsCaughtAndLeftBehind)
{
    f.Timerconsult_Timer(); // times out at 2 s
    // The late reply lands just after the next :R#, the true one right behind it.
    const std::int64_t next = p.system.nowMs + link_texts::SilenceAvantRequêteMs;
    p.system.at(next + 100, [this] { p.port.arrive(":+017,+05107#"); });
    p.system.at(next + 110, [this] { p.port.arrive(":+008,+18944#"); });
    f.Timerconsult_Timer();
    EXPECT_EQ(alpha(), "00h 00m 00s") << "a query that read a reply too late shows nothing";
    EXPECT_EQ(f.positionAD, 0);
    EXPECT_EQ(p.port.writes, (std::vector<std::string>{":R#", ":R#"}));

    query(":+008,+18944#", ":+002,-11072#");
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_EQ(delta(), " 45° 0' 0\"");
    const auto writes = p.port.writes.size();
    query(":+000,+15232#", ":+002,-11072#"); // trusted again: no more waiting for silence
    EXPECT_EQ(alpha(), " 1h 0m 0s");
    EXPECT_EQ(p.port.writes.size(), writes + 2);
}

TEST_F(Query, DeclinationTimeOutLeavesBothLabels)
{
    answer({{":R#", ":+008,+18944#"}});
    f.Timerconsult_Timer();
    EXPECT_EQ(log(), "DEC: pas de réponse\r\nAD : :+008,+18944#\r\nessai\r\n");
    EXPECT_EQ(alpha(), "00h 00m 00s");
    EXPECT_EQ(delta(), "+00° 00' 00\"");
}

TEST_F(Query, MalformedReplyIsLoggedAndLeavesItsFieldUnchanged)
{
    query(":+008,+18944#", ":+002,-11072#");
    query(":garbage#", ":+000,-01333#");
    EXPECT_EQ(f.positionAD, 576000);
    EXPECT_EQ(f.positionDEC, -1333);
    EXPECT_EQ(alpha(), " 12h 0m 0s");
    EXPECT_EQ(delta(), "-0° 30' 0\"");
    EXPECT_EQ(log().substr(0, 42), "DEC: :+000,-01333#\r\nAD : :garbage#\r\nDEC: :");

    query(":+000,+15232#", ":+40000,+00000#");
    EXPECT_EQ(f.positionDEC, -1333) << "declination count beyond 32 bits";
    EXPECT_EQ(alpha(), " 1h 0m 0s");
}

TEST_F(Query, EndlessReplyIsCutAndTheQueryGoesOn)
{
    answer({{":R#", ":" + std::string(5000, '7')}, {":D#", ":+002,-11072#"}});
    f.Timerconsult_Timer();
    EXPECT_EQ(f.positionAD, 0);
    EXPECT_EQ(delta(), " 45° 0' 0\"");
}
