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
// A GOTO near the Sun, or below the horizon: a second box after the question, Cancel by default.
inline constexpr const char* AlerteSoleilDébut = "Attention : la cible est à ";
inline constexpr const char* AlerteSoleilFin
    = "° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire "
      "rend aveugle en un instant. Continuer ?";
inline constexpr const char* GotoAnnuléSoleil = "GOTO annulé : Soleil à ";
inline constexpr const char* SousHorizonDébut = "La cible est sous l'horizon (hauteur ";
inline constexpr const char* SousHorizonFin = "°). Continuer ?";
inline constexpr const char* GotoAnnuléHorizon = "GOTO annulé : cible sous l'horizon (hauteur ";
inline constexpr const char* Degrés = "°";
inline constexpr const char* DegrésFin = "°)";
} // namespace pointing_texts
