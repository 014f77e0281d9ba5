// SPDX-License-Identifier: GPL-3.0-or-later
// Why a line to the controller did not open, in the words every Qt front end uses ("%1" as in
// QString::arg).
#pragma once

#include "langue/langue.h"

namespace platform_texts {
inline constexpr langue::Texte AccèsRefusé = SELVANE_TEXTE("platform",
    "accès refusé : l'utilisateur doit appartenir au groupe « %1 » propriétaire du "
    "périphérique (sudo usermod -aG %1 $USER, puis se reconnecter)");
inline constexpr langue::Texte DéjàUtilisé
    = SELVANE_TEXTE("platform", "déjà utilisé par un autre programme (%1)");
inline constexpr langue::Texte ConnexionRefusée = SELVANE_TEXTE("platform",
    "connexion refusée : rien n'écoute sur ce port (ser2net ou "
    "l'adaptateur est-il en marche, sur ce port ?)");
inline constexpr langue::Texte HôteInconnu
    = SELVANE_TEXTE("platform", "hôte inconnu (nom ou adresse à vérifier)");
inline constexpr langue::Texte HôteMuet
    = SELVANE_TEXTE("platform", "pas de réponse de l'hôte en %1 s (allumé ? sur ce réseau ?)");
inline constexpr langue::Texte ConnexionImpossible = SELVANE_TEXTE("platform", "connexion impossible (%1)");
} // namespace platform_texts
