// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the Qt tests: a pseudo-terminal standing in for the mount controller's line,
// a system whose message boxes answer from a script, and the window put together as main() does.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "window/app/frmTKR52princ.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSystem.h"
#include "sim/MountSimulator.h"

namespace testsupport {

// The offscreen platform warns about window size hints on every window it shows; that says
// nothing about the program, so it is left out of the test log. Call from initTestCase().
inline void quietOffscreenNoise()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains(QLatin1String("propagateSizeHints")))
            return;
        if (previous)
            previous(type, context, text);
    });
}

// Calls `open`, which shows a modal message box; once the box shows, hands it to `look`, which
// must close it. Says whether a box showed.
inline bool withBox(const std::function<void()>& open, const std::function<void(QMessageBox&)>& look)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            look(*box);
        }
    });
    poll.start(10);
    open();
    return seen;
}

// A pseudo-terminal: the program opens the slave by its path; the test holds the master and
// plays the controller. The slave is raw (no echo, no line editing) and stays open on our side
// so that the line keeps what is written to it before the program opens the device.
class Pty {
public:
    Pty()
    {
        if (openpty(&masterFd, &slaveFd, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        termios raw {};
        tcgetattr(slaveFd, &raw);
        cfmakeraw(&raw);
        tcsetattr(slaveFd, TCSANOW, &raw);
        fcntl(masterFd, F_SETFL, fcntl(masterFd, F_GETFL) | O_NONBLOCK);
        slavePath = QString::fromLocal8Bit(ttyname(slaveFd));
    }
    ~Pty()
    {
        ::close(masterFd);
        ::close(slaveFd);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    QString path() const { return slavePath; }
    int master() const { return masterFd; }

    // Sends bytes to the program, as the controller would.
    void send(const QByteArray& bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(masterFd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                throw std::runtime_error("write to the pseudo-terminal failed");
            if (n > 0)
                done += n;
        }
    }

    // Bytes waiting on the program's side that nobody has read yet.
    int waitingForProgram() const
    {
        int count = 0;
        ioctl(slaveFd, FIONREAD, &count);
        return count;
    }

    // Whatever the program has written and we have not read yet; never blocks.
    QByteArray readNow() const
    {
        QByteArray got;
        char buffer[256];
        for (;;) {
            const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }

    // Reads what the program writes while letting events run, until at least `count` bytes have
    // come (or timeoutMs has passed), then for quietMs more to catch anything extra.
    QByteArray take(qsizetype count, int timeoutMs = 2000, int quietMs = 60) const
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < count && clock.elapsed() < timeoutMs) {
            got += readNow();
            if (got.size() < count)
                pump(5);
        }
        clock.restart();
        while (clock.elapsed() < quietMs) {
            pump(5);
            got += readNow();
        }
        return got;
    }

    // What the program writes during the next quietMs (expected: nothing).
    QByteArray listen(int quietMs = 150) const { return take(0, 0, quietMs); }

private:
    void pump(int ms) const
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        pollfd p {masterFd, POLLIN, 0};
        ::poll(&p, 1, ms);
    }

    int masterFd = -1;
    int slaveFd = -1;
    QString slavePath;
};

// Plays the controller on a pseudo-terminal: keeps everything the program writes and answers
// each ":R#" and ":D#" with the next scripted position reply, from inside the event loop (so
// the program's own waits see the reply arrive).
class Responder {
public:
    explicit Responder(const Pty& line) : pty(line), notifier(line.master(), QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, [this] { onReadable(); });
    }
    void answerR(QByteArray reply) { repliesR.push_back(std::move(reply)); }
    void answerD(QByteArray reply) { repliesD.push_back(std::move(reply)); }
    QByteArray heard;

private:
    void onReadable()
    {
        heard += pty.readNow();
        for (;;) {
            const qsizetype r = heard.indexOf(":R#", scanned);
            const qsizetype d = heard.indexOf(":D#", scanned);
            qsizetype next = -1;
            std::vector<QByteArray>* replies = nullptr;
            if (r >= 0 && (d < 0 || r < d)) {
                next = r;
                replies = &repliesR;
            } else if (d >= 0) {
                next = d;
                replies = &repliesD;
            }
            if (next < 0)
                break;
            scanned = next + 3;
            if (!replies->empty()) {
                pty.send(replies->front());
                replies->erase(replies->begin());
            }
        }
    }

