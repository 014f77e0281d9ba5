// SPDX-License-Identifier: GPL-3.0-or-later
// The site remembered: saved by --lieu, read back at the next start, forgotten by "aucun"; a file
// that does not read is ignored with one line; the site dialog refuses what --lieu refuses.
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "QtTestSupport.h"
#include "platform/qt/SiteDialog.h"
#include "settings/Settings.h"

using settings::ChoixLieu;

class TestSite : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QFile::remove(settings::chemin()); }

    void saveAndReload();
    void aucunForgets();
    void unreadableFileIgnored_data();
    void unreadableFileIgnored();
    void dialogRefusals_data();
    void dialogRefusals();
    void dialogFromTheWindow();

private:
    static void write(const QByteArray& contents)
    {
        QDir().mkpath(QFileInfo(settings::chemin()).path());
        QFile file(settings::chemin());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QTemporaryDir home;
};

void TestSite::initTestCase()
{
    testsupport::quietOffscreenNoise();
    QVERIFY(home.isValid());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCOMPARE(settings::chemin(), home.path() + QStringLiteral("/selvane/selvane.conf"));
}

void TestSite::saveAndReload()
{
    QStringList lines;
    QVERIFY(!settings::lieuAuDémarrage(nullptr, lines));
    QVERIFY(lines.isEmpty()); // nothing saved: nothing said beyond what was said before

    const ChoixLieu option = settings::lireChoixLieu(QStringLiteral("45.76, 4.84 ,200"));
    const auto given = settings::lieuAuDémarrage(&option, lines);
    QVERIFY(given && given->latitude == 45.76 && given->longitude == 4.84 && given->altitude == 200);
    QCOMPARE(lines,
        QStringList { QString::fromUtf8("lieu d'observation 45.76,4.84,200 (--lieu, enregistré dans %1)")
                          .arg(settings::chemin()) });
    // Another program (or the next start) finds it in the file, without the option.
    lines.clear();
    const auto saved = settings::lieuAuDémarrage(nullptr, lines);
    QVERIFY(saved && saved->latitude == 45.76 && saved->longitude == 4.84 && saved->altitude == 200);
    QCOMPARE(lines,
        QStringList { QString::fromUtf8("lieu d'observation 45.76,4.84,200 (enregistré dans %1)")
                          .arg(settings::chemin()) });
    // Every digit kept.
    QVERIFY(settings::enregistrerLieu(sky::Lieu { -33.925843, -70.123456, 2635 }));
    QCOMPARE(settings::texteLieu(*settings::lieuEnregistré()), QStringLiteral("-33.925843,-70.123456,2635"));
    // The night look beside it.
    QVERIFY(!settings::nuitEnregistrée());
    QVERIFY(settings::enregistrerNuit(true));
    QCOMPARE(settings::nuitEnregistrée(), std::optional<bool>(true));
    QVERIFY(settings::lieuEnregistré());
}

void TestSite::aucunForgets()
{
    QVERIFY(settings::enregistrerLieu(sky::Lieu { 45, 5, 0 }));
    QVERIFY(settings::enregistrerNuit(true));
    const ChoixLieu aucun = settings::lireChoixLieu(QStringLiteral("aucun"));
    QCOMPARE(aucun.sorte, ChoixLieu::Sorte::Aucun);
    QStringList lines;
    QVERIFY(!settings::lieuAuDémarrage(&aucun, lines));
    QCOMPARE(lines, QStringList { QString::fromUtf8("lieu d'observation oublié (--lieu aucun)") });
    lines.clear();
    QVERIFY(!settings::lieuAuDémarrage(nullptr, lines));
    QVERIFY(lines.isEmpty());
    QCOMPARE(settings::nuitEnregistrée(), std::optional<bool>(true)); // the rest is kept
    // A refused option is not "aucun": nothing is forgotten by a typing error.
    QCOMPARE(settings::lireChoixLieu(QStringLiteral("aucune")).sorte, ChoixLieu::Sorte::Invalide);
    QCOMPARE(settings::lireChoixLieu(QStringLiteral("91,5")).sorte, ChoixLieu::Sorte::Invalide);
}

