// SPDX-License-Identifier: GPL-3.0-or-later
// Questions and log texts of the pointing actions (the commands and the GOTO's log lines are the
// protocol's).
#pragma once

#include "langue/langue.h"

namespace pointing_texts {
inline constexpr langue::Texte QuestionInit
    = SELVANE_TEXTE("pointing", "Etes-vous sûr de vouloir initialiser?");
inline constexpr langue::Texte QuestionGoto
    = SELVANE_TEXTE("pointing", "Etes-vous sûr de vouloir faire un GOTO référence?");
inline constexpr langue::Texte HorsLimites
    = SELVANE_TEXTE("pointing", "Coordonnées de référence hors limites");
inline constexpr langue::Texte GotoSansRéponse
    = SELVANE_TEXTE("pointing", "GOTO : pas de réponse du contrôleur");
inline constexpr langue::Texte RienEnvoyé
    = SELVANE_TEXTE("pointing", "Liaison série perdue : rien n'a été envoyé au contrôleur");
// A GOTO near the Sun, or below the horizon: a second box after the question, Cancel by default.
inline constexpr langue::Texte AlerteSoleilDébut = SELVANE_TEXTE("pointing", "Attention : la cible est à ");
inline constexpr langue::Texte AlerteSoleilFin = SELVANE_TEXTE("pointing",
    "° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire "
    "rend aveugle en un instant. Continuer ?");
inline constexpr langue::Texte GotoAnnuléSoleil = SELVANE_TEXTE("pointing", "GOTO annulé : Soleil à ");
inline constexpr langue::Texte SousHorizonDébut
    = SELVANE_TEXTE("pointing", "La cible est sous l'horizon (hauteur ");
inline constexpr langue::Texte SousHorizonFin = SELVANE_TEXTE("pointing", "°). Continuer ?");
inline constexpr langue::Texte GotoAnnuléHorizon
    = SELVANE_TEXTE("pointing", "GOTO annulé : cible sous l'horizon (hauteur ");
inline constexpr const char* Degrés = "°";
inline constexpr const char* DegrésFin = "°)";
// "&Aligner": why it did nothing, and the log line of each star ("Alignement : 3 étoiles, résidu 0,4'").
inline constexpr langue::Texte AlignerSansInitialisation = SELVANE_TEXTE(
    "pointing", "Alignement impossible : initialisez d'abord sur une étoile de référence (Init référence)");
inline constexpr langue::Texte AlignerSansLieu = SELVANE_TEXTE(
    "pointing", "Alignement impossible : le lieu d'observation n'est pas connu (option --lieu)");
inline constexpr langue::Texte AlignerSansPosition
    = SELVANE_TEXTE("pointing", "Alignement : la position n'a pas pu être lue, l'étoile n'a pas été ajoutée");
inline constexpr langue::Texte AlignementDébut = SELVANE_TEXTE("pointing", "Alignement : ");
inline constexpr langue::Texte Étoile = SELVANE_TEXTE("pointing", " étoile");
inline constexpr langue::Texte Étoiles = SELVANE_TEXTE("pointing", " étoiles");
inline constexpr langue::Texte Résidu = SELVANE_TEXTE("pointing", ", résidu ");
inline constexpr const char* Minutes = "'";
// After each star: "Alignement : termes IH ID MA ME, erreur attendue au pire 1,2'".
inline constexpr langue::Texte TermesDébut = SELVANE_TEXTE("pointing", "Alignement : termes ");
inline constexpr langue::Texte ErreurAttendue = SELVANE_TEXTE("pointing", ", erreur attendue au pire ");
// A GOTO aimed through the model: "Modèle : +12,3' en AD, -4,1' en DEC".
inline constexpr langue::Texte ModèleDébut = SELVANE_TEXTE("pointing", "Modèle : ");
inline constexpr langue::Texte ModèleAD = SELVANE_TEXTE("pointing", "' en AD, ");
inline constexpr langue::Texte ModèleDEC = SELVANE_TEXTE("pointing", "' en DEC");
} // namespace pointing_texts
