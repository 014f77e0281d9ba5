// SPDX-License-Identifier: GPL-3.0-or-later
// Why the serial device would not open, in plain words on standard error: a device that is not
// there, one the user may not use (naming the group that owns it), one another program holds, a
// network address where nothing answers.
// The program itself is started for each case; the wording is also checked on its own.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <pty.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "QtTestSupport.h"
#include "platform/qt/QtSerialPort.h"

using platform::qt::explainOpenFailure;

namespace {

// The program on a device, read from its standard error.
struct Running : testsupport::RunningProgram {
    Running() { process.setReadChannel(QProcess::StandardError); }
    void start(const QString& device) { process.start(QStringLiteral(SELVANE_BINARY), {QStringLiteral("--port"), device}); }

    // Standard error until the line about `device` comes (the program's "selvane: DEVICE: why"),
    // the program ends, or timeoutMs passes. Returns that line, or empty; `seen` keeps all of it.
    QString reasonLine(const QString& device, int timeoutMs = 8000)
    {
        const QString prefix = QStringLiteral("selvane: %1: ").arg(device);
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            seen += process.readAllStandardError();
            for (const QString& line : QString::fromUtf8(seen).split(QLatin1Char('\n'))) {
                if (line.startsWith(prefix))
                    return line;
            }
            if (clock.elapsed() >= timeoutMs || process.state() == QProcess::NotRunning)
                return {};
            process.waitForReadyRead(100);
        }
    }
    QByteArray seen;
};

// A pseudo-terminal whose slave stands for the serial device.
struct Pty {
    int master = -1;
    int slave = -1;
    QString path;
    Pty()
    {
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            return;
        // Not inherited by the programs started here: they must hold the device only by
        // opening it themselves.
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
        path = QString::fromLocal8Bit(ttyname(slave));
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
        if (slave >= 0)
            ::close(slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
};

// The name of the group that owns `path`, as the hint must give it.
QString owningGroup(const QString& path)
{
    struct stat info {};
    if (::stat(path.toLocal8Bit().constData(), &info) != 0)
        return {};
    const struct group* owner = ::getgrgid(info.st_gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
}

// The unprivileged account that stands for an ordinary user when the tests run as root.
struct Nobody {
    uid_t uid;
    gid_t gid;
};

std::optional<Nobody> nobodyAccount()
{
    const struct passwd* entry = ::getpwnam("nobody");
    if (!entry || entry->pw_uid == 0)
        return std::nullopt;
    return Nobody {entry->pw_uid, entry->pw_gid};
}

// Gives up every privilege for good; for a freshly forked child only. Async-signal-safe calls.
bool becomeNobody(const Nobody& who)
{
    return ::setgroups(0, nullptr) == 0 && ::setgid(who.gid) == 0 && ::setuid(who.uid) == 0 && ::getuid() != 0;
}

// Runs `work` in a child process as `who` and returns what it produced (nothing if the child
// could not drop its privileges or did not end within a few seconds).
std::optional<QByteArray> runAs(const Nobody& who, const std::function<QByteArray()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(fds[0]);
        if (!becomeNobody(who))
            ::_exit(2);
        const QByteArray out = work();
        qsizetype done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(fds[1], out.constData() + done, static_cast<size_t>(out.size() - done));
            if (n <= 0)
                ::_exit(3);
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray got;
    char buffer[512];
    QElapsedTimer clock;
    clock.start();
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    int status = 0;
    bool ended = false;
    while (clock.elapsed() < 5000) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, n);
            continue;
        }
        if (n == 0 && ::waitpid(child, &status, 0) == child) {
            ended = true;
            break;
        }
        QTest::qSleep(10);
    }
    ::close(fds[0]);
    if (!ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return got;
}

// Whether /proc shows `pid` holding `path` open.
bool holds(qint64 pid, const QString& path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds.filePath(fd)) == path)
            return true;
    }
    return false;
}

// A device an ordinary user may not open: the pseudo-terminal's slave with no access for
// anyone but root. When we are root, it is given to the "dialout" group as serial adapters
// are, so the hint has a real group to name.
bool forbid(const Pty& pty)
{
    if (::geteuid() == 0) {
        if (const struct group* dialout = ::getgrnam("dialout"))
            (void)::fchown(pty.slave, static_cast<uid_t>(-1), dialout->gr_gid);
        return ::fchmod(pty.slave, 0660) == 0;
    }
    return ::fchmod(pty.slave, 0) == 0;
}

} // namespace

class TestPortErrors : public QObject {
    Q_OBJECT

private slots:
    void missingDeviceWording();
    void refusedDeviceWording();
    void heldDeviceWording();

    void missingDeviceOnStandardError();
    void refusedDeviceOnStandardError();
    void heldDeviceOnStandardError();
    void refusedAddressOnStandardError();
};

void TestPortErrors::missingDeviceWording()
{
    for (const char* path : {"/nonexistent/ttyX", "/dev/ttyUSB-selvane-absent"}) {
        const QString why = explainOpenFailure(QString::fromLatin1(path), QStringLiteral("No such file or directory"));
        QVERIFY2(why.startsWith(QString::fromUtf8("aucun périphérique de ce nom")), qPrintable(why));
        QVERIFY2(why.contains(QLatin1String("--list-ports")), qPrintable(why));
    }
}

