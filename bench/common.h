// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the benchmarks: clocks and CPU accounting, the result rows, a mount simulator
// in a child process, and the window put together the way main() does it.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "window/app/frmTKR52princ.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"

class QPlainTextEdit;

namespace bench {

// ---- Clocks and accounting ----

// Monotonic seconds.
double now();
// User + system CPU seconds of this process (its own accounting, children excluded).
double processCpu();
// CPU seconds of the calling thread.
double threadCpu();
// Peak and present resident memory of a process, in kB (0 when unreadable).
long vmHwmKb(pid_t pid = 0);
long vmRssKb(pid_t pid = 0);
// CPU seconds used so far by every live thread of another process (nanosecond accounting).
double otherProcessCpu(pid_t pid);

double median(std::vector<double> values);
// Nearest-rank percentile, p in (0, 100].
double percentile(std::vector<double> values, double p);

// ---- Results ----

// One line of the table, written to standard output as "ROW\tfigure\tvalue\ttarget\tverdict".
// verdict: "ok", "MISSED" or empty for a figure given for comparison only.
void row(const std::string& figure, const std::string& value, const std::string& target,
         const std::string& verdict = {});
std::string verdict(bool met);
std::string fixed(double value, int decimals);
// "12,345" for counts in figure names.
std::string grouped(long long value);

// Ends the benchmark with a message when something it relies on did not happen.
[[noreturn]] void fail(const std::string& what);

// ---- Mount simulator in a child process ----

struct SimSettings {
    double slewDegPerSec = 4.0;
    int replyDelayMs = 0;
    bool silent = false;
    bool pacing = false;
};

// Runs the simulator in a child process (this program in its "sim-child" mode), so that its CPU
// time is not counted as ours. The child prints the device, then runs until its input closes.
class SimChild {
public:
    explicit SimChild(const SimSettings& settings);
    ~SimChild();
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;

    QString device() const { return path; }
    // Stops the child; returns the number of command frames it received.
    long stop();

private:
    pid_t pid = -1;
    int toChild = -1;
    int fromChild = -1;
    QString path;
    long commands = -1;
};

// The child's side: returns the process exit code.
int runSimChild(int argc, char** argv);

// This benchmark program, for starting it again in another mode (set from argv[0] by main; under
// valgrind /proc/self/exe would name valgrind itself).
void setSelfPath(const char* argv0);
const std::string& selfPath();

// Spawns a program with the given arguments; stdout and stderr go where the fds say (-1: /dev/null).
pid_t spawn(const std::string& program, const std::vector<std::string>& args, int stdoutFd, int stderrFd,
            const std::vector<std::string>& extraEnv = {});

// ---- The window ----

// Boxes answer at once (OK to every question), the beep is silent. With poll set, a wait that
// finds nothing on the line goes straight to its next pass instead of sleeping: a plain poll loop.
class BenchSystem : public platform::qt::QtSystem {
public:
    void beep() override {}
    void messageBox(const std::string& text, const std::string&) override { boxes.push_back(text); }
    platform::Answer askOkCancel(const std::string&, const std::string&) override { return platform::Answer::Ok; }
    platform::Answer askOkCancelWarning(const std::string&, const std::string&) override
    {
        return platform::Answer::Ok;
    }
    void information(const std::string& text, const std::string&) override { boxes.push_back(text); }
    void waitForEvents(std::int64_t deadlineMs) override;
    [[noreturn]] void endNow(int status) override;

    bool poll = false;
    std::vector<std::string> boxes;
};

// The window on a serial device, assembled as main() does; start() loads it and shows it.
struct Window {
    explicit Window(const QString& device);
    void start();
    // The log box widget, for counting and trimming lines.
    QPlainTextEdit* log() const;
    // Lines in the log box (not counting the empty block after the last line break).
    int logLines() const;
    // The log box's first line.
    std::string topLine() const;

    platform::qt::QtSerialPort port;
    platform::qt::MainWindow window;
    BenchSystem system;
    frmTKR52princ form;
};

// Lets pending events run (and lets those they post run too).
void settle();
// Fills the log box to `lines` lines, two at a time (a query's pair) with the window repainted after
// each pair, as between two ticks: the box keeps whatever its painting leaves behind.
void fillLog(Window& w, int lines);

} // namespace bench
