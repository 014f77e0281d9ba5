// SPDX-License-Identifier: GPL-3.0-or-later
// Texts and settings of the application shell, as the user sees them.
#pragma once

#include "langue/langue.h"

namespace app_texts {
inline constexpr langue::Texte PortIndisponible
    = SELVANE_TEXTE("app", ": non disponible. Changez la propriété CommPort pour un autre port.");
inline constexpr langue::Texte QuestionQuitter = SELVANE_TEXTE("app", "Etes-vous sûr de vouloir quitter?");
inline constexpr const char* ParamètresLigne = "9600,N,8,1";
inline constexpr int NuméroPort = 1;
// Exit statuses: the user quit, or the program could not start.
inline constexpr int StatutQuitter = 0;
inline constexpr int StatutPortIndisponible = 1;
} // namespace app_texts
