// SPDX-License-Identifier: GPL-3.0-or-later
// The log lines of a GOTO, written alike by every front end.
#pragma once

namespace protocol_texts {
inline constexpr const char* GotoAD = "GOTO AD : ";
inline constexpr const char* GotoEnProgression = "GOTO en progression... ";
inline constexpr const char* GotoAtteint = "GOTO Référence atteint ! ";
inline constexpr const char* ErreurCompensation = "Erreur de compensation temporelle : ";
inline constexpr const char* CorrectionGoto = "Correction temporelle GOTO ... ";
inline constexpr const char* CiblePointée = "Cible Référence pointée! ";
inline constexpr const char* SystèmeInitialisé = "Système Selvane initialisé";
} // namespace protocol_texts
