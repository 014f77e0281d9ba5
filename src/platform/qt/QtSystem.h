// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes, beep, event loop, clipboard, clock and locale over Qt.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "platform/System.h"

class QWidget;

namespace platform::qt {

class QtSystem : public System {
public:
    QtSystem();

    void setWindow(QWidget* w) { window = w; }

    void beep() override;
    void messageBox(const std::string& text, const std::string& title) override;
    Answer askOkCancel(const std::string& text, const std::string& title) override;
    Answer askOkCancelWarning(const std::string& text, const std::string& title) override;
    void information(const std::string& text, const std::string& title) override;
    void doEvents() override;
    void waitForEvents(std::int64_t deadlineMs) override;
    std::int64_t monotonicMs() const override { return clock.elapsed(); }
    [[noreturn]] void endNow(int status) override;
    void clearClipboard() override;
    std::string clipboardText() override;
    bool clipboardHasText() override;
    TimeOfDay localTime() const override;
    std::int64_t utcMs() const override;
    std::string decimalSeparator() const override;
    void showWindow() override;

private:
    QWidget* window = nullptr;
    QElapsedTimer clock;
    QTimer wake; // ends a sleep at the wait's time limit
};

} // namespace platform::qt
