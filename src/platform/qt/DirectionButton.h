// SPDX-License-Identifier: GPL-3.0-or-later
// A direction button: a move starts when any mouse button goes down on it and ends exactly once,
// when the last mouse button comes up (wherever the pointer is), or when the button or its window
// loses the user (focus lost, window deactivated or hidden, button disabled). Keyboard activation
// (Space) does nothing; the window's Ctrl+arrow keys hold it through hold() and release().
#pragma once

#include <QPushButton>
#include <QToolButton>

namespace platform::qt {

class DirectionButton : public QPushButton {
    Q_OBJECT
public:
    explicit DirectionButton(const QString& caption, QWidget* parent = nullptr);
    bool held() const { return isHeld; }
    // Starts the move unless one is held already; ends it once.
    void hold();
    void release();

signals:
    void movePressed();
    void moveReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool isHeld = false;
};

// The two arrows of a spin button; each click (repeated while held) is one step.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);

signals:
    void upClicked();
    void downClicked();

private:
    QToolButton* up;
    QToolButton* down;
};

} // namespace platform::qt
