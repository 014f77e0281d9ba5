// SPDX-License-Identifier: GPL-3.0-or-later
// What the files of the driver's one class share, and nobody else: the line's settings, the hooks
// of the tests and benchmarks, the message formatting, the state a fatal signal reads.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include <indiapi.h>

#include "protocol/sequences.h"

#include "indi/SelvaneTelescope.h"

namespace indi_driver {

// libindi's timers hand back one pointer: the callback to run and where it is filed.
struct SelvaneTelescope::TimerToken {
    SelvaneTelescope* owner = nullptr;
    std::function<void()> fn;
    int id = -1;
};

inline constexpr int Baud = 9600;
inline constexpr int BitsDeDonnées = 8;
inline constexpr int SansParité = 0;
inline constexpr int BitsDeStop = 1;
inline constexpr int RatesCount = protocol::NombreVitesses;
// How long a connection to a serial-to-network bridge may take (INDI's own limit), and how often
// it is looked at meanwhile.
inline constexpr int ConnexionRéseauMaxMs = 5000;
inline constexpr int ConnexionRéseauPasMs = 20;
inline constexpr const char* ModeDeConnexion = "CONNECTION_MODE";
// Hooks for the in-process simulator: a file that receives its wire trace, and its slew rate.
inline constexpr const char* TraceSimulateur = "SELVANE_SIM_TRACE";
inline constexpr const char* VitesseSimulateur = "SELVANE_SIM_SLEW_RATE";
// For the benchmarks: a file that receives, per motion or autoguiding change, the nanoseconds from
// the change reaching the driver to its bytes written.
inline constexpr const char* FichierLatence = "SELVANE_INDI_LATENCY";
// Notes the time from start to now in the benchmarks' file, when there is one.
void noteLatency(std::chrono::steady_clock::time_point start);

inline std::string formatted(const char* format, const std::string& a, const std::string& b = {})
{
    char text[MAXRBUF];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return text;
}

// What a fatal signal needs to end the moves open: the line, and which axes move. If the driver
// dies anyway, the mount is not left moving.
extern std::atomic<int> ligneDesMouvements;
extern std::atomic<bool> mouvementDEC;
extern std::atomic<bool> mouvementAD;
// Installs the handlers that end the moves on a fatal signal.
void arrêterLesMouvementsSurSignalFatal();

} // namespace indi_driver
