// SPDX-License-Identifier: GPL-3.0-or-later
// selvane-sim: a simulated mount controller on a pseudo-terminal. Prints the device to give to the hand
// controller's --port on its first line, then the traffic, until SIGINT or SIGTERM.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>

#include "sim/MountSimulator.h"

namespace {

// A partial line is printed once nothing more has come in this long.
constexpr double kLineIdleMs = 20.0;
constexpr long kFlushTickNs = 50'000'000;

const char* const kUsage = "Usage: selvane-sim [options]\n"
                           "Simulated mount controller on a pseudo-terminal. The first line printed is the\n"
                           "device to open as the serial port; then each exchange, until interrupted.\n"
                           "\n"
                           "Options:\n"
                           "  --slew-rate DEG     slew rate in degrees per second (default 4)\n"
                           "  --reply-delay MS    wait before answering :R# and :D# (default 0)\n"
                           "  --pace              send at the pace of 9600 baud\n"
                           "  --silent            answer nothing\n"
                           "  --ih, --id, --ch, --np, --ma, --me ARCMIN\n"
                           "                      the mount's errors in Wallace's terms: index errors, collimation,\n"
                           "                      non-perpendicular axes, polar axis across and along the meridian;\n"
                           "                      with any of them, where the telescope truly points is printed\n"
                           "                      each time the mount comes to rest\n"
                           "  --latitude DEG, --longitude DEG (east positive)\n"
                           "                      the site, for the true place (default 0, 0); with it, the\n"
                           "                      true place is where the star seen in the eyepiece is: the sky\n"
                           "                      refracts, with the standard atmosphere at the site's altitude\n"
                           "  --altitude M, --temperature C, --pressure HPA\n"
                           "                      the site's altitude (default 0) and its air, when not standard\n"
                           "  --no-refraction     a sky without air\n"
                           "  --help              this text\n";

// Gathers the bytes of one direction into a line: a line ends after a "#" and the blanks that pad it, when
// the direction changes, or when nothing has come for a while (so that "Ok" shows up).
class TrafficPrinter {
public:
    void add(const sim::TraceEntry& entry)
    {
        std::lock_guard lock(mutex_);
        if (!text_.empty() && entry.direction != direction_)
            flushLocked();
        direction_ = entry.direction;
        lastMs_ = entry.timeMs;
        for (const char c : entry.bytes) {
            if (ended_ && c != ' ')
                flushLocked();
            if (text_.empty())
                startMs_ = entry.timeMs;
            text_.push_back(c);
            ended_ = ended_ || c == '#';
        }
    }

    void flushIdle(double nowMs)
    {
        std::lock_guard lock(mutex_);
        if (!text_.empty() && nowMs - lastMs_ >= kLineIdleMs)
            flushLocked();
    }

private:
    void flushLocked()
    {
        std::printf("%10.3f %s \"%s\"\n", startMs_, direction_ == sim::Direction::Received ? "<-" : "->",
            sim::printable(text_).c_str());
        std::fflush(stdout);
        text_.clear();
        ended_ = false;
    }

