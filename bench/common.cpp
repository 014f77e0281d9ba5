// SPDX-License-Identifier: GPL-3.0-or-later
#include "common.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "sim/MountSimulator.h"

extern char** environ;

namespace bench {

// ---- Clocks and accounting ----

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double processCpu()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpu()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

namespace {

long statusField(pid_t pid, const char* field)
{
    const std::string file = pid > 0 ? "/proc/" + std::to_string(pid) + "/status" : "/proc/self/status";
    std::ifstream in(file);
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return 0;
}

} // namespace

long vmHwmKb(pid_t pid)
{
    return statusField(pid, "VmHWM");
}

long vmRssKb(pid_t pid)
{
    return statusField(pid, "VmRSS");
}

double otherProcessCpu(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr)
        return -1;
    double total = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long ns = 0;
        if (in >> ns)
            total += static_cast<double>(ns) / 1e9;
    }
    closedir(dir);
    return total;
}

double median(std::vector<double> values)
{
    return percentile(std::move(values), 50);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// ---- Results ----

void row(const std::string& figure, const std::string& value, const std::string& target, const std::string& verdict)
{
    std::printf("ROW\t%s\t%s\t%s\t%s\n", figure.c_str(), value.c_str(), target.c_str(), verdict.c_str());
    std::fflush(stdout);
}

std::string verdict(bool met)
{
    return met ? "ok" : "MISSED";
}

std::string fixed(double value, int decimals)
{
    // Not printf: the window's modes run under the user's locale, and the table keeps "." whatever it is.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string grouped(long long value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return value < 0 ? "-" + digits : digits;
}

void fail(const std::string& what)
{
    std::fprintf(stderr, "selvane-bench: %s\n", what.c_str());
    std::fflush(nullptr);
    std::_Exit(2);
}

// ---- Child processes ----

pid_t spawn(const std::string& program, const std::vector<std::string>& args, int stdoutFd, int stderrFd,
            const std::vector<std::string>& extraEnv)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const bool replaced = std::any_of(extraEnv.begin(), extraEnv.end(), [&](const std::string& x) {
            return entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        });
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (stderrFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        fail("cannot start " + program + ": " + std::strerror(rc));
    return pid;
}

namespace {
std::string self = "/proc/self/exe";
}

void setSelfPath(const char* argv0)
{
    if (argv0 == nullptr || std::strchr(argv0, '/') == nullptr)
        return;
    if (char* resolved = realpath(argv0, nullptr)) {
        self = resolved;
        std::free(resolved);
    }
}

const std::string& selfPath()
{
    return self;
}

SimChild::SimChild(const SimSettings& settings)
{
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        fail("pipe failed");
    std::vector<std::string> args{"sim-child", "--slew", fixed(settings.slewDegPerSec, 6), "--reply-delay",
                                  std::to_string(settings.replyDelayMs)};
    if (settings.silent)
        args.emplace_back("--silent");
    if (settings.pacing)
        args.emplace_back("--pace");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv{const_cast<char*>("selvane-bench")};
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid, selfPath().c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        fail(std::string("cannot start the simulator: ") + std::strerror(rc));
    ::close(in[0]);
    ::close(out[1]);
    toChild = in[1];
    fromChild = out[0];

    std::string line;
    const double deadline = now() + 10;
    while (line.find('\n') == std::string::npos && now() < deadline) {
        pollfd p{fromChild, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(fromChild, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    if (line.find('\n') == std::string::npos)
        fail("the simulator did not start");
    path = QString::fromStdString(line.substr(0, line.find('\n')));
}

SimChild::~SimChild()
{
    stop();
}

long SimChild::stop()
{
    if (pid < 0)
        return commands;
    ::close(toChild);
    std::string rest;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(fromChild, buffer, sizeof buffer);
        if (n > 0)
            rest.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(fromChild);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    commands = std::strtol(rest.c_str(), nullptr, 10);
    return commands;
}

int runSimChild(int argc, char** argv)
{
    sim::Options options;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--slew" && i + 1 < argc)
            options.rates.slew = std::strtod(argv[++i], nullptr);
        else if (arg == "--reply-delay" && i + 1 < argc)
            options.replyDelayMs = std::atoi(argv[++i]);
        else if (arg == "--silent")
            options.silent = true;
        else if (arg == "--pace")
            options.pacing = true;
    }
    options.traceCapacity = 1000;
    sim::MountSimulator simulator(options);
    if (!simulator.start())
        return 1;
    std::printf("%s\n", simulator.devicePath().c_str());
    std::fflush(stdout);
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR))
            break;
    }
    simulator.stop();
    // The list of frames is bounded; the bytes received are kept far longer: count the "#".
    const std::string received = simulator.received();
    std::size_t commands = 0;
    for (std::size_t at = 0; (at = received.find('#', at)) != std::string::npos; ++at)
        ++commands;
    std::printf("%zu\n", commands);
    std::fflush(stdout);
    return 0;
}

// ---- The window ----

void BenchSystem::waitForEvents(std::int64_t deadlineMs)
{
    if (!poll)
        QtSystem::waitForEvents(deadlineMs);
}

void BenchSystem::endNow(int)
{
    fail("the program ended (port not available?)");
}

Window::Window(const QString& device) : port(device), window(port), form(window, system)
{
    system.setWindow(&window);
    window.connectTo(form);
}

void Window::start()
{
    form.Form_Load();
    window.armTimers();
    system.showWindow();
    QElapsedTimer clock;
    clock.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.windowHandle() || !window.windowHandle()->isExposed())
        fail("the window was not shown");
    settle();
}

QPlainTextEdit* Window::log() const
{
    auto* edit = window.findChild<QPlainTextEdit*>(QStringLiteral("edtsaisie"));
    if (edit == nullptr)
        fail("no log box");
    return edit;
}

int Window::logLines() const
{
    const QTextDocument* doc = log()->document();
    const int blocks = doc->blockCount();
    return doc->lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

std::string Window::topLine() const
{
    return log()->document()->firstBlock().text().toStdString();
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void fillLog(Window& w, int lines)
{
    for (int i = w.logLines(); i < lines; ++i) {
        w.form.edtsaisie.addLine(i % 2 == 0 ? "AD : :+000,-32768#" : "DEC: :+000,+00000#");
        if (i % 2 == 1)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    settle();
}

} // namespace bench
