// SPDX-License-Identifier: GPL-3.0-or-later
// A protocol::Loop whose timers fire only when the test (or the fuzz target) says so.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "protocol/MountSession.h"

namespace testsupport {

class ManualLoop : public protocol::Loop {
public:
    int addTimer(int ms, std::function<void()> fn) override
    {
        timers[next] = { now + ms, std::move(fn) };
        return next++;
    }
    void removeTimer(int id) override { timers.erase(id); }
    protocol::HeureDuJour localTime() const override { return { 0, 0, 0 }; }
    std::int64_t monotonicMs() const override { return now; }
    void advance(int ms)
    {
        now += ms;
        for (auto it = timers.begin(); it != timers.end();) {
            if (it->second.first > now) {
                ++it;
                continue;
            }
            auto fn = std::move(it->second.second);
            timers.erase(it);
            fn();
            it = timers.begin();
        }
    }

private:
    std::int64_t now = 0;
    int next = 1;
    std::map<int, std::pair<std::int64_t, std::function<void()>>> timers;
};

} // namespace testsupport
