// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the coordinate entry: spin wrap values and the clipboard import's log lines.
#pragma once

namespace entry_texts {
// What a field becomes when an arrow steps it one past the end of its range.
inline constexpr const char* BoucleZéro = "0";       // 24 hours, 60 minutes or seconds
inline constexpr const char* BoucleHeures = "23";    // -1 hours
inline constexpr const char* BoucleSoixantième = "59"; // -1 minutes or seconds
inline constexpr const char* BouclePôleNord = "90";  // -91 degrees
inline constexpr const char* BouclePôleSud = "-90";  // 91 degrees

// The log box after an import: this header, then the clipboard's text.
inline constexpr const char* EnTêtePressePapier = "Presse papier: \r\n";
inline constexpr const char* CoordonnéesNonReconnues = "Coordonnées non reconnues";
} // namespace entry_texts
