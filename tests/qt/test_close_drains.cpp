// SPDX-License-Identifier: GPL-3.0-or-later
// What the far end of the line holds once the window has closed it: "&Fermer", the close box and
// a signal, with a direction button held, end with the move's stop; over TCP too, with the
// window's input unread. And a peer flooding a TCP line neither freezes the window nor fills its
// memory.
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <thread>

#include "QtTestSupport.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/TcpSerialPort.h"
#include "protocol/wire.h"

using testsupport::ProgramEnded;
using testsupport::Pty;
using testsupport::Rig;

namespace {
const QByteArray pressNorth = ":RS# :n#";
const QByteArray stopNorth = ":0#:S#";
const char* const ChildOption = "--fenetre-tenue";

// The window on the device given, put together as main() does, with the North button held;
// says "ready" on standard output, then runs until a signal ends it.
int runHeldWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    platform::qt::QtSerialPort port(QString::fromLocal8Bit(argv[2]));
    platform::qt::MainWindow window(port);
    platform::qt::QtSystem system;
    system.setWindow(&window);
    frmTKR52princ form(window, system);
    window.connectTo(form);
    form.Form_Load();
    const platform::qt::QuitSignals quitSignals([&form] { form.fermerLigne(); });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 3;
    QTest::mousePress(window.findChild<QWidget*>(QStringLiteral("btnNord")), Qt::LeftButton);
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}

// Resident memory of this process, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
        ? statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE)
        : 0;
}

// The window on a TCP line to a server held by the test.
struct TcpWindow {
    QTcpServer server;
    std::unique_ptr<platform::qt::TcpSerialPort> line;
    std::unique_ptr<testsupport::WindowOnLine> window;
    QTcpSocket* peer = nullptr;

    bool start()
    {
        if (!server.listen(QHostAddress::LocalHost))
            return false;
        line = std::make_unique<platform::qt::TcpSerialPort>(
            *platform::qt::tcpAddress(QStringLiteral("127.0.0.1:%1").arg(server.serverPort())));
        window = std::make_unique<testsupport::WindowOnLine>(*line);
        if (!server.waitForNewConnection(2000))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};
} // namespace

class TestCloseDrains : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void quitWithAMoveHeld_data();
    void quitWithAMoveHeld();
    void quitOverTcpWithInputUnread();
    void signalWithAMoveHeld_data();
    void signalWithAMoveHeld();
    void floodingPeer();
};

void TestCloseDrains::quitWithAMoveHeld_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("&Fermer") << false;
    QTest::newRow("close box") << true;
}

void TestCloseDrains::quitWithAMoveHeld()
{
    QFETCH(bool, closeBox);
    Rig rig;
    rig.system.answer = platform::Answer::Ok;
    QVERIFY(rig.start());
    QTest::mousePress(rig.find("btnNord"), Qt::LeftButton);
    QCOMPARE(rig.pty.take(pressNorth.size()), pressNorth);

    std::int16_t cancel = 0;
    QVERIFY_THROWS_EXCEPTION(
        ProgramEnded, closeBox ? rig.form.Form_Unload(cancel) : rig.form.btnFermerappli_Click());
    QCOMPARE(rig.system.endStatus, 0);
    QCOMPARE(rig.pty.readNow(), stopNorth);
}

void TestCloseDrains::quitOverTcpWithInputUnread()
{
    TcpWindow tcp;
    QVERIFY(tcp.start());
    tcp.window->form.btnOuest_MouseDown(1, 0, 0, 0);
    // A reply nobody asked for stays unread on the window's side: closing over it resets the
    // connection unless the close drains first.
    tcp.peer->write(":+000,+00000#");
    tcp.peer->waitForBytesWritten(1000);
    QTest::qWait(50);

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, tcp.window->form.btnFermerappli_Click());
    QByteArray got;
    for (int i = 0; i < 60 && tcp.peer->state() == QAbstractSocket::ConnectedState; ++i)
        got += (tcp.peer->waitForReadyRead(50), tcp.peer->readAll());
    QCOMPARE(got + tcp.peer->readAll(), QByteArray(":RS# :w#:w#:S#"));
}

void TestCloseDrains::signalWithAMoveHeld_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestCloseDrains::signalWithAMoveHeld()
{
    QFETCH(int, signal);
    Pty pty;
    testsupport::RunningProgram run;
    run.process.start(
        QCoreApplication::applicationFilePath(), { QString::fromLatin1(ChildOption), pty.path() });
    QVERIFY(run.process.waitForStarted(5000));
    QElapsedTimer clock;
    clock.start();
    while (!run.process.readAllStandardOutput().contains("ready") && clock.elapsed() < 10000)
        run.process.waitForReadyRead(100);
    QCOMPARE(pty.take(pressNorth.size()), pressNorth);

    clock.restart();
    ::kill(static_cast<pid_t>(run.process.processId()), signal);
    QVERIFY(run.process.waitForFinished(3000));
    QVERIFY2(clock.elapsed() < 2500, "the end took too long");
    QCOMPARE(run.process.exitStatus(), QProcess::CrashExit); // ended by the signal itself
    QCOMPARE(pty.readNow(), stopNorth);
}

void TestCloseDrains::floodingPeer()
{
    TcpWindow tcp;
    QVERIFY(tcp.start());
    const int fd = tcp.peer->socketDescriptor();
    // Garbage at full speed, for at most 3 s or 256 MB, from another thread.
    std::atomic<bool> stop = false;
    std::thread flooder([fd, &stop] {
        const QByteArray garbage(64 * 1024, 'x');
        qint64 sent = 0;
        QElapsedTimer clock;
        clock.start();
        while (!stop && clock.elapsed() < 3000 && sent < 256LL * 1024 * 1024) {
            const ssize_t n = ::send(fd, garbage.constData(), garbage.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0)
                sent += n;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    // The window's own timer stands for the user: how long did it ever wait for its turn?
    qint64 longestGap = 0;
    int mostHeld = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
        mostHeld = std::max(mostHeld, tcp.line->inBufferCount());
    });
    ticker.start(20);
    const qint64 before = residentBytes();
    QElapsedTimer clock;
    clock.start();
    tcp.window->form.BTN_ask_Click(); // ":R#", then a wait that only garbage answers
    const qint64 took = clock.elapsed();
    const qint64 grown = residentBytes() - before;
    stop = true;
    flooder.join();

    QVERIFY2(took < protocol::DélaiRéponsePositionMs + 1000, qPrintable(QString::number(took)));
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    QVERIFY2(mostHeld <= platform::TamponRéceptionMax, qPrintable(QString::number(mostHeld)));
    QVERIFY2(grown < 64LL * 1024 * 1024, qPrintable(QString::number(grown)));
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], ChildOption) == 0)
        return runHeldWindow(argc, argv);
    QApplication app(argc, argv);
    TestCloseDrains test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_close_drains.moc"
