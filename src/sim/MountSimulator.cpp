// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's pseudo-terminal, its thread, the outgoing queue with pacing and faults, and the trace.
#include "sim/MountSimulator.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <ctime>
#include <numbers>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr std::chrono::seconds kHangUpWait { 2 };
constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxStrayBytes = 4;
// Noise that a reader skipping up to ":" passes over; no ":" and no "#".
constexpr std::string_view kStrayAlphabet { "Ok?x*~ \r\n\x00\x7F\xFF", 12 };

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool addFdFlags(int fd, int getCmd, int setCmd, int flags)
{
    const int old = ::fcntl(fd, getCmd);
    return old >= 0 && ::fcntl(fd, setCmd, old | flags) == 0;
}

timespec toTimespec(double seconds)
{
    timespec ts {};
    seconds = std::max(seconds, 0.0);
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    return ts;
}

} // namespace

MountSimulator::MountSimulator(Options options)
    : origin_(std::chrono::steady_clock::now())
    , options_(std::move(options))
    , model_(options_.rates)
    , rng_(options_.garble.seed)
{
    model_.setPosition(options_.raCount, options_.decCount, 0.0);
}

MountSimulator::~MountSimulator()
{
    stop();
}

double MountSimulator::now() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - origin_).count();
}

bool MountSimulator::start()
{
    std::lock_guard lock(mutex_);
    if (running_)
        return false;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    std::array<char, PATH_MAX> name {};
    termios tio {};
    const bool ready = ::ttyname_r(slave, name.data(), name.size()) == 0
        && addFdFlags(master, F_GETFL, F_SETFL, O_NONBLOCK)
        && addFdFlags(master, F_GETFD, F_SETFD, FD_CLOEXEC) && addFdFlags(slave, F_GETFD, F_SETFD, FD_CLOEXEC)
        && ::tcgetattr(slave, &tio) == 0;
    if (ready) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
    }
    const int wake
        = ready && ::tcsetattr(slave, TCSANOW, &tio) == 0 ? ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) : -1;
    if (wake < 0) {
        ::close(master);
        ::close(slave);
        return false;
    }
    masterFd_ = master;
    slaveFd_ = slave;
    wakeFd_ = wake;
    path_ = name.data();
    stopRequested_ = false;
    hangUpRequested_ = false;
    hungUp_ = false;
    running_ = true;
    thread_ = std::thread(&MountSimulator::run, this);
    return true;
}

void MountSimulator::stop()
{
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        stopRequested_ = true;
        wake();
    }
    thread_.join();
    std::lock_guard lock(mutex_);
    closeLine();
    closeFd(wakeFd_);
    running_ = false;
}

bool MountSimulator::running() const
{
    std::lock_guard lock(mutex_);
    return running_;
}

std::string MountSimulator::devicePath() const
{
    std::lock_guard lock(mutex_);
    return path_;
}

