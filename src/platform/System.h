// SPDX-License-Identifier: GPL-3.0-or-later
// What the window needs of its platform besides its controls: boxes, beep, events, clipboard, clock.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct TimeOfDay {
    int hour = 0;   // 0..23
    int minute = 0; // 0..59
    int second = 0; // 0..59, whole seconds
};

enum class Answer { Ok, Cancel };

class System {
public:
    virtual ~System() = default;

    virtual void beep() = 0;
    // A box with one OK button.
    virtual void messageBox(const std::string& text, const std::string& title) = 0;
    // A box with OK and Cancel, no icon; returns the button chosen (closing it is Cancel).
    virtual Answer askOkCancel(const std::string& text, const std::string& title) = 0;
    // A warning box with OK and Cancel ("Annuler"), Cancel being the default button, so that
    // Enter and Escape both cancel; returns the button chosen (closing it is Cancel).
    virtual Answer askOkCancelWarning(const std::string& text, const std::string& title) = 0;
    // An information box with one OK button.
    virtual void information(const std::string& text, const std::string& title) = 0;

    // Lets the window's pending events run once and returns.
    virtual void doEvents() = 0;
    // Sleeps until the next event (serial data, user input, a timer) or until deadlineMs on
    // the monotonic clock, whichever comes first, and runs the events that woke it.
    virtual void waitForEvents(std::int64_t deadlineMs) = 0;
    // Monotonic milliseconds, for time limits only.
    virtual std::int64_t monotonicMs() const = 0;
    // Ends the program at once with this exit status (0 a chosen quit, else a failure): no further
    // handler, timer tick or wait runs.
    [[noreturn]] virtual void endNow(int status) = 0;

    virtual void clearClipboard() = 0;
    // The clipboard as plain text, UTF-8; empty when it holds none.
    virtual std::string clipboardText() = 0;
    virtual bool clipboardHasText() = 0;

    virtual TimeOfDay localTime() const = 0;
    // The date and time, UTC, in milliseconds since 1970-01-01 00:00 (for places of the date).
    virtual std::int64_t utcMs() const = 0;
    // The user's decimal separator, UTF-8 ("," in a French setting).
    virtual std::string decimalSeparator() const = 0;

    // Shows the main window (after a successful start-up).
    virtual void showWindow() = 0;
};

} // namespace platform
