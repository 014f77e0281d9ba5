// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's loop on libindi (timers, readable lines), the INDI connections it offers, and the
// last resort of a fatal signal: the moves open are stopped on the way down.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>

#include <unistd.h>

#include <indistandardproperty.h>

#include "indi/texts.h"
#include "protocol/drain.h"
#include "protocol/wire.h"

namespace indi_driver {

namespace {
void écrireSansAttendre(int fd, const char* command)
{
    [[maybe_unused]] const ssize_t n = ::write(fd, command, std::strlen(command));
}

// Only async-signal-safe calls here; the signal then ends the driver as it would have.
void arrêterSurSignalFatal(int signal)
{
    const int fd = ligneDesMouvements.exchange(-1);
    if (fd >= 0) {
        if (mouvementDEC) {
            écrireSansAttendre(fd, protocol::ArrêtDEC);
            écrireSansAttendre(fd, protocol::RetourSidéral);
        }
        if (mouvementAD) {
            écrireSansAttendre(fd, protocol::ArrêtAD);
            écrireSansAttendre(fd, protocol::RetourSidéral);
        }
        protocol::drainOutput(fd);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
} // namespace

std::atomic<int> ligneDesMouvements { -1 };
std::atomic<bool> mouvementDEC { false };
std::atomic<bool> mouvementAD { false };

void arrêterLesMouvementsSurSignalFatal()
{
    struct sigaction action { };
    action.sa_handler = arrêterSurSignalFatal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : { SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL })
        sigaction(signal, &action, nullptr);
}


FixedSerial::FixedSerial(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save)
    : Connection::Serial(device)
    , load(std::move(load))
    , save(std::move(save))
{
    char saved[MAXINDINAME] = { 0 };
    if (IUGetConfigText(device->getDeviceName(), INDI::SP::DEVICE_PORT, "PORT", saved, MAXINDINAME) < 0)
        setDefaultPort(indi_texts::PortParDéfaut);
    setDefaultBaudRate(B_9600);
}

void FixedSerial::Activated()
{
    m_Device->defineProperty(&PortTP);
    load();
}

void FixedSerial::Deactivated()
{
    m_Device->deleteProperty(PortTP.name);
}

BridgeTcp::BridgeTcp(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save)
    : Connection::TCP(device)
    , load(std::move(load))
    , save(std::move(save))
{
}

void BridgeTcp::Activated()
{
    // Host and port only: the controller's line is a byte stream, never UDP.
    m_Device->defineProperty(&AddressTP);
    load();
}

void BridgeTcp::Deactivated()
{
    m_Device->deleteProperty(AddressTP.name);
}

std::string BridgeTcp::address() const
{
    const std::string host = hostName() ? hostName() : "";
    // A bare IPv6 address is shown as [::1]:2000.
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + (portText() ? portText() : "");
}

// ---- Loop ----

int SelvaneTelescope::addTimer(int ms, std::function<void()> fn)
{
    auto token = std::make_unique<TimerToken>();
    token->owner = this;
    token->fn = std::move(fn);
    const int id = IEAddTimer(ms, timerFired, token.get());
    token->id = id;
    timers[id] = std::move(token);
    return id;
}

void SelvaneTelescope::removeTimer(int id)
{
    if (timers.erase(id) > 0)
        IERmTimer(id);
}

void SelvaneTelescope::timerFired(void* p)
{
    auto* token = static_cast<TimerToken*>(p);
    auto fn = std::move(token->fn);
    token->owner->timers.erase(token->id);
    fn();
}

protocol::HeureDuJour SelvaneTelescope::localTime() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return { local.tm_hour, local.tm_min, local.tm_sec };
}

std::int64_t SelvaneTelescope::monotonicMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SelvaneTelescope::portReadable(int, void* p)
{
    auto* self = static_cast<SelvaneTelescope*>(p);
    if (self->session)
        self->session->readable();
}

} // namespace indi_driver
