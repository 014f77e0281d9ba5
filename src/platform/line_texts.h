// SPDX-License-Identifier: GPL-3.0-or-later
// Why a line to the controller did not open, in the words every Qt front end uses ("%1" as in
// QString::arg).
#pragma once

namespace platform_texts {
inline constexpr const char* AccèsRefusé
    = "accès refusé : l'utilisateur doit appartenir au groupe « %1 » propriétaire du "
      "périphérique (sudo usermod -aG %1 $USER, puis se reconnecter)";
inline constexpr const char* DéjàUtilisé = "déjà utilisé par un autre programme (%1)";
inline constexpr const char* ConnexionRefusée = "connexion refusée : rien n'écoute sur ce port (ser2net ou "
                                                "l'adaptateur est-il en marche, sur ce port ?)";
inline constexpr const char* HôteInconnu = "hôte inconnu (nom ou adresse à vérifier)";
inline constexpr const char* HôteMuet = "pas de réponse de l'hôte en %1 s (allumé ? sur ce réseau ?)";
inline constexpr const char* ConnexionImpossible = "connexion impossible (%1)";
} // namespace platform_texts
