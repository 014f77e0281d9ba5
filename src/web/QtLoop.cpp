// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol session's timers on QTimer.
#include "web/QtLoop.h"

#include <QTime>

namespace web {

int QtLoop::addTimer(int ms, std::function<void()> fn)
{
    const int id = nextId++;
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id, fn = std::move(fn)] {
        // The timer goes before its function runs, which may set another.
        auto done = timers.extract(id);
        const auto call = fn;
        done.mapped().release()->deleteLater();
        call();
    });
    timer->start(ms);
    timers.emplace(id, std::move(timer));
    return id;
}

void QtLoop::removeTimer(int id)
{
    timers.erase(id);
}

protocol::HeureDuJour QtLoop::localTime() const
{
    const QTime t = QTime::currentTime();
    return { t.hour(), t.minute(), t.second() };
}

} // namespace web
