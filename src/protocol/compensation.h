// SPDX-License-Identifier: GPL-3.0-or-later
// The time compensation of a GOTO: the sky turns while the mount slews, so the right ascension is
// aimed again, lower by the angle the sky turned.
#pragma once

#include <cstdint>
#include <string>

namespace protocol {

struct HeureDuJour {
    int hour = 0; // 0..23
    int minute = 0; // 0..59
    int second = 0; // 0..59, whole seconds
};

// The clock angle of a time of day in degrees (15 per hour), less the origin.
float angleHorloge(const HeureDuJour& t, float origine);
// How far the sky turned during a slew, in degrees, from the clock angles at its start and end (a
// slew across midnight wraps). When the monotonic duration disagrees by more than a moment, the
// clock was set during the slew and the monotonic duration is used instead.
float écartRalliement(float début, float fin, std::int64_t duréeMonotoneMs);
// The right ascension to aim at once the sky has turned by écart degrees, kept in 0..360.
double ADcompensé(double AD, float écart);
// The log line of a compensation: écart in arc minutes with the given decimal separator.
std::string ligneCompensation(float écart, const std::string& séparateurDécimal);

} // namespace protocol
