// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts of autoguiding (the commands of moves, speeds and autoguiding are the protocol's).
#pragma once

namespace motion_texts {
inline constexpr const char* LigneAutoguidageMarche = "Passage en autoguidage";
inline constexpr const char* LigneAutoguidageArrêt = "Fin de l'autoguidage ";
// The keys that do what a button does, added to its tooltip.
inline constexpr const char* ToucheNord = "Ctrl+Flèche haut (maintenir)";
inline constexpr const char* ToucheSud = "Ctrl+Flèche bas (maintenir)";
inline constexpr const char* ToucheEst = "Ctrl+Flèche gauche (maintenir)";
inline constexpr const char* ToucheOuest = "Ctrl+Flèche droite (maintenir)";
inline constexpr const char* ToucheVitesse = "Ctrl+%1";
} // namespace motion_texts
