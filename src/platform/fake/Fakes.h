// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles of the platform: they record every call in one journal and play scripted answers,
// so tests drive the window without a toolkit, a serial device, a clipboard or a clock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/ListMemory.h"
#include "platform/SerialPort.h"
#include "platform/System.h"

namespace fake {

// Thrown by FakeSystem::endNow so that a test sees the program end exactly where it would.
struct ProgramEnded {};

using Journal = std::vector<std::string>;

class FakeLabel : public platform::Label {
public:
    std::string captionText;
    void setCaption(const std::string& c) override { captionText = c; ++writes; }
    std::string caption() const override { return captionText; }
    int writes = 0;
};

class FakeTextBox : public platform::TextBox {
public:
    std::string content;
    int maxLength = 0; // 0: no limit; typing only
    std::string text() const override { return content; }
    void setText(const std::string& t) override { content = t; }
    void addLine(const std::string& line) override { content = line + "\r\n" + content; }
};

class FakeCommandButton : public platform::CommandButton {
public:
    bool isEnabled = true;
    bool isVisible = true;
    void setEnabled(bool e) override { isEnabled = e; }
    bool enabled() const override { return isEnabled; }
    void setVisible(bool v) override { isVisible = v; }
};

class FakeOptionButton : public platform::OptionButton {
public:
    bool selected = false;
    bool value() const override { return selected; }
    void setValue(bool s) override { selected = s; }
};

class FakeCheckBox : public platform::CheckBox {
public:
    platform::CheckState state = platform::CheckState::Clear;
    platform::CheckState value() const override { return state; }
    void setValue(platform::CheckState s) override { state = s; }
};

class FakeTimer : public platform::Timer {
public:
    explicit FakeTimer(Journal& j, std::string n) : journal(j), name(std::move(n)) {}
    bool isEnabled = true;
    int intervalMs = 3000;
    void setEnabled(bool e) override;
    bool enabled() const override { return isEnabled; }
    int interval() const override { return intervalMs; }

private:
    Journal& journal;
    std::string name;
};

class FakeSerialPort : public platform::SerialPort {
public:
    explicit FakeSerialPort(Journal& j) : journal(j) {}

    // Script: whether opening succeeds, and bytes that arrive on the line.
    bool openSucceeds = true;
    std::string displayName = "COM1";
    void arrive(const std::string& bytes) { waiting.append(bytes); }
    // A scripted controller: sees every command that reaches the line.
    std::function<void(const std::string&)> onWrite;
    // Makes the link vanish (as a pulled USB adapter).
    void vanish();

    // Record.
    std::vector<std::string> writes;
    std::string wire() const; // all writes, back to back
    int commPortNumber = 0;
    std::string settingsText;
    int inputLen = 0;
    bool isOpen = false;
    int reads = 0;
    std::string waiting;
    bool lost = false;

    void setCommPort(int n) override;
    int commPort() const override { return commPortNumber; }
    std::string portName() const override { return displayName; }
    void setSettings(const std::string& s) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override { return isOpen; }
    int inBufferCount() const override { return static_cast<int>(waiting.size()); }
    void setInBufferCount(int count) override;
    void setInputLen(int length) override;
    void setOutput(const std::string& bytes) override;
    std::string input() override;
    bool linkLost() const override { return lost; }

private:
    Journal& journal;
};

class FakeSystem;

// The fake's time of day. Setting it is time passing: the monotonic clock moves on by as much
// (forward, across midnight if need be). change() is the user or the time service setting the
// clock, which moves nothing else.
class FakeClock {
public:
    explicit FakeClock(FakeSystem& s, platform::TimeOfDay t) : system(s), now(t) {}
    FakeClock& operator=(platform::TimeOfDay t);
    void change(platform::TimeOfDay t) { now = t; }
    operator platform::TimeOfDay() const { return now; }

private:
    FakeSystem& system;
    platform::TimeOfDay now;
};

class FakeSystem : public platform::System {
public:
    explicit FakeSystem(Journal& j) : journal(j) {}

