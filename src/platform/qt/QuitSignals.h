// SPDX-License-Identifier: GPL-3.0-or-later
// Ending on a signal (SIGTERM from the session or a service manager, SIGINT from Ctrl+C in the
// terminal, SIGHUP when the terminal goes away) as carefully as on "&Fermer": the handler only
// wakes the event loop through a pipe, so the window may stop an open move and close its line
// drained from there; then the program ends by that same signal.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace platform::qt {

class QuitSignals : public QObject {
public:
    // beforeEnd runs once, from the event loop, when one of the signals comes.
    explicit QuitSignals(std::function<void()> beforeEnd);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // How long the careful end may take before the program ends anyway: a second signal ends
    // it at once too.
    static constexpr unsigned FinMaxS = 2;

private:
    void onSignal();
    std::function<void()> beforeEnd;
    std::unique_ptr<QSocketNotifier> notifier;
};

} // namespace platform::qt