void MountSimulator::wake() const
{
    if (wakeFd_ < 0)
        return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void MountSimulator::closeLine()
{
    closeFd(masterFd_);
    closeFd(slaveFd_);
    queue_.clear();
    current_.reset();
    waitWritable_ = false;
    splitter_.reset();
}

void MountSimulator::run()
{
    std::unique_lock lock(mutex_);
    while (!stopRequested_) {
        if (hangUpRequested_) {
            closeLine();
            hangUpRequested_ = false;
            hungUp_ = true;
            changed_.notify_all();
        }
        const double t = now();
        if (model_.finishSlew(t) && !options_.silent)
            queueReply(options_.slewDoneReply, t);
        transmit(t);

        const std::optional<double> wakeAt = nextWake();
        std::array<pollfd, 2> fds { {
            { masterFd_, static_cast<short>(POLLIN | (waitWritable_ ? POLLOUT : 0)), 0 },
            { wakeFd_, POLLIN, 0 },
        } };
        std::vector<TraceEntry> entries;
        entries.swap(pendingSink_);
        const auto sink = sink_;
        lock.unlock();

        if (sink) {
            for (const TraceEntry& entry : entries)
                sink(entry);
        }
        timespec timeout {};
        if (wakeAt)
            timeout = toTimespec(*wakeAt - now());
        const int ready = ::ppoll(fds.data(), fds.size(), wakeAt ? &timeout : nullptr, nullptr);

        lock.lock();
        if (ready <= 0)
            continue;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
        }
        if (masterFd_ >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            readMaster(now());
    }
}

void MountSimulator::readMaster(double t)
{
    std::array<char, kReadChunk> buffer {};
    std::vector<std::string> frames;
    for (;;) {
        const ssize_t n = ::read(masterFd_, buffer.data(), buffer.size());
        if (n > 0) {
            const std::string_view bytes(buffer.data(), static_cast<std::size_t>(n));
            record(Direction::Received, bytes, t);
            frames.clear();
            splitter_.feed(bytes, frames);
            for (const std::string& frame : frames)
                handleFrame(frame, t);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // The slave side is gone although it is held open here: treat the line as hung up.
        closeLine();
        hungUp_ = true;
        changed_.notify_all();
        return;
    }
}

void MountSimulator::handleFrame(const std::string& frame, double t)
{
    commands_.push_back(frame);
    ++commandCount_;
    while (commands_.size() > options_.traceCapacity)
        commands_.pop_front();
    changed_.notify_all();
    if (options_.silent)
        return;
    std::string reply = model_.handle(frame, t);
    if (!reply.empty())
        queueReply(std::move(reply), t + options_.replyDelayMs / 1000.0);
}

void MountSimulator::queueReply(std::string reply, double due)
{
    Outgoing item;
    item.due = due;
    item.bytes = std::move(reply);
    const Garble& garble = options_.garble;
    if (garble.probability > 0 && !item.bytes.empty()
        && std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < garble.probability) {
        enum Fault { Corrupt, Stray, Split };
        std::vector<Fault> faults;
        if (garble.corrupt)
            faults.push_back(Corrupt);
        if (garble.stray)
            faults.push_back(Stray);
        if (garble.split && item.bytes.size() >= 2)
            faults.push_back(Split);
        if (!faults.empty()) {
            const auto pick = std::uniform_int_distribution<std::size_t>(0, faults.size() - 1)(rng_);
            switch (faults[pick]) {
            case Corrupt: {
                const auto at = std::uniform_int_distribution<std::size_t>(0, item.bytes.size() - 1)(rng_);
                char replacement = item.bytes[at];
                while (replacement == item.bytes[at])
                    replacement = static_cast<char>(std::uniform_int_distribution<int>('!', '~')(rng_));
                item.bytes[at] = replacement;
                break;
            }
            case Stray: {
                const auto count = std::uniform_int_distribution<std::size_t>(1, kMaxStrayBytes)(rng_);
                std::string noise;
                for (std::size_t i = 0; i < count; ++i)
                    noise.push_back(kStrayAlphabet[std::uniform_int_distribution<std::size_t>(
                        0, kStrayAlphabet.size() - 1)(rng_)]);
                item.bytes.insert(0, noise);
                break;
            }
            case Split:
                item.splitAt = std::uniform_int_distribution<std::size_t>(1, item.bytes.size() - 1)(rng_);
                item.gap = garble.splitGapMs / 1000.0;
                break;
            }
        }
    }
    queue(std::move(item));
}

void MountSimulator::queue(Outgoing item)
{
    item.seq = seq_++;
    const auto at = std::upper_bound(queue_.begin(), queue_.end(), item.due,
        [](double due, const Outgoing& other) { return due < other.due; });
    queue_.insert(at, std::move(item));
}

void MountSimulator::transmit(double t)
{
    while (masterFd_ >= 0) {
        if (!current_) {
            if (queue_.empty() || std::max(queue_.front().due, lineFreeAt_) > t)
                return;
            current_ = std::move(queue_.front());
            queue_.pop_front();
            sendPos_ = 0;
            nextByteAt_ = t;
        }
        if (nextByteAt_ > t)
            return;
        const std::string& bytes = current_->bytes;
        std::size_t end = current_->splitAt > sendPos_ ? current_->splitAt : bytes.size();
        if (options_.pacing)
            end = sendPos_ + 1;
        const ssize_t n = ::write(masterFd_, bytes.data() + sendPos_, end - sendPos_);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                waitWritable_ = true; // the program is not reading; POLLOUT resumes
                return;
            }
            current_.reset();
            queue_.clear();
            return;
        }
        waitWritable_ = false;
        const auto written = static_cast<std::size_t>(n);
        record(Direction::Sent, std::string_view(bytes).substr(sendPos_, written), t);
        sendPos_ += written;
        nextByteAt_ = options_.pacing ? t + kCharSeconds * static_cast<double>(written) : t;
        if (sendPos_ == current_->splitAt)
            nextByteAt_ += current_->gap;
        if (sendPos_ >= bytes.size()) {
            lineFreeAt_ = nextByteAt_;
            current_.reset();
        }
    }
}

std::optional<double> MountSimulator::nextWake() const
{
    std::optional<double> at = model_.slewArrival();
    const auto consider = [&at](double t) {
        if (!at || t < *at)
            at = t;
    };
    if (masterFd_ >= 0 && !waitWritable_) {
        if (current_)
            consider(nextByteAt_);
        else if (!queue_.empty())
            consider(std::max(queue_.front().due, lineFreeAt_));
    }
    return at;
}

void MountSimulator::record(Direction direction, std::string_view bytes, double t)
{
    TraceEntry entry { t * 1000.0, direction, std::string(bytes) };
    std::string& log = direction == Direction::Received ? received_ : sent_;
    log.append(bytes);
    if (log.size() > kByteLogCapacity)
        log.erase(0, log.size() - kByteLogCapacity);
    if (sink_)
        pendingSink_.push_back(entry);
    trace_.push_back(std::move(entry));
    while (trace_.size() > options_.traceCapacity)
        trace_.pop_front();
    if (direction == Direction::Sent)
        changed_.notify_all();
}

