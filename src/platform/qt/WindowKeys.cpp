// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/WindowKeys.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include "platform/qt/DirectionButton.h"

namespace platform::qt {

namespace {

constexpr Qt::KeyboardModifiers Modifiers
    = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
constexpr int Déclinaison = 0;
constexpr int AscensionDroite = 1;
// How long a released key waits for the press of an auto-repeat: the window system sends both at
// once, so a few event-loop turns are enough; the move runs this much longer after a real release.
constexpr int AttenteRépétitionMs = 40;

// The rank of a speed key, or -1: Ctrl+1…4, with the top row of a French keyboard too (& é " ').
int speedRank(int key)
{
    switch (key) {
    case Qt::Key_1:
    case Qt::Key_Ampersand:
        return 0;
    case Qt::Key_2:
    case Qt::Key_Eacute:
        return 1;
    case Qt::Key_3:
    case Qt::Key_QuoteDbl:
        return 2;
    case Qt::Key_4:
    case Qt::Key_Apostrophe:
        return 3;
    default:
        return -1;
    }
}

} // namespace

bool typingInField()
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        return !text->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(focus))
        return !text->isReadOnly();
    return qobject_cast<QAbstractSpinBox*>(focus) || qobject_cast<QComboBox*>(focus);
}

WindowKeys::WindowKeys(
    QWidget* w, const Buttons& b, std::function<void()> site, std::function<void(bool)> step)
    : QObject(w)
    , window(w)
    , buttons(b)
    , openSite(std::move(site))
    , stepList(std::move(step))
{
    for (Hold& hold : holds) {
        hold.release = new QTimer(this);
        hold.release->setSingleShot(true);
        hold.release->setInterval(AttenteRépétitionMs);
        connect(hold.release, &QTimer::timeout, this, [this, &hold] { end(hold); });
    }
    qApp->installEventFilter(this);
}

void WindowKeys::end(Hold& hold)
{
    hold.release->stop();
    if (hold.button && hold.button->held())
        hold.button->release();
    hold.button = nullptr;
    hold.key = 0;
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    // The window left (another window active, the window hidden): every keyboard hold ends.
    if (watched == window && (type == QEvent::WindowDeactivate || type == QEvent::Hide)) {
        for (Hold& hold : holds)
            end(hold);
        return QObject::eventFilter(watched, event);
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    // This window's keys, at the focus or at the window (where a key the focus ignored arrives).
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window || (widget != QApplication::focusWidget() && widget != window))
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    return type == QEvent::KeyPress ? keyPressed(key) : keyReleased(key);
}

bool WindowKeys::keyPressed(const QKeyEvent& key)
{
    const auto modifiers = key.modifiers() & Modifiers;
    if (key.key() == Qt::Key_L && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        // Opened once the key has been handled, not inside its delivery.
        if (!key.isAutoRepeat() && openSite)
            QMetaObject::invokeMethod(this, openSite, Qt::QueuedConnection);
        return true;
    }
    // A hold that the button ended itself (window left, button disabled) is over.
    for (Hold& hold : holds)
        if (hold.button && !hold.button->held())
            end(hold);
    // A press of a held key (a repeat, or back down before its release went out) goes on holding.
    for (Hold& hold : holds)
        if (hold.button && hold.key == key.key()) {
            hold.release->stop();
            return true;
        }
    if (typingInField())
        return false;
    if ((key.key() == Qt::Key_PageDown || key.key() == Qt::Key_PageUp) && modifiers == Qt::NoModifier) {
        if (stepList)
            stepList(key.key() == Qt::Key_PageDown);
        return true;
    }
    if (!(modifiers & Qt::ControlModifier) || (modifiers & (Qt::AltModifier | Qt::MetaModifier)))
        return false;

    if (const int rank = speedRank(key.key()); rank >= 0) {
        if (!key.isAutoRepeat())
            buttons.speeds[static_cast<std::size_t>(rank)]->click();
        return true;
    }
    if (modifiers != Qt::ControlModifier)
        return false;
    DirectionButton* button = nullptr;
    int axis = Déclinaison;
    switch (key.key()) {
    case Qt::Key_Up:
        button = buttons.nord;
        break;
    case Qt::Key_Down:
        button = buttons.sud;
        break;
    case Qt::Key_Left:
        button = buttons.est;
        axis = AscensionDroite;
        break;
    case Qt::Key_Right:
        button = buttons.ouest;
        axis = AscensionDroite;
        break;
    default:
        return false;
    }
    if (key.isAutoRepeat())
        return true; // a move starts from a real press only
    Hold& hold = holds[static_cast<std::size_t>(axis)];
    end(hold); // the other key of the axis: its move ends before this one starts
    if (button->held() || !button->isEnabled())
        return true; // held by the mouse: its own release ends it
    button->hold();
    hold.key = key.key();
    hold.button = button;
    return true;
}

bool WindowKeys::keyReleased(const QKeyEvent& key)
{
    for (Hold& hold : holds) {
        if (!hold.button || hold.key != key.key())
            continue;
        if (!key.isAutoRepeat())
            hold.release->start();
        return true;
    }
    return false;
}

} // namespace platform::qt
