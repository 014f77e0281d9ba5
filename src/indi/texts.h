// SPDX-License-Identifier: GPL-3.0-or-later
// Messages, labels and names of the INDI driver (the commands themselves are the protocol's).
#pragma once

#include "langue/langue.h"

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

inline constexpr langue::Texte LangueInvalide
    = SELVANE_TEXTE("indi", "indi_selvane_telescope: SELVANE_LANGUE=%s : attendu fr ou en, ignoré\n");

inline constexpr const char* PériodeScrutation = "POLLING_PERIOD"; // libindi's, with its PERIOD_MS
inline constexpr const char* Autoguidage = "AUTOGUIDING";
inline constexpr langue::Texte LibelléAutoguidage = SELVANE_TEXTE("indi", "Autoguidage");
inline constexpr const char* AutoguidageMarche = "AUTOGUIDING_ON";
inline constexpr const char* AutoguidageArrêt = "AUTOGUIDING_OFF";
inline constexpr langue::Texte LibelléMarche = SELVANE_TEXTE("indi", "Marche");
inline constexpr langue::Texte LibelléArrêt = SELVANE_TEXTE("indi", "Arrêt");
// The four rates, slowest first, as the window's speed options.
inline constexpr langue::Texte LibellésVitesses[4] = { SELVANE_TEXTE("indi", "Sidéral"),
    SELVANE_TEXTE("indi", "Centrage"), SELVANE_TEXTE("indi", "Rattrapage"), SELVANE_TEXTE("indi", "Rapide") };

// The time limits are said from the protocol's constants: "en 2 s", "en 300 s".
inline constexpr langue::Texte PasDeRéponse = SELVANE_TEXTE("indi", "pas de réponse du contrôleur ");
inline constexpr langue::Texte RéponseIllisible = SELVANE_TEXTE("indi", "réponse illisible du contrôleur : ");
inline constexpr langue::Texte RéponseDécalée = SELVANE_TEXTE("indi", "réponse arrivée en retard, ignorée");
inline constexpr langue::Texte PasDeOk = SELVANE_TEXTE("indi", "pas de « Ok » du contrôleur ");
inline constexpr langue::Texte GotoAbandonné = SELVANE_TEXTE("indi", " : GOTO abandonné");
inline constexpr langue::Texte Raccroché
    = SELVANE_TEXTE("indi", "liaison série perdue : le contrôleur a raccroché");
inline constexpr langue::Texte ErreurLecture
    = SELVANE_TEXTE("indi", "liaison série perdue : erreur de lecture : ");
inline constexpr langue::Texte ErreurÉcriture
    = SELVANE_TEXTE("indi", "liaison série perdue : erreur d'écriture : ");
inline constexpr langue::Texte ÉcritureBloquée
    = SELVANE_TEXTE("indi", "liaison série perdue : le port n'accepte plus rien");
inline constexpr langue::Texte ContrôleurMuet = SELVANE_TEXTE("indi", "Le contrôleur ne répond pas sur ");
inline constexpr langue::Texte PasDeRéponseÀ = SELVANE_TEXTE("indi", " (pas de réponse à ");
inline constexpr langue::Texte ContrôleurIllisible
    = SELVANE_TEXTE("indi", "Réponse illisible du contrôleur sur %s : %s");
inline constexpr langue::Texte VérificationÉchouée
    = SELVANE_TEXTE("indi", "Vérification du contrôleur sur %s échouée : %s");
inline constexpr langue::Texte PortImpossible = SELVANE_TEXTE("indi", "Impossible d'ouvrir %s : %s");
inline constexpr langue::Texte AdresseInvalide = SELVANE_TEXTE(
    "indi", "Adresse réseau invalide : « %s » (un hôte et un port de 1 à 65535 sont attendus)");
inline constexpr langue::Texte HôteMuet
    = SELVANE_TEXTE("indi", "Pas de réponse de %s en %s s (hôte allumé ? sur ce réseau ?)");
inline constexpr langue::Texte SimulateurImpossible
    = SELVANE_TEXTE("indi", "Le simulateur de monture n'a pas pu démarrer");
