// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in object catalogue: Messier, bright NGC/IC objects and named stars at J2000, found by
// name, and carried to their place of the date.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sky/site.h"
#include "sky/solar_system.h"

namespace catalogue {

struct Objet {
    std::string désignation; // "M 42", "NGC 869", "Vega"
    std::string nomCourant; // shown with the designation; may be empty
    std::vector<std::string> autresNoms;
    double ad2000 = 0; // degrees
    double dec2000 = 0; // degrees
    double pmAD = 0; // mas/yr, in RA times cos Dec
    double pmDEC = 0; // mas/yr
    std::optional<double> magnitude;
    // Set for the Sun, the Moon and the planets, whose place is computed at the moment.
    std::optional<sky::Corps> corps;

    // "M 42 (Orion Nebula)", or the designation alone.
    std::string libellé() const;
};

// Every object: the Sun, the Moon and the planets, then the table in its order (Messier, NGC, IC,
// stars). Read once, on first use.
const std::vector<Objet>& objets();

// A name as it is matched: letters and digits only, lower case, accents dropped ("M 42" → "m42").
std::string clé(std::string_view nom);

// The objects one of whose names (or a word of one) starts with what was typed, best first: a
// name typed in full, then names that start with it, then words; table order within each. At
// most `maximum`; nothing for a text without a letter or a digit.
std::vector<const Objet*> chercher(std::string_view saisie, std::size_t maximum);

// The object shown as this label, else the first one found; nullptr when none.
const Objet* trouver(std::string_view saisie);

// Degrees, 0 ≤ ad < 360.
using Position = sky::Place;

// A J2000 place and its proper motion carried to the apparent geocentric place of the moment
// utcMs (Unix milliseconds), equator and equinox of the date, as planetariums show "on date".
Position positionDuJour(double ad2000, double dec2000, double pmAD, double pmDEC, std::int64_t utcMs);
// The same for an object, seen from the site when one is given (which only moves the solar-system
// bodies).
Position positionDuJour(
    const Objet& objet, std::int64_t utcMs, const std::optional<sky::Lieu>& lieu = std::nullopt);

} // namespace catalogue
