// SPDX-License-Identifier: GPL-3.0-or-later
// The one window of the hand controller: every field, control and procedure of the program.
// Member definitions live in the folder of their subsystem (app, link, coords, pointing, motion, entry,
// objet). What the INDI driver speaks as well lives in protocol/ and sky/, which these members call.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/Alignment.h"
#include "platform/Controls.h"
#include "platform/ListMemory.h"
#include "platform/SerialPort.h"
#include "platform/System.h"
#include "protocol/sequences.h"
#include "protocol/wire.h"
#include "sky/catalogue.h"
#include "sky/liste.h"
#include "sky/refraction.h"
#include "sky/site.h"

class frmTKR52princ {
public:
    frmTKR52princ(platform::ControlSet& controls, platform::System& system);

    // ---- Application shell (app/) ----
    static constexpr const char* Titre = "Selvane V2.2";
    void Form_Load();
    void Form_Unload(std::int16_t& Cancel);
    void btnFermerappli_Click();
    // Before the program ends, on any path: every move still open is stopped, then the line is
    // closed once what was written has left it. Also what a signal asking the program to end runs.
    void fermerLigne();
    void MSComm1_OnComm() {} // the port's notification: the program takes data only by polling
    // False once start-up has ended the program (port unavailable) in a test platform.
    bool demarre() const { return démarré; }

    // ---- Controller link (link/) ----
    void Timerconsult_Timer();
    void BTN_ask_Click();
    // The position reply: ":" and everything after the first ":" up to the first "#".
    // Empty when no complete reply came within the time limit or the wait was ended.
    std::string Message_recu();
    std::string get_AD();
    std::string get_DEC();

    // The positions as the window shows them.
    static std::string texteAD(double positionAD);
    static std::string texteDEC(std::int32_t positionDEC);

    // Outcome of a wait on the line.
    enum class FinAttente { Atteint, Délai, LiaisonPerdue };
    // True while a query or a GOTO waits for the controller.
    bool attenteEnCours() const { return profondeurAttente > 0; }
    // The serial device vanished: say so once, close the port, end the wait in progress.
    void liaisonPerdue();
    bool liaisonCoupée() const { return coupée; }

private:
    // Writes one command to the line.
    void envoyer(const std::string& command);
    // Writes the commands of a sequence, in their order.
    void envoyer(const std::vector<std::string>& commandes);
    // The shared wait: each pass lets events run and reads the line once; a pass with nothing
    // waiting sleeps until the next event. onChar gets each character read and says whether
    // the wait is over. Ends with Délai when limiteMs have passed.
    template <class OnChar>
    FinAttente attendreLigne(std::int64_t limiteMs, OnChar&& onChar);
    // Discards what comes on the line until it has been quiet for silenceMs (at most the reply
    // time limit): says whether anything had to be discarded, or the link was lost meanwhile.
    enum class Calme { Silencieuse, Vidé, LiaisonPerdue };
    Calme attendreLigneCalme(std::int64_t silenceMs);
    // One half of the position query: the command, then its reply in the log box. Nothing when no
    // reply came (said in the log box, unless the link was lost).
    std::optional<std::string> interrogerAxe(const char* demande, const char* préfixe);
    // Reopens the port after a loss; true when the line is back.
    bool rétablirLiaison();
    int profondeurAttente = 0;
    bool coupée = false;
    bool commandesPerduesSignalées = false;
    // After a reply time-out the line is suspect until a query goes through cleanly.
    bool viderAvantRequête = false;

public:
    // ---- Coordinates (coords/) ----
    static std::string Transhms(float angle);
    static std::string TransDegMinSec(float angle);
    static std::string zero(std::int16_t longueur);
    // Empty text when the count does not fit.
    static std::string get_ADH_ADL(double ADangle);
    static std::string get_DECH_DECL(float& DECangle);
    // The leading-number rule of the entry fields: "." is the decimal point, no number reads as 0.
    static double nombreEnTête(std::string_view text);
    // Seconds field: the leading number rounded half-even, when it fits 16 bits.
    static std::optional<std::int16_t> secondesEnTête(std::string_view text);
    // Read the entry fields into objectAD / objectDEC; false (and no change) when a seconds
    // field does not fit 16 bits.
    bool set_objectAD();
    bool set_objectDEC();

