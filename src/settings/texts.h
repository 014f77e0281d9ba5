// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the remembered settings: the site's refusal, shared by --lieu and the site dialog, and
// the lines that say which site is in force and where it comes from.
#pragma once

namespace settings_texts {
// The word that forgets the saved site, on the command line and in the dialog.
inline constexpr const char* Aucun = "aucun";
// A site that does not read: "%1" is what the user wrote.
inline constexpr const char* LieuInvalide
    = "--lieu %1 : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude "
      "entre -180 et 180 (est positive), altitude entre -500 et 10000 m";
inline constexpr const char* LieuInvalideDialogue
    = "« %1 » : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude "
      "entre -180 et 180 (est positive), altitude entre -500 et 10000 m, ou « aucun »";
// At start: the site in force and where it comes from (%1 the site, %2 the file).
inline constexpr const char* LieuDeLOption = "lieu d'observation %1 (--lieu, enregistré dans %2)";
inline constexpr const char* LieuEnregistré = "lieu d'observation %1 (enregistré dans %2)";
inline constexpr const char* LieuOublié = "lieu d'observation oublié (--lieu aucun)";
inline constexpr const char* LieuNonEnregistré = "lieu d'observation %1 (--lieu ; non enregistré : %2 inaccessible)";
// A saved file or value that does not read is ignored, in one line.
inline constexpr const char* FichierIllisible = "réglages enregistrés ignorés : %1 illisible";
inline constexpr const char* LieuEnregistréIllisible = "lieu enregistré ignoré : « %1 » dans %2 ne se lit pas";
// The site dialog, and what it logs in the window.
inline constexpr const char* TitreDialogue = "Lieu d'observation";
inline constexpr const char* ExplicationDialogue
    = "Latitude, longitude en degrés décimaux (nord et est positifs) et altitude en mètres : 45.76,4.84,200. "
      "Vide ou « aucun » : pas de lieu.";
inline constexpr const char* Annuler = "Annuler";
inline constexpr const char* LigneLieuChoisi = "Lieu d'observation : %1";
inline constexpr const char* LigneLieuOublié = "Lieu d'observation oublié";
} // namespace settings_texts
