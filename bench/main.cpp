// SPDX-License-Identifier: GPL-3.0-or-later
// selvane-bench: performance figures of the hand controller against the mount simulator.
//
//   selvane-bench [all] [--smoke] [--only NAME]... [sizes]
//                                           every benchmark (or those named), each in a process of its
//                                           own, then one table
//   selvane-bench wait|query|logbox|startup|idle|catalogue|model [sizes]
//                                           one benchmark; its figures as "ROW" lines
// sizes: --wait-seconds S --queries N --night-lines N --log-lines N --log-samples N --runs N
//        --idle-seconds S --program PATH
// The window runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common.h"
#include "modes.h"

#ifndef SELVANE_BINARY
#define SELVANE_BINARY "selvane"
#endif

namespace {

using bench::Sizes;

struct Mode {
    const char* name;
    int (*run)(const Sizes&);
    bool needsWindow;
};

const Mode kModes[] = {
    {"wait", bench::runWait, true},       {"query", bench::runQuery, true},   {"startup", bench::runStartup, false},
    {"idle", bench::runIdle, false},      {"logbox", bench::runLogBox, true},
    {"catalogue", bench::runCatalogue, true}, {"model", bench::runModel, false},
};

[[noreturn]] void usage(bool asked = false)
{
    std::fputs("usage: selvane-bench [all|wait|query|logbox|startup|idle|catalogue|model] [--smoke] [--wait-seconds S] [--queries N]\n"
               "       [--night-lines N] [--log-lines N] [--log-samples N] [--runs N] [--idle-seconds S]\n"
               "       [--program PATH] [--only NAME]...\n",
               asked ? stdout : stderr);
    std::exit(asked ? 0 : 2);
}

Sizes smokeSizes(Sizes s)
{
    s.smoke = true;
    s.waitSeconds = 0.3;
    s.queries = 20;
    s.nightLines = 200;
    s.logBigLines = 200;
    s.logSamples = 20;
    s.startRuns = 1;
    s.idleSeconds = 0.5;
    return s;
}

std::vector<std::string> sizeArgs(const Sizes& s)
{
    return {"--wait-seconds", bench::fixed(s.waitSeconds, 3), "--queries", std::to_string(s.queries),
            "--night-lines", std::to_string(s.nightLines), "--log-lines", std::to_string(s.logBigLines),
            "--log-samples", std::to_string(s.logSamples), "--runs", std::to_string(s.startRuns),
            "--idle-seconds", bench::fixed(s.idleSeconds, 3), "--program", s.program};
}

// Characters shown, for lining up columns of UTF-8 text.
std::size_t width(const std::string& s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::vector<std::string> split(const std::string& line, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = line.find(separator, start);
        parts.push_back(line.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

void printTable(const std::vector<std::vector<std::string>>& rows)
{
    const std::vector<std::string> header{"Figure", "Value", "Target", ""};
    std::vector<std::size_t> widths(header.size(), 0);
    auto measure = [&](const std::vector<std::string>& r) {
        for (std::size_t i = 0; i < widths.size() && i < r.size(); ++i)
            widths[i] = std::max(widths[i], width(r[i]));
    };
    measure(header);
    for (const auto& r : rows)
        measure(r);
    auto print = [&](const std::vector<std::string>& r) {
        std::string line;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < r.size() ? r[i] : std::string();
            line += cell;
            if (i + 1 < widths.size())
                line += std::string(widths[i] - width(cell) + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::printf("%s\n", line.c_str());
    };
    print(header);
    std::size_t total = 0;
    for (std::size_t w : widths)
        total += w + 2;
    std::printf("%s\n", std::string(total - 2, '-').c_str());
    for (const auto& r : rows)
        print(r);
}

// Runs every benchmark in a child process and prints their rows as one table.
int runAll(const Sizes& sizes, const std::vector<std::string>& only)
{
    std::vector<std::vector<std::string>> rows;
    int failures = 0;
    const double start = bench::now();
    for (const Mode& mode : kModes) {
        if (!only.empty() && std::find(only.begin(), only.end(), mode.name) == only.end())
            continue;
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            bench::fail("pipe failed");
        std::vector<std::string> args{mode.name};
        for (auto& a : sizeArgs(sizes))
            args.push_back(a);
        if (sizes.smoke)
            args.emplace_back("--smoke");
        const double t0 = bench::now();
        const pid_t pid = bench::spawn(bench::selfPath(), args, out[1], STDERR_FILENO);
        ::close(out[1]);
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n > 0)
                text.append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
        ::close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        std::fprintf(stderr, "== %s: %.1f s%s\n", mode.name, bench::now() - t0, ok ? "" : " (FAILED)");
        if (!ok) {
            ++failures;
            rows.push_back({std::string(mode.name) + ": the benchmark failed", "-", "-", "FAILED"});
        }
        for (const auto& line : split(text, '\n')) {
            if (line.rfind("ROW\t", 0) != 0)
                continue;
            auto parts = split(line.substr(4), '\t');
            parts.resize(4);
            rows.push_back(parts);
        }
    }
    int missed = 0;
    for (auto& r : rows) {
        // Tiny sizes say nothing about the targets: a smoke run only shows that everything runs.
        if (sizes.smoke && r[3] != "FAILED")
            r[3].clear();
        missed += r[3] == "MISSED";
    }
    std::printf("\n%s", sizes.smoke ? "Smoke run (tiny sizes; the figures mean nothing)\n" : "");
    printTable(rows);
    std::string summary = sizes.smoke ? "smoke run done" : "every target met";
    if (failures)
        summary = "some benchmarks FAILED";
    else if (missed)
        summary = std::to_string(missed) + " target(s) MISSED";
    std::printf("\n%s; whole run %.0f s\n", summary.c_str(), bench::now() - start);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    bench::setSelfPath(argv[0]);
    if (argc >= 2 && std::strcmp(argv[1], "sim-child") == 0)
        return bench::runSimChild(argc, argv);

    std::string mode = "all";
    int first = 1;
    if (argc >= 2 && argv[1][0] != '-') {
        mode = argv[1];
        first = 2;
    }
    Sizes sizes;
    sizes.program = SELVANE_BINARY;
    bool smoke = false;
    std::vector<std::string> only;
    std::vector<std::pair<std::string, std::string>> overrides;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            usage(true);
        else if (arg == "--smoke")
            smoke = true;
        else if (arg == "--only" && i + 1 < argc)
            only.emplace_back(argv[++i]);
        else if (arg.rfind("--", 0) == 0 && i + 1 < argc)
            overrides.emplace_back(arg, argv[++i]);
        else
            usage();
    }
    if (smoke)
        sizes = smokeSizes(sizes);
    for (const auto& [key, value] : overrides) {
        const double v = std::strtod(value.c_str(), nullptr);
        if (key == "--wait-seconds")
            sizes.waitSeconds = v;
        else if (key == "--queries")
            sizes.queries = static_cast<int>(v);
        else if (key == "--night-lines")
            sizes.nightLines = static_cast<int>(v);
        else if (key == "--log-lines")
            sizes.logBigLines = static_cast<int>(v);
        else if (key == "--log-samples")
            sizes.logSamples = static_cast<int>(v);
        else if (key == "--runs")
            sizes.startRuns = static_cast<int>(v);
        else if (key == "--idle-seconds")
            sizes.idleSeconds = v;
        else if (key == "--program")
            sizes.program = value;
        else
            usage();
    }

    if (mode == "all")
        return runAll(sizes, only);
    for (const Mode& m : kModes) {
        if (mode != m.name)
            continue;
        if (!m.needsWindow)
            return m.run(sizes);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform warns about size hints on every window it shows: noise here.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && !text.contains(QLatin1String("propagateSizeHints"))
                && !text.contains(QLatin1String("does not support"))
                && !text.contains(QLatin1String("XDG_RUNTIME_DIR")))
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        });
        QApplication app(argc, argv);
        return m.run(sizes);
    }
    usage();
}