    std::mutex mutex_;
    std::string text_;
    sim::Direction direction_ = sim::Direction::Received;
    double startMs_ = 0;
    double lastMs_ = 0;
    bool ended_ = false;
};

// The errors and the site each set one field of MountErrors.
struct ErrorOption {
    std::string_view name;
    double sim::MountErrors::*field;
    double limit; // largest magnitude accepted
};

constexpr double kMaxErrorArcmin = 600; // 10 degrees: beyond that it is not a mount any more
const ErrorOption kErrorOptions[] = {
    { "--ih", &sim::MountErrors::ihArcmin, kMaxErrorArcmin },
    { "--id", &sim::MountErrors::idArcmin, kMaxErrorArcmin },
    { "--ch", &sim::MountErrors::chArcmin, kMaxErrorArcmin },
    { "--np", &sim::MountErrors::npArcmin, kMaxErrorArcmin },
    { "--ma", &sim::MountErrors::maArcmin, kMaxErrorArcmin },
    { "--me", &sim::MountErrors::meArcmin, kMaxErrorArcmin },
    { "--latitude", &sim::MountErrors::latitudeDeg, 90 },
    { "--longitude", &sim::MountErrors::longitudeDeg, 180 },
    { "--altitude", &sim::MountErrors::altitudeM, 10000 },
    { "--temperature", &sim::MountErrors::temperatureC, 60 },
    { "--pressure", &sim::MountErrors::pressureHPa, 1100 },
};

// "05h12m34.5s +45°12'34\" alt 38.2°": the true place as an observer would read it.
std::string describe(const sim::TruePointing& place)
{
    constexpr double kDegPerRad = 180.0 / std::numbers::pi;
    // In tenths of a second of time and of arc, rounded once so that 59.96 s shows as the next minute.
    const long long raTenths = std::llround(place.raRad * kDegPerRad * 2400.0) % 864000;
    const long long decTenths = std::llround(std::abs(place.decRad) * kDegPerRad * 36000.0);
    char text[96];
    std::snprintf(text, sizeof text,
        "%02lldh%02lldm%02lld.%llds %c%02lld\u00b0%02lld'%02lld.%lld\" alt %.1f\u00b0", raTenths / 36000,
        raTenths / 600 % 60, raTenths / 10 % 60, raTenths % 10, place.decRad < 0 ? '-' : '+',
        decTenths / 36000, decTenths / 600 % 60, decTenths / 10 % 60, decTenths % 10,
        place.altitudeRad * kDegPerRad);
    return text;
}

bool parseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv)
{
    sim::Options options;
    bool siteGiven = false;
    bool noRefraction = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        double value = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--pace") {
            options.pacing = true;
        } else if (arg == "--silent") {
            options.silent = true;
        } else if (arg == "--no-refraction") {
            noRefraction = true;
        } else if (const auto* option = std::find_if(std::begin(kErrorOptions), std::end(kErrorOptions),
                       [&](const ErrorOption& o) { return o.name == arg; });
                   option != std::end(kErrorOptions) && i + 1 < argc && parseNumber(argv[i + 1], value)
                   && std::abs(value) <= option->limit
                   && (option->field != &sim::MountErrors::pressureHPa || value > 0)) {
            options.errors.*(option->field) = value;
            siteGiven = siteGiven || arg == "--latitude" || arg == "--longitude";
            ++i;
        } else if ((arg == "--slew-rate" || arg == "--reply-delay") && i + 1 < argc
            && parseNumber(argv[i + 1], value) && value >= 0) {
            if (arg == "--slew-rate")
                options.rates.slew = value;
            else
                options.replyDelayMs = static_cast<int>(value);
            ++i;
        } else {
            std::fprintf(stderr, "selvane-sim: bad option '%s'\n\n%s", argv[i], kUsage);
            return 2;
        }
    }
    options.errors.refraction = siteGiven && !noRefraction;

    // The simulator's thread inherits this mask, so only sigtimedwait below sees the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const auto start = std::chrono::steady_clock::now(); // the trace's time origin, near enough
    sim::MountSimulator simulator(options);
    TrafficPrinter printer;
    simulator.setTraceSink([&printer](const sim::TraceEntry& entry) { printer.add(entry); });
    if (!simulator.start()) {
        std::fputs("selvane-sim: cannot open a pseudo-terminal\n", stderr);
        return 1;
    }
    std::printf("%s\n", simulator.devicePath().c_str());
    std::fflush(stdout);

    const timespec tick { 0, kFlushTickNs };
    // With errors, the true place once the counts have held still for a tick and differ from the last shown.
    const bool showTruePlace = options.errors.any();
    std::pair<std::int64_t, std::int64_t> lastCounts { -1, 0 }, shownCounts { -1, 0 };
    for (;;) {
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        if (signal == SIGINT || signal == SIGTERM)
            break;
        const double nowMs
            = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        printer.flushIdle(nowMs);
        if (showTruePlace && !simulator.slewing()) {
            const std::pair counts { simulator.raCount(), simulator.decCount() };
            if (counts == lastCounts && counts != shownCounts) {
                printer.flushIdle(1e300);
                std::printf("%10.3f == true place %s\n", nowMs,
                    describe(
                        simulator.truePointing(counts.first, counts.second, std::chrono::system_clock::now()))
                        .c_str());
                std::fflush(stdout);
                shownCounts = counts;
            }
            lastCounts = counts;
        }
    }
    simulator.stop();
    printer.flushIdle(1e300);
    return 0;
}