std::int64_t MountSimulator::raCount() const
{
    std::lock_guard lock(mutex_);
    return model_.raCount(now());
}

std::int64_t MountSimulator::decCount() const
{
    std::lock_guard lock(mutex_);
    return model_.decCount(now());
}

void MountSimulator::setPosition(std::int64_t ra, std::int64_t dec)
{
    std::lock_guard lock(mutex_);
    model_.setPosition(ra, dec, now());
    wake();
}

std::int64_t MountSimulator::targetRaCount() const
{
    std::lock_guard lock(mutex_);
    return model_.targetRa();
}

std::int64_t MountSimulator::targetDecCount() const
{
    std::lock_guard lock(mutex_);
    return model_.targetDec();
}

bool MountSimulator::autoguiding() const
{
    std::lock_guard lock(mutex_);
    return model_.autoguiding();
}

bool MountSimulator::slewing() const
{
    std::lock_guard lock(mutex_);
    return model_.slewing();
}

TruePointing MountSimulator::truePointing() const
{
    return truePointing(raCount(), decCount(), std::chrono::system_clock::now());
}

TruePointing MountSimulator::truePointing(
    std::int64_t ra, std::int64_t dec, std::chrono::system_clock::time_point when) const
{
    constexpr double kRadPerDegree = std::numbers::pi / 180.0;
    const MountErrors& errors = options_.errors;
    const double lst = localSiderealTime(errors.longitudeDeg, when);
    // The axes' own angles: the counts less what the initialisations renamed them by.
    std::int64_t raOffset = 0, decOffset = 0;
    {
        std::lock_guard lock(mutex_);
        raOffset = model_.raSyncOffset();
        decOffset = model_.decSyncOffset();
    }
    const double raRad = static_cast<double>(ra - raOffset) / kRaCountsPerDegree * kRadPerDegree;
    const double decRad = static_cast<double>(dec - decOffset) / kDecCountsPerDegree * kRadPerDegree;
    const LocalPlace sky = seenPlace(errors, truePlace(errors, { lst - raRad, decRad }));
    const double trueRa = std::remainder(lst - sky.ha, 2 * std::numbers::pi);
    return { trueRa < 0 ? trueRa + 2 * std::numbers::pi : trueRa, sky.dec,
        altitude(sky, errors.latitudeDeg) };
}

void MountSimulator::setReplyDelayMs(int ms)
{
    std::lock_guard lock(mutex_);
    options_.replyDelayMs = std::max(ms, 0);
}

void MountSimulator::setPacing(bool on)
{
    std::lock_guard lock(mutex_);
    options_.pacing = on;
    wake();
}

void MountSimulator::setSlewRateDegPerSec(double degPerSec)
{
    std::lock_guard lock(mutex_);
    model_.setSlewRate(degPerSec);
}

void MountSimulator::setSilent(bool on)
{
    std::lock_guard lock(mutex_);
    options_.silent = on;
}

void MountSimulator::inject(std::string bytes)
{
    std::lock_guard lock(mutex_);
    if (masterFd_ < 0)
        return;
    Outgoing item;
    item.due = now();
    item.bytes = std::move(bytes);
    queue(std::move(item));
    wake();
}

void MountSimulator::setGarble(const Garble& garble)
{
    std::lock_guard lock(mutex_);
    options_.garble = garble;
    rng_.seed(garble.seed);
}

bool MountSimulator::hangUp()
{
    std::unique_lock lock(mutex_);
    if (hungUp_)
        return true;
    if (!running_) {
        closeLine();
        hungUp_ = true;
        return true;
    }
    hangUpRequested_ = true;
    wake();
    return changed_.wait_for(lock, kHangUpWait, [this] { return hungUp_; });
}

bool MountSimulator::hungUp() const
{
    std::lock_guard lock(mutex_);
    return hungUp_;
}

std::vector<TraceEntry> MountSimulator::trace() const
{
    std::lock_guard lock(mutex_);
    return { trace_.begin(), trace_.end() };
}

std::string MountSimulator::received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::string MountSimulator::sent() const
{
    std::lock_guard lock(mutex_);
    return sent_;
}

std::vector<std::string> MountSimulator::commands() const
{
    std::lock_guard lock(mutex_);
    return { commands_.begin(), commands_.end() };
}

void MountSimulator::clearTrace()
{
    std::lock_guard lock(mutex_);
    trace_.clear();
    commands_.clear();
    commandCount_ = 0;
    received_.clear();
    sent_.clear();
}

void MountSimulator::setTraceSink(std::function<void(const TraceEntry&)> sink)
{
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
    if (!sink_)
        pendingSink_.clear();
}

bool MountSimulator::waitForCommands(std::size_t n, int timeoutMs) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(
        lock, std::chrono::milliseconds(timeoutMs), [this, n] { return commandCount_ >= n; });
}

bool MountSimulator::waitForSent(std::string_view text, int timeoutMs) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
        [this, text] { return sent_.find(text) != std::string::npos; });
}

} // namespace sim
