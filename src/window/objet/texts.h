// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the catalogue in the log box.
#pragma once

namespace catalogue_texts {
inline constexpr const char* ObjetChoisi = "Objet : "; // then the object and its place
inline constexpr const char* ObjetInconnu = "Objet inconnu : "; // then what was typed
inline constexpr const char* À = " à "; // then the time of a moving object's place
inline constexpr const char* LuneGéocentrique = "Lune géocentrique : jusqu'à 1° d'écart sans --lieu";
inline constexpr const char* J2000VersDate = "J2000 \u2192 date : "; // a pasted J2000 pair, carried
} // namespace catalogue_texts
