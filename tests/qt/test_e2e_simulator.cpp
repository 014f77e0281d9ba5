// SPDX-License-Identifier: GPL-3.0-or-later
// The real window against the mount simulator over a pseudo-terminal: queries, initialisation,
// GOTO with its compensation, manual moves, autoguiding, spin and clipboard import.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include "QtTestSupport.h"
#include "sim/MountSimulator.h"

using testsupport::ScriptedSystem;

namespace {

// Clock of the window: starts at 21:10:00 and runs sixty times faster than real time, so a slew
// of a fraction of a second shows as a compensation of some arc minutes.
class FastClockSystem : public ScriptedSystem {
public:
    FastClockSystem() { started.start(); }
    platform::TimeOfDay localTime() const override
    {
        const qint64 seconds = 21 * 3600 + 10 * 60 + started.elapsed() * 60 / 1000;
        return {static_cast<int>(seconds / 3600 % 24), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60)};
    }

private:
    QElapsedTimer started;
};

std::vector<std::string> withoutQueries(const std::vector<std::string>& commands)
{
    std::vector<std::string> kept;
    for (const auto& c : commands)
        if (c != ":R#" && c != ":D#")
            kept.push_back(c);
    return kept;
}

} // namespace

class EndToEnd : public QObject, testsupport::SimulatedWindow<FastClockSystem> {
    Q_OBJECT

