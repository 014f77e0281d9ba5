// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts and waits of the controller link (the commands are the protocol's).
#pragma once

#include <cstdint>

namespace link_texts {
inline constexpr const char* PréfixeAD = "AD : ";
inline constexpr const char* PréfixeDEC = "DEC: ";
inline constexpr const char* PasDeRéponse = "pas de réponse";
inline constexpr const char* LiaisonPerdue = "Liaison série perdue";
inline constexpr const char* LiaisonRétablie = "Liaison série rétablie";
inline constexpr const char* CommandesPerdues = "Liaison série perdue : commandes non envoyées";
// After a time-out, the line must stay quiet this long before the next query, so that the late
// reply is not taken for the next one; the quiet is not awaited longer than the reply limit.
inline constexpr std::int64_t SilenceAvantRequêteMs = 500;
} // namespace link_texts
