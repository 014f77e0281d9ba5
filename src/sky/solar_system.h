// SPDX-License-Identifier: GPL-3.0-or-later
// The Sun, the Moon and the planets: their apparent places of the date, computed at the moment
// they are asked for (ERFA), and what a GOTO needs to know about the sky (distance from the Sun,
// height above the horizon).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "sky/site.h"

namespace sky {

// A GOTO whose target lies closer than this to the Sun (degrees) needs the user's say-so.
inline constexpr double DistanceSoleilMin = 15.0;

enum class Corps { Soleil, Lune, Mercure, Vénus, Mars, Jupiter, Saturne, Uranus, Neptune };
inline constexpr std::size_t NombreDeCorps = 9;

struct NomsDuCorps {
    Corps corps;
    const char* français;
    const char* anglais; // the same name when both languages agree
};
// Every body, the Sun first, then the Moon, then the planets outwards.
const std::array<NomsDuCorps, NombreDeCorps>& corpsDuSystèmeSolaire();

// A place on the sky: right ascension and declination in degrees, 0 ≤ ad < 360.
struct Place {
    double ad = 0;
    double dec = 0;
};

// The apparent place of a body at utcMs (Unix milliseconds): light time, deflection by the Sun,
// aberration, precession and nutation, equator and equinox of the date, as the catalogue's
// places. Seen from the site when one is given (the Moon moves by up to 1° between the centre of
// the Earth and its surface), else from the centre of the Earth.
Place placeApparente(Corps corps, std::int64_t utcMs, const std::optional<Lieu>& lieu);
// All of them at once, in the order of corpsDuSystèmeSolaire().
std::array<Place, NombreDeCorps> placesApparentes(std::int64_t utcMs, const std::optional<Lieu>& lieu);

// The angle between two places, in degrees.
double séparation(const Place& a, const Place& b);

// How high a place of the date stands above the site's horizon at utcMs, in degrees (negative
// below it), without refraction.
double hauteur(const Place& place, std::int64_t utcMs, const Lieu& lieu);

// The whole degrees said of an angle to the Sun or a height (the part below a degree dropped,
// toward −∞: 0.4° below the horizon is "-1").
int degrésEntiers(double angle);

// The local apparent sidereal time at the site at utcMs, in degrees, 0 ≤ t < 360 (UT1 taken as
// UTC): a place's hour angle is this less its right ascension of the date.
double tempsSidéralLocal(std::int64_t utcMs, const Lieu& lieu);

} // namespace sky
