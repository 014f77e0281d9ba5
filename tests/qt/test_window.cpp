// SPDX-License-Identifier: GPL-3.0-or-later
// The real window under the offscreen platform: its controls, their first state, the layout,
// the typing limits and what the window puts on the line when it opens.
#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QCompleter>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "QtTestSupport.h"
#include "platform/qt/DirectionButton.h"

using testsupport::Rig;

namespace {

// The Greek labels read α and δ: through the Symbol font when the system has it, else written so.
QString greek(const char* latin, const char* written)
{
    const bool symbol = QFontDatabase::families().contains(QStringLiteral("Symbol"), Qt::CaseInsensitive);
    return QString::fromUtf8(symbol ? latin : written);
}

QString shownText(const QWidget* w)
{
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    return {};
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void init()
    {
        rig = std::make_unique<Rig>();
        QVERIFY(rig->start());
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        rig.reset();
    }

    void controls_data();
    void controls();
    void firstState();
    void accessibleNamesAreTheCaptions();
    void layoutTopToBottom();
    void typingLimits();
    void programTextsAreNotCut();
    void nothingWrittenAtStartUp();
    void spinArrowsStepTheirField();
    void optionsFormOneGroup();
    void questionsComeFromTheirButtons();
    void autoguidingBoxWritesOnEachClick();
    void objectFieldListsAndChoosesByName();
    void longClipboardLineIsShownCut();
    void warningBoxCancelsOnEnterAndEscape();

private:
    std::unique_ptr<Rig> rig;
};

void TestWindow::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<double>("points"); // 0: size not fixed
    QTest::addColumn<bool>("bold");

    auto row = [](const char* name, const char* kind, const QString& text, const char* tip = "",
                  double points = 0, bool bold = false) {
        QTest::newRow(name) << QString::fromLatin1(kind) << text << QString::fromUtf8(tip) << points << bold;
    };
    auto u = [](const char* s) { return QString::fromUtf8(s); };

    row("Label1", "QLabel", u("SELVANE"), "", 18, true);
    row("Label4", "QLabel", greek("a :", "α :"), "", 14.25, true);
    row("affalpha", "QLabel", u("00h 00m 00s"), "", 18, true);
    row("Label6", "QLabel", greek("d :", "δ :"), "", 14.25, true);
    row("affdelta", "QLabel", u("+00° 00' 00\""), "", 18, true);
    row("btnNord", "platform::qt::DirectionButton", u("&N"), "Ctrl+Flèche haut (maintenir)", 15.75);
    row("btnEst", "platform::qt::DirectionButton", u("&E"), "Ctrl+Flèche gauche (maintenir)", 15.75);
    row("btnOuest", "platform::qt::DirectionButton", u("&O"), "Ctrl+Flèche droite (maintenir)", 15.75);
    row("btnSud", "platform::qt::DirectionButton", u("&S"), "Ctrl+Flèche bas (maintenir)", 15.75);
    row("OptVitesselente", "QRadioButton", u("Sidéral"), "Ctrl+1");
    row("OptVitesseapproche", "QRadioButton", u("Rattrapage"), "Ctrl+2");
    row("OptVitessecentrage", "QRadioButton", u("Centrage"), "Ctrl+3");
    row("OptVitessepointage", "QRadioButton", u("Rapide"), "Ctrl+4");
    row("Optvitesseauto", "QCheckBox", u("Autoguidage"), "Bascule l'autoguidage sur la raquette");
    row("Btn_récup_clipboard", "QPushButton", u("Récupère coord presse papier "));
    row("BtnGOTO", "QPushButton", u("&GOTO référence"));
    row("LabelObjet", "QLabel", u("Objet :"));
    row("EdtObjet", "QLineEdit", QString(),
        "Objet du catalogue : Messier, NGC, IC, étoile, planète, Lune ou Soleil");
    row("Label2", "QLabel", greek("a :", "α :"), "Ascension Droite", 12, true);
    row("EdtADréfHrs", "QLineEdit", u("00"), "Heures", 9.75, true);
    row("UpDownADHrs", "platform::qt::SpinArrows", QString());
    row("EdtADréfMin", "QLineEdit", u("00"), "Minutes", 9.75, true);
    row("UpDownADMin", "platform::qt::SpinArrows", QString());
    row("EdtADréfSec", "QLineEdit", u("00"), "Secondes", 9.75, true);
    row("UpDownADSec", "platform::qt::SpinArrows", QString());
    row("Label3", "QLabel", greek("d :", "δ :"), "Déclinaison", 12, true);
    row("EdtDECréfDeg", "QLineEdit", u("+000"), "Degrés", 9.75, true);
    row("UpDownDECdeg", "platform::qt::SpinArrows", QString());
    row("EdtDECréfMin", "QLineEdit", u("00"), "Minutes", 9.75, true);
    row("UpDownDECmin", "platform::qt::SpinArrows", QString());
    row("EdtDECréfSec", "QLineEdit", u("00"), "Secondes", 9.75, true);
    row("UpDownDECsec", "platform::qt::SpinArrows", QString());
    row("edtsaisie", "QPlainTextEdit", QString());
    row("BTN_ask", "QPushButton", u("?"), "Demandes de position");
    row("btninitialisation", "QPushButton", u("&Init référence"));
    row("btnAligner", "QPushButton", u("&Aligner"));
    row("btnFermerappli", "QPushButton", u("&Fermer"));
}

