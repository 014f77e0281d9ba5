// SPDX-License-Identifier: GPL-3.0-or-later
// The log lines of a GOTO, written alike by every front end.
#pragma once

#include "langue/langue.h"

namespace protocol_texts {
inline constexpr langue::Texte GotoAD = SELVANE_TEXTE("protocol", "GOTO AD : ");
inline constexpr langue::Texte GotoEnProgression = SELVANE_TEXTE("protocol", "GOTO en progression... ");
inline constexpr langue::Texte GotoAtteint = SELVANE_TEXTE("protocol", "GOTO Référence atteint ! ");
inline constexpr langue::Texte ErreurCompensation
    = SELVANE_TEXTE("protocol", "Erreur de compensation temporelle : ");
inline constexpr langue::Texte CorrectionGoto = SELVANE_TEXTE("protocol", "Correction temporelle GOTO ... ");
inline constexpr langue::Texte CiblePointée = SELVANE_TEXTE("protocol", "Cible Référence pointée! ");
inline constexpr langue::Texte SystèmeInitialisé = SELVANE_TEXTE("protocol", "Système Selvane initialisé");
} // namespace protocol_texts