    void setField(const char* name, const char* text) { find<QLineEdit>(name)->setText(QString::fromUtf8(text)); }
    // Clicks near the left edge: an option's or a check box's hit area is its mark and caption only.
    void click(const char* name)
    {
        auto* button = find<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    bool waitForCommands(std::size_t n)
    {
        QElapsedTimer clock;
        clock.start();
        while (simulator->commands().size() < n && clock.elapsed() < 5000)
            QTest::qWait(5);
        return simulator->commands().size() >= n;
    }

private slots:
    void init()
    {
        sim::Options options;
        options.rates.slew = 200.0; // degrees per second: a GOTO takes a fraction of a second
        options.raCount = 576000;   // 12h
        options.decCount = 120000;  // +45°
        QVERIFY(start(options));
    }

    void cleanup() { stop(); }

    void startUpSendsNothingAndQueriesFollowTheMount()
    {
        QTest::qWait(300);
        QVERIFY(simulator->received().empty());
        // Three periodic queries, the mount moved between them.
        find<QTimer>("Timerconsult")->setInterval(200);
        QTRY_COMPARE(find<QLabel>("affalpha")->text(), QStringLiteral(" 12h 0m 0s"));
        QCOMPARE(find<QLabel>("affdelta")->text(), QString::fromUtf8(" 45° 0' 0\""));
        simulator->setPosition(48000, -44576);
        QTRY_COMPARE(find<QLabel>("affalpha")->text(), QStringLiteral(" 1h 0m 0s"));
        QCOMPARE(find<QLabel>("affdelta")->text(), QString::fromUtf8("-16° 42' 58\""));
        simulator->setPosition(1151987, -1333);
        QTRY_COMPARE(find<QLabel>("affalpha")->text(), QStringLiteral(" 23h 59m 59s"));
        QCOMPARE(find<QLabel>("affdelta")->text(), QString::fromUtf8("-0° 30' 0\""));
        QVERIFY(log().startsWith(QStringLiteral("DEC: :+000,-01333#\nAD : :+017,+05107#\n")));
        const std::string received = simulator->received();
        QVERIFY(received.rfind(":R#:D#:R#:D#", 0) == 0);
    }

    void initialisationSyncsTheMount()
    {
        form->Timerconsult.setEnabled(false);
        setField("EdtADréfHrs", "6");
        setField("EdtADréfMin", "00");
        setField("EdtADréfSec", "00");
        setField("EdtDECréfDeg", "-16");
        setField("EdtDECréfMin", "42");
        setField("EdtDECréfSec", "58");
        click("btninitialisation");
        QVERIFY(waitForCommands(3));
        QCOMPARE(simulator->commands(), (std::vector<std::string>{":r+004,-06912#", ":d-001,+20960#", ":i#"}));
        QTRY_COMPARE(simulator->raCount(), std::int64_t{288000});
        QCOMPARE(simulator->decCount(), std::int64_t{-44576});
        QCOMPARE(system->messages.back(), std::string("Système Selvane initialisé"));
    }

    void gotoSlewsCompensatesAndReinitialises()
    {
        form->Timerconsult.setEnabled(false);
        setField("EdtADréfHrs", "18");
        setField("EdtDECréfDeg", "+20");
        // The window answers while the mount slews: a spin click inside the wait steps its field.
        simulator->setSlewRateDegPerSec(150.0);
        bool steppedDuringSlew = false;
        QTimer::singleShot(150, this, [&] {
            QTest::mouseClick(find("UpDownDECmin")->findChild<QToolButton*>(QStringLiteral("haut")), Qt::LeftButton);
            steppedDuringSlew = simulator->slewing() && find<QLineEdit>("EdtDECréfMin")->text() == QStringLiteral("1");
        });
        click("BtnGOTO");
        QVERIFY(steppedDuringSlew);
        QVERIFY(waitForCommands(7));
        const auto commands = withoutQueries(simulator->commands());
        QCOMPARE(commands.size(), std::size_t{7});
        QCOMPARE(commands[0], std::string(":r+013,-20736#"));
        QCOMPARE(commands[1], std::string(":d+001,-12203#"));
        QCOMPARE(commands[2], std::string(":T#"));
        QVERIFY(commands[3].rfind(":r+013,", 0) == 0);
        QCOMPARE(commands[4], std::string(":T#"));
        QCOMPARE(commands[5], std::string(":r+013,-20736#"));
        QCOMPARE(commands[6], std::string(":i#"));
        QTRY_VERIFY(form->Timerconsult.enabled());

        const QStringList lines = log().split(QLatin1Char('\n'));
        QCOMPARE(lines[0], QString::fromUtf8("Cible Référence pointée! Ok"));
        QCOMPARE(lines[1], QStringLiteral("Correction temporelle GOTO ... "));
        QVERIFY2(QRegularExpression(QStringLiteral("^Erreur de compensation temporelle : [0-9]+([.,][0-9]+)?'$"))
                     .match(lines[2])
                     .hasMatch(),
                 qPrintable(lines[2]));
        QCOMPARE(lines[3], QString::fromUtf8("GOTO Référence atteint ! Ok"));
        QCOMPARE(lines[4], QStringLiteral("GOTO en progression... "));
        QCOMPARE(lines[5], QStringLiteral("GOTO AD : +013,-20736"));
        QCOMPARE(simulator->raCount(), std::int64_t{864000});
        QCOMPARE(simulator->decCount(), std::int64_t{53333});

        // Let the position show, then keep a picture of the window after the GOTO.
        form->BTN_ask_Click();
        QCOMPARE(find<QLabel>("affalpha")->text(), QStringLiteral(" 18h 0m 0s"));
        if (const QByteArray dir = qgetenv("SELVANE_SHOT_DIR"); !dir.isEmpty())
            window->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/after-goto.png"));
    }

    void manualMovesAtEachSpeed()
    {
        form->Timerconsult.setEnabled(false);
        const std::pair<const char*, const char*> speeds[] = {
            {"OptVitesseapproche", ":G#"}, {"OptVitessecentrage", ":C#"},
            {"OptVitessepointage", ":M#"}, {"OptVitesselente", ":S#"}};
        std::vector<std::string> expected;
        for (const auto& [option, command] : speeds) {
            click(option);
            auto* north = find<QPushButton>("btnNord");
            const auto before = simulator->decCount();
            QTest::mousePress(north, Qt::LeftButton);
            QTest::qWait(150);
            QTest::mouseRelease(north, Qt::LeftButton);
            expected.insert(expected.end(), {command, ":n#", ":0#", ":S#"});
            QVERIFY(waitForCommands(expected.size()));
            QVERIFY2(simulator->decCount() > before, option);
        }
        QCOMPARE(QString::fromStdString(simulator->received()),
                 QStringLiteral(":G#  :n#:0#:S#:C#  :n#:0#:S#:M#  :n#:0#:S#:S#  :n#:0#:S#"));
        QCOMPARE(simulator->commands(), expected);
        QVERIFY(simulator->received().find(":C#  :n#:0#:S#") != std::string::npos);

        // East then west release both end with ":w#".
        auto* east = find<QPushButton>("btnEst");
        QTest::mousePress(east, Qt::LeftButton);
        QTest::mouseRelease(east, Qt::LeftButton);
        QVERIFY(waitForCommands(expected.size() + 4));
        QVERIFY(simulator->received().rfind(":S#  :e#:w#:S#") != std::string::npos);
    }

    void autoguidingOnAndOff()
    {
        form->Timerconsult.setEnabled(false);
        click("Optvitesseauto");
        QTRY_VERIFY(simulator->autoguiding());
        QVERIFY(log().startsWith(QStringLiteral("Passage en autoguidage\n")));
        click("Optvitesseauto");
        QTRY_VERIFY(!simulator->autoguiding());
        QVERIFY(log().startsWith(QStringLiteral("Fin de l'autoguidage \n")));
        QCOMPARE(simulator->commands(), (std::vector<std::string>{":A#", ":a#"}));
    }

    void spinAndClipboardThenGotoTheImportedTarget()
    {
        form->Timerconsult.setEnabled(false);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("05h35m17.3s|-05°23'28.0"));
        click("Btn_récup_clipboard");
        QCOMPARE(find<QLineEdit>("EdtADréfHrs")->text(), QStringLiteral("05"));
        QCOMPARE(find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("-05"));
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        // One step up on the seconds and back: the target is what was imported.
        QTest::mouseClick(find("UpDownADSec")->findChild<QToolButton*>(QStringLiteral("haut")), Qt::LeftButton);
        QCOMPARE(find<QLineEdit>("EdtADréfSec")->text(), QStringLiteral("18"));
        QTest::mouseClick(find("UpDownADSec")->findChild<QToolButton*>(QStringLiteral("bas")), Qt::LeftButton);
        QCOMPARE(find<QLineEdit>("EdtADréfSec")->text(), QStringLiteral("17"));
        click("BtnGOTO");
        QVERIFY(waitForCommands(7));
        const auto commands = withoutQueries(simulator->commands());
        // 5h35m17s and -5°23'28".
        QCOMPARE(commands[0], std::string(":r+004,-26685#"));
        QCOMPARE(commands[1], std::string(":d+000,-14376#"));
        QCOMPARE(commands[5], std::string(":r+004,-26685#"));
        QTRY_COMPARE(simulator->raCount(), std::int64_t{268227});
    }
};

QTEST_MAIN(EndToEnd)
#include "test_e2e_simulator.moc"
