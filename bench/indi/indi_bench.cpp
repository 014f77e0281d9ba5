// SPDX-License-Identifier: GPL-3.0-or-later
// indi-bench: figures of the INDI driver under the real indiserver against the mount simulator
// (in this process, so its CPU is not the driver's): the driver's CPU while it polls an idle
// mount and while it waits for a slew, and the time from a property change reaching the driver
// to its bytes written. --smoke runs tiny sizes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "sim/MountSimulator.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Sizes {
    int idleS = 30;
    int slewS = 10;
    int changes = 400;
};

pid_t server = -1;

[[noreturn]] void die(const std::string& why)
{
    std::fprintf(stderr, "indi-bench: %s\n", why.c_str());
    if (server > 0)
        ::kill(server, SIGTERM);
    std::_Exit(1);
}

int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        die("no free port");
    ::close(s);
    return ntohs(a.sin_port);
}

// CPU time of every thread of a process, in nanoseconds (the scheduler's own accounting).
double cpuNs(pid_t pid)
{
    double total = 0;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream f(dir + "/" + e->d_name + "/schedstat");
            double ns = 0;
            if (f >> ns)
                total += ns;
        }
        ::closedir(d);
    }
    return total;
}

// The driver's pid, from the children of indiserver.
pid_t childOf(pid_t parent)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ifstream f("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children");
        pid_t child = 0;
        if (f >> child && child > 0)
            return child;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    die("indiserver started no driver");
}

// One attempt at a TCP connection to port on this machine: the socket, or -1. With noDelay, small
// writes go out at once.
int tryConnect(int port, bool noDelay)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    if (noDelay) {
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

// A TCP connection tried for five seconds while the server starts; `why` when it never answers.
int connectLoopback(int port, const char* why, bool noDelay)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (const int fd = tryConnect(port, noDelay); fd >= 0)
            return fd;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    die(why);
}

// The last lines indiserver wrote, for a failure's message.
std::string tail(const std::string& path)
{
    std::ifstream f(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(f, line);)
        lines.push_back(line);
    std::string text;
    for (std::size_t i = lines.size() > 5 ? lines.size() - 5 : 0; i < lines.size(); ++i)
        text += "\n  " + lines[i];
    return text;
}

