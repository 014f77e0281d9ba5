// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts and waits of the controller link (the commands are the protocol's).
#pragma once

#include "langue/langue.h"

#include <cstdint>

namespace link_texts {
inline constexpr langue::Texte PréfixeAD = SELVANE_TEXTE("link", "AD : ");
inline constexpr langue::Texte PréfixeDEC = SELVANE_TEXTE("link", "DEC: ");
inline constexpr langue::Texte PasDeRéponse = SELVANE_TEXTE("link", "pas de réponse");
inline constexpr langue::Texte LiaisonPerdue = SELVANE_TEXTE("link", "Liaison série perdue");
inline constexpr langue::Texte LiaisonRétablie = SELVANE_TEXTE("link", "Liaison série rétablie");
inline constexpr langue::Texte CommandesPerdues
    = SELVANE_TEXTE("link", "Liaison série perdue : commandes non envoyées");
// After a time-out, the line must stay quiet this long before the next query, so that the late
// reply is not taken for the next one; the quiet is not awaited longer than the reply limit.
inline constexpr std::int64_t SilenceAvantRequêteMs = 500;
} // namespace link_texts
