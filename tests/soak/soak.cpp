// SPDX-License-Identifier: GPL-3.0-or-later
// Soak: the real window (offscreen) queries the in-process mount simulator over a pseudo-terminal,
// thousands of times, on a noisy line: stray bytes between replies, replies split across reads or
// corrupted, random reply delays up to and now and then past the reply time limit. The window's clock
// runs faster than real time so that the time limits pass quickly; its waits still sleep.
//
// After every query each label must show its axis's true position, what it showed before, or the last
// true reading of that axis (a malformed reply keeps its own field and the query goes on, so one label
// may move while the other stays): never a reply taken for another one, never a declination read as a
// right ascension. A reply corrupted into another one the protocol allows (a digit into another digit,
// a sign into a digit) cannot be told from a true one, the line having no checksum: what it shows is
// counted apart, not as wrong.
// Memory is read at the start, after the first 1,000 queries and at the end; the log box is emptied
// every 1,000 queries so that its own text is not counted.
//
//   soak [--queries N] [--speed X] [--seed N] [--garble P] [--eager] [--verbose]
//
// --eager queries again at once after a time-out (as a user clicking "?" straight away) instead of at
// the next tick of the 3 s timer. Exit status 0 when no wrong position was shown and memory stayed flat.
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "window/app/frmTKR52princ.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"
#include "protocol/codec.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"

namespace {

using W = frmTKR52princ;

// The window's query period and reply time limit, in the window's own (sped-up) milliseconds.
constexpr std::int64_t TickMs = 3000;
constexpr std::int64_t ReplyLimitMs = 2000;
constexpr int ClearEvery = 1000;
// Memory growth between query 1,000 and the end that still counts as flat.
constexpr double FlatMemoryMb = 4.0;
constexpr std::int64_t RaTurn = sim::kRaCountsPerTurn;
constexpr std::int64_t DecPole = sim::kDecCountsAtPole;

struct Settings {
    int queries = 10000;
    int speed = 20;
    std::uint32_t seed = 1;
    double garble = 0.1;
    bool eager = false;
    bool verbose = false;
};

// The window's clock runs `speed` times faster than real time. A wait with nothing to read still
// blocks in the event loop until data, an event or its deadline (scaled to real time) wakes it.
class FastSystem : public platform::qt::QtSystem {
public:
    explicit FastSystem(int speedFactor) : speed(speedFactor)
    {
        real.start();
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
    }
    std::int64_t monotonicMs() const override { return real.nsecsElapsed() * speed / 1'000'000; }
    void waitForEvents(std::int64_t deadlineMs) override
    {
        const std::int64_t remaining = deadlineMs - monotonicMs();
        if (remaining <= 0)
            return;
        wake.start(static_cast<int>((remaining + speed - 1) / speed));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        wake.stop();
        ++sleeps;
    }
    // No box opens during the soak; none is expected.
    void beep() override {}
    void messageBox(const std::string& text, const std::string&) override { unexpected(text); }
    platform::Answer askOkCancel(const std::string& text, const std::string&) override
    {
        unexpected(text);
        return platform::Answer::Cancel;
    }
    platform::Answer askOkCancelWarning(const std::string& text, const std::string&) override
    {
        unexpected(text);
        return platform::Answer::Cancel;
    }
    void information(const std::string& text, const std::string&) override { unexpected(text); }
    [[noreturn]] void endNow(int) override
    {
        std::fprintf(stderr, "soak: the program ended itself\n");
        std::exit(2);
    }

