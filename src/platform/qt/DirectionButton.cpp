// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/DirectionButton.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace platform::qt {

DirectionButton::DirectionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
    setAutoRepeat(false);
}

void DirectionButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    hold(); // another mouse button while one is held: still one move
}

void DirectionButton::hold()
{
    if (isHeld)
        return;
    isHeld = true;
    setDown(true);
    emit movePressed();
}

void DirectionButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click comes as this event.
    mousePressEvent(event);
}

void DirectionButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (isHeld && event->buttons() == Qt::NoButton)
        release();
}

void DirectionButton::mouseMoveEvent(QMouseEvent* event)
{
    // Leaving the button while held does not end the move (unlike a plain push button).
    event->accept();
}

void DirectionButton::focusOutEvent(QFocusEvent* event)
{
    release();
    QPushButton::focusOutEvent(event);
}

void DirectionButton::hideEvent(QHideEvent* event)
{
    release();
    QPushButton::hideEvent(event);
}

void DirectionButton::changeEvent(QEvent* event)
{
    if ((event->type() == QEvent::ActivationChange && !isActiveWindow())
        || (event->type() == QEvent::EnabledChange && !isEnabled()))
        release();
    QPushButton::changeEvent(event);
}

void DirectionButton::release()
{
    if (!isHeld)
        return;
    isHeld = false;
    setDown(false);
    emit moveReleased();
}

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent), up(new QToolButton(this)), down(new QToolButton(this))
{
    up->setObjectName(QStringLiteral("haut"));
    down->setObjectName(QStringLiteral("bas"));
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {up, down}) {
        arrow->setAutoRepeat(true);
        arrow->setFixedSize(18, 12);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(up);
    column->addWidget(down);
    connect(up, &QToolButton::clicked, this, &SpinArrows::upClicked);
    connect(down, &QToolButton::clicked, this, &SpinArrows::downClicked);
}

} // namespace platform::qt
