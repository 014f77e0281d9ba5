// SPDX-License-Identifier: GPL-3.0-or-later
// The observing site: where on Earth the telescope stands, as the user gives it.
#pragma once

#include <optional>
#include <string_view>

namespace sky {

struct Lieu {
    double latitude = 0; // degrees, north positive
    double longitude = 0; // degrees, east positive, −180..180
    double altitude = 0; // metres above the ellipsoid
};

// Ranges a site must lie in: the poles, a turn of longitude either way of Greenwich, from the
// shores of the Dead Sea to above the highest summits.
inline constexpr double LatitudeMax = 90.0;
inline constexpr double LongitudeMax = 180.0;
inline constexpr double AltitudeMin = -500.0;
inline constexpr double AltitudeMax = 10000.0;

// A site within those ranges (every value finite).
bool lieuValide(const Lieu& lieu);

// "LAT,LON" or "LAT,LON,ALT" in decimal degrees and metres ("45.76,4.84,200"); blanks around a
// number are allowed. Nothing when the text is malformed or the site out of range.
std::optional<Lieu> lireLieu(std::string_view texte);

} // namespace sky
