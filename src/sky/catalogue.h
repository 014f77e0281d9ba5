// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in object catalogue: OpenNGC (Messier, NGC, IC), the Caldwell numbers and the stars to
// magnitude 8 at J2000, found by name through an index, and carried to their place of the date.
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
    std::string genre; // OpenNGC's type code ("G", "OCl", "Neb", ...); "*" for a star
    std::optional<double> taille; // major axis, arcmin
    // Set for the Sun, the Moon and the planets, whose place is computed at the moment.
    std::optional<sky::Corps> corps;

    // "M 42 (Orion Nebula)", or the designation alone.
    std::string libellé() const;
};

// Every object: the Sun, the Moon and the planets, then the table in its order (Messier, NGC, IC,
// Caldwell, stars). Read and indexed once, on first use or in the background from préparer().
const std::vector<Objet>& objets();

// Starts reading and indexing the table on a thread of its own, so that a program's start does
// not wait for it; the first search waits only for what is left.
void préparer();

// The ranking magnitude: the magnitude when known; else one estimated from the type and the size
// (a large nebula before a small one, extended objects before galaxies, faint stars and
// unclassified entries last); the Sun, the Moon and the planets before everything.
double éclat(const Objet& objet);

// A name as it is matched: letters and digits only, lower case, accents dropped ("M 42" → "m42").
std::string clé(std::string_view nom);

// The objects one of whose names (or a word of one) starts with what was typed, best first: a
// name typed in full (a designation, then a common name, then another name), then names that
// start with it, then words; the brighter first within each (see éclat). At most `maximum`;
// nothing for a text without a letter or a digit. Found through a sorted index: a keystroke costs
// a few binary searches and `maximum` steps, whatever the size of the table.
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
