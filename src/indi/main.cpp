// SPDX-License-Identifier: GPL-3.0-or-later
// indi_selvane_telescope: the mount controller as an INDI telescope. libindi's own main() runs the
// event loop and dispatches to the one device below.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include <indidevapi.h>

#include "indi/SelvaneTelescope.h"
#include "indi/texts.h"
#include "langue/langue.h"
#include "langue/table.h"

namespace {

std::unique_ptr<indi_driver::SelvaneTelescope> telescope;
int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &byte, 1);
}

// A termination signal ends the program from the event loop, so that a move in progress is
// stopped and the line closed on the way out (exit runs the device's destructor).
void onSignalPipe(int, void*)
{
    std::exit(EXIT_SUCCESS);
}

struct Setup {
    Setup()
    {
        // No command line under indiserver: SELVANE_LANGUE, else the rule on the environment's locale.
        std::string invalide;
        const auto forcée = langue::forcéeParEnvironnement(&invalide);
        langue::installer(forcée
                ? *forcée
                : langue::règle(langue::premièreLangueEnvironnement(), langue::localeCEnvironnement()),
            langue::anglaisDeLaTable);
        if (!invalide.empty())
            std::fprintf(stderr, indi_texts::LangueInvalide.texte(), invalide.c_str());
        telescope = std::make_unique<indi_driver::SelvaneTelescope>();
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
            IEAddCallback(signalPipe[0], onSignalPipe, nullptr);
            std::signal(SIGTERM, onSignal);
            std::signal(SIGINT, onSignal);
            std::signal(SIGHUP, onSignal);
            // With indiserver gone (Ctrl+C reaches the whole process group), a message to it must
            // not kill the driver before the moves are stopped.
            std::signal(SIGPIPE, SIG_IGN);
        }
    }
} setup;

} // namespace
