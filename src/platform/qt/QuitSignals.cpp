// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QuitSignals.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform::qt {

namespace {
constexpr int SignauxFin[] = { SIGTERM, SIGINT, SIGHUP };
// The status of a process ended by a signal it handled itself, as a shell shows it.
constexpr int StatutSignal = 128;

int pipeFds[2] = { -1, -1 };
volatile std::sig_atomic_t reçu = 0;

// Async-signal-safe only: note the signal and wake the event loop. A second signal, or the
// alarm set here running out, means the careful end is stuck: end now.
extern "C" void onQuitSignal(int signal)
{
    if (reçu != 0)
        ::_exit(StatutSignal + reçu);
    reçu = signal;
    ::alarm(QuitSignals::FinMaxS);
    const char wake = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &wake, 1);
}

extern "C" void onAlarm(int)
{
    ::_exit(StatutSignal + (reçu != 0 ? reçu : SIGALRM));
}

void install(int signal, void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}
} // namespace

QuitSignals::QuitSignals(std::function<void()> run)
    : beforeEnd(std::move(run))
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default action
    notifier = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this] { onSignal(); });
    install(SIGALRM, onAlarm);
    for (int signal : SignauxFin)
        install(signal, onQuitSignal);
}

QuitSignals::~QuitSignals()
{
    for (int signal : SignauxFin)
        std::signal(signal, SIG_DFL);
    notifier.reset();
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void QuitSignals::onSignal()
{
    notifier->setEnabled(false);
    const int signal = reçu;
    if (beforeEnd)
        beforeEnd();
    std::fflush(nullptr);
    // End by the signal itself, so that whoever sent it sees it did.
    std::signal(signal, SIG_DFL);
    sigset_t only {};
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(StatutSignal + signal);
}

} // namespace platform::qt
