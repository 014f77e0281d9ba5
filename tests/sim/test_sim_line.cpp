// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator over a real pseudo-terminal, driven the way the hand controller drives its serial port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include "sim/MountSimulator.h"
#include "sim/Protocol.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kReplyTimeoutMs = 2000; // only reached when something is wrong
constexpr int kQuietMs = 100; // long enough for a reply that should not come

// The program's end of the line: the slave device, raw, non-blocking reads after poll().
class Client {
public:
    explicit Client(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios tio {};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    int fd() const { return fd_; }
    void send(std::string_view bytes) const
    {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What arrives until `text` is in it, or until timeoutMs; an empty `text` reads the whole time.
    std::string readUntil(std::string_view text, int timeoutMs) const
    {
        std::string got;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (text.empty() || got.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p { fd_, POLLIN, 0 };
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) < 0)
                break;
            char buffer[256];
            const ssize_t n = p.revents ? ::read(fd_, buffer, sizeof buffer) : -1;
            if (n == 0)
                break;
            got.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
        return got;
    }
    std::string readQuiet() const { return readUntil("", kQuietMs); }
    std::string ask(std::string_view command, std::string_view until = "#") const
    {
        send(command);
        return readUntil(until, kReplyTimeoutMs);
    }

private:
    int fd_;
};

// Time the simulator received the first read holding `bytes`.
double receivedAtMs(const sim::MountSimulator& simulator, std::string_view bytes)
{
    for (const auto& entry : simulator.trace()) {
        if (entry.direction == sim::Direction::Received && entry.bytes.find(bytes) != std::string::npos)
            return entry.timeMs;
    }
    ADD_FAILURE() << "never received " << bytes;
    return 0;
}

std::vector<sim::TraceEntry> sentEntries(const sim::MountSimulator& simulator)
{
    auto trace = simulator.trace();
    std::erase_if(trace, [](const sim::TraceEntry& e) { return e.direction != sim::Direction::Sent; });
    return trace;
}

class SimLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simulator.start());
        client = std::make_unique<Client>(simulator.devicePath());
        ASSERT_GE(client->fd(), 0) << simulator.devicePath();
    }

    sim::MountSimulator simulator;
    std::unique_ptr<Client> client;
};

TEST_F(SimLine, AnswersQueriesAndTakesTargetsAmidNoise)
{
    simulator.setPosition(576000, 120000);
    EXPECT_EQ(client->ask(":R#"), ":+008,+18944#");
    EXPECT_EQ(client->ask(":D#"), ":+002,-11072#");
    client->send("zz#:Q#  :RS# :R");
    EXPECT_EQ(client->readQuiet(), "");
    EXPECT_EQ(client->ask("#"), ":+008,+18944#"); // one frame across two writes

    client->send(":r+000,+15232#");
    client->send(":d-001,+20960#");
    client->send(":i#");
    EXPECT_EQ(client->ask(":R#"), ":+000,+15232#");
    EXPECT_EQ(client->ask(":D#"), ":-001,+20960#");
    EXPECT_EQ(simulator.commands(),
        (std::vector<std::string> {
            ":R#", ":D#", ":Q#", ":RS#", ":R#", ":r+000,+15232#", ":d-001,+20960#", ":i#", ":R#", ":D#" }));
    EXPECT_EQ(simulator.received().substr(0, 24), ":R#:D#zz#:Q#  :RS# :R#:r");
}

