// SPDX-License-Identifier: GPL-3.0-or-later
// Query cost: one full position query (":R#" written ... both labels set) against a controller that
// answers at once, repeated. Two windows side by side, each on its own simulator: one fresh, one
// whose log box already holds a night of lines. Their queries alternate, so that whatever else the
// machine is doing weighs on both alike.
#include <QApplication>
#include <cstdio>

#include "common.h"
#include "modes.h"

namespace bench {

namespace {

struct Timings {
    std::vector<double> wall; // seconds per query
    std::vector<double> cpu;  // CPU seconds of the window's thread per query
};

void timeQuery(Window& w, Timings& t)
{
    const double c0 = threadCpu();
    const double t0 = now();
    w.form.Timerconsult_Timer();
    const double t1 = now();
    t.cpu.push_back(threadCpu() - c0);
    t.wall.push_back(t1 - t0);
    if (w.topLine().rfind("DEC: :", 0) != 0)
        fail("a query did not complete: \"" + w.topLine() + "\"");
    // What the window does between two ticks: repaint what changed.
    settle();
}

std::string ms(double seconds)
{
    return fixed(seconds * 1000, 3) + " ms";
}

} // namespace

int runQuery(const Sizes& sizes)
{
    // The night first, alone in the process, for its peak memory.
    SimChild nightSim(SimSettings{});
    Window night(nightSim.device());
    night.start();
    night.form.Timerconsult.setEnabled(false);
    std::fprintf(stderr, "query: filling a log box to %d lines\n", sizes.nightLines);
    const double f0 = now();
    fillLog(night, sizes.nightLines);
    const int lines = night.logLines();
    const long nightHwm = vmHwmKb();
    std::fprintf(stderr, "query: %d lines in %.1f s\n", lines, now() - f0);

    SimChild freshSim(SimSettings{});
    Window fresh(freshSim.device());
    fresh.start();
    fresh.form.Timerconsult.setEnabled(false);

    std::fprintf(stderr, "query: %d queries on each window, alternating\n", sizes.queries);
    Timings warmUp;
    for (int i = 0; i < 20; ++i) {
        timeQuery(fresh, warmUp);
        timeQuery(night, warmUp);
    }
    Timings freshT;
    Timings nightT;
    for (int i = 0; i < sizes.queries; ++i) {
        if (i % 2 == 0) {
            timeQuery(fresh, freshT);
            timeQuery(night, nightT);
        } else {
            timeQuery(night, nightT);
            timeQuery(fresh, freshT);
        }
    }

    const double freshMedian = median(freshT.wall);
    const double nightMedian = median(nightT.wall);
    const double ratio = freshMedian > 0 ? nightMedian / freshMedian : 0;
    const std::string n = grouped(sizes.queries);
    const std::string l = grouped(lines);
    row("Query: full position query, median of " + n, ms(freshMedian), "<= 1 ms", verdict(freshMedian <= 0.001));
    row("Query: full position query, p99", ms(percentile(freshT.wall, 99)), "(report)");
    row("Query: window thread CPU per query, median / p99",
        ms(median(freshT.cpu)) + " / " + ms(percentile(freshT.cpu, 99)), "(report)");
    row("Night: query median with " + l + " lines in the log", ms(nightMedian), "<= 1.5 x fresh",
        verdict(ratio <= 1.5));
    row("Night: query p99 with " + l + " lines", ms(percentile(nightT.wall, 99)), "(report)");
    row("Night: ratio night / fresh (median)", fixed(ratio, 2), "<= 1.5", verdict(ratio <= 1.5));
    row("Night: peak memory (VmHWM) after " + l + " lines", fixed(static_cast<double>(nightHwm) / 1024.0, 1) + " MB",
        "(report)");
    return 0;
}

} // namespace bench
