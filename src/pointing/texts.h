// SPDX-License-Identifier: GPL-3.0-or-later
// Questions and log texts of the pointing actions (the commands and the GOTO's log lines are the
// protocol's).
#pragma once

namespace pointing_texts {
inline constexpr const char* QuestionInit = "Etes-vous sûr de vouloir initialiser?";
inline constexpr const char* QuestionGoto = "Etes-vous sûr de vouloir faire un GOTO référence?";
inline constexpr const char* HorsLimites = "Coordonnées de référence hors limites";
inline constexpr const char* GotoSansRéponse = "GOTO : pas de réponse du contrôleur";
inline constexpr const char* RienEnvoyé = "Liaison série perdue : rien n'a été envoyé au contrôleur";
} // namespace pointing_texts