inline constexpr langue::Texte Vérification = SELVANE_TEXTE("indi", "Vérification du contrôleur sur %s…");
inline constexpr langue::Texte Connecté = SELVANE_TEXTE("indi", "Selvane connecté sur %s");
inline constexpr langue::Texte Simulation = SELVANE_TEXTE("indi", "Simulateur de monture sur %s");
inline constexpr langue::Texte ModeDeConnexionVerrouillé
    = SELVANE_TEXTE("indi", "Mode de connexion inchangé : déconnectez d'abord la ligne en service");
inline constexpr langue::Texte NonConnecté
    = SELVANE_TEXTE("indi", "Selvane n'est pas connecté : rien n'a été envoyé");
inline constexpr langue::Texte GotoEnCours = SELVANE_TEXTE("indi", "Un GOTO est en cours : attendez sa fin");
inline constexpr langue::Texte CibleNonNombre
    = SELVANE_TEXTE("indi", "Cible refusée : AD et DEC doivent être des nombres");
inline constexpr langue::Texte CibleHorsLimites
    = SELVANE_TEXTE("indi", "Cible refusée : AD hors de 0–24 h ou DEC hors de −90–+90°");
inline constexpr langue::Texte CibleIncodable
    = SELVANE_TEXTE("indi", "Cible refusée : hors du domaine du contrôleur");
inline constexpr langue::Texte CibleIncomplète
    = SELVANE_TEXTE("indi", "Cible refusée : AD et DEC sont attendues ensemble");
// libindi drops an element whose number it cannot read (after its "Bad format"): one is missing.
inline constexpr langue::Texte CibleADIllisible
    = SELVANE_TEXTE("indi", "Cible refusée : AD illisible ou absente, un nombre est attendu");
inline constexpr langue::Texte CibleDECIllisible
    = SELVANE_TEXTE("indi", "Cible refusée : DEC illisible ou absente, un nombre est attendu");
// A move started by a client ends by itself after this long: indiserver does not tell a driver
// that a client has gone, so a vanished client's move would otherwise run on.
inline constexpr const char* DuréeMax = "MOTION_TIMEOUT";
inline constexpr langue::Texte LibelléDuréeMax = SELVANE_TEXTE("indi", "Durée max. d'un mouvement");
inline constexpr const char* DuréeMaxSecondes = "MOTION_TIMEOUT_S";
inline constexpr langue::Texte LibelléDuréeMaxSecondes = SELVANE_TEXTE("indi", "Secondes (0 : sans limite)");
inline constexpr double DuréeMaxParDéfautS = 120;
inline constexpr double DuréeMaxLimiteS = 3600;
inline constexpr langue::Texte MouvementTropLong
    = SELVANE_TEXTE("indi", "Mouvement arrêté au bout de %d s : durée max. d'un mouvement atteinte");
inline constexpr langue::Texte NombreRefusé
    = SELVANE_TEXTE("indi", "%s refusé : un nombre de %g à %g est attendu");
// Longer texts are refused before libindi echoes them (it crashes on one of 64 KiB).
inline constexpr int LongueurTexteMax = 4096;
inline constexpr langue::Texte TexteTropLong = SELVANE_TEXTE("indi", "Texte refusé : plus de %d octets");
inline constexpr langue::Texte GotoTerminé
    = SELVANE_TEXTE("indi", "GOTO terminé, contrôleur réinitialisé sur la cible");

// The shared port: programs that speak the controller's protocol use the driver's line.
inline constexpr const char* PortPartagé = "SHARED_PORT";
inline constexpr langue::Texte LibelléPortPartagé = SELVANE_TEXTE("indi", "Port partagé");
inline constexpr const char* PortPartagéMarche = "SHARED_PORT_ON";
inline constexpr const char* PortPartagéArrêt = "SHARED_PORT_OFF";
inline constexpr const char* AdressePortPartagé = "SHARED_PORT_ADDRESS";
inline constexpr langue::Texte LibelléAdressePortPartagé = SELVANE_TEXTE("indi", "Adresse du port partagé");
inline constexpr const char* AdresseÉlément = "ADDRESS";
inline constexpr langue::Texte LibelléAdresseÉlément = SELVANE_TEXTE("indi", "Hôte:port");
inline constexpr const char* AdressePartagéeParDéfaut = "127.0.0.1:7625";
inline constexpr langue::Texte OngletPortPartagé = SELVANE_TEXTE("indi", "Port partagé");
inline constexpr langue::Texte PortPartagéOuvert = SELVANE_TEXTE("indi", "Port partagé ouvert sur %s");
inline constexpr langue::Texte PortPartagéFermé = SELVANE_TEXTE("indi", "Port partagé fermé");
inline constexpr langue::Texte PortPartagéImpossible
    = SELVANE_TEXTE("indi", "Port partagé impossible sur %s : %s");
