// SPDX-License-Identifier: GPL-3.0-or-later
// The real window with an observing list against the mount simulator: loading, stepping with the
// buttons and Page Down (never while a field is typed in), then a GOTO to the entry chosen.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "QtTestSupport.h"
#include "protocol/codec.h"

class ListeWindow : public QObject, testsupport::SimulatedWindow<testsupport::ScriptedSystem> {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void init()
    {
        sim::Options options;
        options.rates.slew = 200.0; // degrees per second: the GOTO is over in a moment
        QVERIFY(start(options));
    }
    void cleanup() { stop(); }

    void aListIsSteppedThroughAndItsEntryReached()
    {
        form->Timerconsult.setEnabled(false);
        QVERIFY(!find<QPushButton>("btnSuivant")->isVisible());
        const QString path = dir.filePath(QStringLiteral("nuit.skylist"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "SkySafariObservingListVersion=3.0\n"
            "SkyObject=BeginObject\n\tObjectID=4,-1,-1\n\tCatalogNumber=M 57\nEndObject=SkyObject\n"
            "SkyObject=BeginObject\n\tObjectID=4,-1,-1\n\tCatalogNumber=M 13\nEndObject=SkyObject\n"
            "SkyObject=BeginObject\n\tObjectID=4,-1,-1\n\tCommonName=Andromeda Galaxy\n\tCatalogNumber=M 31\n"
            "EndObject=SkyObject\n");
        file.close();
        form->chargerListe(path.toStdString());
        QCOMPARE(find<QLineEdit>("EdtObjet")->text(), QStringLiteral("M 57 (Ring Nebula)"));
        QVERIFY(find<QPushButton>("btnSuivant")->isVisible());

        QTest::mouseClick(find<QPushButton>("btnSuivant"), Qt::LeftButton);
        QVERIFY(log().contains(QStringLiteral("Liste : 2/3 M 13\n")));
        // Page Down from a field being typed in is the field's.
        find<QLineEdit>("EdtADréfMin")->setFocus();
        QTest::keyClick(find<QLineEdit>("EdtADréfMin"), Qt::Key_PageDown);
        QVERIFY(!log().contains(QStringLiteral("Liste : 3/3")));
        find<QPushButton>("BtnGOTO")->setFocus();
        QTest::keyClick(find<QPushButton>("BtnGOTO"), Qt::Key_PageDown);
        QVERIFY(log().contains(QStringLiteral("Liste : 3/3 M 31\n")));
        QCOMPARE(find<QLineEdit>("EdtADréfHrs")->text(), QStringLiteral("00"));
        QCOMPARE(find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("+41"));
        QVERIFY(simulator->received().empty()); // choosing sends nothing

        QVERIFY(form->set_objectAD() && form->set_objectDEC());
        const std::string ad = protocol::commandeCibleAD(form->objectAD);
        const std::string dec = protocol::commandeCibleDEC(form->objectDEC);
        QTest::mouseClick(find<QPushButton>("BtnGOTO"), Qt::LeftButton);
        QTRY_VERIFY(simulator->commands().size() >= 3);
        const auto commands = simulator->commands();
        QCOMPARE(commands[0], ad);
        QCOMPARE(commands[1], dec);
        QCOMPARE(commands[2], std::string(":T#"));
    }
};

QTEST_MAIN(ListeWindow)
#include "test_liste_window.moc"
