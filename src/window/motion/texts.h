// SPDX-License-Identifier: GPL-3.0-or-later
// Log texts of autoguiding (the commands of moves, speeds and autoguiding are the protocol's).
#pragma once

#include "langue/langue.h"

namespace motion_texts {
inline constexpr langue::Texte LigneAutoguidageMarche = SELVANE_TEXTE("motion", "Passage en autoguidage");
inline constexpr langue::Texte LigneAutoguidageArrêt = SELVANE_TEXTE("motion", "Fin de l'autoguidage ");
} // namespace motion_texts
