// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line over a real pseudo-terminal: the program itself started on it, and the window
// in this process reading replies through the Qt serial port.
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "QtTestSupport.h"

using testsupport::Pty;
using testsupport::Responder;
using testsupport::Rig;

namespace {

using Running = testsupport::RunningProgram;

} // namespace

class TestSerialPty : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void helpAndVersion_data();
    void helpAndVersion();
    void programQueriesOverThePty();
    void bytesBeforeOpeningAreDiscarded();
    void askButtonQueriesAtOnce();
};

void TestSerialPty::helpAndVersion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << QStringLiteral("--help") << QStringLiteral("--port");
    QTest::newRow("version") << QStringLiteral("--version") << QStringLiteral("2.2");
}

void TestSerialPty::helpAndVersion()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    Running run;
    run.process.start(QStringLiteral(SELVANE_BINARY), {option});
    QVERIFY2(run.process.waitForFinished(10000), "the program did not end");
    QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(run.process.readAllStandardOutput());
    QVERIFY2(out.contains(expected), qPrintable(out));
}

void TestSerialPty::programQueriesOverThePty()
{
    Pty pty;
    Running run;
    run.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer sinceStart;
    sinceStart.start();
    run.process.start(QStringLiteral(SELVANE_BINARY), {QStringLiteral("--port"), pty.path()});
    QVERIFY(run.process.waitForStarted(5000));

    // Start-up writes nothing.
    QCOMPARE(pty.take(1, 1000, 0), QByteArray());
    QCOMPARE(run.process.state(), QProcess::Running);

    // About three seconds after the window opens: the right ascension query, three bytes.
    const QByteArray query = pty.take(3, 6000, 100);
    QCOMPARE(query, QByteArray(":R#"));
    const qint64 when = sinceStart.elapsed();
    QVERIFY2(when >= 2500 && when < 6000, qPrintable(QString::number(when)));

    // The reply is taken: the declination query follows it, and only it.
    pty.send(":+008,+18944#");
    QCOMPARE(pty.take(3, 2000, 100), QByteArray(":D#"));
    pty.send(":+002,-11072#");
    QCOMPARE(pty.listen(300), QByteArray());
    QCOMPARE(run.process.state(), QProcess::Running);
}

void TestSerialPty::bytesBeforeOpeningAreDiscarded()
{
    Rig rig;
    Responder controller(rig.pty);
    controller.answerR(":+008,+18944#");
    controller.answerD(":+002,-11072#");

    // Left on the line before the program opens it: it would pass for a reply.
    const QByteArray junk = "garbage:+001,+00000#";
    rig.pty.send(junk);
    QTRY_COMPARE_WITH_TIMEOUT(rig.pty.waitingForProgram(), int(junk.size()), 2000);

    QVERIFY(rig.start());
    QVERIFY(rig.form.demarre());
    rig.form.Timerconsult_Timer();

    QCOMPARE(controller.heard, QByteArray(":R#:D#"));
    QCOMPARE(rig.find<QLabel>("affalpha")->text(), QStringLiteral(" 12h 0m 0s"));
    QCOMPARE(rig.find<QLabel>("affdelta")->text(), QString::fromUtf8(" 45° 0' 0\""));
    QCOMPARE(rig.window.textBox("edtsaisie").text(),
             std::string("DEC: :+002,-11072#\r\nAD : :+008,+18944#\r\nessai\r\n"));
}

void TestSerialPty::askButtonQueriesAtOnce()
{
    Rig rig;
    Responder controller(rig.pty);
    QVERIFY(rig.start());
    rig.window.timer("Timerconsult").setEnabled(false);

    // The first reply comes after the leftover of an earlier exchange.
    controller.answerR("Ok:+000,+15232#");
    controller.answerD(":-002,+11072#");
    QTest::mouseClick(rig.find<QPushButton>("BTN_ask"), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(rig.find<QLabel>("affalpha")->text(), QStringLiteral(" 1h 0m 0s"), 3000);
    QCOMPARE(rig.find<QLabel>("affdelta")->text(), QString::fromUtf8("-45° 0' 0\""));
    QCOMPARE(controller.heard, QByteArray(":R#:D#"));
    QVERIFY(rig.window.findChild<QTimer*>(QStringLiteral("Timerconsult"))->isActive());
}

QTEST_MAIN(TestSerialPty)
#include "test_serial_pty.moc"