void TestWindow::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(double, points);
    QFETCH(bool, bold);

    const QList<QWidget*> named = rig->window.findChildren<QWidget*>(QString::fromUtf8(QTest::currentDataTag()));
    QCOMPARE(named.size(), 1);
    QWidget* w = named.front();
    QVERIFY2(w->inherits(kind.toLatin1().constData()), w->metaObject()->className());
    QVERIFY(w->isVisible());
    QVERIFY(w->isEnabled());
    QCOMPARE(shownText(w), text);
    QCOMPARE(w->toolTip(), tip);
    if (points > 0) {
        QCOMPARE(w->font().pointSizeF(), points);
        QCOMPARE(w->font().bold(), bold);
    }
    if (kind.endsWith(QLatin1String("SpinArrows"))) {
        auto* up = w->findChild<QToolButton*>(QStringLiteral("haut"));
        auto* down = w->findChild<QToolButton*>(QStringLiteral("bas"));
        QVERIFY(up && down);
        QVERIFY(rig->placeOf(up).bottom() < rig->placeOf(down).top());
    }
}

void TestWindow::firstState()
{
    QCOMPARE(rig->window.windowTitle(), QStringLiteral("Selvane V2.2"));

    QVERIFY(rig->find<QRadioButton>("OptVitesselente")->isChecked());
    for (const char* n : {"OptVitesseapproche", "OptVitessecentrage", "OptVitessepointage"})
        QVERIFY2(!rig->find<QRadioButton>(n)->isChecked(), n);
    QCOMPARE(rig->find<QCheckBox>("Optvitesseauto")->checkState(), Qt::Unchecked);

    // The log box: "essai" and a line end, newest line on top, no scroll bars.
    QCOMPARE(rig->window.textBox("edtsaisie").text(), std::string("essai\r\n"));
    auto* log = rig->find<QPlainTextEdit>("edtsaisie");
    QVERIFY(log->toPlainText().startsWith(QLatin1String("essai")));
    QVERIFY(!log->isReadOnly());
    QCOMPARE(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    auto* timer = rig->window.findChild<QTimer*>(QStringLiteral("Timerconsult"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 3000);
    QVERIFY(timer->isActive());
    QVERIFY(!timer->isSingleShot());
    QVERIFY(rig->window.timer("Timerconsult").enabled());

}

void TestWindow::accessibleNamesAreTheCaptions()
{
    // Screen readers read what is shown: no control overrides its accessible name.
    for (QWidget* w : rig->window.findChildren<QWidget*>())
        QVERIFY2(w->accessibleName().isEmpty(), qPrintable(w->objectName()));

    auto nameOf = [&](const char* n) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(rig->find(n));
        return a ? a->text(QAccessible::Name) : QString();
    };
    QCOMPARE(nameOf("BtnGOTO"), QString::fromUtf8("GOTO référence"));
    QCOMPARE(nameOf("btnNord"), QStringLiteral("N"));
    QCOMPARE(nameOf("Optvitesseauto"), QStringLiteral("Autoguidage"));
    QCOMPARE(nameOf("affalpha"), QStringLiteral("00h 00m 00s"));
}

void TestWindow::layoutTopToBottom()
{
    auto at = [&](const char* n) {
        QWidget* w = rig->find(n);
        if (!w)
            qFatal("no control %s", n);
        return rig->placeOf(w);
    };
    auto above = [&](const char* a, const char* b) { return at(a).bottom() < at(b).top(); };
    auto leftOf = [&](const char* a, const char* b) { return at(a).right() < at(b).left(); };
    auto sameRow = [&](const char* a, const char* b) {
        return at(a).top() <= at(b).center().y() && at(b).center().y() <= at(a).bottom();
    };

    // Narrow and tall.
    QVERIFY(rig->window.height() > rig->window.width());

    const char* column[] = {"Label1",      "affalpha",     "affdelta",  "btnNord",          "Btn_récup_clipboard",
                            "EdtObjet",    "EdtADréfHrs", "EdtDECréfDeg", "edtsaisie", "btninitialisation"};
    for (std::size_t i = 0; i + 1 < std::size(column); ++i)
        QVERIFY2(above(column[i], column[i + 1]), column[i]);

    // Display rows: the Greek label, then the value.
    QVERIFY(leftOf("Label4", "affalpha") && sameRow("affalpha", "Label4"));
    QVERIFY(leftOf("Label6", "affdelta") && sameRow("affdelta", "Label6"));

    // The pad: north above, south below, east left, west right.
    QVERIFY(above("btnNord", "btnEst") && above("btnNord", "btnOuest"));
    QVERIFY(above("btnEst", "btnSud") && above("btnOuest", "btnSud"));
    QVERIFY(leftOf("btnEst", "btnNord") && leftOf("btnNord", "btnOuest"));
    QVERIFY(leftOf("btnEst", "btnSud") && leftOf("btnSud", "btnOuest"));
    QVERIFY(sameRow("btnEst", "btnOuest"));

    // The speeds in a column right of the pad, the check box under them.
    const char* speeds[] = {"OptVitesselente", "OptVitesseapproche", "OptVitessecentrage", "OptVitessepointage",
                            "Optvitesseauto"};
    for (std::size_t i = 0; i < std::size(speeds); ++i) {
        QVERIFY2(leftOf("btnOuest", speeds[i]), speeds[i]);
        QVERIFY2(above("affdelta", speeds[i]) && above(speeds[i], "Btn_récup_clipboard"), speeds[i]);
        if (i + 1 < std::size(speeds))
            QVERIFY2(above(speeds[i], speeds[i + 1]), speeds[i]);
    }

    QVERIFY(leftOf("Btn_récup_clipboard", "BtnGOTO") && sameRow("Btn_récup_clipboard", "BtnGOTO"));
    QVERIFY(leftOf("LabelObjet", "EdtObjet") && sameRow("EdtObjet", "LabelObjet"));

    // Entry rows: the Greek label first, each field followed by its spin button.
    const char* rows[2][7] = {
        {"Label2", "EdtADréfHrs", "UpDownADHrs", "EdtADréfMin", "UpDownADMin", "EdtADréfSec", "UpDownADSec"},
        {"Label3", "EdtDECréfDeg", "UpDownDECdeg", "EdtDECréfMin", "UpDownDECmin", "EdtDECréfSec", "UpDownDECsec"}};
    for (const auto& r : rows)
        for (int i = 0; i + 1 < 7; ++i) {
            QVERIFY2(leftOf(r[i], r[i + 1]), r[i]);
            QVERIFY2(sameRow(r[1], r[i + 1]), r[i + 1]);
        }

    // "?" on the log box's top right corner.
    const QRect log = at("edtsaisie");
    const QRect ask = at("BTN_ask");
    QVERIFY(log.contains(ask));
    QVERIFY(ask.center().x() > log.center().x());
    QVERIFY(ask.center().y() < log.center().y());
    QVERIFY(ask.width() < log.width() / 4);

    QVERIFY(leftOf("btninitialisation", "btnAligner") && sameRow("btninitialisation", "btnAligner"));
    QVERIFY(leftOf("btnAligner", "btnFermerappli") && sameRow("btnAligner", "btnFermerappli"));
    QVERIFY(above("edtsaisie", "btnFermerappli"));
}

void TestWindow::typingLimits()
{
    auto type = [&](const char* n, const char* keys) {
        auto* edit = rig->find<QLineEdit>(n);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromUtf8(keys));
        return edit->text();
    };
    QCOMPARE(type("EdtADréfHrs", "123"), QStringLiteral("12"));
    QCOMPARE(type("EdtADréfMin", "5959"), QStringLiteral("59"));
    QCOMPARE(type("EdtADréfSec", "1.5"), QStringLiteral("1."));
    QCOMPARE(type("EdtDECréfDeg", "-1234"), QStringLiteral("-123"));
    QCOMPARE(type("EdtDECréfMin", "000"), QStringLiteral("00"));
    QCOMPARE(type("EdtDECréfSec", "99"), QStringLiteral("99"));

    // A full field refuses a further character anywhere, and takes one again once shortened.
    auto* hours = rig->find<QLineEdit>("EdtADréfHrs");
    hours->setCursorPosition(0);
    QTest::keyClick(hours, Qt::Key_7);
    QCOMPARE(hours->text(), QStringLiteral("12"));
    hours->end(false);
    QTest::keyClick(hours, Qt::Key_Backspace);
    QTest::keyClick(hours, Qt::Key_7);
    QCOMPARE(hours->text(), QStringLiteral("17"));

    // Typing replaces a selection within the limit.
    hours->selectAll();
    QTest::keyClicks(hours, QStringLiteral("3"));
    QCOMPARE(hours->text(), QStringLiteral("3"));
}