    long sleeps = 0;
    int boxes = 0;

private:
    void unexpected(const std::string& text)
    {
        ++boxes;
        std::fprintf(stderr, "soak: unexpected box: %s\n", text.c_str());
    }
    const std::int64_t speed;
    QElapsedTimer real;
    QTimer wake;
};

double residentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return -1;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Sleeps in the event loop for a span of the window's time.
void passWindowTime(std::int64_t windowMs, int speed)
{
    if (windowMs <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>((windowMs + speed - 1) / speed), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Position {
    std::int64_t ra = 0;
    std::int64_t dec = 0;
    std::string alpha() const { return W::texteAD(static_cast<double>(ra)); }
    std::string delta() const { return W::texteDEC(static_cast<std::int32_t>(dec)); }
};

// What one logged reply turned out to be.
enum class Reply { True, Missing, Malformed, Stale, Implausible, Plausible };

// A reply the controller could have sent: ":", sign, 3 digits, ",", sign, 5 digits, "#", the low
// field within -32768 ... 32768. A byte corrupted into another such reply (a digit into a digit, a
// sign into the other sign) cannot be told from a true one: the line has no checksum.
bool plausible(const std::string& reply)
{
    static const char shape[] = ":s999,s99999#";
    if (reply.size() != sizeof shape - 1)
        return false;
    for (std::size_t i = 0; i < reply.size(); ++i) {
        const char c = reply[i];
        const bool fits = shape[i] == 's' ? (c == '+' || c == '-')
            : shape[i] == '9'             ? (c >= '0' && c <= '9')
                                          : c == shape[i];
        if (!fits)
            return false;
    }
    return std::abs(std::atoi(reply.c_str() + 6)) <= 32768;
}

struct Figures {
    int queries = 0;
    int complete = 0; // both replies logged and true
    int timeouts = 0; // "pas de réponse" lines
    int malformed = 0; // logged replies that do not decode
    int implausible = 0; // logged replies that decode, but are not of the controller's form
    int plausible = 0; // logged replies corrupted into another reply of the controller's form
    int stale = 0; // logged replies of an earlier position or of the other axis
    int unparsed = 0; // log lines that are not a query's
    int wrongShown = 0;
    int wrongAfterMalformed = 0; // one half from this query, the other kept from before
    int wrongFromImplausible = 0; // a corrupted reply that decodes, though not of the controller's form
    int wrongFromStale = 0; // a late reply taken as the answer to a later command
    int falseFromPlausible = 0; // a reply corrupted into another valid one: not counted as wrong
    int plannedLate = 0;
    int strayBursts = 0;
    int moves = 0;
    std::int64_t longestQueryMs = 0;
    int overLimit = 0;
};

} // namespace

int main(int argc, char** argv)
{
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "soak: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--queries")
            settings.queries = std::atoi(value());
        else if (a == "--speed")
            settings.speed = std::max(1, std::atoi(value()));
        else if (a == "--seed")
            settings.seed = static_cast<std::uint32_t>(std::strtoul(value(), nullptr, 10));
        else if (a == "--garble")
            settings.garble = std::strtod(value(), nullptr);
        else if (a == "--eager")
            settings.eager = true;
        else if (a == "--verbose")
            settings.verbose = true;
        else {
            std::fprintf(stderr, "usage: soak [--queries N] [--speed X] [--seed N] [--garble P] [--eager] [--verbose]\n");
            return 2;
        }
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        // The offscreen platform's warnings say nothing about the program.
        if (type != QtDebugMsg && !text.contains(QLatin1String("propagateSizeHints"))
            && !text.contains(QLatin1String("XDG_RUNTIME_DIR")))
            std::fprintf(stderr, "qt: %s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    std::mt19937 rng(settings.seed);
    auto chance = [&rng](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto between = [&rng](std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(rng);
    };

    // The controller: garbles a share of its replies (stray bytes before one, a reply split in two
    // writes, a byte replaced); keeps a short trace only, so that its own memory stays flat.
    Position mount {576000, 120000};
    sim::Options options;
    options.raCount = mount.ra;
    options.decCount = mount.dec;
    options.traceCapacity = 1000;
    options.garble.probability = settings.garble;
    options.garble.seed = settings.seed;
    options.garble.splitGapMs = std::max(1, static_cast<int>(200 / settings.speed));
    sim::MountSimulator controller(options);
    if (!controller.start()) {
        std::fprintf(stderr, "soak: the simulator did not start\n");
        return 2;
    }

    // The reply delay of each reply, in the window's milliseconds: mostly quick, some slow, a few at
    // the limit and a few past it (late replies, which reach the line after the window gave up).
    auto drawDelay = [&]() -> std::int64_t {
        const double u = std::uniform_real_distribution<double>(0, 1)(rng);
        if (u < 0.90)
            return between(0, 40);
        if (u < 0.96)
            return between(40, 1900);
        if (u < 0.98)
            return between(1900, ReplyLimitMs);
        return between(ReplyLimitMs + 60, ReplyLimitMs + 600);
    };
    std::atomic<int> nextDelayRealMs {0};
    std::atomic<int> lateCount {0};
    auto realDelay = [&](std::int64_t windowMs) {
        if (windowMs > ReplyLimitMs)
            ++lateCount;
        return static_cast<int>(windowMs / settings.speed);
    };
    // The declination reply gets a delay of its own: set as soon as the controller has read ":R#".
    controller.setTraceSink([&](const sim::TraceEntry& entry) {
        if (entry.direction == sim::Direction::Received && entry.bytes.find(":R#") != std::string::npos)
            controller.setReplyDelayMs(nextDelayRealMs.load());
    });

    platform::qt::QtSerialPort port(QString::fromStdString(controller.devicePath()));
    platform::qt::MainWindow window(port);
    FastSystem system(settings.speed);
    system.setWindow(&window);
    W form(window, system);
    window.connectTo(form);
    form.Form_Load();
    if (!form.demarre()) {
        std::fprintf(stderr, "soak: the window could not open %s\n", controller.devicePath().c_str());
        return 2;
    }
    // The periodic query stays off: the soak runs the queries itself.
    form.Timerconsult.setEnabled(false);
    window.armTimers();
    window.show();
    app.processEvents();
    auto* log = window.findChild<QPlainTextEdit*>(QStringLiteral("edtsaisie"));
    if (!log) {
        std::fprintf(stderr, "soak: no log box\n");
        return 2;
    }

    Figures fig;
    const double startMb = residentMb();
    double mbAt1000 = startMb;
    const auto startTime = std::chrono::steady_clock::now();
    const double startCpu = cpuSeconds();
    std::string shownAlpha = form.affalpha.caption();
    std::string shownDelta = form.affdelta.caption();
    // The last true reading of each axis: a query whose other reply failed keeps it in the
    // window's position fields, and a later query shows it.
    std::string readAlpha = shownAlpha;
    std::string readDelta = shownDelta;
    std::vector<Position> earlier {mount}; // recent positions, for telling stale replies
    int reported = 0;
    // The previous query, for telling where a stale reply came from.
    std::vector<std::string> previousLines;
    std::int64_t previousTookMs = 0;
    std::int64_t previousGapMs = 0;

    for (int q = 1; q <= settings.queries; ++q) {
        // Half the time the mount is somewhere else, so that one reply is told from another: right
        // ascension and declination drawn apart, so that neither reads as the other.
        if (chance(0.5)) {
            Position next;
            do {
                next.ra = between(0, RaTurn - 1);
                next.dec = between(-DecPole, DecPole);
            } while (next.alpha() == shownAlpha || next.delta() == shownDelta
                || W::texteAD(protocol::compteAD(sim::decReply(next.dec)).value_or(0)) == next.alpha()
                || W::texteDEC(protocol::compteDEC(sim::raReply(next.ra)).value_or(0)) == next.delta());
            mount = next;
            controller.setPosition(mount.ra, mount.dec);
            earlier.push_back(mount);
            if (earlier.size() > 8)
                earlier.erase(earlier.begin());
            ++fig.moves;
        }
        if (chance(0.1)) {
            // Noise on an idle line; no ":" or "#", which a reader skipping up to ":" passes over.
            static const char alphabet[] = "Ok?x*~ \r\n\x7f\xff";
            std::string noise;
            for (auto n = between(1, 6); n > 0; --n)
                noise += alphabet[between(0, sizeof alphabet - 2)];
            controller.inject(noise);
            ++fig.strayBursts;
        }
        controller.setReplyDelayMs(realDelay(drawDelay()));
        nextDelayRealMs = realDelay(drawDelay());

        const int blocksBefore = log->blockCount();
        const std::int64_t startMs = system.monotonicMs();
        form.Timerconsult_Timer();
        const std::int64_t tookMs = system.monotonicMs() - startMs;
        fig.longestQueryMs = std::max(fig.longestQueryMs, tookMs);
        // Two replies, each within its limit, and the time to read them.
        if (tookMs > 2 * ReplyLimitMs + 500)
            ++fig.overLimit;
        ++fig.queries;

        // The lines this query added, on top of the log.
        std::vector<std::string> lines;
        const int added = log->blockCount() - blocksBefore;
        for (int b = 0; b < added; ++b)
            lines.push_back(log->document()->findBlockByNumber(b).text().toStdString());
        bool anyMalformed = false;
        bool anyImplausible = false;
        bool anyStale = false;
        bool anyPlausible = false;
        int trueReplies = 0;
        for (const std::string& line : lines) {
            const bool ra = line.rfind("AD : ", 0) == 0;
            const bool dec = line.rfind("DEC: ", 0) == 0;
            if (!ra && !dec) {
                ++fig.unparsed;
                continue;
            }
            const std::string reply = line.substr(5);
            Reply kind;
            if (reply == "pas de réponse") {
                kind = Reply::Missing;
            } else if (reply == (ra ? sim::raReply(mount.ra) : sim::decReply(mount.dec))) {
                kind = Reply::True;
            } else if (ra ? !protocol::compteAD(reply) : !protocol::compteDEC(reply)) {
                kind = Reply::Malformed;
            } else {
                kind = plausible(reply) ? Reply::Plausible : Reply::Implausible;
                for (const Position& p : earlier)
                    if (reply == sim::raReply(p.ra) || reply == sim::decReply(p.dec))
                        kind = Reply::Stale;
            }
            switch (kind) {
            case Reply::True:
                ++trueReplies;
                (ra ? readAlpha : readDelta) = ra ? mount.alpha() : mount.delta();
                break;
            case Reply::Missing: ++fig.timeouts; break;
            case Reply::Malformed: ++fig.malformed; anyMalformed = true; break;
            case Reply::Stale:
                ++fig.stale;
                anyStale = true;
                if (settings.verbose) {
                    std::fprintf(stderr, "query %d: stale reply {%s} after a query of %lld ms, then %lld ms to the next:",
                                 q, line.c_str(), static_cast<long long>(previousTookMs),
                                 static_cast<long long>(previousGapMs));
                    for (const auto& l : previousLines)
                        std::fprintf(stderr, " {%s}", l.c_str());
                    std::fprintf(stderr, "\n");
                    if (fig.stale == 1) {
                        // The line as the controller saw it, up to the first stale reply.
                        const auto trace = controller.trace();
                        for (std::size_t t = trace.size() > 40 ? trace.size() - 40 : 0; t < trace.size(); ++t)
                            std::fprintf(stderr, "  %12.3f ms %s %s\n", trace[t].timeMs,
                                         trace[t].direction == sim::Direction::Received ? "<-" : "->",
                                         sim::printable(trace[t].bytes).c_str());
                    }
                }
                break;
            case Reply::Implausible: ++fig.implausible; anyImplausible = true; break;
            case Reply::Plausible: ++fig.plausible; anyPlausible = true; break;
            }
        }
        if (trueReplies == 2)
            ++fig.complete;

        // The labels: the true position, or what they showed before.
        const std::string alpha = form.affalpha.caption();
        const std::string delta = form.affdelta.caption();
        // Each label on its own: a malformed reply keeps its own field and the query goes on, so
        // one label may move while the other keeps what it showed.
        const bool alphaRight = alpha == mount.alpha() || alpha == shownAlpha || alpha == readAlpha;
        const bool deltaRight = delta == mount.delta() || delta == shownDelta || delta == readDelta;
        const bool right = alphaRight && deltaRight;
        // A reply corrupted into one the protocol allows cannot be told from a true one.
        if (!right && (anyPlausible || anyImplausible) && !anyStale) {
            ++fig.falseFromPlausible;
        } else if (!right) {
            ++fig.wrongShown;
            if (anyStale)
                ++fig.wrongFromStale;
            else if (anyImplausible)
                ++fig.wrongFromImplausible;
            else if (anyMalformed)
                ++fig.wrongAfterMalformed;
            if (reported++ < 10 || settings.verbose) {
                std::fprintf(stderr, "query %d: shown [%s] [%s]; mount [%s] [%s]; before [%s] [%s]; log:", q,
                             alpha.c_str(), delta.c_str(), mount.alpha().c_str(), mount.delta().c_str(),
                             shownAlpha.c_str(), shownDelta.c_str());
                for (const auto& line : lines)
                    std::fprintf(stderr, " {%s}", line.c_str());
                std::fprintf(stderr, "\n");
            }
        }
        shownAlpha = alpha;
        shownDelta = delta;

        // A reply that came too late may still be on its way: the next tick of the 3 s timer comes
        // after it, and a query starts by discarding what waits after a time-out.
        const bool timedOut = std::any_of(lines.begin(), lines.end(),
                                          [](const std::string& l) { return l.find("pas de réponse") != std::string::npos; });
        previousLines = lines;
        previousTookMs = tookMs;
        previousGapMs = 0;
        if (timedOut && !settings.eager) {
            const std::int64_t elapsed = system.monotonicMs() - startMs;
            passWindowTime((elapsed / TickMs + 1) * TickMs - elapsed, settings.speed);
            previousGapMs = system.monotonicMs() - startMs - elapsed;
        }

        if (q % ClearEvery == 0) {
            form.edtsaisie.setText("");
            controller.clearTrace();
            app.processEvents();
            if (q == ClearEvery)
                mbAt1000 = residentMb();
            if (settings.verbose)
                std::fprintf(stderr, "query %d: %.1f MB, %d timeouts, %d wrong\n", q, residentMb(), fig.timeouts,
                             fig.wrongShown);
        }
    }
    form.edtsaisie.setText("");
    controller.clearTrace();
    app.processEvents();
    const double endMb = residentMb();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime).count();
    const double cpu = cpuSeconds() - startCpu;
    fig.plannedLate = lateCount.load();
    controller.setTraceSink(nullptr);

    const bool flat = std::fabs(endMb - mbAt1000) <= FlatMemoryMb;
    std::printf("Soak: %d queries, window clock x%d, garble %.0f %% of replies, seed %u, %s\n", fig.queries,
                settings.speed, settings.garble * 100, settings.seed,
                settings.eager ? "re-query at once after a time-out" : "next query at the next 3 s tick after a time-out");
    std::printf("  %-46s %10d\n", "queries", fig.queries);
    std::printf("  %-46s %10d\n", "complete with both true replies", fig.complete);
    std::printf("  %-46s %10d\n", "timeouts (\"pas de réponse\" lines)", fig.timeouts);
    std::printf("  %-46s %10d\n", "garbled replies logged, malformed", fig.malformed);
    std::printf("  %-46s %10d\n", "garbled replies logged, decodable, not plausible", fig.implausible);
    std::printf("  %-46s %10d\n", "garbled replies logged, plausible (undetectable)", fig.plausible);
    std::printf("  %-46s %10d\n", "stale replies logged (earlier or other axis)", fig.stale);
    std::printf("  %-46s %10d\n", "replies sent past the time limit (planned)", fig.plannedLate);
    std::printf("  %-46s %10d\n", "stray bursts injected between queries", fig.strayBursts);
    std::printf("  %-46s %10d\n", "mount moved between queries", fig.moves);
    std::printf("  %-46s %10d\n", "unexpected log lines", fig.unparsed);
    std::printf("  %-46s %10lld\n", "longest query (window ms)", static_cast<long long>(fig.longestQueryMs));
    std::printf("  %-46s %10d\n", "queries longer than two time limits", fig.overLimit);
    std::printf("  %-46s %10d\n", "WRONG POSITIONS SHOWN", fig.wrongShown);
    std::printf("  %-46s %10d\n", "  of which: one half kept after a malformed reply", fig.wrongAfterMalformed);
    std::printf("  %-46s %10d\n", "  of which: a late reply read for a later query", fig.wrongFromStale);
    std::printf("  %-46s %10d\n", "  of which: an implausible reply was decoded", fig.wrongFromImplausible);
    std::printf("  %-46s %10d\n", "false positions from plausible corruptions", fig.falseFromPlausible);
    std::printf("  %-46s %7.1f MB\n", "memory (VmRSS) at start", startMb);
    std::printf("  %-46s %7.1f MB\n", "memory (VmRSS) after 1,000 queries", mbAt1000);
    std::printf("  %-46s %7.1f MB (%+.1f MB, %s)\n", "memory (VmRSS) at the end", endMb, endMb - mbAt1000,
                flat ? "flat" : "GROWING");
    std::printf("  %-46s %9.1f s\n", "elapsed", seconds);
    std::printf("  %-46s %9.1f s (%.0f %% of one core)\n", "CPU", cpu, 100 * cpu / seconds);
    std::printf("  %-46s %10d\n", "boxes opened", system.boxes);
    const bool passed = fig.wrongShown == 0 && flat && fig.overLimit == 0 && system.boxes == 0;
    std::printf("%s\n", passed ? "PASSED" : "FAILED");
    return passed ? 0 : 1;
}