TEST_F(SimLine, SlewAnswersAtArrival)
{
    sim::Options options;
    options.rates.slew = 100.0;
    options.slewDoneReply = "Ok#";
    sim::MountSimulator fast(options);
    ASSERT_TRUE(fast.start());
    Client line(fast.devicePath());
    line.send(":r" + sim::raFields(32000) + "#:d" + sim::decFields(8000) + "#:T#"); // 10 degrees, 3 degrees
    EXPECT_EQ(line.readUntil("Ok#", kReplyTimeoutMs), "Ok#");
    EXPECT_FALSE(fast.slewing());
    EXPECT_EQ(line.ask(":R#"), ":+000,-00768#");

    const auto sent = sentEntries(fast);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().bytes, "Ok#");
    const double slewMs = sent.front().timeMs - receivedAtMs(fast, ":T#"); // RA: 10 degrees at 100 degrees/s
    EXPECT_GE(slewMs, 100.0);
    EXPECT_LT(slewMs, 150.0);
}

TEST_F(SimLine, ManualMovesFollowThePaddedSpeedCommand)
{
    simulator.setPosition(100000, 0);
    client->send(":M#  ");
    client->send(":e#");
    std::this_thread::sleep_for(100ms);
    client->send(":w#");
    client->send(":S#  ");
    ASSERT_TRUE(simulator.waitForCommands(4, kReplyTimeoutMs));
    const double movedMs = receivedAtMs(simulator, ":w#") - receivedAtMs(simulator, ":e#");
    EXPECT_GT(movedMs, 50.0);
    EXPECT_NEAR(static_cast<double>(simulator.raCount() - 100000), 3.0 * 3200 * movedMs / 1000, 2.0);

    // ":w#" with nothing moving goes west.
    const std::int64_t before = simulator.raCount();
    client->send(":G#  :w#");
    ASSERT_TRUE(simulator.waitForCommands(6, kReplyTimeoutMs));
    std::this_thread::sleep_for(50ms);
    EXPECT_LT(simulator.raCount(), before - 40); // 0.5 degree/s: 80 counts in 50 ms
    client->send(":w#");
    ASSERT_TRUE(simulator.waitForCommands(7, kReplyTimeoutMs));
    const std::int64_t stopped = simulator.raCount();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(simulator.raCount(), stopped);
}

TEST_F(SimLine, TraceRecordsBothDirectionsInOrder)
{
    std::vector<sim::TraceEntry> streamed;
    std::mutex streamedMutex;
    std::condition_variable streamedMore;
    simulator.setTraceSink([&](const sim::TraceEntry& entry) {
        std::lock_guard lock(streamedMutex);
        streamed.push_back(entry);
        streamedMore.notify_all();
    });
    client->ask(":R#");
    client->ask(":A#:D#");
    EXPECT_TRUE(simulator.autoguiding());
    client->ask(":a#:R#");
    EXPECT_FALSE(simulator.autoguiding());

    EXPECT_EQ(simulator.sent(), ":+000,-32768#:+000,+00000#:+000,-32768#");
    const auto trace = simulator.trace();
    std::string interleaved;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        interleaved += (trace[i].direction == sim::Direction::Received ? "<" : ">") + trace[i].bytes;
        EXPECT_GE(trace[i].timeMs, i > 0 ? trace[i - 1].timeMs : 0.0);
    }
    EXPECT_EQ(interleaved, "<:R#>:+000,-32768#<:A#:D#>:+000,+00000#<:a#:R#>:+000,-32768#");
    {
        std::unique_lock lock(streamedMutex);
        ASSERT_TRUE(streamedMore.wait_for(lock, 2s, [&] { return streamed.size() >= trace.size(); }));
        for (std::size_t i = 0; i < trace.size(); ++i)
            EXPECT_EQ(streamed[i].bytes, trace[i].bytes);
    }
    simulator.setTraceSink(nullptr);
    simulator.clearTrace();
    EXPECT_TRUE(simulator.trace().empty() && simulator.commands().empty() && simulator.received().empty());
}

TEST_F(SimLine, SilenceAndReplyDelay)
{
    simulator.setSilent(true);
    client->send(":R#");
    EXPECT_EQ(client->readQuiet(), "");
    EXPECT_EQ(simulator.commands(), std::vector<std::string> { ":R#" }); // still traced

    simulator.setSilent(false);
    simulator.setReplyDelayMs(120);
    client->send(":D#");
    EXPECT_EQ(client->readUntil("#", 80), "");
    EXPECT_EQ(client->readUntil("#", kReplyTimeoutMs), ":+000,+00000#");
}

