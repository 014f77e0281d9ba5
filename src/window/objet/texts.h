// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the catalogue in the log box.
#pragma once

#include "langue/langue.h"

namespace catalogue_texts {
inline constexpr langue::Texte ObjetChoisi
    = SELVANE_TEXTE("catalogue", "Objet : "); // then the object and its place
inline constexpr langue::Texte ObjetInconnu
    = SELVANE_TEXTE("catalogue", "Objet inconnu : "); // then what was typed
inline constexpr langue::Texte À
    = SELVANE_TEXTE("catalogue", " à "); // then the time of a moving object's place
inline constexpr langue::Texte LuneGéocentrique
    = SELVANE_TEXTE("catalogue", "Lune géocentrique : jusqu'à 1° d'écart sans --lieu");
inline constexpr langue::Texte J2000VersDate
    = SELVANE_TEXTE("catalogue", "J2000 \u2192 date : "); // a pasted J2000 pair, carried
} // namespace catalogue_texts
