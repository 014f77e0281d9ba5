// SPDX-License-Identifier: GPL-3.0-or-later
// The window on a controller behind a serial-to-network bridge: which --port texts are network
// addresses, and the real window driving the mount simulator through ser2net on 127.0.0.1, the
// bridge going away and coming back.
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "QtTestSupport.h"
#include "platform/qt/TcpSerialPort.h"

using platform::qt::tcpAddress;

namespace {

// ser2net in raw mode serving a device on 127.0.0.1, from a configuration in a temporary folder.
class Ser2net {
public:
    static QString program()
    {
        return QStandardPaths::findExecutable(
            QStringLiteral("ser2net"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin") });
    }

    Ser2net(const QString& device, quint16 port)
        : port(port)
    {
        QFile config(dir.filePath(QStringLiteral("ser2net.yaml")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("connection: &selvane\n  accepter: tcp,127.0.0.1,%1\n"
                                    "  connector: serialdev,%2,9600n81,local\n")
                         .arg(port)
                         .arg(device)
                         .toUtf8());
    }
    ~Ser2net() { stop(); }

    // Starts it and waits until it listens.
    bool start()
    {
        process.start(program(),
            { QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                dir.filePath(QStringLiteral("ser2net.yaml")), QStringLiteral("-P"),
                dir.filePath(QStringLiteral("ser2net.pid")) });
        if (!process.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (!listening() && clock.elapsed() < 5000 && process.state() == QProcess::Running)
            QTest::qWait(20);
        return listening();
    }
    void stop()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000)) {
                process.kill();
                process.waitForFinished(3000);
            }
        }
    }

private:
    // Whether the kernel shows our port listening (looking by connecting would take the device).
    bool listening() const
    {
        QFile table(QStringLiteral("/proc/net/tcp"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        const QByteArray local
            = QStringLiteral(":%1 ").arg(port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && (fields[1] + ' ').endsWith(local) && fields[3] == "0A")
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    QProcess process;
    quint16 port;
};

// A host that does not answer, as one switched off: a listening socket on 127.0.0.1 whose queue
// of connections is full, so that the kernel drops any further request unanswered.
class SilentHost {
public:
    SilentHost()
    {
        sockaddr_in where {};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof where;
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where);
        ::listen(listener, 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&where), &length);
        port = ntohs(where.sin_port);
        for (int& filler : fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            [[maybe_unused]] int rc = ::connect(filler, reinterpret_cast<sockaddr*>(&where), sizeof where);
        }
        QTest::qWait(100); // the queue fills
    }
    ~SilentHost()
    {
        for (int filler : fillers)
            ::close(filler);
        ::close(listener);
    }
    SilentHost(const SilentHost&) = delete;
    SilentHost& operator=(const SilentHost&) = delete;
    quint16 port = 0;

private:
    int listener = -1;
    int fillers[3] {};
};

quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

class TestTcpLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }

    void networkAddressesAndDevices()
    {
        struct Case {
            const char* text;
            const char* host; // nullptr: a device, not an address
            quint16 port;
        };
        const Case cases[] = {
            { "telescope-pi:2000", "telescope-pi", 2000 },
            { "192.168.1.20:4001", "192.168.1.20", 4001 },
            { "[::1]:2000", "::1", 2000 },
            { "[fe80::1%eth0]:23", "fe80::1%eth0", 23 },
            { "telescope-pi:99999", "telescope-pi", 0 }, // an address, with a port that cannot be
            { "/dev/ttyUSB0", nullptr, 0 },
            { "/tmp/a:2000", nullptr, 0 },
            { "COM3", nullptr, 0 },
            { "com12", nullptr, 0 },
            { "ttyUSB0", nullptr, 0 },
            { "telescope-pi:", nullptr, 0 },
            { "telescope-pi:20a", nullptr, 0 },
            { "::1:2000", nullptr, 0 }, // a bare IPv6 address is ambiguous: brackets are needed
            { "", nullptr, 0 },
        };
        for (const Case& c : cases) {
            const auto address = tcpAddress(QString::fromUtf8(c.text));
            QVERIFY2(address.has_value() == (c.host != nullptr), c.text);
            if (!address)
                continue;
            QCOMPARE(address->host, QString::fromUtf8(c.host));
            QCOMPARE(address->port, c.port);
            QCOMPARE(address->text, QString::fromUtf8(c.text));
        }
    }

    void silentHostNeverHoldsTheWindowLong()
    {
        SilentHost host;
        platform::qt::TcpSerialPort line(*tcpAddress(QStringLiteral("127.0.0.1:%1").arg(host.port)));
        // The first open, before the window shows, waits for the answer within its limit.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!line.setPortOpen(true));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        // The opens of the later ticks return at once, while an attempt goes on between them.
        for (int tick = 0; tick < 4; ++tick) {
            clock.restart();
            QVERIFY(!line.setPortOpen(true));
            QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
            QTest::qWait(200);
        }
    }

    void drivesTheSimulatorThroughSer2net()
    {
        if (Ser2net::program().isEmpty())
            QSKIP("ser2net is not installed (Debian package ser2net)");
        sim::Options options;
        options.raCount = 576000; // 12h
        options.decCount = 120000; // +45°
        sim::MountSimulator simulator(options);
        QVERIFY(simulator.start());
        const quint16 port = freePort();
        Ser2net bridge(QString::fromStdString(simulator.devicePath()), port);
        QVERIFY(bridge.start());

        platform::qt::TcpSerialPort line(*tcpAddress(QStringLiteral("127.0.0.1:%1").arg(port)));
        testsupport::WindowOnLine rig(line);
        auto& [window, system, form] = rig;
        QVERIFY(system.messages.empty());
        rig.tickEvery(200);
        auto* ra = window.findChild<QLabel*>(QStringLiteral("affalpha"));

        // The queries and their replies pass through the bridge unchanged.
        QTRY_COMPARE(ra->text(), QStringLiteral(" 12h 0m 0s"));
        QVERIFY(simulator.received().rfind(":R#:D#", 0) == 0);
        form.Timerconsult.setEnabled(false);
        QTest::qWait(300);
        simulator.clearTrace();
        form.btninitialisation_Click();
        QTRY_COMPARE(simulator.commands().size(), std::size_t { 3 });
        QCOMPARE(simulator.commands().back(), std::string(":i#"));

        // The bridge goes away: said once; it comes back: the next tick reconnects.
        form.Timerconsult.setEnabled(true);
        bridge.stop();
        QTRY_COMPARE(rig.linesSaying("Liaison série perdue"), 1);
        QTest::qWait(700);
        QCOMPARE(rig.linesSaying("Liaison série perdue"), 1);
        QVERIFY(bridge.start());
        QTRY_COMPARE(rig.linesSaying("Liaison série rétablie"), 1);
        simulator.setPosition(48000, -44576);
        QTRY_COMPARE(ra->text(), QStringLiteral(" 1h 0m 0s"));
    }
};

QTEST_MAIN(TestTcpLine)
#include "test_tcp_line.moc"
