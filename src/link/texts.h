// SPDX-License-Identifier: GPL-3.0-or-later
// Commands and log texts of the controller link.
#pragma once

#include <cstdint>

namespace link_texts {
inline constexpr const char* DemandeAD = ":R#";
inline constexpr const char* DemandeDEC = ":D#";
inline constexpr const char* PréfixeAD = "AD : ";
inline constexpr const char* PréfixeDEC = "DEC: ";
inline constexpr const char* PasDeRéponse = "pas de réponse";
inline constexpr const char* LiaisonPerdue = "Liaison série perdue";
inline constexpr const char* LiaisonRétablie = "Liaison série rétablie";
inline constexpr const char* CommandesPerdues = "Liaison série perdue : commandes non envoyées";
// A position reply that has not ended with its "#" this long after its command is given up.
inline constexpr std::int64_t DélaiRéponsePositionMs = 2000;
// After a time-out, the line must stay quiet this long before the next query, so that the late
// reply is not taken for the next one; the quiet is not awaited longer than the reply limit.
inline constexpr std::int64_t SilenceAvantRequêteMs = 500;
// While the line is suspect, nothing may arrive this long after a reply (a reply at 9600 baud
// takes some 15 ms on the line).
inline constexpr std::int64_t SilenceEntreRéponsesMs = 150;
// More characters than this before the "#" make a reply malformed.
inline constexpr std::size_t LongueurMaxChamps = 32;
// A reply is not collected beyond this many characters (the line is garbled).
inline constexpr std::size_t LongueurMaxRéponse = 1024;
} // namespace link_texts