// Starts indiserver with the driver and returns a connection to it. A port found free may be taken
// by another program before indiserver binds it, and a loaded machine may start it slowly: a server
// that could not bind is started again on another port, and each start is given twenty seconds.
int startServer(const char* home, const std::string& latencyFile, const char* driverDir, const std::string& log)
{
    constexpr int Starts = 3;
    constexpr int AttemptsPerStart = 400; // 50 ms apart
    for (int start = 0; start < Starts; ++start) {
        const int port = freePort();
        server = ::fork();
        if (server == 0) {
            ::setenv("HOME", home, 1);
            ::setenv("SELVANE_INDI_LATENCY", latencyFile.c_str(), 1);
            ::setenv("PATH", (std::string(driverDir) + ":" + std::getenv("PATH")).c_str(), 1);
            const std::string portText = std::to_string(port);
            const std::string socketPath = std::string(home) + "/indi.sock";
            if (!std::freopen(log.c_str(), "a", stderr))
                std::freopen("/dev/null", "w", stderr);
            ::execlp("indiserver", "indiserver", "-p", portText.c_str(), "-u", socketPath.c_str(), "-r", "0",
                "indi_selvane_telescope", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int attempt = 0; attempt < AttemptsPerStart; ++attempt) {
            if (const int fd = tryConnect(port, false); fd >= 0)
                return fd;
            if (::waitpid(server, nullptr, WNOHANG) == server) {
                server = -1;
                // Only a port taken meanwhile is worth another start; a driver that died is a fault.
                if (tail(log).find("bind") == std::string::npos)
                    die("indiserver ended before it answered; its last lines:" + tail(log));
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (server > 0) {
            ::kill(server, SIGTERM);
            ::waitpid(server, nullptr, 0);
            server = -1;
        }
    }
    die("indiserver does not answer; its last lines:" + tail(log));
}

class Client {
public:
    explicit Client(int connected)
        : fd(connected)
    {
        // Read and drop what the server sends, so that it never holds the driver back.
        reader = std::thread([this] {
            char buffer[4096];
            while (::read(fd, buffer, sizeof buffer) > 0) { }
        });
        send("<getProperties version=\"1.7\"/>");
    }
    ~Client()
    {
        ::shutdown(fd, SHUT_RDWR);
        reader.join();
        ::close(fd);
    }
    void send(const std::string& xml) const
    {
        if (::write(fd, xml.data(), xml.size()) != static_cast<ssize_t>(xml.size()))
            die("write to indiserver failed");
    }
    void setSwitch(const char* property, const char* element) const
    {
        send(std::string("<newSwitchVector device=\"Selvane\" name=\"") + property + "\"><oneSwitch name=\""
            + element + "\">On</oneSwitch></newSwitchVector>");
    }

private:
    int fd = -1;
    std::thread reader;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double percentile99(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, v.size() * 99 / 100)];
}

double cpuPercent(pid_t pid, int seconds)
{
    const double before = cpuNs(pid);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    return 100.0 * (cpuNs(pid) - before) / wall;
}

void row(const char* what, double value, const char* unit, const char* target)
{
    std::printf("  %-62s %9.3f %-3s (target %s)\n", what, value, unit, target);
}

// Sends a position query on fd and reads up to its "#": milliseconds, or a negative value.
double queryMs(int fd)
{
    const auto start = Clock::now();
    if (::write(fd, ":R#", 3) != 3)
        return -1;
    char c = 0;
    do {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 3000) <= 0 || ::read(fd, &c, 1) != 1)
            return -1;
    } while (c != '#');
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A program on the driver's shared port, speaking the controller's protocol.
int sharedProgram(int port)
{
    return connectLoopback(port, "the shared port does not answer", true);
}

// A simulator's line opened as a program opens a serial port: raw, 9600 baud.
int directLine(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        die("cannot open " + device);
    termios t {};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    return fd;
}

} // namespace