void TestWindow::programTextsAreNotCut()
{
    // What the program writes into a field (spin step, clipboard import) stays whole, even when
    // it is longer than what may be typed; the user can still shorten it, but not lengthen it.
    rig->window.textBox("EdtADréfHrs").setText(" +00");
    auto* hours = rig->find<QLineEdit>("EdtADréfHrs");
    QCOMPARE(hours->text(), QStringLiteral(" +00"));
    QCOMPARE(rig->window.textBox("EdtADréfHrs").text(), std::string(" +00"));

    hours->setFocus();
    hours->end(false);
    QTest::keyClick(hours, Qt::Key_Backspace);
    QCOMPARE(hours->text(), QStringLiteral(" +0"));
    QTest::keyClick(hours, Qt::Key_5);
    QCOMPARE(hours->text(), QStringLiteral(" +0"));
    hours->home(false);
    QTest::keyClick(hours, Qt::Key_Delete);
    QTest::keyClick(hours, Qt::Key_Delete);
    QCOMPARE(hours->text(), QStringLiteral("0"));
    QTest::keyClick(hours, Qt::Key_1);
    QCOMPARE(hours->text(), QStringLiteral("10"));

    const std::string longPiece = " 05h 35m 17.3s, read from a long pasted line";
    rig->window.textBox("EdtDECréfSec").setText(longPiece);
    QCOMPARE(rig->window.textBox("EdtDECréfSec").text(), longPiece);

    // The log box takes lines in front, in CR LF terms.
    rig->window.textBox("edtsaisie").addLine("AD : :+008,+18944#");
    QCOMPARE(rig->window.textBox("edtsaisie").text(), std::string("AD : :+008,+18944#\r\nessai\r\n"));
}

