// SPDX-License-Identifier: GPL-3.0-or-later
// A mount controller on the far end of a pseudo-terminal: the program opens devicePath() as its serial
// port and talks to it as to the real controller. One thread blocks in poll() on the pty's master side,
// answers the commands (see MountModel for what each one does), and records every byte both ways.
//
// Frames: a command runs from ":" to "#"; anything outside a frame (the blanks padding ":RS# ", noise) is
// dropped, so commands() lists ":RS#" for ":RS# ". received() keeps the bytes exactly as they came.
//
// Hang-up: hangUp() closes both sides held here; Linux then hangs up every open of the slave: poll() on
// it reports POLLIN|POLLERR|POLLHUP, read() returns 0 (unread replies are lost), write() fails with EIO,
// and the /dev/pts node disappears. There is no coming back: a new simulator gets a new device.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sim/MountErrors.h"
#include "sim/MountModel.h"
#include "sim/Protocol.h"

namespace sim {

// Faults put into replies (position replies and the slew-done text; not injected bytes). Each reply is
// hit with the given probability; a hit applies one of the enabled faults, chosen at random:
// - corrupt: one byte replaced by another printable character (which may break the frame);
// - stray: one to four noise bytes (never ":" or "#") sent just before the reply;
// - split: the reply sent in two writes, `splitGapMs` apart.
struct Garble {
    double probability = 0.0;
    std::uint32_t seed = 1;
    bool corrupt = true;
    bool stray = true;
    bool split = true;
    int splitGapMs = 5;
};

struct Options {
    Rates rates {}; // slew and manual rates, degrees per second
    std::int64_t raCount = 0; // starting position
    std::int64_t decCount = 0;
    int replyDelayMs = 0; // before answering ":R#" and ":D#"
    bool pacing = false; // send at the pace of 9600 baud, one byte per write
    bool silent = false; // interpret nothing, answer nothing (a slew under way still ends, without "Ok")
    std::string slewDoneReply = "Ok"; // sent when a slew arrives
    Garble garble {};
    std::size_t traceCapacity = 100000; // trace entries and commands kept
    MountErrors errors {}; // none: the telescope points exactly where the counts say
};

// Where the telescope truly points, of the date: the counts read as right ascension and declination at the
// site's sidereal time, carried through the mount's errors.
struct TruePointing {
    double raRad = 0; // right ascension, radians in [0, 2 pi)
    double decRad = 0;
    double altitudeRad = 0;
};

enum class Direction { Received, Sent };

// One read from the program or one write to it.
struct TraceEntry {
    double timeMs = 0; // since the simulator was created
    Direction direction = Direction::Received;
    std::string bytes;
};

class MountSimulator {
public:
    // Time of one character at 9600 baud, 10 bits with start and stop bits.
    static constexpr double kCharSeconds = 10.0 / 9600.0;
    // Bytes kept by received() and sent().
    static constexpr std::size_t kByteLogCapacity = std::size_t { 1 } << 20;

    explicit MountSimulator(Options options = {});
    ~MountSimulator(); // stops and joins
    MountSimulator(const MountSimulator&) = delete;
    MountSimulator& operator=(const MountSimulator&) = delete;

    // Opens the pseudo-terminal (master non-blocking, slave raw and held open here so that the program
    // may close and reopen it) and starts the thread. False on failure or when already started.
    bool start();
    void stop();
    bool running() const;
    // The slave device to open as the serial port, e.g. "/dev/pts/3"; empty before start().
    std::string devicePath() const;

    // Mount state, at the present moment.
    std::int64_t raCount() const;
    std::int64_t decCount() const;
    void setPosition(std::int64_t ra, std::int64_t dec); // stops any motion
    std::int64_t targetRaCount() const;
    std::int64_t targetDecCount() const;
    bool autoguiding() const;
    bool slewing() const;
    // Where the telescope truly points now (the system clock gives the sidereal time). The counts are
    // as the controller reads them: what its initialisations renamed them by is taken off.
    TruePointing truePointing() const;
    TruePointing truePointing(
        std::int64_t ra, std::int64_t dec, std::chrono::system_clock::time_point when) const;

    // Knobs; each takes effect at once, from any thread.
    void setReplyDelayMs(int ms);
    void setPacing(bool on);
    void setSlewRateDegPerSec(double degPerSec); // from the next ":T#" on
    void setSilent(bool on);
    void inject(std::string bytes); // sent now, as is (behind a reply already being sent); not garbled
    void setGarble(const Garble& garble); // reseeds the generator
    // Closes the line for good; waits (at most 2 s) for the thread to do it. False if it did not happen.
    bool hangUp();
    bool hungUp() const;

    // Trace since creation or the last clearTrace(), the latest traceCapacity entries.
    std::vector<TraceEntry> trace() const;
    std::string received() const; // every byte received, in order (the latest kByteLogCapacity)
    std::string sent() const;
    std::vector<std::string> commands() const; // frames received, e.g. ":R#", ":r+008,+18944#"
    void clearTrace();
    // Called on the simulator's thread, outside its lock, for every new entry; nullptr to stop.
    void setTraceSink(std::function<void(const TraceEntry&)> sink);

    // Bounded waits for tests: true once n commands have come since the last clearTrace(), or once `text`
    // appears in the bytes sent since then; false after timeoutMs.
    bool waitForCommands(std::size_t n, int timeoutMs) const;
    bool waitForSent(std::string_view text, int timeoutMs) const;

private:
    struct Outgoing {
        double due = 0; // seconds
        std::uint64_t seq = 0;
        std::string bytes;
        std::size_t splitAt = 0; // 0: not split
        double gap = 0;
    };

    double now() const;
    void run();
    void readMaster(double t);
    void handleFrame(const std::string& frame, double t);
    void queueReply(std::string reply, double due);
    void queue(Outgoing item);
    void transmit(double t);
    std::optional<double> nextWake() const;
    void record(Direction direction, std::string_view bytes, double t);
    void closeLine();
    void wake() const;

    const std::chrono::steady_clock::time_point origin_;
    Options options_;
    MountModel model_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::thread thread_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool hangUpRequested_ = false;
    bool hungUp_ = false;

    int masterFd_ = -1;
    int slaveFd_ = -1;
    int wakeFd_ = -1;
    std::string path_;

    FrameSplitter splitter_;
    std::deque<Outgoing> queue_;
    std::optional<Outgoing> current_;
    std::size_t sendPos_ = 0;
    double nextByteAt_ = 0;
    double lineFreeAt_ = 0;
    bool waitWritable_ = false;
    std::uint64_t seq_ = 0;
    std::mt19937 rng_;

    std::deque<TraceEntry> trace_;
    std::deque<std::string> commands_;
    std::size_t commandCount_ = 0;
    std::string received_;
    std::string sent_;
    std::function<void(const TraceEntry&)> sink_;
    std::vector<TraceEntry> pendingSink_;
};

} // namespace sim
