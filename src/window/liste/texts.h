// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the observing list: its buttons, its lines in the log box, its refusals.
#pragma once

namespace liste_texts {
// The buttons, the file box.
inline constexpr const char* BoutonListe = "Liste\u2026";
inline constexpr const char* BulleListe
    = "Ouvre une liste d'observation : SkySafari (.skylist), Stellarium (.json), CSV ou un nom par ligne";
inline constexpr const char* BoutonPrécédent = "Précédent";
inline constexpr const char* BullePrécédent = "Objet précédent de la liste (Page préc.)";
inline constexpr const char* BoutonSuivant = "Suivant";
inline constexpr const char* BulleSuivant = "Objet suivant de la liste (Page suiv.)";
inline constexpr const char* TitreFichier = "Liste d'observation";
inline constexpr const char* FiltreFichier
    = "Listes d'observation (*.skylist *.json *.csv *.txt);;Tous les fichiers (*)";

// The log box: "Liste : 1/24 M 57", then the "Objet :" line.
inline constexpr const char* Rang = "Liste : ";
inline constexpr const char* Lue = " objets lus dans "; // after "Liste : 24", then the file
inline constexpr const char* LigneIllisible = "Liste : ligne "; // then its number, then IllisibleÀ
inline constexpr const char* ObjetIllisible = "Liste : objet "; // Stellarium's entries have no line
inline constexpr const char* Illisible = " illisible ou inconnu : "; // then what it held
inline constexpr const char* AutresIllisibles = " autres entrées illisibles"; // after "Liste : N"
inline constexpr const char* Introuvable = "Liste de la dernière séance introuvable : ";
inline constexpr const char* Modifiée = "Liste modifiée depuis la dernière séance, reprise au début : ";
inline constexpr const char* IllisibleAuDépart = "Liste de la dernière séance illisible : ";

// Refusals, in a box, then the file.
inline constexpr const char* RefusIntrouvable = "Fichier introuvable ou illisible : ";
inline constexpr const char* RefusTropGrand
    = "Fichier trop gros pour une liste d'observation (plus de 4 Mo) : ";
inline constexpr const char* RefusBinaire = "Ce fichier n'est pas du texte : ";
inline constexpr const char* RefusMalformé = "Liste Stellarium mal formée : ";
inline constexpr const char* RefusVide = "Aucun objet lisible dans cette liste : ";
} // namespace liste_texts
