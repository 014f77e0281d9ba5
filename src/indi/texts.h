// SPDX-License-Identifier: GPL-3.0-or-later
// Messages, labels and names of the INDI driver (the commands themselves are the window's).
#pragma once

namespace indi_texts {
inline constexpr const char* NomPériphérique = "Selvane";
inline constexpr const char* PortParDéfaut = "/dev/ttyS0";
inline constexpr int VersionMajeure = 2;
inline constexpr int VersionMineure = 2;
inline constexpr int PériodeParDéfautMs = 3000;

inline constexpr const char* Autoguidage = "AUTOGUIDING";
inline constexpr const char* LibelléAutoguidage = "Autoguidage";
inline constexpr const char* AutoguidageMarche = "AUTOGUIDING_ON";
inline constexpr const char* AutoguidageArrêt = "AUTOGUIDING_OFF";
inline constexpr const char* LibelléMarche = "Marche";
inline constexpr const char* LibelléArrêt = "Arrêt";
// The four rates, slowest first, as the window's speed options.
inline constexpr const char* LibellésVitesses[4] = { "Sidéral", "Centrage", "Rattrapage", "Rapide" };

inline constexpr const char* PasDeRéponse = "pas de réponse du contrôleur en 2 s";
inline constexpr const char* RéponseIllisible = "réponse illisible du contrôleur : ";
inline constexpr const char* RéponseDécalée = "réponse arrivée en retard, ignorée";
inline constexpr const char* PasDeOk = "pas de « Ok » du contrôleur en 300 s : GOTO abandonné";
inline constexpr const char* Raccroché = "liaison série perdue : le contrôleur a raccroché";
inline constexpr const char* ErreurLecture = "liaison série perdue : erreur de lecture : ";
inline constexpr const char* ErreurÉcriture = "liaison série perdue : erreur d'écriture : ";
inline constexpr const char* ÉcritureBloquée = "liaison série perdue : le port n'accepte plus rien";
inline constexpr const char* ContrôleurMuet
    = "Le contrôleur ne répond pas sur %s (pas de réponse à :R# en 2 s)";
inline constexpr const char* ContrôleurIllisible = "Réponse illisible du contrôleur sur %s : %s";
inline constexpr const char* PortImpossible = "Impossible d'ouvrir %s : %s";
inline constexpr const char* SimulateurImpossible = "Le simulateur de monture n'a pas pu démarrer";
inline constexpr const char* Vérification = "Vérification du contrôleur sur %s…";
inline constexpr const char* Connecté = "Selvane connecté sur %s";
inline constexpr const char* Simulation = "Simulateur de monture sur %s";
inline constexpr const char* NonConnecté = "Selvane n'est pas connecté : rien n'a été envoyé";
inline constexpr const char* GotoEnCours = "Un GOTO est en cours : attendez sa fin";
inline constexpr const char* CibleNonNombre = "Cible refusée : AD et DEC doivent être des nombres";
inline constexpr const char* CibleHorsLimites = "Cible refusée : AD hors de 0–24 h ou DEC hors de −90–+90°";
inline constexpr const char* CibleIncodable = "Cible refusée : hors du domaine du contrôleur";
inline constexpr const char* CibleIncomplète = "Cible refusée : AD et DEC sont attendues ensemble";
inline constexpr const char* GotoTerminé = "GOTO terminé, contrôleur réinitialisé sur la cible";

inline constexpr const char* SécuritéSolaire = "SUN_SAFETY";
inline constexpr const char* LibelléSécuritéSolaire = "Sécurité solaire";
inline constexpr const char* SécuritéSolaireMarche = "SUN_SAFETY_ON";
inline constexpr const char* SécuritéSolaireArrêt = "SUN_SAFETY_OFF";
inline constexpr const char* GotoPrèsDuSoleil
    = "GOTO refusé : la cible est à %d° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire "
      "rend "
      "aveugle en un instant (Sécurité solaire : SUN_SAFETY_OFF pour observer le Soleil avec un filtre)";
inline constexpr const char* SécuritéSolaireCoupée
    = "Sécurité solaire coupée : un GOTO près du Soleil sera exécuté ; filtre solaire obligatoire";
inline constexpr const char* CibleSousHorizon = "Attention : la cible est sous l'horizon (hauteur %d°)";
inline constexpr const char* LieuRefusé
    = "Lieu refusé : latitude entre -90 et 90°, longitude entre 0 et 360° "
      "(est positive), altitude entre -500 et 10000 m";
inline constexpr const char* LieuPris = "Lieu : latitude %.4f°, longitude %.4f°, altitude %.0f m";
} // namespace indi_texts