void TestWindow::nothingWrittenAtStartUp()
{
    QCOMPARE(rig->pty.listen(400), QByteArray());
    QCOMPARE(rig->form.Vitesse, std::string(":RS# "));
    QCOMPARE(rig->system.messages.size(), std::size_t(0));
    QCOMPARE(rig->system.beeps, 0);
}

void TestWindow::spinArrowsStepTheirField()
{
    auto arrow = [&](const char* spin, const char* which) {
        return rig->find(spin)->findChild<QToolButton*>(QString::fromLatin1(which));
    };
    auto* hours = rig->find<QLineEdit>("EdtADréfHrs");

    QTest::mouseClick(arrow("UpDownADHrs", "haut"), Qt::LeftButton);
    QCOMPARE(hours->text(), QStringLiteral("1"));
    QTest::mouseClick(arrow("UpDownADHrs", "bas"), Qt::LeftButton);
    QTest::mouseClick(arrow("UpDownADHrs", "bas"), Qt::LeftButton);
    QCOMPARE(hours->text(), QStringLiteral("23"));

    // Each spin button steps its own field only.
    QTest::mouseClick(arrow("UpDownDECdeg", "haut"), Qt::LeftButton);
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("1"));
    QTest::mouseClick(arrow("UpDownDECsec", "bas"), Qt::LeftButton);
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfSec")->text(), QStringLiteral("59"));
    QCOMPARE(hours->text(), QStringLiteral("23"));
    QCOMPARE(rig->find<QLineEdit>("EdtADréfMin")->text(), QStringLiteral("00"));

    // A stepped text longer than the typing limit shows whole (French decimal comma).
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    rig->window.textBox("EdtADréfMin").setText("0,5");
    QTest::mouseClick(arrow("UpDownADMin", "haut"), Qt::LeftButton);
    QCOMPARE(rig->find<QLineEdit>("EdtADréfMin")->text(), QStringLiteral("1,5"));

    // Spin clicks send nothing to the controller.
    QCOMPARE(rig->pty.listen(100), QByteArray());
}

