// SPDX-License-Identifier: GPL-3.0-or-later
// Night vision on the real window: Ctrl+Shift+N turns the window, its tooltips and its message
// boxes red on black and back again, and changes nothing but colours.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

#include "QtTestSupport.h"
#include "platform/qt/NightVision.h"

using platform::qt::NightVision;
using testsupport::Rig;
using testsupport::withBox;

namespace {

// Everything the user reads in the window, control by control.
QStringList shownTexts(const QWidget& window)
{
    QStringList texts { window.windowTitle() };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        QString text = w->objectName() + QLatin1Char('=') + w->toolTip() + QLatin1Char('|');
        if (auto* l = qobject_cast<const QLabel*>(w))
            text += l->text();
        else if (auto* b = qobject_cast<const QAbstractButton*>(w))
            text += b->text();
        else if (auto* e = qobject_cast<const QLineEdit*>(w))
            text += e->text();
        else if (auto* p = qobject_cast<const QPlainTextEdit*>(w))
            text += p->toPlainText();
        texts << text;
    }
    return texts;
}

// Pixels that would spoil dark adaptation: more green or blue than red, or near white.
QString glare(const QImage& shot)
{
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    QString first;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if ((qGreen(c) > qRed(c) || qBlue(c) > qRed(c)
                    || std::min({ qRed(c), qGreen(c), qBlue(c) }) >= 128)
                && count++ == 0)
                first = QStringLiteral("(%1,%2) %3").arg(x).arg(y).arg(QColor(c).name());
        }
    return count == 0 ? QString() : QStringLiteral("%1 glaring pixels, first %2").arg(count).arg(first);
}

} // namespace

class TestNightVision : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void cleanup() { NightVision::setEnabled(false); }

    void shortcutSwitchesColoursOnly()
    {
        Rig rig;
        QVERIFY(rig.start());
        const QPalette dayPalette = QApplication::palette();
        const auto dayTexts = shownTexts(rig.window);
        const QImage dayShot = rig.window.grab().toImage();

        QTest::keyClick(&rig.window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(NightVision::enabled());
        const QPalette night = QApplication::palette();
        QCOMPARE(night.color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(night.color(QPalette::Text).green(), 0);
        QCOMPARE(rig.find("edtsaisie")->palette().color(QPalette::Base), night.color(QPalette::Base));
        QVERIFY(shownTexts(rig.window) == dayTexts);
        QVERIFY(rig.pty.listen(50).isEmpty()); // nothing goes to the controller

        QTest::keyClick(&rig.window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!NightVision::enabled());
        QVERIFY(QApplication::palette() == dayPalette);
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(shownTexts(rig.window) == dayTexts);
        QTRY_VERIFY(rig.window.grab().toImage() == dayShot); // the day look back to the pixel
    }

    // Grabs of the window (with a selection, a focus mark, a disabled button and a checked box),
    // a tooltip, the standard icons and both kinds of message box: not one pixel but dim red.
    void nothingGlares()
    {
        Rig rig;
        QVERIFY(rig.start());
        NightVision::setEnabled(true);
        rig.find<QPlainTextEdit>("edtsaisie")->selectAll();
        rig.find<QAbstractButton>("Btn_récup_clipboard")->setEnabled(false);
        rig.find<QAbstractButton>("Optvitesseauto")->setChecked(true);
        rig.find("BtnGOTO")->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return rig.find("BtnGOTO")->hasFocus(); }, 2000));
        QCOMPARE(glare(rig.window.grab().toImage()), QString());

        QToolTip::showText(rig.window.mapToGlobal(QPoint(10, 10)), QStringLiteral("Heures"), &rig.window);
        QWidget* tip = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                tip = w->inherits("QTipLabel") && w->isVisible() ? w : tip;
            return tip != nullptr;
        }));
        QCOMPARE(glare(tip->grab().toImage()), QString());
        QToolTip::hideText();

        // The icons that boxes and their buttons show on some desktops (a green tick, a blue "i").
        for (const QStyle::StandardPixmap icon : { QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton,
                 QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning })
            QCOMPARE(glare(QApplication::style()->standardIcon(icon).pixmap(32).toImage()), QString());

        // A box opened by day and switched while it waits for an answer, then one opened at night.
        NightVision::setEnabled(false);
        QString boxGlare = QStringLiteral("not looked at");
        QVERIFY(withBox(
            [&] { rig.system.QtSystem::askOkCancel("Etes-vous sûr de vouloir quitter?", "Selvane V2.2"); },
            [&](QMessageBox& box) {
                QTest::keyClick(&box, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
                boxGlare = glare(box.grab().toImage());
                box.done(QMessageBox::Ok);
            }));
        QVERIFY(NightVision::enabled());
        QCOMPARE(boxGlare, QString());
        QVERIFY(
            withBox([&] { rig.system.QtSystem::information("Système Selvane initialisé", "Selvane V2.2"); },
                [&](QMessageBox& box) {
                    boxGlare = glare(box.grab().toImage());
                    box.done(QMessageBox::Ok);
                }));
        QCOMPARE(boxGlare, QString());
    }
};

QTEST_MAIN(TestNightVision)
#include "test_night_vision.moc"