    // Script.
    std::deque<platform::Answer> answers; // for askOkCancel; Ok when empty
    std::string clipboard;
    bool clipboardIsText = true;
    FakeClock clock{*this, {20, 0, 0}};
    std::int64_t utcNowMs = 1767225600000; // 2026-01-01 00:00 UTC
    std::string separator = ",";
    // Time that has passed in waits; the monotonic clock adds what the time of day moved on.
    std::int64_t nowMs = 0;
    std::int64_t clockPassedMs = 0;
    // Puts text on the clipboard, as a user copying it.
    void copy(const std::string& text)
    {
        clipboard = text;
        clipboardIsText = true;
    }
    // Runs fn in the next pass that lets pending events run.
    void onNextEvents(std::function<void()> fn) { soon.push_back(std::move(fn)); }
    // Runs fn once the monotonic clock reaches atMs (a wait sleeping until then wakes for it).
    void at(std::int64_t atMs, std::function<void()> fn) { timed.emplace(atMs, std::move(fn)); }
    // Runs fn inside the next question box, before it is answered.
    std::function<void()> duringQuestion;

    // Record.
    int doEventsCalls = 0;
    int waitCalls = 0;
    bool windowShown = false;

    void beep() override { journal.push_back("beep"); }
    void messageBox(const std::string& text, const std::string& title) override;
    platform::Answer askOkCancel(const std::string& text, const std::string& title) override;
    // Recorded as "warn …"; answered from the same script as the questions.
    platform::Answer askOkCancelWarning(const std::string& text, const std::string& title) override;
    void information(const std::string& text, const std::string& title) override;
    void doEvents() override;
    void waitForEvents(std::int64_t deadlineMs) override;
    std::int64_t monotonicMs() const override { return nowMs + clockPassedMs; }
    [[noreturn]] void endNow(int status) override;
    void clearClipboard() override;
    std::string clipboardText() override { return clipboardIsText ? clipboard : std::string(); }
    bool clipboardHasText() override { return clipboardIsText; }
    platform::TimeOfDay localTime() const override { return clock; }
    std::int64_t utcMs() const override { return utcNowMs; }
    std::string decimalSeparator() const override { return separator; }
    void showWindow() override;

private:
    void runDue();
    // The next scripted answer; Ok when the script is spent.
    platform::Answer nextAnswer();
    Journal& journal;
    std::deque<std::function<void()>> soon;
    std::multimap<std::int64_t, std::function<void()>> timed;
};

// The settings file's list group, in memory.
class FakeListMemory : public platform::ListMemory {
public:
    std::optional<platform::ListeRetenue> kept;
    int writes = 0;
    std::optional<platform::ListeRetenue> liste() const override { return kept; }
    void retenir(const platform::ListeRetenue& l) override { kept = l; ++writes; }
};

// Every control of the window, made on first use, plus the system and the port.
class FakePlatform : public platform::ControlSet {
public:
    FakePlatform();
    Journal journal;
    FakeSystem system{journal};
    FakeSerialPort port{journal};

    platform::Label& label(std::string_view name) override { return labels[std::string(name)]; }
    platform::TextBox& textBox(std::string_view name) override { return texts[std::string(name)]; }
    platform::CommandButton& commandButton(std::string_view name) override
    {
        return buttons[std::string(name)];
    }
    platform::OptionButton& optionButton(std::string_view name) override
    {
        return options[std::string(name)];
    }
    platform::CheckBox& checkBox(std::string_view name) override { return checks[std::string(name)]; }
    platform::Timer& timer(std::string_view name) override;
    platform::SerialPort& serialPort(std::string_view) override { return port; }

    FakeTextBox& text(const std::string& name) { return texts[name]; }
    FakeLabel& labelNamed(const std::string& name) { return labels[name]; }
    FakeCommandButton& button(const std::string& name) { return buttons[name]; }
    FakeCheckBox& check(const std::string& name) { return checks[name]; }
    FakeTimer& timerNamed(const std::string& name);

    std::map<std::string, FakeLabel> labels;
    std::map<std::string, FakeTextBox> texts;
    std::map<std::string, FakeCommandButton> buttons;
    std::map<std::string, FakeOptionButton> options;
    std::map<std::string, FakeCheckBox> checks;
    std::map<std::string, std::unique_ptr<FakeTimer>> timers;
};

} // namespace fake
