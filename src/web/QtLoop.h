// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol session's timers and clocks on Qt's event loop.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "protocol/MountSession.h"

namespace web {

class QtLoop : public protocol::Loop {
public:
    QtLoop() { clock.start(); }
    int addTimer(int ms, std::function<void()> fn) override;
    void removeTimer(int id) override;
    protocol::HeureDuJour localTime() const override;
    std::int64_t monotonicMs() const override { return clock.elapsed(); }

private:
    QElapsedTimer clock;
    int nextId = 0;
    std::map<int, std::unique_ptr<QTimer>> timers;
};

} // namespace web
