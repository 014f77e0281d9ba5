// SPDX-License-Identifier: GPL-3.0-or-later
// Texts of the remembered settings: the site's refusal, shared by --lieu and the site dialog, and
// the lines that say which site is in force and where it comes from.
#pragma once

#include "langue/langue.h"

namespace settings_texts {
// The word that forgets the saved site, on the command line and in the dialog.
inline constexpr const char* Aucun = "aucun";
// A site that does not read: "%1" is what the user wrote.
inline constexpr langue::Texte LieuInvalide = SELVANE_TEXTE("settings", "--lieu %1 : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude "
      "entre -180 et 180 (est positive), altitude entre -500 et 10000 m");
inline constexpr langue::Texte LieuInvalideDialogue = SELVANE_TEXTE("settings", "« %1 » : attendu LAT,LON[,ALT] en degrés décimaux et mètres, latitude entre -90 et 90, longitude "
      "entre -180 et 180 (est positive), altitude entre -500 et 10000 m, ou « aucun »");
// At start: the site in force and where it comes from (%1 the site, %2 the file).
inline constexpr langue::Texte LieuDeLOption = SELVANE_TEXTE("settings", "lieu d'observation %1 (--lieu, enregistré dans %2)");
inline constexpr langue::Texte LieuEnregistré = SELVANE_TEXTE("settings", "lieu d'observation %1 (enregistré dans %2)");
inline constexpr langue::Texte LieuOublié = SELVANE_TEXTE("settings", "lieu d'observation oublié (--lieu aucun)");
inline constexpr langue::Texte LieuNonEnregistré = SELVANE_TEXTE("settings", "lieu d'observation %1 (--lieu ; non enregistré : %2 inaccessible)");
// A saved file or value that does not read is ignored, in one line.
inline constexpr langue::Texte FichierIllisible = SELVANE_TEXTE("settings", "réglages enregistrés ignorés : %1 illisible");
inline constexpr langue::Texte LieuEnregistréIllisible = SELVANE_TEXTE("settings", "lieu enregistré ignoré : « %1 » dans %2 ne se lit pas");
// The site dialog, and what it logs in the window.
inline constexpr langue::Texte TitreDialogue = SELVANE_TEXTE("settings", "Lieu d'observation");
inline constexpr langue::Texte ExplicationDialogue = SELVANE_TEXTE("settings", "Latitude, longitude en degrés décimaux (nord et est positifs) et altitude en mètres : 45.76,4.84,200. "
      "Vide ou « aucun » : pas de lieu.");
inline constexpr langue::Texte Annuler = SELVANE_TEXTE("settings", "Annuler");
inline constexpr langue::Texte LigneLieuChoisi = SELVANE_TEXTE("settings", "Lieu d'observation : %1");
inline constexpr langue::Texte LigneLieuOublié = SELVANE_TEXTE("settings", "Lieu d'observation oublié");
} // namespace settings_texts
