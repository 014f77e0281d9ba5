// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts of autoguiding (the commands of moves, speeds and autoguiding are the protocol's).
#pragma once

namespace motion_texts {
inline constexpr const char* LigneAutoguidageMarche = "Passage en autoguidage";
inline constexpr const char* LigneAutoguidageArrêt = "Fin de l'autoguidage ";
} // namespace motion_texts
