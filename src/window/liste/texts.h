// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the observing list: its buttons, its lines in the log box, its refusals.
#pragma once

#include "langue/langue.h"

namespace liste_texts {
// The buttons, the file box.
inline constexpr langue::Texte BoutonListe = SELVANE_TEXTE("liste", "Liste…");
inline constexpr langue::Texte BulleListe = SELVANE_TEXTE("liste", "Ouvre une liste d'observation : SkySafari (.skylist), Stellarium (.json), CSV ou un nom par ligne");
inline constexpr langue::Texte BoutonPrécédent = SELVANE_TEXTE("liste", "Précédent");
inline constexpr langue::Texte BullePrécédent = SELVANE_TEXTE("liste", "Objet précédent de la liste (Page préc.)");
inline constexpr langue::Texte BoutonSuivant = SELVANE_TEXTE("liste", "Suivant");
inline constexpr langue::Texte BulleSuivant = SELVANE_TEXTE("liste", "Objet suivant de la liste (Page suiv.)");
inline constexpr langue::Texte TitreFichier = SELVANE_TEXTE("liste", "Liste d'observation");
inline constexpr langue::Texte FiltreFichier = SELVANE_TEXTE("liste", "Listes d'observation (*.skylist *.json *.csv *.txt);;Tous les fichiers (*)");

// The log box: "Liste : 1/24 M 57", then the "Objet :" line.
inline constexpr langue::Texte Rang = SELVANE_TEXTE("liste", "Liste : ");
inline constexpr langue::Texte Lue = SELVANE_TEXTE("liste", " objets lus dans "); // after "Liste : 24", then the file
inline constexpr langue::Texte LigneIllisible = SELVANE_TEXTE("liste", "Liste : ligne "); // then its number, then IllisibleÀ
inline constexpr langue::Texte ObjetIllisible = SELVANE_TEXTE("liste", "Liste : objet "); // Stellarium's entries have no line
inline constexpr langue::Texte Illisible = SELVANE_TEXTE("liste", " illisible ou inconnu : "); // then what it held
inline constexpr langue::Texte AutresIllisibles = SELVANE_TEXTE("liste", " autres entrées illisibles"); // after "Liste : N"
inline constexpr langue::Texte Introuvable = SELVANE_TEXTE("liste", "Liste de la dernière séance introuvable : ");
inline constexpr langue::Texte Modifiée = SELVANE_TEXTE("liste", "Liste modifiée depuis la dernière séance, reprise au début : ");
inline constexpr langue::Texte IllisibleAuDépart = SELVANE_TEXTE("liste", "Liste de la dernière séance illisible : ");

// Refusals, in a box, then the file.
inline constexpr langue::Texte RefusIntrouvable = SELVANE_TEXTE("liste", "Fichier introuvable ou illisible : ");
inline constexpr langue::Texte RefusTropGrand = SELVANE_TEXTE("liste", "Fichier trop gros pour une liste d'observation (plus de 4 Mo) : ");
inline constexpr langue::Texte RefusBinaire = SELVANE_TEXTE("liste", "Ce fichier n'est pas du texte : ");
inline constexpr langue::Texte RefusMalformé = SELVANE_TEXTE("liste", "Liste Stellarium mal formée : ");
inline constexpr langue::Texte RefusVide = SELVANE_TEXTE("liste", "Aucun objet lisible dans cette liste : ");
} // namespace liste_texts