void TestWindow::optionsFormOneGroup()
{
    auto* sidereal = rig->find<QRadioButton>("OptVitesselente");
    auto* centring = rig->find<QRadioButton>("OptVitessecentrage");
    auto* fast = rig->find<QRadioButton>("OptVitessepointage");
    // Click on the round mark: a radio button only takes clicks on its mark and its caption.
    auto click = [](QRadioButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); };
    click(centring);
    QVERIFY(centring->isChecked());
    QVERIFY(!sidereal->isChecked());
    click(fast);
    QVERIFY(fast->isChecked());
    QVERIFY(!centring->isChecked());
    // Clicking the selected option keeps it selected.
    click(fast);
    QVERIFY(fast->isChecked());
}

void TestWindow::questionsComeFromTheirButtons()
{
    // Cancel everywhere: a beep and the question, then nothing on the line and the window stays.
    rig->system.answer = platform::Answer::Cancel;
    QTest::mouseClick(rig->find("btninitialisation"), Qt::LeftButton);
    QTest::mouseClick(rig->find("BtnGOTO"), Qt::LeftButton);
    QTest::mouseClick(rig->find("btnFermerappli"), Qt::LeftButton);
    QVERIFY(!rig->window.close());
    QVERIFY(rig->window.isVisible());

    const std::vector<std::string> asked = {"Etes-vous sûr de vouloir initialiser?",
                                            "Etes-vous sûr de vouloir faire un GOTO référence?",
                                            "Etes-vous sûr de vouloir quitter?", "Etes-vous sûr de vouloir quitter?"};
    QCOMPARE(rig->system.questions, asked);
    QCOMPARE(rig->system.beeps, 4);
    QCOMPARE(rig->system.ends, 0);
    QVERIFY(rig->port.portOpen());
    QCOMPARE(rig->pty.listen(100), QByteArray());
    QCOMPARE(rig->window.textBox("edtsaisie").text(), std::string("essai\r\n"));

    // OK on the initialisation: three commands back to back, then the notice.
    rig->system.answer = platform::Answer::Ok;
    QTest::mouseClick(rig->find("btninitialisation"), Qt::LeftButton);
    const QByteArray sent = rig->pty.take(9);
    QVERIFY2(QRegularExpression(QStringLiteral("^:r[^#:]+#:d[^#:]+#:i#$")).match(QString::fromLatin1(sent)).hasMatch(),
             sent.constData());
    QCOMPARE(rig->system.messages, std::vector<std::string> {"Système Selvane initialisé"});
}

void TestWindow::autoguidingBoxWritesOnEachClick()
{
    // The handler sees the box as the click has left it.
    auto* box = rig->find<QCheckBox>("Optvitesseauto");
    const QPoint mark(8, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, mark);
    QCOMPARE(box->checkState(), Qt::Checked);
    QCOMPARE(rig->pty.take(3), QByteArray(":A#"));
    QTest::mouseClick(box, Qt::LeftButton, {}, mark);
    QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(rig->pty.take(3), QByteArray(":a#"));
    QCOMPARE(rig->window.textBox("edtsaisie").text(),
             std::string("Fin de l'autoguidage \r\nPassage en autoguidage\r\nessai\r\n"));
}

