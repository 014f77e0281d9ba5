// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fake/Fakes.h"

namespace fake {

void FakeTimer::setEnabled(bool e)
{
    isEnabled = e;
    journal.push_back(name + (e ? " on" : " off"));
}

void FakeSerialPort::vanish()
{
    journal.push_back("vanish");
    lost = true;
    waiting.clear();
    if (onLinkLost)
        onLinkLost();
}

std::string FakeSerialPort::wire() const
{
    std::string all;
    for (const auto& w : writes)
        all += w;
    return all;
}

void FakeSerialPort::setCommPort(int n)
{
    commPortNumber = n;
    journal.push_back("port " + std::to_string(n));
}

void FakeSerialPort::setSettings(const std::string& s)
{
    settingsText = s;
    journal.push_back("settings " + s);
}

bool FakeSerialPort::setPortOpen(bool open)
{
    journal.push_back(open ? "open" : "close");
    if (open && !openSucceeds)
        return false;
    isOpen = open;
    if (open)
        lost = false;
    return true;
}

void FakeSerialPort::setInBufferCount(int count)
{
    journal.push_back("discard");
    if (count == 0)
        waiting.clear();
}

void FakeSerialPort::setInputLen(int length)
{
    inputLen = length;
    journal.push_back("inputlen " + std::to_string(length));
}

void FakeSerialPort::setOutput(const std::string& bytes)
{
    journal.push_back("write " + bytes);
    if (!isOpen || lost)
        return;
    writes.push_back(bytes);
    if (onWrite)
        onWrite(bytes);
}

std::string FakeSerialPort::input()
{
    ++reads;
    if (waiting.empty() || !isOpen || lost)
        return {};
    const std::size_t n = inputLen > 0 ? static_cast<std::size_t>(inputLen) : waiting.size();
    std::string out = waiting.substr(0, n);
    waiting.erase(0, out.size());
    return out;
}

void FakeSystem::messageBox(const std::string& text, const std::string& title)
{
    journal.push_back("message " + title + ": " + text);
}

platform::Answer FakeSystem::askOkCancel(const std::string& text, const std::string& title)
{
    journal.push_back("ask " + title + ": " + text);
    if (duringQuestion) {
        auto fn = std::move(duringQuestion);
        duringQuestion = nullptr;
        fn();
    }
    return nextAnswer();
}

platform::Answer FakeSystem::askOkCancelWarning(const std::string& text, const std::string& title)
{
    journal.push_back("warn " + title + ": " + text);
    return nextAnswer();
}

platform::Answer FakeSystem::nextAnswer()
{
    if (answers.empty())
        return platform::Answer::Ok;
    const auto a = answers.front();
    answers.pop_front();
    return a;
}

void FakeSystem::information(const std::string& text, const std::string& title)
{
    journal.push_back("info " + title + ": " + text);
}

void FakeSystem::runDue()
{
    while (!soon.empty()) {
        auto fn = std::move(soon.front());
        soon.pop_front();
        fn();
    }
    while (!timed.empty() && timed.begin()->first <= nowMs) {
        auto fn = std::move(timed.begin()->second);
        timed.erase(timed.begin());
        fn();
    }
}

void FakeSystem::doEvents()
{
    ++doEventsCalls;
    runDue();
}

void FakeSystem::waitForEvents(std::int64_t deadlineMs)
{
    ++waitCalls;
    if (!soon.empty()) {
        runDue();
        return;
    }
    std::int64_t wake = deadlineMs - clockPassedMs;
    if (!timed.empty() && timed.begin()->first < wake)
        wake = timed.begin()->first;
    if (wake > nowMs)
        nowMs = wake;
    runDue();
}

FakeClock& FakeClock::operator=(platform::TimeOfDay t)
{
    constexpr std::int64_t day = 24 * 3600;
    auto seconds = [](platform::TimeOfDay x) { return x.hour * 3600 + x.minute * 60 + x.second; };
    const std::int64_t forward = ((seconds(t) - seconds(now)) % day + day) % day;
    system.clockPassedMs += forward * 1000;
    now = t;
    return *this;
}

void FakeSystem::endNow(int status)
{
    journal.push_back("end " + std::to_string(status));
    throw ProgramEnded{};
}

void FakeSystem::clearClipboard()
{
    journal.push_back("clear clipboard");
    clipboard.clear();
    clipboardIsText = false;
}

void FakeSystem::showWindow()
{
    journal.push_back("show");
    windowShown = true;
}

FakePlatform::FakePlatform()
{
    // First texts of the window, as the real one is built.
    for (const char* n : {"EdtADréfHrs", "EdtADréfMin", "EdtADréfSec", "EdtDECréfMin", "EdtDECréfSec"}) {
        texts[n].content = "00";
        texts[n].maxLength = 2;
    }
    texts["EdtDECréfDeg"].content = "+000";
    texts["EdtDECréfDeg"].maxLength = 4;
    texts["edtsaisie"].content = "essai\r\n";
    labels["affalpha"].captionText = "00h 00m 00s";
    labels["affdelta"].captionText = "+00° 00' 00\"";
    options["OptVitesselente"].selected = true;
}

platform::Timer& FakePlatform::timer(std::string_view name)
{
    return timerNamed(std::string(name));
}

FakeTimer& FakePlatform::timerNamed(const std::string& name)
{
    auto& t = timers[name];
    if (!t)
        t = std::make_unique<FakeTimer>(journal, name);
    return *t;
}

} // namespace fake
