// SPDX-License-Identifier: GPL-3.0-or-later
// Observing lists planned elsewhere: SkySafari's .skylist, Stellarium's observing-list JSON, a CSV
// whose header names its columns, or names one a line. Each entry becomes a catalogue object (found
// by name) or, for a name the catalogue lacks, an object made of the J2000 place the file gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sky/catalogue.h"

namespace liste {

// Larger files are refused unread: a list of thousands of objects is a few hundred kB.
inline constexpr std::uintmax_t TailleMax = 4 * 1024 * 1024;

enum class Format { SkySafari, Stellarium, Csv, Noms };

struct Entrée {
    std::size_t ligne = 0; // where it stands in the file; for Stellarium its rank in the list
    // The catalogue's object (which lives as long as the program), else one made of the file's place.
    const catalogue::Objet* duCatalogue = nullptr;
    std::shared_ptr<const catalogue::Objet> place;
    const catalogue::Objet& objet() const { return duCatalogue ? *duCatalogue : *place; }
};

// An entry that could not be read or whose object is unknown: where, and what it held.
struct Illisible {
    std::size_t ligne = 0;
    std::string texte;
};

enum class Refus { Aucun, Introuvable, TropGrand, Binaire, Malformé };

struct Lecture {
    Refus refus = Refus::Aucun;
    Format format = Format::Noms;
    std::vector<Entrée> entrées;
    std::vector<Illisible> illisibles;
    // Fingerprint of the bytes read (FNV-1a, 16 hex digits), to know a file changed since.
    std::string empreinte;
};

// Reads a list from its bytes (UTF-8, else Latin-1; a byte order mark is skipped).
Lecture lire(std::string_view contenu);
// Reads the file: Introuvable when it is not a readable file, TropGrand beyond TailleMax (unread).
Lecture lireFichier(const std::string& chemin);

// Where the header names no unit, a decimal right ascension is not read: 5.5 could be hours or degrees.
enum class Unité { Inconnue, Heures, Degré };
// A right ascension as lists write it, in degrees 0 ≤ ad < 360: "05:35:17.3", "5h35m17s", "05 35 17",
// or a decimal number in the column's unit.
std::optional<double> lireAD(std::string_view texte, Unité unité);
// A declination in degrees: "-05:23:28", "+33°01'45\"", "-5d23m28s", "-5.39".
std::optional<double> lireDEC(std::string_view texte);

} // namespace liste
