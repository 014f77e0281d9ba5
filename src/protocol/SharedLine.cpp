// SPDX-License-Identifier: GPL-3.0-or-later
// The line shared between the driver and the programs connected to it.
#include "protocol/SharedLine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "protocol/codec.h"
#include "protocol/sequences.h"
#include "protocol/wire.h"

namespace protocol {

namespace {
// The speed commands, which a front end pads with blanks to the length of ":C#  ".
bool estVitesse(std::string_view commande)
{
    static const std::array vitesses { sansBlancs(VitesseSidérale), sansBlancs(VitesseCentrage),
        sansBlancs(VitesseRattrapage), sansBlancs(VitesseRapide), sansBlancs(VitesseDépart) };
    for (std::string_view v : vitesses)
        if (commande == v)
            return true;
    return false;
}
const std::size_t LongueurRembourrée = std::strlen(VitesseCentrage);

bool commence(std::string_view commande, const char* début)
{
    return commande.rfind(début, 0) == 0;
}
} // namespace

std::vector<std::string> DécoupeurCommandes::ajouter(std::string_view octets)
{
    std::vector<std::string> faites;
    for (const char c : octets) {
        if (fermé) {
            if (c == ' ') {
                courant += c;
                if (courant.size() >= LongueurRembourrée) {
                    faites.push_back(std::move(courant));
                    courant.clear();
                    fermé = false;
                }
                continue;
            }
            faites.push_back(std::move(courant));
            courant.clear();
            fermé = false;
        }
        if (c == ':') {
            // The controller starts a new command at each ":", dropping the one unfinished.
            courant.assign(1, c);
            continue;
        }
        if (courant.empty())
            continue; // nothing between commands is the controller's
        courant += c;
        if (c == '#') {
            if (estVitesse(courant) && courant.size() < LongueurRembourrée) {
                fermé = true;
            } else {
                faites.push_back(std::move(courant));
                courant.clear();
            }
        } else if (courant.size() > LongueurMaxCommande) {
            courant.clear();
        }
    }
    return faites;
}

std::optional<std::string> DécoupeurCommandes::finir()
{
    if (!fermé)
        return std::nullopt;
    fermé = false;
    std::string fait = std::move(courant);
    courant.clear();
    return fait;
}

namespace {
// A target command exactly as an encoder writes it: ":r" or ":d", two signed whole fields, "#".
// The reply reader is lenient (blanks, odd signs); a target the controller may read otherwise is
// not read at all.
bool cibleBienFormée(std::string_view commande)
{
    constexpr std::size_t ChiffresMax = 12;
    if (commande.size() < 3 || commande.back() != '#')
        return false;
    std::string_view champs = commande.substr(2, commande.size() - 3);
    const auto champ = [](std::string_view c) {
        if (!c.empty() && (c.front() == '+' || c.front() == '-'))
            c.remove_prefix(1);
        return !c.empty() && c.size() <= ChiffresMax
            && std::all_of(c.begin(), c.end(), [](char x) { return x >= '0' && x <= '9'; });
    };
    const auto virgule = champs.find(',');
    return virgule != std::string_view::npos && champ(champs.substr(0, virgule)) && champ(champs.substr(virgule + 1));
}
} // namespace

std::optional<std::pair<double, double>> cibleDuRalliement(const std::string& heldRa,
    const std::string& heldDec, const std::string& lastRa, const std::string& lastDec)
{
    const std::string& ra = heldRa.empty() ? lastRa : heldRa;
    const std::string& dec = heldDec.empty() ? lastDec : heldDec;
    if (!cibleBienFormée(ra) || !cibleBienFormée(dec))
        return std::nullopt;
    auto place = placeDesCommandes(ra, dec);
    constexpr double Tour = 360.0;
    constexpr double Pôle = 90.0;
    if (place && !(place->first >= 0 && place->first < Tour && std::abs(place->second) <= Pôle))
        place.reset();
    return place;
}

Aiguillage::Aiguillage(Loop& loop, AiguillageEvents events, Limits limits)
    : loop(loop)
    , events(std::move(events))
    , limits(limits)
{
}

Aiguillage::~Aiguillage()
{
    loop.cancel(minuterie);
    loop.cancel(minuterieSuite);
    for (auto& [id, p] : programmes)
        loop.cancel(p.minuterieBlancs);
}

void Aiguillage::connecté(int programme)
{
    programmes[programme];
}

void Aiguillage::reçu(int programme, std::string_view octets)
{
    auto it = programmes.find(programme);
    if (it == programmes.end())
        return;
    Programme& p = it->second;
    std::vector<std::string> commandes = p.découpeur.ajouter(octets);
    loop.cancel(p.minuterieBlancs);
    if (p.découpeur.enAttente())
        p.minuterieBlancs = loop.addTimer(limits.blancsMs, [this, programme] { blancsÉcoulés(programme); });
    prendre(programme, std::move(commandes));
}

void Aiguillage::blancsÉcoulés(int programme)
{
    auto it = programmes.find(programme);
    if (it == programmes.end())
        return;
    it->second.minuterieBlancs = -1;
    if (auto commande = it->second.découpeur.finir())
        prendre(programme, { std::move(*commande) });
}

void Aiguillage::prendre(int programme, std::vector<std::string> commandes)
{
    for (std::string& c : commandes)
        file.push_back({ programme, std::move(c) });
    pomper();
}

void Aiguillage::pomper()
{
    if (enPompe)
        return; // the pass under way takes what was added
    enPompe = true;
    // Taken off the queue first: a line lost while writing empties the queue.
    while (!file.empty()) {
        EnFile e = std::move(file.front());
        file.pop_front();
        if (!traiter(e)) {
            file.push_front(std::move(e));
            break;
        }
    }
    enPompe = false;
}

bool Aiguillage::traiter(const EnFile& e)
{
    auto it = programmes.find(e.programme);
    if (it == programmes.end())
        return true;
    Programme& p = it->second;
    const std::string_view c = sansBlancs(e.commande);
    // The controller slews (a program's leg, or the driver's GOTO): it answers nothing meanwhile.
    const bool ralliement = attente == Attente::Ok || (events.sessionRallie && events.sessionRallie());
    const bool ligneTenue = occupeLaLigne() || (events.sessionAttend && events.sessionAttend());

    if (c == DemandeAD || c == DemandeDEC) {
        if (ralliement) {
            // The controller is busy slewing: the last position read answers, as it came.
            const std::string& dernière = c == DemandeAD ? dernièreAD : dernièreDEC;
            if (!dernière.empty() && events.versProgramme)
                events.versProgramme(e.programme, dernière);
            return true;
        }
        if (ligneTenue)
            return false;
        attenteAD = c == DemandeAD;
        if (écrire(e.programme, e.commande))
            attendre(e.programme, Attente::Position);
        return true;
    }
    if (commence(c, CibleAD)) {
        p.cibleAD = e.commande;
        return true;
    }
    if (commence(c, CibleDEC)) {
        p.cibleDEC = e.commande;
        return true;
    }
    const bool pointer = c == Pointer;
    if (pointer || c == Initialiser) {
        // Between its legs a program's GOTO is still under way: only that program goes on with it.
        if (ralliement || (ralliementDe >= 0 && ralliementDe != e.programme)) {
            // Another slew is under way: this GOTO (or initialisation) and its target are refused.
            p.cibleAD.clear();
            p.cibleDEC.clear();
            return true;
        }
        if (pointer && ligneTenue)
            return false;
        if (pointer && events.ralliementPermis
            && !events.ralliementPermis(e.programme, p.cibleAD, p.cibleDEC)) {
            p.cibleAD.clear();
            p.cibleDEC.clear();
            return true;
        }
        for (std::string* cible : { &p.cibleAD, &p.cibleDEC }) {
            if (!cible->empty())
                écrire(e.programme, *cible);
            cible->clear();
        }
        if (!écrire(e.programme, e.commande))
            return true;
        if (pointer) {
            loop.cancel(minuterieSuite);
            attendre(e.programme, Attente::Ok);
            if (ralliementDe != e.programme) {
                ralliementDe = e.programme;
                if (events.ralliementCommencé)
                    events.ralliementCommencé(e.programme);
            }
        } else if (ralliementDe == e.programme) {
            // The closing initialisation ends the GOTO.
            finRalliement(true);
        }
        return true;
    }
    écrire(e.programme, e.commande);
    return true;
}

bool Aiguillage::écrire(int programme, const std::string& commande)
{
    const bool adAvant = events.axeEnMouvement && events.axeEnMouvement(false);
    if (!events.versLigne || !events.versLigne(commande))
        return false;
    if (events.commandeÉcrite)
        events.commandeÉcrite(commande);
    const std::string_view c = sansBlancs(commande);
    const bool dec = c == Nord || c == Sud || c == ArrêtDEC;
    const bool ad = c == Est || c == Ouest;
    if (!dec && !ad)
        return true;
    // The move is now this program's, whoever opened the axis before.
    for (auto& [id, p] : programmes) {
        bool& mouvement = dec ? p.mouvementDEC : p.mouvementAD;
        if (id != programme)
            mouvement = false;
        else if (dec)
            mouvement = c != ArrêtDEC;
        else
            mouvement = c == Est || !adAvant; // ":w#" ends the right ascension move open
    }
    return true;
}

void Aiguillage::attendre(int programme, Attente quoi)
{
    attente = quoi;
    demandeur = programme;
    lecteur.recommencer();
    lecteurOk.recommencer();
    minuterie = loop.addTimer(quoi == Attente::Ok ? limits.slewMs : limits.replyMs, [this] {
        minuterie = -1;
        fin(false);
    });
}

std::size_t Aiguillage::deLaLigne(std::string_view octets)
{
    if (attente == Attente::Rien)
        return 0;
    std::size_t pris = 0;
    bool complet = false;
    while (pris < octets.size() && !complet) {
        const char c = octets[pris++];
        complet = attente == Attente::Ok ? lecteurOk.ajouter(c) : lecteur.ajouter(c);
    }
    // The controller's own bytes, as they came, for its log.
    if (demandeur >= 0 && events.versProgramme)
        events.versProgramme(demandeur, std::string(octets.substr(0, pris)));
    if (complet) {
        if (attente == Attente::Position)
            positionLue(attenteAD, lecteur.réponse());
        fin(true);
    }
    return pris;
}

void Aiguillage::positionLue(bool ad, const std::string& réponse)
{
    const bool bonne = ad ? compteAD(réponse).has_value() : compteDEC(réponse).has_value();
    if (bonne)
        (ad ? dernièreAD : dernièreDEC) = réponse;
}

void Aiguillage::fin(bool ok)
{
    loop.cancel(minuterie);
    const Attente finie = attente;
    attente = Attente::Rien;
    demandeur = -1;
    if (finie == Attente::Ok && ralliementDe >= 0) {
        // The mount is there; the program's compensation and closing ":i#" follow at once.
        if (ok && programmes.count(ralliementDe))
            minuterieSuite = loop.addTimer(limits.suiteMs, [this] {
                minuterieSuite = -1;
                finRalliement(true);
            });
        else
            finRalliement(ok);
    }
    // The driver's own request kept waiting goes first: a program's come back within seconds.
    if (events.ligneLibérée)
        events.ligneLibérée();
    pomper();
}

void Aiguillage::déconnecté(int programme)
{
    auto it = programmes.find(programme);
    if (it == programmes.end())
        return;
    loop.cancel(it->second.minuterieBlancs);
    std::erase_if(file, [programme](const EnFile& e) { return e.programme == programme; });
    // Its reply, if one is awaited, still holds the line until it comes: then it is dropped.
    if (demandeur == programme)
        demandeur = -1;
    if (ralliementDe == programme && attente != Attente::Ok)
        finRalliement(true);
    arrêterMouvementsDe(programme);
    programmes.erase(programme);
}

void Aiguillage::arrêterMouvementsDe(int programme)
{
    const Programme& p = programmes.at(programme);
    const bool dec = p.mouvementDEC && events.axeEnMouvement && events.axeEnMouvement(true);
    const bool ad = p.mouvementAD && events.axeEnMouvement && events.axeEnMouvement(false);
    if (dec)
        for (const std::string& c : arrêtMouvement(Direction::Nord))
            écrire(programme, c);
    if (ad)
        for (const std::string& c : arrêtMouvement(Direction::Ouest))
            écrire(programme, c);
}

void Aiguillage::arrêterMouvements()
{
    std::vector<int> ids;
    for (const auto& [id, p] : programmes)
        ids.push_back(id);
    for (int id : ids)
        if (programmes.count(id))
            arrêterMouvementsDe(id);
}

void Aiguillage::axePris(bool dec)
{
    for (auto& [id, p] : programmes)
        (dec ? p.mouvementDEC : p.mouvementAD) = false;
}

void Aiguillage::finRalliement(bool ok)
{
    loop.cancel(minuterieSuite);
    const int qui = ralliementDe;
    ralliementDe = -1;
    if (qui >= 0 && events.ralliementFini)
        events.ralliementFini(qui, ok);
}

void Aiguillage::ligneFermée()
{
    loop.cancel(minuterie);
    loop.cancel(minuterieSuite);
    const bool ralliait = rallie();
    const int qui = ralliementDe;
    ralliementDe = -1;
    attente = Attente::Rien;
    demandeur = -1;
    file.clear();
    dernièreAD.clear();
    dernièreDEC.clear();
    for (auto& [id, p] : programmes)
        p.mouvementDEC = p.mouvementAD = false;
    if (ralliait && events.ralliementFini)
        events.ralliementFini(qui, false);
}

} // namespace protocol
