// SPDX-License-Identifier: GPL-3.0-or-later
// The four direction buttons driven like a user would, through the window system: every move
// that starts ends exactly once, whatever the mouse, the pointer or the window do meanwhile.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "QtTestSupport.h"
#include "platform/qt/DirectionButton.h"

using platform::qt::DirectionButton;
using testsupport::Rig;

namespace {
const QByteArray pressNorth = ":RS# :n#";
const QByteArray releaseNorth = ":0#:S#";
} // namespace

class TestDirectionButtons : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void init();
    void cleanup();

    void plainClick_data();
    void plainClick();
    void releasedOutsideAfterMoving();
    void releasedOutsideWithoutMoving();
    void otherMouseButtons_data();
    void otherMouseButtons();
    void secondMouseButtonWhileHeld_data();
    void secondMouseButtonWhileHeld();
    void doubleClickIsTwoMoves();
    void windowDeactivatedWhileHeld();
    void windowHiddenWhileHeld();
    void keyboardActivationWritesNothing();
    void chosenSpeedGoesOutWithNextPress();

private:
    QWindow* handle() const { return rig->window.windowHandle(); }
    DirectionButton* button(const char* n) const { return rig->find<DirectionButton>(n); }
    // A point of a widget in the window's coordinates (what the window system reports).
    QPoint centreOf(const QWidget* w) const { return w->mapTo(&rig->window, w->rect().center()); }
    QPoint centreOf(const char* n) const { return centreOf(rig->find(n)); }
    // A radio button takes clicks on its mark and caption only, not on the empty space after it.
    QPoint markOf(const char* n) const
    {
        const QWidget* w = rig->find(n);
        return w->mapTo(&rig->window, QPoint(8, w->height() / 2));
    }

    std::unique_ptr<Rig> rig;
};

void TestDirectionButtons::init()
{
    rig = std::make_unique<Rig>();
    QVERIFY(rig->start());
    // Keep the position query off the line: only the buttons write here.
    rig->window.timer("Timerconsult").setEnabled(false);
    rig->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig->window));
    QCOMPARE(rig->pty.readNow(), QByteArray());
}

void TestDirectionButtons::cleanup()
{
    // A failed test may leave a simulated mouse button down.
    QTestPrivate::qtestMouseButtons = Qt::NoButton;
    rig.reset();
}

void TestDirectionButtons::plainClick_data()
{
    QTest::addColumn<QByteArray>("press");
    QTest::addColumn<QByteArray>("release");
    QTest::newRow("btnNord") << QByteArray(":RS# :n#") << QByteArray(":0#:S#");
    QTest::newRow("btnSud") << QByteArray(":RS# :s#") << QByteArray(":0#:S#");
    QTest::newRow("btnEst") << QByteArray(":RS# :e#") << QByteArray(":w#:S#");
    QTest::newRow("btnOuest") << QByteArray(":RS# :w#") << QByteArray(":w#:S#");
}

void TestDirectionButtons::plainClick()
{
    QFETCH(QByteArray, press);
    QFETCH(QByteArray, release);
    const QPoint at = centreOf(QTest::currentDataTag());
    DirectionButton* b = button(QTest::currentDataTag());

    QTest::mousePress(handle(), Qt::LeftButton, {}, at);
    QCOMPARE(rig->pty.take(press.size()), press);
    QVERIFY(b->isDown());
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, at);
    QCOMPARE(rig->pty.take(release.size()), release);
    QVERIFY(!b->isDown());
    QVERIFY(!b->held());

    // A second click is a second move, with the speed sent again.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, at);
    QCOMPARE(rig->pty.take(press.size() + release.size()), press + release);
}

void TestDirectionButtons::releasedOutsideAfterMoving()
{
    QTest::mousePress(handle(), Qt::LeftButton, {}, centreOf("btnNord"));
    QCOMPARE(rig->pty.take(pressNorth.size()), pressNorth);

    // Dragging over other controls and out of the window ends nothing.
    QTest::mouseMove(handle(), centreOf("btnOuest"));
    QTest::mouseMove(handle(), centreOf("edtsaisie"));
    QTest::mouseMove(handle(), QPoint(-30, -30));
    QCOMPARE(rig->pty.listen(), QByteArray());
    QVERIFY(button("btnNord")->held());

    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(-30, -30));
    QCOMPARE(rig->pty.take(releaseNorth.size()), releaseNorth);
    QVERIFY(!button("btnNord")->isDown());
    QVERIFY(!button("btnOuest")->held());
}

void TestDirectionButtons::releasedOutsideWithoutMoving()
{
    QTest::mousePress(handle(), Qt::LeftButton, {}, centreOf("btnNord"));
    QCOMPARE(rig->pty.take(pressNorth.size()), pressNorth);

    // Let go over another button: the release still belongs to the pressed one, and the
    // button under the pointer is not clicked.
    QSignalSpy closeClicked(rig->find<QPushButton>("btnFermerappli"), &QAbstractButton::clicked);
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, centreOf("btnFermerappli"));
    QCOMPARE(rig->pty.take(releaseNorth.size()), releaseNorth);
    QCOMPARE(closeClicked.count(), 0);
    QVERIFY(rig->system.questions.empty());
}

