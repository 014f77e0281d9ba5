// SPDX-License-Identifier: GPL-3.0-or-later
#include "sky/dates.h"

#include <chrono>
#include <cmath>

#include <erfa.h>
#include <erfam.h>

namespace sky {

namespace {
constexpr double JourJulienUnix = 2440587.5; // 1970-01-01 00:00 UTC
constexpr double MsParJour = 86400000.0;
// TT − UTC when the date is outside what ERFA can convert (far past): the value of 2017 on.
constexpr double TTmoinsUTCSecondes = 69.184;
} // namespace

Dates dates(std::int64_t utcMs)
{
    Dates d;
    d.utc1 = JourJulienUnix + std::floor(static_cast<double>(utcMs) / MsParJour);
    d.utc2 = (static_cast<double>(utcMs) - (d.utc1 - JourJulienUnix) * MsParJour) / MsParJour;
    double tai1 = 0, tai2 = 0;
    if (eraUtctai(d.utc1, d.utc2, &tai1, &tai2) < 0 || eraTaitt(tai1, tai2, &d.tt1, &d.tt2) != 0) {
        d.tt1 = d.utc1;
        d.tt2 = d.utc2 + TTmoinsUTCSecondes / ERFA_DAYSEC;
    }
    return d;
}

std::int64_t maintenantMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace sky
