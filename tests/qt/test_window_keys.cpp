// SPDX-License-Identifier: GPL-3.0-or-later
// The window's keys, sent through the window system as a keyboard sends them: a Ctrl+arrow hold
// writes what one button hold writes, however many auto-repeats come, and always ends.
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <memory>

#include "QtTestSupport.h"
#include "platform/qt/DirectionButton.h"

using testsupport::Rig;

class TestWindowKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietOffscreenNoise(); }
    void init();
    void cleanup() { rig.reset(); }

    void holdWithAutoRepeat();
    void otherKeyOfTheAxisEndsTheHold();
    void focusLostMidHold();
    void fieldKeepsItsKeys();
    void speedKeys();

private:
    QWindow* handle() const { return rig->window.windowHandle(); }
    // One key event as the window system delivers it (auto-repeat included).
    void key(QEvent::Type type, int code, bool repeat = false)
    {
        QKeyEvent event(type, code, Qt::ControlModifier, QString(), repeat);
        QCoreApplication::sendEvent(
            QApplication::focusWidget() ? QApplication::focusWidget() : &rig->window, &event);
    }
    std::unique_ptr<Rig> rig;
};

void TestWindowKeys::init()
{
    rig = std::make_unique<Rig>();
    QVERIFY(rig->start());
    rig->window.timer("Timerconsult").setEnabled(false);
    rig->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig->window));
    // Focus on a button, as after a click on the pad.
    rig->find<QWidget>("btnNord")->setFocus();
    QCOMPARE(rig->pty.readNow(), QByteArray());
}

void TestWindowKeys::holdWithAutoRepeat()
{
    key(QEvent::KeyPress, Qt::Key_Up);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :n#"));
    QVERIFY(rig->find<platform::qt::DirectionButton>("btnNord")->isDown());
    // Each repeat comes as a release then a press, both marked.
    for (int i = 0; i < 30; ++i) {
        key(QEvent::KeyRelease, Qt::Key_Up, true);
        key(QEvent::KeyPress, Qt::Key_Up, true);
    }
    QCOMPARE(rig->pty.listen(), QByteArray());
    key(QEvent::KeyRelease, Qt::Key_Up);
    QCOMPARE(rig->pty.take(6), QByteArray(":0#:S#"));
    QCOMPARE(rig->pty.listen(), QByteArray());

    // On X11 Qt marks a repeat only when its press has already come in; unmarked, each repeat is a
    // release and at once a press, and still the move goes on.
    key(QEvent::KeyPress, Qt::Key_Up);
    for (int i = 0; i < 30; ++i) {
        key(QEvent::KeyRelease, Qt::Key_Up);
        QCoreApplication::processEvents();
        key(QEvent::KeyPress, Qt::Key_Up);
    }
    key(QEvent::KeyRelease, Qt::Key_Up);
    QCOMPARE(rig->pty.take(14), QByteArray(":RS# :n#:0#:S#"));
    QCOMPARE(rig->pty.listen(), QByteArray());

    // The other arrows: the same bytes as their buttons.
    const std::pair<int, QByteArray> arrows[] = { { Qt::Key_Down, ":RS# :s#:0#:S#" },
        { Qt::Key_Left, ":RS# :e#:w#:S#" }, { Qt::Key_Right, ":RS# :w#:w#:S#" } };
    for (const auto& [code, bytes] : arrows) {
        key(QEvent::KeyPress, code);
        key(QEvent::KeyPress, code, true);
        key(QEvent::KeyRelease, code);
        QCOMPARE(rig->pty.take(bytes.size()), bytes);
    }
}

void TestWindowKeys::otherKeyOfTheAxisEndsTheHold()
{
    key(QEvent::KeyPress, Qt::Key_Left);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :e#"));
    // North meanwhile: the other axis, a second move.
    key(QEvent::KeyPress, Qt::Key_Up);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :n#"));
    key(QEvent::KeyPress, Qt::Key_Right);
    QCOMPARE(rig->pty.take(14), QByteArray(":w#:S#:RS# :w#"));
    // The first key's release ends nothing more; the second's ends its move.
    key(QEvent::KeyRelease, Qt::Key_Left);
    QCOMPARE(rig->pty.listen(), QByteArray());
    key(QEvent::KeyRelease, Qt::Key_Right);
    key(QEvent::KeyRelease, Qt::Key_Up);
    QCOMPARE(rig->pty.take(12), QByteArray(":w#:S#:0#:S#"));
}

void TestWindowKeys::focusLostMidHold()
{
    key(QEvent::KeyPress, Qt::Key_Down);
    QCOMPARE(rig->pty.take(8), QByteArray(":RS# :s#"));
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(rig->pty.take(6), QByteArray(":0#:S#"));
    other.hide();
    rig->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig->window));
    rig->find<QWidget>("btnNord")->setFocus();
    // Back in the window: the key still held repeats, and moves nothing; a new press does.
    key(QEvent::KeyPress, Qt::Key_Down, true);
    key(QEvent::KeyRelease, Qt::Key_Down);
    QCOMPARE(rig->pty.listen(), QByteArray());
    key(QEvent::KeyPress, Qt::Key_Down);
    key(QEvent::KeyRelease, Qt::Key_Down);
    QCOMPARE(rig->pty.take(14), QByteArray(":RS# :s#:0#:S#"));
}

void TestWindowKeys::fieldKeepsItsKeys()
{
    auto* field = rig->find<QLineEdit>("EdtObjet");
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("M 42"));
    QTest::keyClick(field, Qt::Key_Left, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(field->cursorPosition(), 2); // the field moved its cursor a word back
    QVERIFY(!rig->find<QRadioButton>("OptVitessecentrage")->isChecked());
    QCOMPARE(rig->pty.listen(), QByteArray());
}

void TestWindowKeys::speedKeys()
{
    // Ctrl+2 and Ctrl+3 in the window's order (Rattrapage, Centrage), Ctrl+1 back to Sidéral.
    QTest::keyClick(&rig->window, Qt::Key_2, Qt::ControlModifier);
    QVERIFY(rig->find<QRadioButton>("OptVitesseapproche")->isChecked());
    QTest::keyClick(&rig->window, Qt::Key_4, Qt::ControlModifier);
    QVERIFY(rig->find<QRadioButton>("OptVitessepointage")->isChecked());
    key(QEvent::KeyPress, Qt::Key_Up);
    key(QEvent::KeyRelease, Qt::Key_Up);
    const QByteArray fast = rig->pty.listen();
    QCOMPARE(fast, QByteArray(":M#  :n#:0#:S#"));
    QTest::keyClick(&rig->window, Qt::Key_Ampersand, Qt::ControlModifier); // Ctrl+1 on a French keyboard
    QVERIFY(rig->find<QRadioButton>("OptVitesselente")->isChecked());
}

QTEST_MAIN(TestWindowKeys)
#include "test_window_keys.moc"