void TestDirectionButtons::otherMouseButtons_data()
{
    QTest::addColumn<Qt::MouseButton>("mouse");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestDirectionButtons::otherMouseButtons()
{
    QFETCH(Qt::MouseButton, mouse);
    const QPoint east = centreOf("btnEst");
    QTest::mousePress(handle(), mouse, {}, east);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :e#"));
    QTest::mouseRelease(handle(), mouse, {}, east);
    QCOMPARE(rig->pty.take(6), QByteArray(":w#:S#"));
}

void TestDirectionButtons::secondMouseButtonWhileHeld_data()
{
    QTest::addColumn<bool>("firstUpFirst");
    QTest::newRow("first button up first") << true;
    QTest::newRow("second button up first") << false;
}

void TestDirectionButtons::secondMouseButtonWhileHeld()
{
    QFETCH(bool, firstUpFirst);
    const QPoint north = centreOf("btnNord");

    QTest::mousePress(handle(), Qt::LeftButton, {}, north);
    QCOMPARE(rig->pty.take(pressNorth.size()), pressNorth);
    QTest::mousePress(handle(), Qt::RightButton, {}, north);
    QCOMPARE(rig->pty.listen(), QByteArray());

    QTest::mouseRelease(handle(), firstUpFirst ? Qt::LeftButton : Qt::RightButton, {}, north);
    QCOMPARE(rig->pty.listen(), QByteArray());
    QVERIFY(button("btnNord")->held());

    QTest::mouseRelease(handle(), firstUpFirst ? Qt::RightButton : Qt::LeftButton, {}, north);
    QCOMPARE(rig->pty.take(releaseNorth.size()), releaseNorth);
    QVERIFY(!button("btnNord")->held());
}

void TestDirectionButtons::doubleClickIsTwoMoves()
{
    // The second press of a double click comes with a double-click event as well.
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, centreOf("btnNord"));
    const QByteArray one = pressNorth + releaseNorth;
    QCOMPARE(rig->pty.take(2 * one.size()), one + one);
}

void TestDirectionButtons::windowDeactivatedWhileHeld()
{
    const QPoint south = centreOf("btnSud");
    QTest::mousePress(handle(), Qt::LeftButton, {}, south);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :s#"));

    QWidget other;
    other.setWindowTitle(QStringLiteral("another program"));
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(rig->pty.take(6), QByteArray(":0#:S#"));

    // The mouse button comes up later: the move has already ended.
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, south);
    QCOMPARE(rig->pty.listen(), QByteArray());
    QVERIFY(!button("btnSud")->isDown());

    // Back in the window, the button works as before.
    other.hide();
    rig->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig->window));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, south);
    QCOMPARE(rig->pty.take(14), QByteArray(":RS# :s#:0#:S#"));
}

void TestDirectionButtons::windowHiddenWhileHeld()
{
    const QPoint west = centreOf("btnOuest");
    QTest::mousePress(handle(), Qt::LeftButton, {}, west);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :w#"));

    rig->window.hide();
    QCOMPARE(rig->pty.take(6), QByteArray(":w#:S#"));
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, west);
    QCOMPARE(rig->pty.listen(), QByteArray());

    rig->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig->window));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, west);
    QCOMPARE(rig->pty.take(14), QByteArray(":RS# :w#:w#:S#"));
}

void TestDirectionButtons::keyboardActivationWritesNothing()
{
    DirectionButton* north = button("btnNord");
    QSignalSpy clicked(north, &QAbstractButton::clicked);

    north->setFocus();
    QVERIFY(north->hasFocus());
    QTest::keyClick(north, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);

    // The access key of "&N" clicks the button (after a short animation).
    QTest::keyClick(&rig->window, Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 2, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!north->isDown(), 2000);

    QCOMPARE(rig->pty.listen(), QByteArray());
    QVERIFY(!north->held());

    // The keyboard leaves no move half started: the mouse still gives one move per click.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(north));
    QCOMPARE(rig->pty.take(14), pressNorth + releaseNorth);
}

void TestDirectionButtons::chosenSpeedGoesOutWithNextPress()
{
    // Choosing a speed sends nothing; the next press sends it, padded to five characters.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, markOf("OptVitessecentrage"));
    QVERIFY(rig->find<QRadioButton>("OptVitessecentrage")->isChecked());
    QCOMPARE(rig->pty.listen(), QByteArray());

    const QPoint north = centreOf("btnNord");
    QTest::mouseClick(handle(), Qt::LeftButton, {}, north);
    QCOMPARE(rig->pty.take(14), QByteArray(":C#  :n#:0#:S#"));

    QTest::mouseClick(handle(), Qt::LeftButton, {}, markOf("OptVitessepointage"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("btnSud"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, markOf("OptVitesseapproche"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("btnEst"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, markOf("OptVitesselente"));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("btnOuest"));
    QCOMPARE(rig->pty.take(42), QByteArray(":M#  :s#:0#:S#:G#  :e#:w#:S#:S#  :w#:w#:S#"));
}

QTEST_MAIN(TestDirectionButtons)
#include "test_direction_buttons.moc"