    // ---- Pointing (pointing/) ----
    float Tempscourant();
    void btninitialisation_Click();
    void BtnGOTO_Click();
    void Correction_temporelle();
    // "&Aligner": the star in the entry fields is centred; the position read with it becomes an
    // alignment point of the pointing model. Nothing is sent but the position query.
    void btnAligner_Click();
    // The stars of the alignment started by the last initialisation (empty before any).
    const alignment::Alignment& alignement() const { return étoiles; }

private:
    // After the GOTO question: a target within DistanceSoleilMin of the Sun, or below the
    // horizon of a known site, needs a second OK. False, with a log line, when it is cancelled.
    bool cibleConfirmée();
    // Reads the entry fields into the target; false, after telling the user, when the target
    // cannot be sent (a count or a seconds field out of range).
    bool lireCible(bool pourGoto);
    // Reads the position from the controller (":R#" then ":D#") into the display; true when both
    // replies came and were read.
    bool lirePosition();
    // Waits for "Ok", keeping what was read in réponse (its last characters only).
    FinAttente attendreOk(std::string& réponse);
    // From the GOTO's slew command to the end of its compensation no other pointing action runs.
    void bloquerPointage(bool bloquer);
    void finGotoSansRéponse();
    // Whether the link is down, so that an initialisation or a GOTO reached nothing: true, after
    // telling the user. With réessayer the port is tried again first.
    bool rienEnvoyé(bool réessayer);
    bool gotoEnCours = false;
    // The alignment: started anew by each initialisation, its star being the first point; with two
    // stars or more a GOTO aims at the model's target. It lives for the run only.
    alignment::Alignment étoiles;
    bool initialiséDepuisDémarrage = false;
    // A place of the date (degrees) as the model sees it at utcMs: hour angle and declination, radians.
    alignment::Place placeLocale(double ad, double dec, std::int64_t utcMs) const;
    // The same for a star or a target: where it is seen through the site's air, which the user centres and
    // a GOTO aims at.
    alignment::Place placeVueLocale(double ad, double dec, std::int64_t utcMs) const;
    // With a model of two stars or more: objectAD and objectDEC replaced by the target that puts the
    // telescope on them, and the correction logged. False, after telling the user, when the target
    // does not fit the commands.
    bool cibleDuModèle();
    // Monotonic time of the slew command, to check the clock angle's measure of the slew.
    std::int64_t débutRalliementMs = 0;

public:
    // ---- Manual motion (motion/) ----
    void btnNord_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnSud_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnEst_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnOuest_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnNord_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnSud_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnEst_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void btnOuest_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void OptVitesselente_Click(std::int16_t Index);
    void OptVitessecentrage_Click(std::int16_t Index);
    void OptVitesseapproche_Click(std::int16_t Index);
    void OptVitessepointage_Click(std::int16_t Index);
    void Optvitesseauto_Click();