void TestWindow::objectFieldListsAndChoosesByName()
{
    auto* field = rig->find<QLineEdit>("EdtObjet");
    auto* completer = rig->window.findChild<QCompleter*>();
    QVERIFY(completer);
    QAbstractItemView* list = completer->popup();
    field->setFocus();

    // Each keystroke lists the matches, the best first and current.
    QTest::keyClicks(field, QStringLiteral("m 4"));
    QVERIFY(list->isVisible());
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("M 4"));
    QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("M 45 (Pleiades)")); // the brighter first
    QCOMPARE(list->currentIndex().row(), 0);
    QTest::keyClicks(field, QStringLiteral("2"));
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("M 42 (Orion Nebula)"));

    // Enter in the open list chooses once; the six fields and one log line follow.
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QCOMPARE(field->text(), QStringLiteral("M 42 (Orion Nebula)"));
    const QString log = rig->find<QPlainTextEdit>("edtsaisie")->toPlainText();
    QVERIFY2(log.startsWith(QString::fromUtf8("Objet : M 42 (Orion Nebula) 05h3")), qPrintable(log));
    QCOMPARE(log.count(QStringLiteral("Objet :")), 1);
    QCOMPARE(rig->find<QLineEdit>("EdtADréfHrs")->text(), QStringLiteral("05"));
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("-05"));

    // Enter with the list closed takes the first match; an unknown name changes no field.
    field->setText(QStringLiteral("VEGA"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("+38"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("zzz"));
    QVERIFY(!list->isVisible());
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(rig->find<QPlainTextEdit>("edtsaisie")->toPlainText().startsWith(QStringLiteral("Objet inconnu : zzz\n")));
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfDeg")->text(), QStringLiteral("+38"));

    // Choosing sends nothing to the controller.
    QCOMPARE(rig->pty.listen(100), QByteArray());
}

void TestWindow::longClipboardLineIsShownCut()
{
    // One megabyte on one line, a pair at its very end: found, and the window answers at once.
    QGuiApplication::clipboard()->setText(QString(1'000'000, QLatin1Char('x')) + QStringLiteral(" 05:35:17.3 -05:23:28"));
    QElapsedTimer timer;
    timer.start();
    rig->find<QPushButton>("Btn_récup_clipboard")->click();
    const QString log = rig->find<QPlainTextEdit>("edtsaisie")->toPlainText();
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(log.size() < 10'000);
    QVERIFY(log.endsWith(QString::fromUtf8("(presse papier coupé pour l'affichage)")));
    QCOMPARE(rig->find<QLineEdit>("EdtADréfHrs")->text(), QStringLiteral("05"));
    QCOMPARE(rig->find<QLineEdit>("EdtDECréfSec")->text(), QStringLiteral("28"));
}

// The box of a GOTO near the Sun: "Annuler" is its default button, so neither Enter nor Escape lets
// the GOTO through; only OK does.
void TestWindow::warningBoxCancelsOnEnterAndEscape()
{
    const auto answer = [this](const std::function<void(QMessageBox&)>& act) {
        platform::Answer a = platform::Answer::Ok;
        const bool seen = testsupport::withBox(
            [&] {
                a = rig->system.QtSystem::askOkCancelWarning(
                    "Attention : la cible est à 3° du Soleil.", "Selvane V2.2");
            },
            act);
        return seen ? a : platform::Answer::Ok;
    };
    QString defaultButton;
    const auto press = [&defaultButton](Qt::Key key) {
        return [key, &defaultButton](QMessageBox& box) {
            defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
            QTest::keyClick(&box, key);
        };
    };
    QCOMPARE(answer(press(Qt::Key_Return)), platform::Answer::Cancel);
    QCOMPARE(defaultButton, QStringLiteral("Annuler"));
    QCOMPARE(answer(press(Qt::Key_Escape)), platform::Answer::Cancel);
    QCOMPARE(answer([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); }), platform::Answer::Ok);
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