TEST_F(SimLine, PacingSendsOneCharacterAtATimeAndInjectionAsIs)
{
    simulator.setPacing(true);
    EXPECT_EQ(client->ask(":R#"), ":+000,-32768#");
    const auto sent = sentEntries(simulator);
    ASSERT_EQ(sent.size(), 13u);
    for (const auto& entry : sent)
        EXPECT_EQ(entry.bytes.size(), 1u);
    EXPECT_GE(sent.back().timeMs - sent.front().timeMs, 12 * 1000.0 * sim::MountSimulator::kCharSeconds);

    simulator.setPacing(false);
    const std::string noise("Ok\0\xFF:#", 6);
    simulator.inject(noise);
    EXPECT_EQ(client->readUntil(noise, kReplyTimeoutMs), noise);
}

TEST_F(SimLine, GarbledRepliesAreOfTheChosenKindAndFollowTheSeed)
{
    const std::string clean = ":+000,-32768#";
    sim::Garble split;
    split.probability = 1.0;
    split.corrupt = split.stray = false;
    split.splitGapMs = 2;
    simulator.setGarble(split);
    EXPECT_EQ(client->ask(":R#") + client->ask(":R#"), clean + clean);
    EXPECT_EQ(sentEntries(simulator).size(), 4u);

    sim::Garble stray = split;
    stray.split = false;
    stray.stray = true;
    simulator.setGarble(stray);
    const std::string withStray = client->ask(":R#");
    EXPECT_GT(withStray.size(), clean.size());
    EXPECT_EQ(withStray.find(':'), withStray.size() - clean.size()); // the noise holds no ":"
    EXPECT_EQ(withStray.substr(withStray.size() - clean.size()), clean);

    sim::Garble mixed;
    mixed.probability = 0.5;
    mixed.seed = 42;
    mixed.corrupt = false; // every reply keeps its "#"
    std::string runs[2];
    for (auto& run : runs) {
        sim::MountSimulator other;
        ASSERT_TRUE(other.start());
        Client line(other.devicePath());
        other.setGarble(mixed);
        for (int i = 0; i < 6; ++i)
            line.ask(":R#");
        run = other.sent();
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0], clean + clean + clean + clean + clean + clean);
}

TEST_F(SimLine, ReopeningTheDeviceKeepsTheLineAndTheSimulatorIdle)
{
    const std::string path = simulator.devicePath();
    client.reset();
    const auto cpuUs = [] {
        rusage r {};
        ::getrusage(RUSAGE_SELF, &r);
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
    };
    const long before = cpuUs();
    std::this_thread::sleep_for(200ms);
    EXPECT_LT(cpuUs() - before, 20000L) << "the thread must block while nobody talks";

    Client again(path);
    ASSERT_GE(again.fd(), 0);
    EXPECT_EQ(again.ask(":R#"), ":+000,-32768#");
}

// What Linux gives the program when the far end of its pseudo-terminal closes.
TEST_F(SimLine, HangUpEndsTheLineForTheProgram)
{
    const std::string path = simulator.devicePath();
    client->send(":R#");
    ASSERT_TRUE(simulator.waitForSent("#", kReplyTimeoutMs));
    ASSERT_TRUE(simulator.hangUp());

    pollfd p { client->fd(), POLLIN, 0 };
    ASSERT_EQ(::poll(&p, 1, kReplyTimeoutMs), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char byte = 0;
    EXPECT_EQ(::read(client->fd(), &byte, 1), 0) << "unread reply dropped, then end of file";
    errno = 0;
    EXPECT_EQ(::write(client->fd(), ":R#", 3), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "the device is gone";
}

} // namespace