    // ---- Coordinate entry (entry/) ----
    void UpDownADHrs_UpClick();
    void UpDownADHrs_DownClick();
    void UpDownADMin_UpClick();
    void UpDownADMin_DownClick();
    void UpDownADSec_UpClick();
    void UpDownADSec_DownClick();
    void UpDownDECdeg_UpClick();
    void UpDownDECdeg_DownClick();
    void UpDownDECmin_UpClick();
    void UpDownDECmin_DownClick();
    void UpDownDECsec_UpClick();
    void UpDownDECsec_DownClick();
    void Btn_récup_clipboard_Click();
    // One spin step of a field's text: the new text, or nothing when the text is not a number.
    static std::optional<std::string> pasSpin(std::string_view text, int pas, double seuil,
                                              std::string_view valeurBouclée,
                                              std::string_view séparateurDécimal);
    struct PiècesCoordonnées {
        std::string heures, minutes, secondes, degrés, minutesDEC, secondesDEC;
        // Set when the text labels the pair J2000: the pair with its fractions, in degrees, for the
        // import to carry to the date.
        std::optional<catalogue::Position> j2000;
    };
    // The six pieces of a clipboard text, or nothing when no known form fits.
    static std::optional<PiècesCoordonnées> découperPressePapier(std::string_view text);

private:
    // One arrow click on an entry field: steps its text by the user's locale.
    void pasChamp(platform::TextBox& champ, int pas, double seuil, const char* valeurBouclée);
    // Writes the six entry fields, in their order.
    void écrireChamps(const PiècesCoordonnées& pièces);

public:
    // ---- The "Objet :" field (objet/) ----
    // Enter in "Objet :", or a name chosen in its list: the object's place of the date goes into
    // the six entry fields and the log box. Nothing is sent.
    void EdtObjet_Valider();
    // The list shown under "Objet :" for what has been typed, best first: a screenful.
    static constexpr std::size_t PropositionsMax = 12;
    static std::vector<std::string> propositionsObjet(std::string_view saisie);
    // The entry texts of a place in degrees, as typed: hours, minutes, whole seconds; signed
    // degrees, minutes, whole seconds ("05", "35", "17", "-05", "23", "28").
    static PiècesCoordonnées champsDePosition(double ad, double dec);
    // "05h35m17s -05°23'28\"" for the log box.
    static std::string texteChamps(const PiècesCoordonnées& champs);

private:
    // What choosing an object in "Objet :" does once it is found; an observing list's entries too.
    void choisirObjet(const catalogue::Objet& objet);

public:
    // ---- The observing list (liste/) ----
    // "Liste…" or --liste: reads the file, lists once in the log box the entries it cannot read, and
    // chooses the first entry. A file that cannot be a list is refused with a box; the list in use stays.
    void chargerListe(const std::string& chemin);
    // At start: the list of the last run, at the entry the user stood on. Without one, nothing.
    void reprendreListe();
    // "Suivant" and "Précédent" (Page Down, Page Up): the next or the previous entry.
    void btnSuivant_Click();
    void btnPrécédent_Click();
    bool listeChargée() const { return !listeObservation.entrées.empty(); }
    // Where the list and its position are kept between starts; none in tests that do not look.
    platform::ListMemory* mémoireListe = nullptr;

private:
    // Writes entry `rang` (from 1) as "Objet :" would, logs its rank and remembers it.
    void choisirEntrée(std::size_t rang);
    // Takes a list read: its unreadable entries logged, then the entry `rang` chosen. False when it holds
    // none.
    bool prendreListe(liste::Lecture lecture, const std::string& chemin, std::size_t rang);
    liste::Lecture listeObservation;
    std::string cheminListe;
    std::size_t rangListe = 0;

public:
    // ---- Fields of the window ----
    double positionAD = 0;
    std::int32_t positionDEC = 0;
    double objectAD = 0;
    float objectDEC = 0;
    float Tempsorigine = 0;
    float TempsGOTO = 0;
    std::string Vitesse = protocol::VitesseDépart;
    // The observing site (--lieu, the saved one or the site dialog's), when there is one.
    std::optional<sky::Lieu> lieu;
    // Its temperature (°C) and pressure (hPa) when the user gave them (--température, --pression).
    std::optional<double> températureAir;
    std::optional<double> pressionAir;
    // The site's air: the user's (--température, --pression) over the standard atmosphere at its altitude.
    sky::Atmosphère atmosphère() const;

    // ---- Controls ----
    platform::Label& affalpha;
    platform::Label& affdelta;
    platform::TextBox& edtsaisie;
    platform::TextBox& EdtADréfHrs;
    platform::TextBox& EdtADréfMin;
    platform::TextBox& EdtADréfSec;
    platform::TextBox& EdtDECréfDeg;
    platform::TextBox& EdtDECréfMin;
    platform::TextBox& EdtDECréfSec;
    platform::TextBox& EdtObjet;
    platform::CommandButton& BtnGOTO;
    platform::CommandButton& btninitialisation;
    platform::CommandButton& btnAligner;
    platform::CommandButton& BTN_ask;
    platform::CommandButton& btnPrécédent;
    platform::CommandButton& btnSuivant;
    platform::CheckBox& Optvitesseauto;
    platform::Timer& Timerconsult;
    platform::SerialPort& MSComm1;

private:
    platform::System& système;
    bool démarré = false;
    // Each direction button's press that was handled: a release sends its stop only after its own
    // press, since ":w#" alone would start a move on the controller.
    std::array<bool, 4> enfoncé {}; // by protocol::Direction
    void presser(protocol::Direction direction);
    void arrêterMouvements();
    void relâcher(protocol::Direction direction);
};
