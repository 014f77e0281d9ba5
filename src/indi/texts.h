// SPDX-License-Identifier: GPL-3.0-or-later
// Messages, labels and names of the INDI driver (the commands themselves are the protocol's).
#pragma once

#include <cstdint>
#include <string>

#include "protocol/MountSession.h"
#include "protocol/wire.h"

namespace indi_texts {
inline constexpr const char* NomPériphérique = "Selvane";
inline constexpr const char* PortParDéfaut = "/dev/ttyS0";
inline constexpr int VersionMajeure = 2;
inline constexpr int VersionMineure = 2;
// INDI's usual period: a client sees a move by hand within a second.
inline constexpr int PériodeParDéfautMs = 1000;

inline constexpr const char* PériodeScrutation = "POLLING_PERIOD"; // libindi's, with its PERIOD_MS
inline constexpr const char* Autoguidage = "AUTOGUIDING";
inline constexpr const char* LibelléAutoguidage = "Autoguidage";
inline constexpr const char* AutoguidageMarche = "AUTOGUIDING_ON";
inline constexpr const char* AutoguidageArrêt = "AUTOGUIDING_OFF";
inline constexpr const char* LibelléMarche = "Marche";
inline constexpr const char* LibelléArrêt = "Arrêt";
// The four rates, slowest first, as the window's speed options.
inline constexpr const char* LibellésVitesses[4] = { "Sidéral", "Centrage", "Rattrapage", "Rapide" };

// The time limits are said from the protocol's constants: "en 2 s", "en 300 s".
inline constexpr const char* PasDeRéponse = "pas de réponse du contrôleur ";
inline constexpr const char* RéponseIllisible = "réponse illisible du contrôleur : ";
inline constexpr const char* RéponseDécalée = "réponse arrivée en retard, ignorée";
inline constexpr const char* PasDeOk = "pas de « Ok » du contrôleur ";
inline constexpr const char* GotoAbandonné = " : GOTO abandonné";
inline constexpr const char* Raccroché = "liaison série perdue : le contrôleur a raccroché";
inline constexpr const char* ErreurLecture = "liaison série perdue : erreur de lecture : ";
inline constexpr const char* ErreurÉcriture = "liaison série perdue : erreur d'écriture : ";
inline constexpr const char* ÉcritureBloquée = "liaison série perdue : le port n'accepte plus rien";
inline constexpr const char* ContrôleurMuet = "Le contrôleur ne répond pas sur ";
inline constexpr const char* PasDeRéponseÀ = " (pas de réponse à ";
inline constexpr const char* ContrôleurIllisible = "Réponse illisible du contrôleur sur %s : %s";
inline constexpr const char* VérificationÉchouée = "Vérification du contrôleur sur %s échouée : %s";
inline constexpr const char* PortImpossible = "Impossible d'ouvrir %s : %s";
inline constexpr const char* AdresseInvalide
    = "Adresse réseau invalide : « %s » (un hôte et un port de 1 à 65535 sont attendus)";
inline constexpr const char* HôteMuet = "Pas de réponse de %s en %s s (hôte allumé ? sur ce réseau ?)";
inline constexpr const char* SimulateurImpossible = "Le simulateur de monture n'a pas pu démarrer";
inline constexpr const char* Vérification = "Vérification du contrôleur sur %s…";
inline constexpr const char* Connecté = "Selvane connecté sur %s";
inline constexpr const char* Simulation = "Simulateur de monture sur %s";
inline constexpr const char* ModeDeConnexionVerrouillé
    = "Mode de connexion inchangé : déconnectez d'abord la ligne en service";
inline constexpr const char* NonConnecté = "Selvane n'est pas connecté : rien n'a été envoyé";
inline constexpr const char* GotoEnCours = "Un GOTO est en cours : attendez sa fin";
inline constexpr const char* CibleNonNombre = "Cible refusée : AD et DEC doivent être des nombres";
inline constexpr const char* CibleHorsLimites = "Cible refusée : AD hors de 0–24 h ou DEC hors de −90–+90°";
inline constexpr const char* CibleIncodable = "Cible refusée : hors du domaine du contrôleur";
inline constexpr const char* CibleIncomplète = "Cible refusée : AD et DEC sont attendues ensemble";
// libindi drops an element whose number it cannot read (after its "Bad format"): one is missing.
inline constexpr const char* CibleADIllisible
    = "Cible refusée : AD illisible ou absente, un nombre est attendu";
inline constexpr const char* CibleDECIllisible
    = "Cible refusée : DEC illisible ou absente, un nombre est attendu";
// A move started by a client ends by itself after this long: indiserver does not tell a driver
// that a client has gone, so a vanished client's move would otherwise run on.
inline constexpr const char* DuréeMax = "MOTION_TIMEOUT";
inline constexpr const char* LibelléDuréeMax = "Durée max. d'un mouvement";
inline constexpr const char* DuréeMaxSecondes = "MOTION_TIMEOUT_S";
inline constexpr const char* LibelléDuréeMaxSecondes = "Secondes (0 : sans limite)";
inline constexpr double DuréeMaxParDéfautS = 120;
inline constexpr double DuréeMaxLimiteS = 3600;
inline constexpr const char* MouvementTropLong
    = "Mouvement arrêté au bout de %d s : durée max. d'un mouvement atteinte";
inline constexpr const char* NombreRefusé = "%s refusé : un nombre de %g à %g est attendu";
// Longer texts are refused before libindi echoes them (it crashes on one of 64 KiB).
inline constexpr int LongueurTexteMax = 4096;
inline constexpr const char* TexteTropLong = "Texte refusé : plus de %d octets";
inline constexpr const char* GotoTerminé = "GOTO terminé, contrôleur réinitialisé sur la cible";

// The shared port: programs that speak the controller's protocol use the driver's line.
inline constexpr const char* PortPartagé = "SHARED_PORT";
inline constexpr const char* LibelléPortPartagé = "Port partagé";
inline constexpr const char* PortPartagéMarche = "SHARED_PORT_ON";
inline constexpr const char* PortPartagéArrêt = "SHARED_PORT_OFF";
inline constexpr const char* AdressePortPartagé = "SHARED_PORT_ADDRESS";
inline constexpr const char* LibelléAdressePortPartagé = "Adresse du port partagé";
inline constexpr const char* AdresseÉlément = "ADDRESS";
inline constexpr const char* LibelléAdresseÉlément = "Hôte:port";
inline constexpr const char* AdressePartagéeParDéfaut = "127.0.0.1:7625";
inline constexpr const char* OngletPortPartagé = "Port partagé";
inline constexpr const char* PortPartagéOuvert = "Port partagé ouvert sur %s";
inline constexpr const char* PortPartagéFermé = "Port partagé fermé";
inline constexpr const char* PortPartagéImpossible = "Port partagé impossible sur %s : %s";
inline constexpr const char* AdressePartagéeInvalide
    = "Adresse « %s » invalide : hôte:port attendu, par exemple 127.0.0.1:7625";
inline constexpr const char* ProgrammeConnecté = "Programme connecté au port partagé : %s";
inline constexpr const char* ProgrammeParti = "Programme parti du port partagé : %s";
inline constexpr const char* TropDeProgrammes = "Port partagé : %s refusé, déjà %d programmes connectés";
inline constexpr const char* GotoDUnProgramme
    = "Refusé : un programme du port partagé fait un GOTO, attendez sa fin";
inline constexpr const char* GotoDUnProgrammeEnCours = "GOTO d'un programme du port partagé en cours";

// A target by name from the catalogue, as the window's "Objet :" finds it.
inline constexpr const char* Objet = "OBJECT_NAME";
inline constexpr const char* LibelléObjet = "Objet";
inline constexpr const char* NomÉlément = "NAME";
inline constexpr const char* LibelléNomÉlément = "Nom (M 42, NGC 869, C 14, Vega, HD 8890, Jupiter…)";
inline constexpr const char* ObjetInconnu = "Objet inconnu : %s";
inline constexpr const char* ObjetChoisi = "Objet : %s, AD %.5f h DEC %.4f° à la date";

inline std::string enSecondes(std::int64_t ms)
{
    return "en " + std::to_string(ms / protocol::MsParSeconde) + " s";
}

// "Le contrôleur ne répond pas sur /dev/ttyS0 (pas de réponse à :R# en 2 s)"
inline std::string contrôleurMuet(const std::string& port)
{
    return ContrôleurMuet + port + PasDeRéponseÀ + protocol::DemandeAD + " "
        + enSecondes(protocol::DélaiRéponsePositionMs) + ")";
}

// The words of a session's failure.
inline std::string formulation(const protocol::Incident& incident)
{
    using protocol::Échec;
    switch (incident.code) {
    case Échec::PasDeRéponse:
        return PasDeRéponse + enSecondes(protocol::DélaiRéponsePositionMs);
    case Échec::RéponseIllisible:
        return RéponseIllisible + incident.détail;
    case Échec::RéponseDécalée:
        return RéponseDécalée;
    case Échec::PasDeOk:
        return PasDeOk + enSecondes(protocol::DélaiOkMs) + GotoAbandonné;
    case Échec::Raccroché:
        return Raccroché;
    case Échec::ErreurLecture:
        return ErreurLecture + incident.détail;
    case Échec::ErreurÉcriture:
        return ErreurÉcriture + incident.détail;
    case Échec::ÉcritureBloquée:
        return ÉcritureBloquée;
    }
    return {};
}

inline const char* formulation(protocol::ProblèmeCible problème)
{
    switch (problème) {
    case protocol::ProblèmeCible::NonNombre:
        return CibleNonNombre;
    case protocol::ProblèmeCible::HorsLimites:
        return CibleHorsLimites;
    case protocol::ProblèmeCible::Incodable:
        return CibleIncodable;
    }
    return CibleIncodable;
}

inline constexpr const char* SécuritéSolaire = "SUN_SAFETY";
inline constexpr const char* LibelléSécuritéSolaire = "Sécurité solaire";
inline constexpr const char* SécuritéSolaireMarche = "SUN_SAFETY_ON";
inline constexpr const char* SécuritéSolaireArrêt = "SUN_SAFETY_OFF";
inline constexpr const char* GotoDUnProgrammePrèsDuSoleil
    = "GOTO d'un programme du port partagé refusé : la cible est à %d° du Soleil (Sécurité solaire)";
inline constexpr const char* GotoDUnProgrammeIllisible
    = "GOTO d'un programme du port partagé refusé : sa cible est illisible";
inline constexpr const char* GotoDUnProgrammeSansCible
    = "GOTO d'un programme du port partagé refusé : la cible du contrôleur est inconnue (Sécurité solaire)";
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

// The pointing model: each Sync after the first adds a star, GOTOs and positions go through it.
inline constexpr const char* ModèlePointage = "POINTING_MODEL";
inline constexpr const char* LibelléModèlePointage = "Modèle de pointage";
inline constexpr const char* ModèleMarche = "POINTING_MODEL_ON";
inline constexpr const char* ModèleArrêt = "POINTING_MODEL_OFF";
inline constexpr const char* ÉtoilesModèle = "POINTING_MODEL_STARS";
inline constexpr const char* LibelléÉtoilesModèle = "Étoiles du modèle";
inline constexpr const char* NombreÉtoiles = "POINTING_MODEL_COUNT";
inline constexpr const char* LibelléNombreÉtoiles = "Étoiles";
inline constexpr const char* RésiduModèle = "POINTING_MODEL_RMS";
inline constexpr const char* LibelléRésiduModèle = "Résidu (')";
inline constexpr const char* EffacerModèle = "POINTING_MODEL_CLEAR";
inline constexpr const char* LibelléEffacerModèle = "Oublier les étoiles";
inline constexpr const char* ModèleSansLieu
    = "Modèle de pointage : lieu inconnu (GEOGRAPHIC_COORD), synchronisation simple du contrôleur";
inline constexpr const char* ModèlePoint = "Alignement : %d étoile(s), résidu %.1f'";
inline constexpr const char* ModèleOublié = "Modèle de pointage : étoiles oubliées";
inline constexpr const char* ModèleCible = "Modèle : %+.1f' en AD, %+.1f' en DEC";
inline constexpr const char* ModèleTermes = "Alignement : termes %s, erreur attendue au pire %.1f'";
inline constexpr const char* ModèleRecommencé
    = "Modèle de pointage recommencé : un programme du port partagé a initialisé le contrôleur";
// The air of the site, for the refraction: its property, and where its values come from, said once.
inline constexpr const char* AirModèle = "POINTING_MODEL_AIR";
inline constexpr const char* LibelléAirModèle = "Air du lieu (réfraction)";
inline constexpr const char* TempératureAir = "TEMPERATURE";
inline constexpr const char* LibelléTempératureAir = "Température (°C)";
inline constexpr const char* PressionAir = "PRESSURE";
inline constexpr const char* LibelléPressionAir = "Pression (hPa)";
inline constexpr const char* AirRefusé
    = "Air refusé : température entre -60 et 60 °C, pression entre 300 et 1100 hPa";
inline constexpr const char* RéfractionStandard
    = "Réfraction : %.1f °C et %.0f hPa, atmosphère standard à l'altitude du lieu (%.0f m)";
inline constexpr const char* RéfractionDonnée
    = "Réfraction : %.1f °C et %.0f hPa, donnés par POINTING_MODEL_AIR";
inline constexpr const char* RéfractionSansLieu
    = "Réfraction non appliquée : lieu inconnu (GEOGRAPHIC_COORD)";
} // namespace indi_texts