    const Pty& pty;
    QSocketNotifier notifier;
    std::vector<QByteArray> repliesR;
    std::vector<QByteArray> repliesD;
    qsizetype scanned = 0;
};

// The built program started by a test, under the offscreen platform, and killed whatever happens
// in the test (after a failed open it waits on a message box that nobody will answer).
struct RunningProgram {
    QProcess process;
    RunningProgram()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
    }
    ~RunningProgram() { stop(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    void stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
};

// Thrown where the program would end at once: a test must never leave the process there.
struct ProgramEnded {
};

// The Qt system services, except that boxes never open: they are recorded and answered from
// the script, and ending the program throws.
class ScriptedSystem : public platform::qt::QtSystem {
public:
    void beep() override { ++beeps; }
    void messageBox(const std::string& text, const std::string&) override { messages.push_back(text); }
    platform::Answer askOkCancel(const std::string& text, const std::string&) override
    {
        questions.push_back(text);
        return answer;
    }
    platform::Answer askOkCancelWarning(const std::string&, const std::string&) override { return answer; }
    void information(const std::string& text, const std::string&) override { messages.push_back(text); }
    [[noreturn]] void endNow(int status) override
    {
        ++ends;
        endStatus = status;
        throw ProgramEnded {};
    }

    platform::Answer answer = platform::Answer::Cancel;
    int beeps = 0;
    int ends = 0;
    int endStatus = -1;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

// The window on a pseudo-terminal, put together the way the program's main() does it.
// start() runs the load handler, lets the timers tick and shows the window.
struct Rig {
    Pty pty;
    platform::qt::QtSerialPort port {pty.path()};
    platform::qt::MainWindow window {port};
    ScriptedSystem system;
    frmTKR52princ form {window, system};

    Rig()
    {
        system.setWindow(&window);
        window.connectTo(form);
    }

    bool start()
    {
        form.Form_Load();
        window.armTimers();
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    template <class T = QWidget>
    T* find(const char* name) const
    {
        return window.findChild<T*>(QString::fromUtf8(name));
    }

    // Where a widget sits in the window's coordinates.
    QRect placeOf(const QWidget* w) const { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); }
};

// The window on a line the test made (a pluggable device, a bridge), loaded, answering OK.
struct WindowOnLine {
    platform::qt::MainWindow window;
    ScriptedSystem system;
    frmTKR52princ form {window, system};

    explicit WindowOnLine(platform::SerialPort& line)
        : window(line)
    {
        system.answer = platform::Answer::Ok;
        system.setWindow(&window);
        window.connectTo(form);
        form.Form_Load();
    }

    // Sets the position queries' timer to tick every `ms` and starts the window's timers.
    void tickEvery(int ms)
    {
        window.findChild<QTimer*>(QStringLiteral("Timerconsult"))->setInterval(ms);
        window.armTimers();
    }

    // How many lines of the log read exactly `text`.
    qsizetype linesSaying(const QString& text) const
    {
        return window.findChild<QPlainTextEdit*>(QStringLiteral("edtsaisie"))
            ->toPlainText()
            .count(text + QLatin1Char('\n'));
    }
};

// The window against the in-process mount simulator, put together as main() does with
// --simulate. start() loads and shows it (a test's init), stop() takes it apart (its cleanup).
template <class SystemT>
struct SimulatedWindow {
    std::unique_ptr<sim::MountSimulator> simulator;
    std::unique_ptr<platform::qt::QtSerialPort> port;
    std::unique_ptr<platform::qt::MainWindow> window;
    std::unique_ptr<SystemT> system;
    std::unique_ptr<frmTKR52princ> form;

    bool start(const sim::Options& options)
    {
        simulator = std::make_unique<sim::MountSimulator>(options);
        if (!simulator->start())
            return false;
        port = std::make_unique<platform::qt::QtSerialPort>(QString::fromStdString(simulator->devicePath()));
        window = std::make_unique<platform::qt::MainWindow>(*port);
        system = std::make_unique<SystemT>();
        system->answer = platform::Answer::Ok;
        system->setWindow(window.get());
        form = std::make_unique<frmTKR52princ>(*window, *system);
        window->connectTo(*form);
        form->Form_Load();
        window->armTimers();
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    void stop()
    {
        form.reset();
        window.reset();
        port.reset();
        simulator.reset();
    }

    template <class T = QWidget>
    T* find(const char* name) const
    {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    QString log() const { return find<QPlainTextEdit>("edtsaisie")->toPlainText(); }
};

} // namespace testsupport
