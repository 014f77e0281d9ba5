// SPDX-License-Identifier: GPL-3.0-or-later
// The serial device vanishes (the far end of the pseudo-terminal closed) and comes back under the
// same name: idle, inside a query and inside a GOTO, on the real Qt serial port.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <sys/resource.h>

#include "QtTestSupport.h"
#include "sky/catalogue.h"

namespace {

// A pseudo-terminal reached through a fixed name, as a USB adapter keeps its /dev name. It plays
// the controller from inside the event loop: it answers each position query and keeps what it hears.
class PluggableLine {
public:
    QByteArray heard;
    QByteArray answerR = ":+008,+18944#";
    QByteArray answerD = ":+002,-11072#";
    // Pulls the device out as soon as this command is heard.
    const char* pullOnHearing = nullptr;
    QElapsedTimer pulledAt;

    explicit PluggableLine(const QString& linkPath) : link(linkPath) { plugIn(); }
    ~PluggableLine() { pull(); }

    void plugIn()
    {
        openpty(&master, &slave, nullptr, nullptr, nullptr);
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        notifier = std::make_unique<QSocketNotifier>(master, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });
        QFile::remove(link);
        QFile::link(QString::fromLocal8Bit(ttyname(slave)), link);
        // The device lives as long as our side does; the program opens it by its name.
        release();
    }
    // The program holds the device now: let go of our side of it.
    void release()
    {
        if (slave >= 0)
            ::close(slave);
        slave = -1;
    }
    void pull()
    {
        release();
        notifier.reset();
        if (master >= 0)
            ::close(master);
        master = -1;
        QFile::remove(link);
    }
    QByteArray read() const
    {
        QByteArray got;
        char buffer[256];
        for (ssize_t n; master >= 0 && (n = ::read(master, buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
        return got;
    }
    void send(const QByteArray& bytes) const { [[maybe_unused]] auto n = ::write(master, bytes.constData(), bytes.size()); }

private:
    void onReadable()
    {
        const QByteArray got = read();
        heard += got;
        if (pullOnHearing && got.contains(pullOnHearing)) {
            pullOnHearing = nullptr;
            pulledAt.start();
            QTimer::singleShot(0, [this] { pull(); });
        }
        for (qsizetype i = 0; (i = got.indexOf(":R#", i)) >= 0; i += 3)
            send(answerR);
        for (qsizetype i = 0; (i = got.indexOf(":D#", i)) >= 0; i += 3)
            send(answerD);
    }
    std::unique_ptr<QSocketNotifier> notifier;
    QString link;
    int master = -1;
    int slave = -1;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class LinkLostOnPty : public QObject {
    Q_OBJECT

private slots:
    void vanishesAndComesBackIdleInAQueryAndInAGoto()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ttySelvane"));
        PluggableLine line(path);
        platform::qt::QtSerialPort port(path);
        testsupport::WindowOnLine rig(port);
        auto& [window, system, form] = rig;
        rig.tickEvery(100);
        form.Timerconsult.setEnabled(false);
        auto* log = window.findChild<QPlainTextEdit*>(QStringLiteral("edtsaisie"));

        // Idle: said once, then quiet; the ticks that try the device cost nothing to speak of.
        line.pull();
        QTRY_COMPARE(rig.linesSaying(QString::fromUtf8("Liaison série perdue")), 1);
        form.Timerconsult.setEnabled(true);
        catalogue::objets(); // the table, read once from the window's start, is not idle work
        const double cpuBefore = cpuSeconds();
        QTest::qWait(2000);
        const double cpuUsed = cpuSeconds() - cpuBefore;
        qInfo("CPU used in the 2 s after the device vanished: %.3f s", cpuUsed);
        QVERIFY(cpuUsed < 0.1);
        QCOMPARE(rig.linesSaying(QString::fromUtf8("Liaison série perdue")), 1);
        QVERIFY(form.liaisonCoupée());

        // Back under the same name: the next tick reopens it and the queries resume.
        line.plugIn();
        QTRY_COMPARE(rig.linesSaying(QString::fromUtf8("Liaison série rétablie")), 1);
        QTRY_COMPARE(window.findChild<QLabel*>(QStringLiteral("affalpha"))->text(), QStringLiteral(" 12h 0m 0s"));

        // Inside a query: the wait ends at once, not at its time limit.
        line.answerR.clear();
        line.pullOnHearing = ":R#";
        QTRY_COMPARE(rig.linesSaying(QString::fromUtf8("Liaison série perdue")), 2);
        QVERIFY(!form.attenteEnCours());
        QVERIFY(line.pulledAt.elapsed() < 1000);
        QVERIFY(!log->toPlainText().contains(QStringLiteral("pas de réponse")));

        // Inside a GOTO's wait for "Ok": ends as on its time limit, the window stays usable.
        line.plugIn();
        QTRY_COMPARE(rig.linesSaying(QString::fromUtf8("Liaison série rétablie")), 2);
        form.Timerconsult.setEnabled(false);
        QTest::qWait(150);
        line.pullOnHearing = ":T#";
        form.BtnGOTO_Click();
        QVERIFY2(log->toPlainText().startsWith(QString::fromUtf8("GOTO : pas de réponse du contrôleur\nLiaison série perdue\n")), qPrintable(log->toPlainText()));
        QVERIFY(line.pulledAt.elapsed() < 1000);
        QVERIFY(form.Timerconsult.enabled());
    }
};

QTEST_MAIN(LinkLostOnPty)
#include "test_link_lost.moc"
