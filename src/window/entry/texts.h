// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the coordinate entry: spin wrap values and the clipboard import's log lines.
#pragma once

#include "langue/langue.h"

#include <cstddef>

namespace entry_texts {
// What a field becomes when an arrow steps it one past the end of its range.
inline constexpr const char* BoucleZéro = "0";       // 24 hours, 60 minutes or seconds
inline constexpr const char* BoucleHeures = "23";    // -1 hours
inline constexpr const char* BoucleSoixantième = "59"; // -1 minutes or seconds
inline constexpr const char* BouclePôleNord = "90";  // -91 degrees
inline constexpr const char* BouclePôleSud = "-90";  // 91 degrees

// The log box after an import: this header, then the clipboard's text.
inline constexpr langue::Texte EnTêtePressePapier = SELVANE_TEXTE("entry", "Presse papier: \r\n");
inline constexpr langue::Texte CoordonnéesNonReconnues = SELVANE_TEXTE("entry", "Coordonnées non reconnues");
// The log box shows at most this many bytes of the clipboard, then the mark: a long line costs
// the text layout time that grows with its square, and a clipboard may hold anything.
inline constexpr std::size_t LongueurPressePapierAffichée = 4096;
inline constexpr langue::Texte MarqueCoupé
    = SELVANE_TEXTE("entry", " […] (presse papier coupé pour l'affichage)");
} // namespace entry_texts
