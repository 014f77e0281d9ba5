// SPDX-License-Identifier: GPL-3.0-or-later
// The program itself, as installed: start-up time and memory at rest over several launches, and
// the CPU it uses in normal running (a query every 3 s against a controller that answers at once).
// Offscreen platform; the mount is a pseudo-terminal held here or the simulator in a child process.
//
// "Shown" is when the offscreen platform reports, on standard error, that it cannot pass on the size
// hints of the window being shown: that happens inside show(), as the native window is made. "Idle"
// is when the program has gone to sleep in its event loop with the first frame drawn: the last
// moment its threads used CPU before a quiet spell of 300 ms.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "common.h"
#include "modes.h"

namespace bench {

namespace {

constexpr double kQuietSeconds = 0.3;

struct Launch {
    pid_t pid = -1;
    int errFd = -1;
    double t0 = 0;
    double shown = -1; // seconds after t0
    double idle = -1;
    std::string errors;
};

Launch launch(const std::string& program, const std::string& device)
{
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0)
        fail("pipe failed");
    Launch l;
    l.t0 = now();
    l.pid = spawn(program, {"--port", device}, -1, err[1], {"QT_QPA_PLATFORM=offscreen"});
    ::close(err[1]);
    l.errFd = err[0];
    return l;
}

void drain(Launch& l, int timeoutMs)
{
    pollfd p{l.errFd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return;
    char buffer[1024];
    const ssize_t n = ::read(l.errFd, buffer, sizeof buffer);
    if (n <= 0)
        return;
    l.errors.append(buffer, static_cast<std::size_t>(n));
    if (l.shown < 0 && l.errors.find("propagateSizeHints") != std::string::npos)
        l.shown = now() - l.t0;
}

// Follows the launch until the program is idle.
void waitUntilIdle(Launch& l)
{
    double lastCpu = 0;
    double lastChange = now();
    for (;;) {
        drain(l, 1);
        const double cpu = otherProcessCpu(l.pid);
        const double t = now();
        int status = 0;
        if (cpu < 0 || waitpid(l.pid, &status, WNOHANG) == l.pid)
            fail("the program ended during start-up: " + l.errors);
        if (cpu > lastCpu) {
            lastCpu = cpu;
            lastChange = t;
        }
        if (t - lastChange >= kQuietSeconds && (l.shown >= 0 || t - l.t0 > 5)) {
            l.idle = lastChange - l.t0;
            return;
        }
        if (t - l.t0 > 20)
            fail("the program never went idle");
    }
}

void finish(Launch& l)
{
    ::kill(l.pid, SIGKILL);
    int status = 0;
    waitpid(l.pid, &status, 0);
    ::close(l.errFd);
}

std::string msText(double seconds)
{
    return fixed(seconds * 1000, 0) + " ms";
}

std::string mbText(double kb)
{
    return fixed(kb / 1024.0, 1) + " MB";
}

} // namespace

int runStartup(const Sizes& sizes)
{
    std::vector<double> shown;
    std::vector<double> idle;
    std::vector<double> hwm;
    std::vector<double> rss;
    for (int run = 0; run < sizes.startRuns; ++run) {
        // A line that stays silent: start-up sends nothing.
        int master = -1;
        int slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            fail("openpty failed");
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
        const std::string device = ttyname(slave);
        Launch l = launch(sizes.program, device);
        waitUntilIdle(l);
        if (l.shown < 0)
            fail("no sign of the window being shown on standard error: " + l.errors);
        shown.push_back(l.shown);
        idle.push_back(l.idle);
        hwm.push_back(static_cast<double>(vmHwmKb(l.pid)));
        rss.push_back(static_cast<double>(vmRssKb(l.pid)));
        std::fprintf(stderr, "startup: run %d: shown %.0f ms, idle %.0f ms, VmHWM %.1f MB\n", run + 1,
                     l.shown * 1000, l.idle * 1000, hwm.back() / 1024.0);
        finish(l);
        ::close(master);
        ::close(slave);
    }
    const std::string n = std::to_string(sizes.startRuns);
    const double shownMedian = median(shown);
    const double idleMedian = median(idle);
    row("Start-up: process start to window shown, median of " + n, msText(shownMedian), "<= 300 ms",
        verdict(shownMedian <= 0.3));
    row("Start-up: process start to idle, first frame drawn", msText(idleMedian), "<= 300 ms",
        verdict(idleMedian <= 0.3));
    row("Start-up: slowest run to window shown", msText(*std::max_element(shown.begin(), shown.end())), "(report)");
    const double hwmMedian = median(hwm);
    row("Start-up: peak memory at rest (VmHWM), median", mbText(hwmMedian), "<= 80 MB",
        verdict(hwmMedian <= 80 * 1024.0));
    row("Start-up: resident memory at rest (VmRSS), median", mbText(median(rss)), "(report)");
    return 0;
}

int runIdle(const Sizes& sizes)
{
    SimChild sim(SimSettings{});
    Launch l = launch(sizes.program, sim.device().toStdString());
    waitUntilIdle(l);
    std::fprintf(stderr, "idle: program up after %.0f ms; measuring %.0f s of normal running\n", l.idle * 1000,
                 sizes.idleSeconds);
    const double c0 = otherProcessCpu(l.pid);
    const double t0 = now();
    while (now() - t0 < sizes.idleSeconds)
        drain(l, static_cast<int>(std::max(1.0, std::min(200.0, (sizes.idleSeconds - (now() - t0)) * 1000))));
    const double wall = now() - t0;
    const double cpu = otherProcessCpu(l.pid) - c0;
    finish(l);
    const long frames = sim.stop();
    const double percent = 100.0 * cpu / wall;
    row("Idle: CPU over " + fixed(wall, wall < 5 ? 1 : 0) + " s of normal running (" + std::to_string(frames / 2) + " queries)",
        fixed(percent, 3) + " % (" + fixed(cpu * 1000, 1) + " ms)", "<= 0.5 %", verdict(percent <= 0.5));
    return 0;
}

} // namespace bench
