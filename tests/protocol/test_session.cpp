// SPDX-License-Identifier: GPL-3.0-or-later
// The event-driven protocol session against the mount simulator over a real pseudo-terminal,
// driven by a small poll() loop standing in for a front end's.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "protocol/MountSession.h"
#include "protocol/codec.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

class TestLoop : public protocol::Loop {
public:
    int addTimer(int ms, std::function<void()> fn) override
    {
        timers[++lastId] = { Clock::now() + std::chrono::milliseconds(ms), std::move(fn) };
        return lastId;
    }
    void removeTimer(int id) override { timers.erase(id); }
    // The clock runs from 21:10:00 at the pace of the monotonic clock.
    protocol::HeureDuJour localTime() const override
    {
        const auto s = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
        return { 21, 10 + static_cast<int>(s / 60), static_cast<int>(s % 60) };
    }
    std::int64_t monotonicMs() const override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
    }

    // Runs the loop until done() or timeoutMs; true when done() came.
    bool runUntil(int fd, protocol::MountSession& session, const std::function<bool()>& done, int timeoutMs)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            const auto now = Clock::now();
            if (now >= end)
                return false;
            auto wake = end;
            for (auto& [id, t] : timers)
                wake = std::min(wake, t.due);
            pollfd p { fd, POLLIN, 0 };
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
            if (::poll(&p, 1, static_cast<int>(std::max<long long>(ms, 0))) > 0)
                session.readable();
            for (auto it = timers.begin(); it != timers.end();) {
                if (it->second.due <= Clock::now()) {
                    auto fn = std::move(it->second.fn);
                    timers.erase(it);
                    fn();
                    it = timers.begin();
                } else {
                    ++it;
                }
            }
        }
        return true;
    }

private:
    struct Timer {
        Clock::time_point due;
        std::function<void()> fn;
    };
    std::map<int, Timer> timers;
    int lastId = 0;
    const Clock::time_point start = Clock::now();
};

struct Recorded {
    std::vector<std::pair<double, double>> positions;
    std::vector<protocol::Échec> failures;
    std::vector<std::optional<protocol::Incident>> checks;
    std::vector<bool> slews;
    int lost = 0;
};

class SessionOnSimulator : public ::testing::Test {
protected:
    void open(sim::Options options = {})
    {
        options.rates.slew = 90; // degrees per second: slews end in a moment
        simulator = std::make_unique<sim::MountSimulator>(options);
        ASSERT_TRUE(simulator->start());
        fd = ::open(simulator->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios tio {};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        protocol::SessionEvents events;
        events.checked = [this](const std::optional<protocol::Incident>& e) { got.checks.push_back(e); };
        events.position = [this](double ra, double dec) { got.positions.emplace_back(ra, dec); };
        events.positionFailed = [this](const protocol::Incident& e) { got.failures.push_back(e.code); };
        events.slewEnded = [this](const std::optional<protocol::Incident>& e) { got.slews.push_back(!e); };
        events.linkLost = [this](const protocol::Incident&) { ++got.lost; };
        protocol::MountSession::Limits limits;
        limits.replyMs = 300;
        limits.slewMs = 2000;
        session = std::make_unique<protocol::MountSession>(fd, loop, std::move(events), limits);
    }
    void TearDown() override
    {
        session.reset();
        if (fd >= 0)
            ::close(fd);
    }
    bool run(const std::function<bool()>& done, int timeoutMs = 3000)
    {
        return loop.runUntil(fd, *session, done, timeoutMs);
    }
    bool queryOnce()
    {
        const auto before = got.positions.size() + got.failures.size();
        EXPECT_TRUE(session->query());
        return run([&] { return got.positions.size() + got.failures.size() > before; });
    }

    TestLoop loop;
    std::unique_ptr<sim::MountSimulator> simulator;
    std::unique_ptr<protocol::MountSession> session;
    int fd = -1;
    Recorded got;
};

TEST_F(SessionOnSimulator, CheckAndQueryDecodeLikeTheWindow)
{
    sim::Options options;
    options.raCount = 576000; // 12 h
    options.decCount = -44576; // -16° 42' 58"
    open(options);
    session->check();
    ASSERT_TRUE(run([&] { return !got.checks.empty(); }));
    EXPECT_FALSE(got.checks[0]);

    ASSERT_TRUE(queryOnce());
    ASSERT_EQ(got.positions.size(), 1u);
    EXPECT_DOUBLE_EQ(got.positions[0].first, protocol::degrésAD(576000) / 15.0);
    EXPECT_NEAR(got.positions[0].second, -16.716, 0.001);
    EXPECT_EQ(simulator->received(), ":R#:R#:D#");

    // A reply later than the limit: Alert, the late reply is dropped and the last good position
    // stands; a silent controller the same; then the line is trusted again.
    simulator->setReplyDelayMs(400);
    ASSERT_TRUE(queryOnce());
    simulator->setReplyDelayMs(0);
    simulator->setSilent(true);
    ASSERT_TRUE(queryOnce());
    EXPECT_EQ(got.failures, std::vector<protocol::Échec>(2, protocol::Échec::PasDeRéponse));
    EXPECT_EQ(got.positions.size(), 1u);
    simulator->setSilent(false);
    ASSERT_TRUE(queryOnce());
    ASSERT_TRUE(queryOnce());
    EXPECT_EQ(got.positions.size(), 3u);
    for (const auto& [ra, dec] : got.positions)
        EXPECT_NEAR(ra, 12.0, 1e-6);
}

TEST_F(SessionOnSimulator, SilentOrGarbledControllerFailsTheCheck)
{
    sim::Options options;
    options.silent = true;
    open(options);
    session->check();
    ASSERT_TRUE(run([&] { return !got.checks.empty(); }));
    ASSERT_TRUE(got.checks[0]);
    EXPECT_EQ(got.checks[0]->code, protocol::Échec::PasDeRéponse);
    session->check();
    simulator->inject("Ok:+0x8,+18944#");
    ASSERT_TRUE(run([&] { return got.checks.size() == 2; }));
    ASSERT_TRUE(got.checks[1]);
    EXPECT_EQ(got.checks[1]->code, protocol::Échec::RéponseIllisible);
    EXPECT_EQ(got.checks[1]->détail, ":+0x8,+18944#");
}

TEST_F(SessionOnSimulator, GotoSendsTheWindowsSequenceAndKeepsQueriesOff)
{
    open();
    ASSERT_TRUE(session->slew(6.0, 45.0));
    EXPECT_FALSE(session->slew(7.0, 45.0)); // one GOTO at a time
    EXPECT_FALSE(session->query());
    // A move and autoguiding during the slew go out at once.
    EXPECT_TRUE(session->setAutoguiding(true));
    ASSERT_TRUE(run([&] { return !got.slews.empty(); }));
    EXPECT_TRUE(got.slews[0]);
    ASSERT_TRUE(simulator->waitForCommands(8, 1000));
    const std::string ra = protocol::champsCibleAD(90.0);
    const auto commands = simulator->commands();
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0], ":r" + ra + "#");
    EXPECT_EQ(commands[1], ":d" + protocol::champsCibleDEC(45.0f) + "#");
    EXPECT_EQ(commands[2], ":T#");
    EXPECT_EQ(commands[3], ":A#");
    // Corrected by the time the slew took: lower, by far less than a degree.
    const auto corrected = sim::parseRaFields(commands[4].substr(2, commands[4].size() - 3));
    ASSERT_TRUE(corrected);
    EXPECT_LT(*corrected, 288000);
    EXPECT_GT(*corrected, 288000 - 3200);
    EXPECT_EQ(commands[5], ":T#");
    EXPECT_EQ(commands[6], ":r" + ra + "#");
    EXPECT_EQ(commands[7], ":i#");
    EXPECT_EQ(simulator->targetRaCount(), 288000);
}

