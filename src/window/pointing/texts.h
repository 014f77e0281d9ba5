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
// "&Aligner": why it did nothing, and the log line of each star ("Alignement : 3 étoiles, résidu 0,4'").
inline constexpr const char* AlignerSansInitialisation
    = "Alignement impossible : initialisez d'abord sur une étoile de référence (Init référence)";
inline constexpr const char* AlignerSansLieu
    = "Alignement impossible : le lieu d'observation n'est pas connu (option --lieu)";
inline constexpr const char* AlignerSansPosition
    = "Alignement : la position n'a pas pu être lue, l'étoile n'a pas été ajoutée";
inline constexpr const char* AlignementDébut = "Alignement : ";
inline constexpr const char* Étoile = " étoile";
inline constexpr const char* Étoiles = " étoiles";
inline constexpr const char* Résidu = ", résidu ";
inline constexpr const char* Minutes = "'";
// After each star: "Alignement : termes IH ID MA ME, erreur attendue au pire 1,2'".
inline constexpr const char* TermesDébut = "Alignement : termes ";
inline constexpr const char* ErreurAttendue = ", erreur attendue au pire ";
// A GOTO aimed through the model: "Modèle : +12,3' en AD, -4,1' en DEC".
inline constexpr const char* ModèleDébut = "Modèle : ";
inline constexpr const char* ModèleAD = "' en AD, ";
inline constexpr const char* ModèleDEC = "' en DEC";
} // namespace pointing_texts