inline constexpr langue::Texte AdressePartagéeInvalide
    = SELVANE_TEXTE("indi", "Adresse « %s » invalide : hôte:port attendu, par exemple 127.0.0.1:7625");
inline constexpr langue::Texte ProgrammeConnecté
    = SELVANE_TEXTE("indi", "Programme connecté au port partagé : %s");
inline constexpr langue::Texte ProgrammeParti = SELVANE_TEXTE("indi", "Programme parti du port partagé : %s");
inline constexpr langue::Texte TropDeProgrammes
    = SELVANE_TEXTE("indi", "Port partagé : %s refusé, déjà %d programmes connectés");
inline constexpr langue::Texte GotoDUnProgramme
    = SELVANE_TEXTE("indi", "Refusé : un programme du port partagé fait un GOTO, attendez sa fin");
inline constexpr langue::Texte GotoDUnProgrammeEnCours
    = SELVANE_TEXTE("indi", "GOTO d'un programme du port partagé en cours");

// A target by name from the catalogue, as the window's "Objet :" finds it.
inline constexpr const char* Objet = "OBJECT_NAME";
inline constexpr langue::Texte LibelléObjet = SELVANE_TEXTE("indi", "Objet");
inline constexpr const char* NomÉlément = "NAME";
inline constexpr langue::Texte LibelléNomÉlément
    = SELVANE_TEXTE("indi", "Nom (M 42, NGC 869, C 14, Vega, HD 8890, Jupiter…)");
inline constexpr langue::Texte ObjetInconnu = SELVANE_TEXTE("indi", "Objet inconnu : %s");
inline constexpr langue::Texte ObjetChoisi
    = SELVANE_TEXTE("indi", "Objet : %s, AD %.5f h DEC %.4f° à la date");

inline constexpr langue::Texte En = SELVANE_TEXTE("indi", "en ");
inline std::string enSecondes(std::int64_t ms)
{
    return En + std::to_string(ms / protocol::MsParSeconde) + " s";
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
        return RéponseDécalée.texte();
    case Échec::PasDeOk:
        return PasDeOk + enSecondes(protocol::DélaiOkMs) + GotoAbandonné;
    case Échec::Raccroché:
        return Raccroché.texte();
    case Échec::ErreurLecture:
        return ErreurLecture + incident.détail;
    case Échec::ErreurÉcriture:
        return ErreurÉcriture + incident.détail;
    case Échec::ÉcritureBloquée:
        return ÉcritureBloquée.texte();
    }
    return {};
}

inline langue::Texte formulation(protocol::ProblèmeCible problème)
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
inline constexpr langue::Texte LibelléSécuritéSolaire = SELVANE_TEXTE("indi", "Sécurité solaire");
inline constexpr const char* SécuritéSolaireMarche = "SUN_SAFETY_ON";
inline constexpr const char* SécuritéSolaireArrêt = "SUN_SAFETY_OFF";
inline constexpr langue::Texte GotoDUnProgrammePrèsDuSoleil = SELVANE_TEXTE(
    "indi", "GOTO d'un programme du port partagé refusé : la cible est à %d° du Soleil (Sécurité solaire)");
inline constexpr langue::Texte GotoDUnProgrammeIllisible
    = SELVANE_TEXTE("indi", "GOTO d'un programme du port partagé refusé : sa cible est illisible");
inline constexpr langue::Texte GotoDUnProgrammeSansCible = SELVANE_TEXTE("indi",
    "GOTO d'un programme du port partagé refusé : la cible du contrôleur est inconnue (Sécurité solaire)");
inline constexpr langue::Texte GotoPrèsDuSoleil = SELVANE_TEXTE("indi",
    "GOTO refusé : la cible est à %d° du Soleil. Un instrument pointé vers le Soleil sans filtre solaire "
    "rend "
    "aveugle en un instant (Sécurité solaire : SUN_SAFETY_OFF pour observer le Soleil avec un filtre)");
inline constexpr langue::Texte SécuritéSolaireCoupée = SELVANE_TEXTE(
    "indi", "Sécurité solaire coupée : un GOTO près du Soleil sera exécuté ; filtre solaire obligatoire");
