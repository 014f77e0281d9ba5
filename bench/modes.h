// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks, one function each; every one runs in a process of its own.
#pragma once

#include <string>

namespace bench {

struct Sizes {
    bool smoke = false;
    double waitSeconds = 10;     // length of each wait measured
    int queries = 1000;          // timed queries per run
    int nightLines = 57600;      // 24 hours of two lines every 3 s
    int logBigLines = 50000;     // the full log box of the line-adding figure
    int logSamples = 2000;       // timed additions per box
    int startRuns = 10;          // launches of the program
    double idleSeconds = 30;     // normal running measured
    std::string program;         // the program's binary
};

int runWait(const Sizes& sizes);
int runQuery(const Sizes& sizes);
int runLogBox(const Sizes& sizes);
int runStartup(const Sizes& sizes);
int runIdle(const Sizes& sizes);
int runCatalogue(const Sizes& sizes);
int runModel(const Sizes& sizes);

} // namespace bench
