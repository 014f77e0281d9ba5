// SPDX-License-Identifier: GPL-3.0-or-later
// The window's keys: Ctrl+arrows hold a move as the direction buttons do (up N, down S, left E,
// right O), Ctrl+1…4 choose the four speeds, Ctrl+Shift+L opens the site dialog, Page Down and Page
// Up step through the observing list. A field being typed in keeps its keys. Auto-repeat is ignored,
// so a key held sends what one button hold sends; the hold ends when its key comes up, when another
// key of the same axis goes down, or when the window loses the user. On X11 an auto-repeat is a
// release then a press, and Qt marks it only when the press has already arrived: a release is
// therefore held back a moment, and a press of the same key meanwhile continues the hold.
#pragma once

#include <QObject>
#include <array>
#include <functional>

class QAbstractButton;
class QKeyEvent;
class QTimer;
class QWidget;

namespace platform::qt {

class DirectionButton;

class WindowKeys : public QObject {
    Q_OBJECT
public:
    struct Buttons {
        DirectionButton* nord;
        DirectionButton* sud;
        DirectionButton* est;
        DirectionButton* ouest;
        std::array<QAbstractButton*, 4> speeds; // in the window's order, top to bottom
    };
    // Listens to the keys of `window` only; `openSite` opens the site dialog, `stepList(true)` goes to
    // the list's next entry and `stepList(false)` to the one before.
    WindowKeys(QWidget* window, const Buttons& buttons, std::function<void()> openSite,
        std::function<void(bool)> stepList);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A move held from the keyboard on one axis: its key and its button.
    struct Hold {
        int key = 0;
        DirectionButton* button = nullptr;
        QTimer* release = nullptr; // running while the key is up: a repeat's press may follow
    };
    bool keyPressed(const QKeyEvent& key);
    bool keyReleased(const QKeyEvent& key);
    // Ends the axis' keyboard hold now, if there is one.
    void end(Hold& hold);

    QWidget* window;
    Buttons buttons;
    std::function<void()> openSite;
    std::function<void(bool)> stepList;
    std::array<Hold, 2> holds; // declination, right ascension
};

// True when the widget with the keyboard focus is a field the user types in.
bool typingInField();

} // namespace platform::qt