inline constexpr langue::Texte CibleSousHorizon
    = SELVANE_TEXTE("indi", "Attention : la cible est sous l'horizon (hauteur %d°)");
inline constexpr langue::Texte LieuRefusé = SELVANE_TEXTE("indi",
    "Lieu refusé : latitude entre -90 et 90°, longitude entre 0 et 360° "
    "(est positive), altitude entre -500 et 10000 m");
inline constexpr langue::Texte LieuPris
    = SELVANE_TEXTE("indi", "Lieu : latitude %.4f°, longitude %.4f°, altitude %.0f m");

// The pointing model: each Sync after the first adds a star, GOTOs and positions go through it.
inline constexpr const char* ModèlePointage = "POINTING_MODEL";
inline constexpr langue::Texte LibelléModèlePointage = SELVANE_TEXTE("indi", "Modèle de pointage");
inline constexpr const char* ModèleMarche = "POINTING_MODEL_ON";
inline constexpr const char* ModèleArrêt = "POINTING_MODEL_OFF";
inline constexpr const char* ÉtoilesModèle = "POINTING_MODEL_STARS";
inline constexpr langue::Texte LibelléÉtoilesModèle = SELVANE_TEXTE("indi", "Étoiles du modèle");
inline constexpr const char* NombreÉtoiles = "POINTING_MODEL_COUNT";
inline constexpr langue::Texte LibelléNombreÉtoiles = SELVANE_TEXTE("indi", "Étoiles");
inline constexpr const char* RésiduModèle = "POINTING_MODEL_RMS";
inline constexpr langue::Texte LibelléRésiduModèle = SELVANE_TEXTE("indi", "Résidu (')");
inline constexpr const char* EffacerModèle = "POINTING_MODEL_CLEAR";
inline constexpr langue::Texte LibelléEffacerModèle = SELVANE_TEXTE("indi", "Oublier les étoiles");
inline constexpr langue::Texte ModèleSansLieu = SELVANE_TEXTE(
    "indi", "Modèle de pointage : lieu inconnu (GEOGRAPHIC_COORD), synchronisation simple du contrôleur");
inline constexpr langue::Texte ModèlePoint = SELVANE_TEXTE("indi", "Alignement : %d étoile(s), résidu %.1f'");
inline constexpr langue::Texte ModèleOublié = SELVANE_TEXTE("indi", "Modèle de pointage : étoiles oubliées");
inline constexpr langue::Texte ModèleCible = SELVANE_TEXTE("indi", "Modèle : %+.1f' en AD, %+.1f' en DEC");
inline constexpr langue::Texte ModèleTermes
    = SELVANE_TEXTE("indi", "Alignement : termes %s, erreur attendue au pire %.1f'");
inline constexpr langue::Texte ModèleRecommencé = SELVANE_TEXTE(
    "indi", "Modèle de pointage recommencé : un programme du port partagé a initialisé le contrôleur");
// The air of the site, for the refraction: its property, and where its values come from, said once.
inline constexpr const char* AirModèle = "POINTING_MODEL_AIR";
inline constexpr langue::Texte LibelléAirModèle = SELVANE_TEXTE("indi", "Air du lieu (réfraction)");
inline constexpr const char* TempératureAir = "TEMPERATURE";
inline constexpr langue::Texte LibelléTempératureAir = SELVANE_TEXTE("indi", "Température (°C)");
inline constexpr const char* PressionAir = "PRESSURE";
inline constexpr langue::Texte LibelléPressionAir = SELVANE_TEXTE("indi", "Pression (hPa)");
inline constexpr langue::Texte AirRefusé
    = SELVANE_TEXTE("indi", "Air refusé : température entre -60 et 60 °C, pression entre 300 et 1100 hPa");
inline constexpr langue::Texte RéfractionStandard = SELVANE_TEXTE(
    "indi", "Réfraction : %.1f °C et %.0f hPa, atmosphère standard à l'altitude du lieu (%.0f m)");
inline constexpr langue::Texte RéfractionDonnée
    = SELVANE_TEXTE("indi", "Réfraction : %.1f °C et %.0f hPa, donnés par POINTING_MODEL_AIR");
inline constexpr langue::Texte RéfractionSansLieu
    = SELVANE_TEXTE("indi", "Réfraction non appliquée : lieu inconnu (GEOGRAPHIC_COORD)");
} // namespace indi_texts