void TestPortErrors::refusedDeviceWording()
{
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    QVERIFY(forbid(pty));
    const QString group = owningGroup(pty.path);
    QVERIFY(!group.isEmpty());

    QString why;
    if (::geteuid() == 0) {
        // Root may open anything: ask as an ordinary user.
        const auto nobody = nobodyAccount();
        if (!nobody)
            QSKIP("running as root and there is no unprivileged account \"nobody\" to ask as");
        const QString path = pty.path;
        const auto out = runAs(*nobody, [path] {
            return explainOpenFailure(path, QStringLiteral("Permission denied")).toUtf8();
        });
        QVERIFY2(out.has_value(), "the check as user nobody did not run");
        why = QString::fromUtf8(*out);
    } else {
        why = explainOpenFailure(pty.path, QStringLiteral("Permission denied"));
    }
    QVERIFY2(why.startsWith(QString::fromUtf8("accès refusé")), qPrintable(why));
    QVERIFY2(why.contains(QString::fromUtf8("au groupe « %1 »").arg(group)), qPrintable(why));
    QVERIFY2(why.contains(QStringLiteral("usermod -aG %1 ").arg(group)), qPrintable(why));
}

void TestPortErrors::heldDeviceWording()
{
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    // There and usable, yet the open failed: someone else has it. Qt's own words follow.
    const QString qtReason = QStringLiteral("Permission error while locking the device");
    const QString why = explainOpenFailure(pty.path, qtReason);
    QVERIFY2(why.startsWith(QString::fromUtf8("déjà utilisé par un autre programme (%1").arg(qtReason)), qPrintable(why));
    // A lock file left by a killed program looks the same: say where it would be.
    QVERIFY2(why.contains(QStringLiteral("/run/lock")), qPrintable(why));
    QCOMPARE(explainOpenFailure(pty.path, QStringLiteral("Device busy")),
             QString::fromUtf8("déjà utilisé par un autre programme (Device busy)"));
}

void TestPortErrors::missingDeviceOnStandardError()
{
    const QString device = QStringLiteral("/nonexistent/ttyX");
    Running run;
    run.start(device);
    QVERIFY(run.process.waitForStarted(5000));
    const QString line = run.reasonLine(device);
    QVERIFY2(!line.isEmpty(), run.seen.constData());
    QVERIFY2(line.contains(QString::fromUtf8("aucun périphérique")), qPrintable(line));
    // The box that follows waits for its OK: the program has not gone anywhere.
    QCOMPARE(run.process.state(), QProcess::Running);
}

void TestPortErrors::refusedDeviceOnStandardError()
{
    Pty pty;
    QVERIFY(!pty.path.isEmpty());
    QVERIFY(forbid(pty));
    const QString group = owningGroup(pty.path);

    Running run;
    if (::geteuid() == 0) {
        // Root opens any device; start the program as an ordinary user instead, if it can.
        const auto nobody = nobodyAccount();
        if (!nobody)
            QSKIP("running as root and there is no unprivileged account \"nobody\" to run the program as");
        const QByteArray program = QByteArrayLiteral(SELVANE_BINARY);
        const auto reachable = runAs(*nobody, [program] {
            return QByteArray(::access(program.constData(), X_OK) == 0 ? "yes" : "no");
        });
        if (reachable != QByteArray("yes"))
            QSKIP("running as root, and the user nobody cannot run the built program (" SELVANE_BINARY
                  "), so no ordinary user can be tried");
        const Nobody who = *nobody;
        run.process.setChildProcessModifier([who] {
            if (!becomeNobody(who))
                ::_exit(126);
        });
        QProcessEnvironment env = run.process.processEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        run.process.setProcessEnvironment(env);
        run.process.setWorkingDirectory(QDir::rootPath());
    }
    run.start(pty.path);
    QVERIFY(run.process.waitForStarted(5000));
    const QString line = run.reasonLine(pty.path);
    QVERIFY2(!line.isEmpty(), run.seen.constData());
    QVERIFY2(line.contains(QString::fromUtf8("accès refusé")), qPrintable(line));
    QVERIFY2(line.contains(QString::fromUtf8("« %1 »").arg(group)), qPrintable(line));
}

void TestPortErrors::heldDeviceOnStandardError()
{
    Pty pty;
    QVERIFY(!pty.path.isEmpty());

    Running first;
    first.start(pty.path);
    QVERIFY(first.process.waitForStarted(5000));
    // Wait until it has the device open before a second program tries; if it could not open
    // it either, say why.
    QElapsedTimer clock;
    clock.start();
    while (!holds(first.process.processId(), pty.path)) {
        const QString refused = first.reasonLine(pty.path, 50);
        QVERIFY2(refused.isEmpty(), qPrintable(QStringLiteral("the first program could not open the device: ") + refused));
        QVERIFY2(first.process.state() == QProcess::Running, first.seen.constData());
        QVERIFY2(clock.elapsed() < 8000, "the first program never opened the device");
    }

    Running second;
    second.start(pty.path);
    QVERIFY(second.process.waitForStarted(5000));
    const QString line = second.reasonLine(pty.path);
    QVERIFY2(!line.isEmpty(), second.seen.constData());
    QVERIFY2(line.contains(QString::fromUtf8("déjà utilisé par un autre programme")), qPrintable(line));

    // The first one keeps its device and says nothing about it.
    first.seen += first.process.readAllStandardError();
    QVERIFY2(!first.seen.contains("selvane: " + pty.path.toLocal8Bit() + ": "), first.seen.constData());
    QCOMPARE(first.process.state(), QProcess::Running);
}

void TestPortErrors::refusedAddressOnStandardError()
{
    // A port just freed: nothing listens there, as when the bridge is not running.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
    server.close();

    Running run;
    run.start(address);
    QVERIFY(run.process.waitForStarted(5000));
    const QString line = run.reasonLine(address);
    QVERIFY2(!line.isEmpty(), run.seen.constData());
    QVERIFY2(line.contains(QString::fromUtf8("connexion refusée")), qPrintable(line));
    QCOMPARE(run.process.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestPortErrors)
#include "test_port_errors.moc"
