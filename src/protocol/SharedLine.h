// SPDX-License-Identifier: GPL-3.0-or-later
// One line, many programs: the driver owns the controller's line and lets programs that speak the
// controller's protocol use it too. Their byte streams are split into whole commands, which go on
// the line unchanged and never inside one of the driver's own; each reply goes back to whoever
// asked. One request waits for its reply on the line at a time. While a slew is under way nobody
// else's query reaches the controller (the last position read answers it) and nobody else's GOTO
// goes out. No sockets in here: the front end hands bytes in and out.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/MountSession.h"
#include "protocol/framing.h"

namespace protocol {

// Splits a program's byte stream into whole commands as the controller frames them: from the last
// ":" to "#", with the padding blanks a speed command carries (":C#  "). What is not inside a
// command is dropped, and so is a command cut short by a new ":".
class DécoupeurCommandes {
public:
    // The whole commands completed by what arrived, in order.
    std::vector<std::string> ajouter(std::string_view octets);
    // A speed command has its "#" but may still get its blanks: it waits for more, or for finir().
    bool enAttente() const { return fermé; }
    // The command waiting for its blanks, as it stands.
    std::optional<std::string> finir();

private:
    std::string courant;
    bool fermé = false;
};

// A command held back longer than this is garbage: dropped.
inline constexpr std::size_t LongueurMaxCommande = 64;
// The blanks of a speed command come with it; a command still waiting for them this long goes as is.
inline constexpr int AttenteBlancsMs = 20;
// A program's GOTO lasts until its closing ":i#"; one that sends nothing this long after an "Ok"
// has ended it there.
inline constexpr int AttenteSuiteRalliementMs = 3000;

// The place a ":T#" sent now would slew to, in degrees (right ascension, declination): a program's
// own target halves where it sent them, else the controller's last target (lastRa, lastDec),
// whoever gave it. Nothing when a half is missing or cannot be read as an encoder would have
// written it: the controller may then wrap it anywhere.
std::optional<std::pair<double, double>> cibleDuRalliement(const std::string& heldRa,
    const std::string& heldDec, const std::string& lastRa, const std::string& lastDec);

struct AiguillageEvents {
    // Writes a program's command on the line; false when the line is not open.
    std::function<bool(const std::string& commande)> versLigne;
    // Bytes for a program: the controller's reply as it came, or an answer from the last position.
    std::function<void(int programme, const std::string& octets)> versProgramme;
    // The driver's own session waits for a reply (a query, the check) or slews.
    std::function<bool()> sessionAttend;
    std::function<bool()> sessionRallie;
    // A program's command went on the line (its moves change the mount's state).
    std::function<void(const std::string& commande)> commandeÉcrite;
    // A program's GOTO: from its ":T#" to its closing ":i#" (or its last "Ok" and a pause; ok false
    // when the "Ok" never came).
    std::function<void(int programme)> ralliementCommencé;
    std::function<void(int programme, bool ok)> ralliementFini;
    // A program's GOTO to the targets it sent before its ":T#" (a text is empty when it sent none):
    // false refuses it, and nothing of it goes on the line.
    std::function<bool(int programme, const std::string& cibleAD, const std::string& cibleDEC)>
        ralliementPermis;
    // No program waits for a reply any more: the driver's own requests may go (before the
    // programs' queued ones).
    std::function<void()> ligneLibérée;
    // Whether the mount's axis (declination, or right ascension) moves now.
    std::function<bool(bool dec)> axeEnMouvement;
};

class Aiguillage {
public:
    struct Limits {
        int replyMs = DélaiRéponsePositionMs;
        int slewMs = DélaiOkMs;
        int blancsMs = AttenteBlancsMs;
        int suiteMs = AttenteSuiteRalliementMs;
    };

    Aiguillage(Loop& loop, AiguillageEvents events, Limits limits);
    Aiguillage(Loop& loop, AiguillageEvents events)
        : Aiguillage(loop, std::move(events), Limits {})
    {
    }
    ~Aiguillage();
    Aiguillage(const Aiguillage&) = delete;
    Aiguillage& operator=(const Aiguillage&) = delete;

    void connecté(int programme);
    void reçu(int programme, std::string_view octets);
    // A program that goes in the middle of a move has it ended with its stop pair.
    void déconnecté(int programme);
    // Every program's move open ends with its stop pair (the programs are about to go).
    void arrêterMouvements();

    // Bytes from the line: how many of them a program's request took (its reply, up to its end);
    // the rest is the driver's.
    std::size_t deLaLigne(std::string_view octets);
    // A program's request waits for its reply on the line.
    bool occupeLaLigne() const { return attente != Attente::Rien; }
    // A program's GOTO is under way: from its ":T#" to its closing ":i#", compensation included.
    bool rallie() const { return attente == Attente::Ok || ralliementDe >= 0; }
    // A well-formed position reply read on the line, whoever asked: what answers during a slew.
    void positionLue(bool ad, const std::string& réponse);
    // The driver's session let go of the line: what was queued may go.
    void pomper();
    // The driver moved or stopped an axis itself: the move there is no program's any more.
    void axePris(bool dec);
    // The line closed: nothing waits on it any more, the last position is forgotten.
    void ligneFermée();

private:
    enum class Attente { Rien, Position, Ok };
    struct Programme {
        DécoupeurCommandes découpeur;
        int minuterieBlancs = -1;
        // Its target commands, held until its ":T#" or ":i#" so that they never change another's.
        std::string cibleAD;
        std::string cibleDEC;
        // The moves it opened, as the toggle rule leaves them.
        bool mouvementDEC = false;
        bool mouvementAD = false;
    };
    struct EnFile {
        int programme;
        std::string commande;
    };

    void prendre(int programme, std::vector<std::string> commandes);
    // False when the command must wait for the line.
    bool traiter(const EnFile& e);
    // False when the line took nothing (it is closed): nothing is then awaited.
    bool écrire(int programme, const std::string& commande);
    void arrêterMouvementsDe(int programme);
    void attendre(int programme, Attente quoi);
    void fin(bool ok);
    void blancsÉcoulés(int programme);
    void finRalliement(bool ok);

    Loop& loop;
    AiguillageEvents events;
    const Limits limits;
    std::map<int, Programme> programmes;
    std::deque<EnFile> file;
    Attente attente = Attente::Rien;
    int demandeur = -1; // who waits; -1 once gone
    bool attenteAD = false; // the position awaited is the right ascension's
    int minuterie = -1;
    int ralliementDe = -1; // whose GOTO is under way, between its legs too
    int minuterieSuite = -1;
    LecteurRéponse lecteur;
    AttenteOk lecteurOk;
    std::string dernièreAD;
    std::string dernièreDEC;
    bool enPompe = false;
};

} // namespace protocol
