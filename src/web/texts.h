// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of selvane-web that the window does not have (the window's own come from its folders).
#pragma once

#include "langue/langue.h"

#include <cstdint>

namespace web_texts {
inline constexpr const char* Programme = "selvane-web";
inline constexpr langue::Texte Description
    = SELVANE_TEXTE("web", "Raquette de commande Selvane V2.2 dans le navigateur d'un téléphone.");
// A held move whose page fell silent, or closed, is ended by the server.
inline constexpr langue::Texte MouvementSansNouvelles
    = SELVANE_TEXTE("web", "Mouvement arrêté : la page qui le tenait ne répond plus");
inline constexpr langue::Texte MouvementTropLong
    = SELVANE_TEXTE("web", "Mouvement arrêté au bout de %1 s : durée max. d'un mouvement atteinte");
inline constexpr langue::Texte GotoDéjàEnCours
    = SELVANE_TEXTE("web", "GOTO refusé : un GOTO est déjà en cours");
inline constexpr langue::Texte InitPendantGoto = SELVANE_TEXTE("web", "Init refusée : un GOTO est en cours");
inline constexpr langue::Texte GotoTerminé = SELVANE_TEXTE("web", "GOTO terminé");
inline constexpr langue::Texte RéponseIllisible = SELVANE_TEXTE("web", "réponse illisible : ");
// The line that does not open, worded as the window words it: "DEVICE: reason".
inline constexpr const char* PortIndisponible = "%1: %2";
inline constexpr langue::Texte AucunPériphérique
    = SELVANE_TEXTE("web", "aucun périphérique de ce nom (branché ?)");
inline constexpr langue::Texte Simulateur = SELVANE_TEXTE("web", "simulateur de monture sur %1");
inline constexpr langue::Texte SimulateurImpossible
    = SELVANE_TEXTE("web", "le simulateur n'a pas pu démarrer");
inline constexpr langue::Texte ÉcouteImpossible
    = SELVANE_TEXTE("web", "--listen %1 : impossible d'écouter (%2)");
inline constexpr langue::Texte ListenInvalide
    = SELVANE_TEXTE("web", "--listen %1 : attendu ADRESSE:PORT, par exemple 0.0.0.0:7626");
inline constexpr langue::Texte SurLeRéseau = SELVANE_TEXTE(
    "web", "Sur le réseau : quiconque a cette adresse (et son jeton) peut déplacer la monture.");
// The page's own texts, as it shows them in French: a page that reads English is sent their English
// when it joins, and puts it in their place. The window's captions keep the window's context.
inline constexpr langue::Texte TextesDeLaPage[] = {
    SELVANE_TEXTE("window", "Sidéral"),
    SELVANE_TEXTE("window", "Rattrapage"),
    SELVANE_TEXTE("window", "Centrage"),
    SELVANE_TEXTE("window", "Rapide"),
    SELVANE_TEXTE("window", "Autoguidage"),
    SELVANE_TEXTE("window", "Bascule l'autoguidage sur la raquette"),
    SELVANE_TEXTE("window", "Objet :"),
    SELVANE_TEXTE("window", "Heures"),
    SELVANE_TEXTE("window", "Minutes"),
    SELVANE_TEXTE("window", "Secondes"),
    SELVANE_TEXTE("window", "Degrés"),
    SELVANE_TEXTE("window", "OK"),
    SELVANE_TEXTE("window", "Annuler"),
    SELVANE_TEXTE("page", "O"),
    SELVANE_TEXTE("page", "Nuit"),
    SELVANE_TEXTE("page", "Vitesse"),
    SELVANE_TEXTE("page", "Objet"),
    SELVANE_TEXTE("page", "Coordonnées à coller"),
    SELVANE_TEXTE("page", "Récupère coord presse papier"),
    SELVANE_TEXTE("page", "GOTO référence"),
    SELVANE_TEXTE("page", "Init référence"),
    SELVANE_TEXTE("page", "Aligner"),
    SELVANE_TEXTE("page", "Journal"),
    SELVANE_TEXTE("page", "Liaison avec selvane-web perdue"),
    SELVANE_TEXTE("page", "Alignement : "),
    SELVANE_TEXTE("page", " étoiles"),
    SELVANE_TEXTE("page", " étoile"),
};
} // namespace web_texts

namespace web_limits {
// The page beats at least this often while a move is held; the server stops a move after the
// silence limit without a beat.
inline constexpr int BattementMs = 250;
inline constexpr int SilenceMaxMs = 1000;
// How often the server looks at the held moves while one is open.
inline constexpr int VeilleMs = 100;
// A move held longer than this is ended, as the driver's MOTION_TIMEOUT does by default.
inline constexpr int DuréeMaxMouvementS = 120;
// The window's periodic position query.
inline constexpr int IntervalleRequêteMs = 3000;
// Requests and messages larger than this are refused, and connections beyond the count.
inline constexpr int TailleMaxMessage = 8 * 1024;
inline constexpr int ConnexionsMax = 16;
// A connection that has not become a live channel is closed after this long.
inline constexpr int InactivitéMaxMs = 10000;
// Suggestions sent for a search, as many as the page shows.
inline constexpr int PropositionsMax = 12;
// The token's length in bytes (128 bits).
inline constexpr int OctetsJeton = 16;
inline constexpr std::uint16_t PortParDéfaut = 7626;
// At start-up a network line is awaited this long.
inline constexpr int ConnexionRéseauMaxMs = 2000;
} // namespace web_limits