void TestSite::unreadableFileIgnored_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("line");
    const QString file = QString::fromUtf8("réglages enregistrés ignorés : %1 illisible");
    const QString value = QString::fromUtf8("lieu enregistré ignoré : « %1 » dans %2 ne se lit pas");
    QTest::newRow("out of range") << QByteArray("[General]\nlieu=\"95,5,0\"\n") << value.arg("95,5,0", "%1");
    QTest::newRow("not a site") << QByteArray("[General]\nlieu=Lyon\nnuit=peut-être\n")
                                << value.arg("Lyon", "%1");
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 7919) & 0xff);
    QTest::newRow("binary") << binary << file;
}

void TestSite::unreadableFileIgnored()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, line);
    write(contents);
    QStringList lines;
    QVERIFY(!settings::lieuAuDémarrage(nullptr, lines));
    QCOMPARE(lines, QStringList { line.arg(settings::chemin()) });
    QVERIFY(!settings::nuitEnregistrée());
    // An option still works; it is saved when the file lets it.
    const ChoixLieu option = settings::lireChoixLieu(QStringLiteral("45,5"));
    lines.clear();
    QVERIFY(settings::lieuAuDémarrage(&option, lines));
    QCOMPARE(lines.size(), 1);
}

void TestSite::dialogRefusals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("site") << "45.76,4.84,200" << true << "45.76,4.84,200";
    QTest::newRow("aucun") << "aucun" << true << "";
    QTest::newRow("empty") << "  " << true << "";
    QTest::newRow("latitude 95") << "95,4.84" << false << "";
    QTest::newRow("a town") << "Lyon" << false << "";
}

void TestSite::dialogRefusals()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, chosen);
    platform::qt::SiteDialog dialog(sky::Lieu { 1, 2, 3 });
    auto* field = dialog.findChild<QLineEdit*>("EdtLieu");
    QCOMPARE(field->text(), QStringLiteral("1,2,3"));
    dialog.show();
    field->setText(typed);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    auto* refusal = dialog.findChild<QLabel*>("LblRefusLieu");
    QCOMPARE(refusal->isVisible(), !accepted);
    if (!accepted) {
        QVERIFY(dialog.isVisible());
        QVERIFY(refusal->text().startsWith(QString::fromUtf8("« %1 » : attendu LAT,LON[,ALT]").arg(typed)));
    } else {
        QCOMPARE(dialog.chosen() ? settings::texteLieu(*dialog.chosen()) : QString(), chosen);
    }
}

void TestSite::dialogFromTheWindow()
{
    testsupport::Rig rig;
    QVERIFY(rig.start());
    rig.window.timer("Timerconsult").setEnabled(false);
    rig.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    QVERIFY(!rig.form.lieu);
    bool seen = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<platform::qt::SiteDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            dialog->findChild<QLineEdit*>("EdtLieu")->setText(QStringLiteral("48.85,2.35,35"));
            dialog->accept();
        }
    });
    poll.start(10);
    QTest::keyClick(&rig.window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(seen);
    QTRY_VERIFY(rig.form.lieu.has_value());
    QCOMPARE(rig.form.lieu->latitude, 48.85);
    QVERIFY(rig.find<QPlainTextEdit>("edtsaisie")
                ->toPlainText()
                .startsWith(QString::fromUtf8("Lieu d'observation : 48.85,2.35,35\n")));
    QCOMPARE(settings::texteLieu(*settings::lieuEnregistré()), QStringLiteral("48.85,2.35,35"));
    QCOMPARE(rig.pty.readNow(), QByteArray());
}

QTEST_MAIN(TestSite)
#include "test_site.moc"
