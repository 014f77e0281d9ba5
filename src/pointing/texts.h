// SPDX-License-Identifier: GPL-3.0-or-later
// Commands, questions and log texts of the pointing actions.
#pragma once

#include <cstdint>

namespace pointing_texts {
inline constexpr const char* QuestionInit = "Etes-vous sûr de vouloir initialiser?";
inline constexpr const char* SystèmeInitialisé = "Système Selvane initialisé";
inline constexpr const char* QuestionGoto = "Etes-vous sûr de vouloir faire un GOTO référence?";
inline constexpr const char* HorsLimites = "Coordonnées de référence hors limites";
inline constexpr const char* GotoAD = "GOTO AD : ";
inline constexpr const char* GotoEnProgression = "GOTO en progression... ";
inline constexpr const char* GotoAtteint = "GOTO Référence atteint ! ";
inline constexpr const char* GotoSansRéponse = "GOTO : pas de réponse du contrôleur";
inline constexpr const char* ErreurCompensation = "Erreur de compensation temporelle : ";
inline constexpr const char* CorrectionGoto = "Correction temporelle GOTO ... ";
inline constexpr const char* CiblePointée = "Cible Référence pointée! ";
inline constexpr const char* RienEnvoyé = "Liaison série perdue : rien n'a été envoyé au contrôleur";
// A GOTO near the Sun, or below the horizon: a second box after the question, Cancel by default.
inline constexpr double DistanceSoleilMin = 15.0; // degrees
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
// The target commands wrap the encoders' texts: ":r" … "#" and ":d" … "#".
inline constexpr const char* CibleAD = ":r";
inline constexpr const char* CibleDEC = ":d";
inline constexpr const char* FinCommande = "#";
inline constexpr const char* Initialiser = ":i#";
inline constexpr const char* Pointer = ":T#";
inline constexpr const char* FinDeRalliement = "Ok";
// Longest a slew may take before the GOTO gives up waiting for "Ok".
inline constexpr std::int64_t DélaiOkMs = 300'000;
// The reply text of a wait keeps only its last characters.
inline constexpr std::size_t LongueurMaxRéponseOk = 1000;
// The clock shows whole seconds; beyond this the clock angle and the monotonic clock disagree.
inline constexpr double ÉcartHorlogesMaxS = 2.0;
// Seconds of time per degree of clock angle.
inline constexpr double SecondesParDegré = 240.0;
// Degrees in a turn of the clock angle (midnight) and of right ascension.
inline constexpr float TourHoraire = 360.0f;
inline constexpr double TourAD = 360.0;
} // namespace pointing_texts