TEST_F(SessionOnSimulator, MovesSendTheSpeedThenTheDirectionAndStopPairs)
{
    open();
    EXPECT_TRUE(session->startNS(true));
    EXPECT_TRUE(session->stopNS());
    session->setRate(3);
    EXPECT_TRUE(session->startWE(false));
    session->setRate(1);
    EXPECT_TRUE(session->startNS(false));
    session->stopMoves();
    EXPECT_FALSE(session->movingNS() || session->movingWE());
    EXPECT_TRUE(session->sync(1.0, 0.0));
    ASSERT_TRUE(simulator->waitForCommands(15, 1000));
    EXPECT_EQ(
        simulator->received(), ":RS# :n#:0#:S#:M#  :e#:C#  :s#:0#:S#:w#:S#:r+000,+15232#:d+000,+00000#:i#");
}

// ":w#" is a toggle on the controller: a stop with nothing open, or a second start, would move.
TEST_F(SessionOnSimulator, StopsGoOutOnlyForAnOpenMove)
{
    open();
    EXPECT_TRUE(session->stopWE());
    EXPECT_TRUE(session->stopNS());
    EXPECT_TRUE(session->startWE(true));
    EXPECT_TRUE(session->startWE(true));
    EXPECT_TRUE(session->startWE(false)); // a change of direction ends the open move first
    EXPECT_TRUE(session->stopWE());
    EXPECT_TRUE(session->stopWE());
    session->stopMoves();
    EXPECT_TRUE(session->slew(24.0, 0.0)); // 24 h is the origin, not a turn away
    ASSERT_TRUE(simulator->waitForCommands(11, 1000));
    const std::string expected = ":RS# :w#:w#:S#:RS# :e#:w#:S#:r+000,-32768#:d+000,+00000#:T#";
    EXPECT_EQ(simulator->received().substr(0, expected.size()), expected);
}

TEST_F(SessionOnSimulator, MissingOkAndHangUpAreReportedOnce)
{
    sim::Options options;
    options.slewDoneReply = "";
    open(options);
    ASSERT_TRUE(session->slew(1.0, 10.0));
    ASSERT_TRUE(run([&] { return !got.slews.empty(); }));
    EXPECT_FALSE(got.slews[0]);
    EXPECT_FALSE(session->slewing());

    ASSERT_TRUE(simulator->hangUp());
    EXPECT_TRUE(run([&] { return got.lost > 0; }, 1000));
    EXPECT_FALSE(session->query());
    EXPECT_FALSE(session->startNS(true));
    EXPECT_EQ(got.lost, 1);
}

TEST(SessionTargets, BadTargetsAreRefusedBeforeAnythingIsSent)
{
    using protocol::MountSession;
    EXPECT_FALSE(MountSession::targetProblem(23.999, -90));
    EXPECT_TRUE(MountSession::targetProblem(NAN, 0));
    EXPECT_TRUE(MountSession::targetProblem(1, INFINITY));
    EXPECT_TRUE(MountSession::targetProblem(24.5, 0));
    EXPECT_TRUE(MountSession::targetProblem(-0.1, 0));
    EXPECT_TRUE(MountSession::targetProblem(1, 90.01));
}

} // namespace
