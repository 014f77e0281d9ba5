// SPDX-License-Identifier: GPL-3.0-or-later
// An instant in the two time scales ERFA's routines take.
#pragma once

#include <cstdint>

namespace sky {

struct Dates {
    double utc1 = 0, utc2 = 0; // UTC as ERFA's two-part Julian date
    double tt1 = 0, tt2 = 0; // TT; TDB differs from it by under 2 ms, nothing here
};

// The instant of utcMs (milliseconds since 1970-01-01 00:00 UTC).
Dates dates(std::int64_t utcMs);

// The system clock's present instant, as utcMs.
std::int64_t maintenantMs();

} // namespace sky