int main(int argc, char** argv)
{
    Sizes sizes;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--smoke") == 0)
            sizes = { 1, 1, 20 };
    const char* driverDir = std::getenv("SELVANE_INDI_DRIVER_DIR");
    if (!driverDir)
        die("SELVANE_INDI_DRIVER_DIR names the folder of indi_selvane_telescope");

    char home[] = "/tmp/selvane-indi-bench.XXXXXX";
    if (!::mkdtemp(home))
        die("no temporary folder");
    const std::string latencyFile = std::string(home) + "/latency";

    sim::MountSimulator simulator;
    if (!simulator.start())
        die("simulator did not start");

    const std::string serverLog = std::string(home) + "/indiserver.log";
    int status = 0;
    {
        Client client(startServer(home, latencyFile, driverDir, serverLog));
        const pid_t driver = childOf(server);
        // The driver may not have defined its properties yet: ask again until it connects.
        bool connected = false;
        for (int attempt = 0; attempt < 20 && !connected; ++attempt) {
            client.send("<newTextVector device=\"Selvane\" name=\"DEVICE_PORT\"><oneText name=\"PORT\">"
                + simulator.devicePath() + "</oneText></newTextVector>");
            client.setSwitch("CONNECTION", "CONNECT");
            connected = simulator.waitForCommands(3, 500);
        }
        if (!connected)
            die("the driver did not connect");

        std::printf("INDI driver (indi_selvane_telescope under indiserver, simulator in the bench)\n");
        row(("CPU, idle polling every 1 s, " + std::to_string(sizes.idleS) + " s").c_str(),
            cpuPercent(driver, sizes.idleS), "%", "<= 0.5 %");

        // A slew of slewS seconds: 90 degrees of right ascension.
        simulator.setSlewRateDegPerSec(90.0 / sizes.slewS);
        simulator.clearTrace();
        client.send(
            "<newNumberVector device=\"Selvane\" name=\"EQUATORIAL_EOD_COORD\"><oneNumber name=\"RA\">6"
            "</oneNumber><oneNumber name=\"DEC\">0</oneNumber></newNumberVector>");
        if (!simulator.waitForCommands(3, 5000))
            die("no GOTO");
        row(("CPU, waiting for the end of a " + std::to_string(sizes.slewS) + " s slew").c_str(),
            cpuPercent(driver, std::max(1, sizes.slewS - 1)), "%", "<= 1 %");
        if (!simulator.waitForCommands(7, 10'000 + sizes.slewS * 1000))
            die("the GOTO did not end");

        // Autoguiding on and off: each change is one command on the line.
        std::vector<double> roundTrip;
        for (int i = 0; i < sizes.changes; ++i) {
            const std::size_t before = simulator.commands().size();
            const auto start = Clock::now();
            client.setSwitch("AUTOGUIDING", i % 2 == 0 ? "AUTOGUIDING_ON" : "AUTOGUIDING_OFF");
            if (!simulator.waitForCommands(before + 1, 2000))
                die("a change did not reach the line");
            roundTrip.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            // Position queries also travel: leave room between changes so that each is timed alone.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::vector<double> inDriver;
        std::ifstream f(latencyFile);
        for (double ns; f >> ns;)
            inDriver.push_back(ns / 1e6);
        row(("Change reaching the driver to bytes written, median of " + std::to_string(inDriver.size()))
                .c_str(),
            median(inDriver), "ms", "<= 1 ms");
        row("  99th percentile", percentile99(inDriver), "ms", "-");
        row("Client to controller through indiserver, median", median(roundTrip), "ms", "-");
        row("  99th percentile", percentile99(roundTrip), "ms", "-");
        // The shared port: a program attached and idle, then its position queries against the same
        // queries on a line of its own (another simulator of the same kind), taken in turn.
        const int sharedPort = freePort();
        client.send(
            "<newTextVector device=\"Selvane\" name=\"SHARED_PORT_ADDRESS\"><oneText name=\"ADDRESS\">"
            "127.0.0.1:"
            + std::to_string(sharedPort) + "</oneText></newTextVector>");
        client.setSwitch("SHARED_PORT", "SHARED_PORT_ON");
        const int program = sharedProgram(sharedPort);
        row(("CPU, a program attached to the shared port and idle, " + std::to_string(sizes.idleS) + " s")
                .c_str(),
            cpuPercent(driver, sizes.idleS), "%", "<= 0.5 %");
        // The window itself, which asks for the position every 3 s through the shared port.
        if (const char* window = std::getenv("SELVANE_WINDOW")) {
            const std::string address = "127.0.0.1:" + std::to_string(sharedPort);
            const pid_t shown = ::fork();
            if (shown == 0) {
                ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
                std::freopen("/dev/null", "w", stderr);
                ::execl(window, window, "--port", address.c_str(), static_cast<char*>(nullptr));
                _exit(127);
            }
            std::this_thread::sleep_for(std::chrono::seconds(1));
            row(("CPU, the window attached to the shared port and idle, " + std::to_string(sizes.idleS)
                    + " s")
                    .c_str(),
                cpuPercent(driver, sizes.idleS), "%", "<= 0.5 %");
            ::kill(shown, SIGTERM);
            ::waitpid(shown, nullptr, 0);
        }
        sim::MountSimulator alone;
        if (!alone.start())
            die("second simulator did not start");
        const int direct = directLine(alone.devicePath());
        std::vector<double> throughShared;
        std::vector<double> onTheLine;
        for (int i = 0; i < sizes.changes; ++i) {
            const double s = queryMs(program);
            const double d = queryMs(direct);
            if (s < 0 || d < 0)
                die("a position query got no reply");
            throughShared.push_back(s);
            onTheLine.push_back(d);
        }
        row(("Position query through the shared port, median of " + std::to_string(sizes.changes)).c_str(),
            median(throughShared), "ms", "-");
        row("Position query on a line of its own, median", median(onTheLine), "ms", "-");
        row("What the shared port adds, median", median(throughShared) - median(onTheLine), "ms", "<= 1 ms");
        ::close(direct);
        ::close(program);
        client.setSwitch("CONNECTION", "DISCONNECT");
        ::kill(server, SIGTERM);
        ::waitpid(server, &status, 0);
    }
    std::system(("rm -rf '" + std::string(home) + "'").c_str());
    return 0;
}
