// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts of autoguiding (the commands of moves, speeds and autoguiding are the protocol's).
#pragma once

#include "langue/langue.h"

namespace motion_texts {
inline constexpr langue::Texte LigneAutoguidageMarche = SELVANE_TEXTE("motion", "Passage en autoguidage");
inline constexpr langue::Texte LigneAutoguidageArrêt = SELVANE_TEXTE("motion", "Fin de l'autoguidage ");
// The keys that do what a button does, added to its tooltip.
inline constexpr langue::Texte ToucheNord = SELVANE_TEXTE("motion", "Ctrl+Flèche haut (maintenir)");
inline constexpr langue::Texte ToucheSud = SELVANE_TEXTE("motion", "Ctrl+Flèche bas (maintenir)");
inline constexpr langue::Texte ToucheEst = SELVANE_TEXTE("motion", "Ctrl+Flèche gauche (maintenir)");
inline constexpr langue::Texte ToucheOuest = SELVANE_TEXTE("motion", "Ctrl+Flèche droite (maintenir)");
inline constexpr const char* ToucheVitesse = "Ctrl+%1";
} // namespace motion_texts
