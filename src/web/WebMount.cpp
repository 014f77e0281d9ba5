// SPDX-License-Identifier: GPL-3.0-or-later
// The mount shared by the pages: moves and their watchdog, speeds, targets, GOTO and alignment.
#include "web/WebMount.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "window/app/frmTKR52princ.h"
#include "window/entry/texts.h"
#include "window/link/texts.h"
#include "window/motion/texts.h"
#include "window/objet/texts.h"
#include "window/pointing/texts.h"
#include "protocol/codec.h"
#include "protocol/texts.h"
#include "sky/catalogue.h"
#include "sky/solar_system.h"

namespace web {

namespace {

constexpr int ChampsCible = 6;
constexpr double MinutesParRadian = 180.0 * 60.0 / std::numbers::pi;
constexpr double MinutesParDegré = 60.0;
constexpr double TourDegrés = 360.0;
constexpr double HeuresParTour = 24.0;

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

QString q(const langue::Texte& texte)
{
    return QString::fromUtf8(texte.texte());
}

std::int64_t utcMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Arc minutes to one decimal, with the language's separator (a comma in French); with signe, "+"
// before a positive value.
QString minutes(double valeur, bool signe)
{
    QString s = QString::number(valeur, 'f', 1);
    if (!langue::séparateurDécimalImposé())
        s.replace('.', ',');
    if (signe && !s.startsWith('-'))
        s.prepend('+');
    return s;
}

QString worded(const protocol::Incident& why)
{
    switch (why.code) {
    case protocol::Échec::PasDeRéponse:
    case protocol::Échec::PasDeOk:
        return q(link_texts::PasDeRéponse);
    case protocol::Échec::RéponseIllisible:
        return q(web_texts::RéponseIllisible) + q(why.détail);
    default:
        // The pages say it as the window's log box does; the system's reason goes to the terminal
        // (tellTerminal).
        return q(link_texts::LiaisonPerdue);
    }
}

// The system's reason for a lost link, which the pages do not show: once, on the terminal.
void tellTerminal(const protocol::Incident& why)
{
    switch (why.code) {
    case protocol::Échec::PasDeRéponse:
    case protocol::Échec::PasDeOk:
    case protocol::Échec::RéponseIllisible:
        return;
    default:
        if (!why.détail.empty())
            std::fprintf(stderr, "%s: %s : %s\n", web_texts::Programme, link_texts::LiaisonPerdue.texte(),
                why.détail.c_str());
    }
}

} // namespace

WebMount::WebMount(int fd, Options opts)
    : options(std::move(opts))
{
    protocol::SessionEvents events;
    events.position = [this](double, double) {
        ra = q(frmTKR52princ::texteAD(countAD));
        dec = q(frmTKR52princ::texteDEC(countDEC));
        positionKnown = true;
        linkWhy.reset();
        toPage(ToutesLesPages, { { "t", "pos" }, { "ra", ra }, { "dec", dec } });
        if (étoileEnAttente) {
            const ÉtoileEnAttente étoile = *étoileEnAttente;
            étoileEnAttente.reset();
            addStar(étoile);
        }
    };
    events.positionReply = [this](bool isRa, const std::string& reply) {
        if (isRa)
            countAD = protocol::compteAD(reply).value_or(countAD);
        else
            countDEC = protocol::compteDEC(reply).value_or(countDEC);
    };
    events.positionFailed = [this](const protocol::Incident& why) {
        // The last position is no longer the mount's: the pages stop showing it as current.
        linkDown(why);
        if (étoileEnAttente) {
            info(étoileEnAttente->page, q(pointing_texts::AlignerSansPosition));
            étoileEnAttente.reset();
        }
    };
    events.log = [this](const std::string& line) { log(ToutesLesPages, q(line)); };
    events.slewEnded = [this](const std::optional<protocol::Incident>& why) {
        logAll([&] { return why ? q(pointing_texts::GotoSansRéponse) : q(web_texts::GotoTerminé); });
        toPage(ToutesLesPages, { { "t", "busy" }, { "on", false } });
    };
    events.linkLost = [this](const protocol::Incident& why) {
        lineGone = true;
        notifier->setEnabled(false);
        queryTimer.stop();
        watchdog.stop();
        mouvements = {};
        linkDown(why);
        toPage(ToutesLesPages, moves());
        toPage(ToutesLesPages, { { "t", "busy" }, { "on", false } });
        logAll([&] { return worded(why); });
    };
    if (options.trace) {
        events.written = [this](const std::string& c) { options.trace(true, c); };
        events.elsewhere = [this](std::string_view bytes) {
            // Called before each byte is taken, with the bytes still to come: the first is the one.
            options.trace(false, std::string(bytes.substr(0, 1)));
            return std::size_t { 0 };
        };
    }
    session_ = std::make_unique<protocol::MountSession>(fd, loop, std::move(events));
    notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &WebMount::readable);
    connect(&queryTimer, &QTimer::timeout, this, &WebMount::queryTick);
    queryTimer.start(options.queryMs);
    watchdog.setInterval(web_limits::VeilleMs);
    connect(&watchdog, &QTimer::timeout, this, &WebMount::watch);
    QTimer::singleShot(0, this, &WebMount::queryTick);
}

WebMount::~WebMount() = default;

void WebMount::readable()
{
    session_->readable();
}

void WebMount::queryTick()
{
    session_->query();
}

void WebMount::join(int page, std::optional<langue::Langue> l)
{
    pages[page].dernierSigneMs = loop.monotonicMs();
    pages[page].langue = l.value_or(langue::courante());
    const langue::Portée portée(pages[page].langue);
    if (pages[page].langue != langue::Langue::fr) {
        QJsonObject textes;
        for (const langue::Texte& texte : web_texts::TextesDeLaPage)
            textes.insert(QString::fromUtf8(texte.source), q(texte));
        toPage(page, { { "t", "texts" }, { "m", textes } });
    }
    toPage(page, state());
}

void WebMount::leave(int page)
{
    pages.erase(page);
    for (Axe axe : { AxeDEC, AxeAD })
        if (mouvements[axe].page == page)
            endMove(axe, [] { return q(web_texts::MouvementSansNouvelles); });
}

void WebMount::stopMoves()
{
    session_->stopMoves();
    watchdog.stop();
}

void WebMount::receive(int page, const QByteArray& message)
{
    if (message.size() > web_limits::TailleMaxMessage || !pages.count(page))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(message);
    if (!document.isObject())
        return;
    const QJsonObject m = document.object();
    const QString type = m.value("t").toString();
    pages[page].dernierSigneMs = loop.monotonicMs();
    // What this page's message makes for it alone is worded in its language.
    const langue::Portée portée(pages[page].langue);
    if (type == "beat")
        return;
    if (type == "press")
        press(page, m.value("d").toString());
    else if (type == "release")
        release(m.value("d").toString());
    else if (type == "speed")
        speed(m.value("i").toInt(-1));
    else if (type == "auto" && m.value("on").isBool())
        autoguiding(m.value("on").toBool());
    else if (type == "search")
        search(page, m.value("q").toString());
    else if (type == "choose")
        choose(page, m.value("q").toString());
    else if (type == "paste")
        paste(page, m.value("text").toString());
    else if (type == "goto")
        pointing(page, m, Étape::Goto);
    else if (type == "init")
        pointing(page, m, Étape::Init);
    else if (type == "align") {
        if (const auto cible = readFields(m))
            align(page, cible->first, cible->second);
    } else if (type == "answer")
        answer(page, m.value("id").toInt(), m.value("ok").toBool());
}

// N, S, E, O: the window's direction captions.
void WebMount::press(int page, const QString& d)
{
    bool ok = false;
    Axe axe = AxeDEC;
    // The same move pressed again goes on; another direction is a move of its own.
    const bool mêmeMouvement = (d == "N" || d == "S")
        ? session_->movingNS() && session_->movingNorth() == (d == "N")
        : session_->movingWE() && session_->movingWest() == (d == "O");
    if (d == "N" || d == "S") {
        ok = session_->startNS(d == "N");
    } else if (d == "E" || d == "O") {
        axe = AxeAD;
        ok = session_->startWE(d == "O");
    } else {
        return;
    }
    if (!ok)
        return;
    // The move belongs to whoever pressed last: that page's beats keep it going.
    mouvements[axe].page = page;
    if (!mêmeMouvement)
        mouvements[axe].débutMs = loop.monotonicMs();
    watchdog.start();
    toPage(ToutesLesPages, moves());
}

// A release ends the move open on its axis, whoever opened it.
void WebMount::release(const QString& d)
{
    if (d == "N" || d == "S")
        endMove(AxeDEC);
    else if (d == "E" || d == "O")
        endMove(AxeAD);
}

void WebMount::endMove(Axe axe, const std::function<QString()>& why)
{
    const bool moving = axe == AxeDEC ? session_->movingNS() : session_->movingWE();
    mouvements[axe] = {};
    if (moving) {
        if (axe == AxeDEC)
            session_->stopNS();
        else
            session_->stopWE();
        if (why)
            logAll(why);
    }
    if (mouvements[AxeDEC].page < 0 && mouvements[AxeAD].page < 0)
        watchdog.stop();
    toPage(ToutesLesPages, moves());
}

// A page that fell silent (asleep, out of range, frozen) no longer holds its move.
void WebMount::watch()
{
    const std::int64_t now = loop.monotonicMs();
    for (Axe axe : { AxeDEC, AxeAD }) {
        const Mouvement m = mouvements[axe];
        if (m.page < 0)
            continue;
        const auto page = pages.find(m.page);
        if (page == pages.end() || now - page->second.dernierSigneMs > options.silenceMs)
            endMove(axe, [] { return q(web_texts::MouvementSansNouvelles); });
        else if (options.longestMoveS > 0 && now - m.débutMs > options.longestMoveS * std::int64_t { 1000 })
            endMove(axe, [this] { return q(web_texts::MouvementTropLong).arg(options.longestMoveS); });
    }
}

void WebMount::speed(int index)
{
    if (index < 0 || index >= protocol::NombreVitesses)
        return;
    session_->setRate(index);
    speedIndex = index;
    toPage(ToutesLesPages, { { "t", "speed" }, { "i", index } });
}

void WebMount::autoguiding(bool on)
{
    if (!session_->setAutoguiding(on))
        return;
    autoguidage = on;
    toPage(ToutesLesPages, { { "t", "auto" }, { "on", on } });
    logAll([on] { return q(on ? motion_texts::LigneAutoguidageMarche : motion_texts::LigneAutoguidageArrêt); });
}

void WebMount::search(int page, const QString& text)
{
    QJsonArray list;
    for (const std::string& libellé : frmTKR52princ::propositionsObjet(text.toStdString())) {
        if (list.size() >= web_limits::PropositionsMax)
            break;
        list.append(q(libellé));
    }
    toPage(page, { { "t", "suggest" }, { "q", text }, { "list", list } });
}

void WebMount::choose(int page, const QString& text)
{
    const std::string saisie = text.trimmed().toStdString();
    if (saisie.empty())
        return;
    const catalogue::Objet* objet = catalogue::trouver(saisie);
    if (!objet) {
        log(page, q(catalogue_texts::ObjetInconnu) + q(saisie));
        return;
    }
    const catalogue::Position place = catalogue::positionDuJour(*objet, utcMs(), options.lieu);
    const auto champs = frmTKR52princ::champsDePosition(place.ad, place.dec);
    fields(page, champs, q(objet->libellé()));
    QString ligne
        = q(catalogue_texts::ObjetChoisi) + q(objet->libellé()) + " " + q(frmTKR52princ::texteChamps(champs));
    if (objet->corps)
        ligne += q(catalogue_texts::À) + QTime::currentTime().toString("HH:mm:ss");
    log(page, ligne);
    if (objet->corps == sky::Corps::Lune && !options.lieu)
        log(page, q(catalogue_texts::LuneGéocentrique));
}

void WebMount::fields(int page, const frmTKR52princ::PiècesCoordonnées& champs, const QString& label)
{
    const QJsonArray f { q(champs.heures), q(champs.minutes), q(champs.secondes), q(champs.degrés),
        q(champs.minutesDEC), q(champs.secondesDEC) };
    toPage(page, { { "t", "fields" }, { "f", f }, { "label", label } });
}

// A planetarium's text pasted into the page: its six pieces into the fields, all or nothing.
void WebMount::paste(int page, const QString& text)
{
    const auto pièces = frmTKR52princ::découperPressePapier(text.toStdString());
    if (!pièces) {
        log(page, q(entry_texts::CoordonnéesNonReconnues));
        return;
    }
    if (!pièces->j2000) {
        fields(page, *pièces, {});
        return;
    }
    // The mount works in the frame of the date, as the catalogue does.
    const auto place = catalogue::positionDuJour(pièces->j2000->ad, pièces->j2000->dec, 0, 0, utcMs());
    const auto champs = frmTKR52princ::champsDePosition(place.ad, place.dec);
    fields(page, champs, {});
    log(page, q(catalogue_texts::J2000VersDate) + q(frmTKR52princ::texteChamps(champs)));
}

// The six entry fields read as the window reads them.
std::optional<std::pair<double, float>> WebMount::readFields(const QJsonObject& m) const
{
    const QJsonArray f = m.value("f").toArray();
    if (f.size() != ChampsCible)
        return std::nullopt;
    std::array<std::string, ChampsCible> t;
    for (int i = 0; i < ChampsCible; ++i) {
        if (!f[i].isString())
            return std::nullopt;
        t[static_cast<std::size_t>(i)] = f[i].toString().left(web_limits::TailleMaxMessage).toStdString();
    }
    const double h = frmTKR52princ::nombreEnTête(t[0]);
    const double mi = frmTKR52princ::nombreEnTête(t[1]);
    const auto s = frmTKR52princ::secondesEnTête(t[2]);
    const double d = frmTKR52princ::nombreEnTête(t[3]);
    const double dm = frmTKR52princ::nombreEnTête(t[4]);
    const auto ds = frmTKR52princ::secondesEnTête(t[5]);
    if (!s || !ds)
        return std::nullopt;
    const double ad = ((h + mi / 60.0) + *s / 3600.0) / HeuresParTour * TourDegrés;
    // The sign is the one typed before the degrees, so that -00 30' reads south of the equator.
    const bool sud = QString::fromStdString(t[3]).trimmed().startsWith('-');
    const double valeur = sud ? (d - dm / 60.0) - *ds / 3600.0 : (d + dm / 60.0) + *ds / 3600.0;
    if (!std::isfinite(ad) || !std::isfinite(valeur) || std::fabs(valeur) > 1e30)
        return std::nullopt;
    return std::pair { ad, static_cast<float>(valeur) };
}

void WebMount::pointing(int page, const QJsonObject& m, Étape étape)
{
    if (lineGone) {
        info(page, q(pointing_texts::RienEnvoyé));
        return;
    }
    if (session_->slewing()) {
        if (étape == Étape::Goto)
            logAll([] { return q(web_texts::GotoDéjàEnCours); });
        else
            log(page, q(web_texts::InitPendantGoto));
        return;
    }
    const auto cible = readFields(m);
    if (!cible || !protocol::cibleEncodable(cible->first, cible->second, étape == Étape::Goto)) {
        info(page, q(pointing_texts::HorsLimites));
        return;
    }
    ask(page, étape, cible->first, cible->second,
        q(étape == Étape::Goto ? pointing_texts::QuestionGoto : pointing_texts::QuestionInit), true);
}

void WebMount::ask(int page, Étape étape, double ad, float dec, const QString& text, bool okDefault)
{
    const Question question { nextQuestion++, étape, ad, dec };
    pages[page].question = question;
    toPage(page,
        { { "t", "ask" }, { "id", question.id }, { "text", text }, { "def", okDefault ? "ok" : "cancel" } });
}

void WebMount::answer(int page, int id, bool ok)
{
    auto& pending = pages[page].question;
    if (!pending || pending->id != id)
        return;
    const Question question = *pending;
    pending.reset();
    const std::int64_t maintenant = utcMs();
    const sky::Place cible { question.ad, static_cast<double>(question.dec) };
    if (!ok) {
        if (question.étape == Étape::Soleil) {
            const double écart
                = sky::séparation(cible, sky::placeApparente(sky::Corps::Soleil, maintenant, options.lieu));
            log(page,
                q(pointing_texts::GotoAnnuléSoleil) + QString::number(sky::degrésEntiers(écart))
                    + q(pointing_texts::Degrés));
        } else if (question.étape == Étape::Horizon) {
            log(page,
                q(pointing_texts::GotoAnnuléHorizon)
                    + QString::number(sky::degrésEntiers(sky::hauteur(cible, maintenant, *options.lieu)))
                    + q(pointing_texts::DegrésFin));
        }
        return;
    }
    afterQuestion(page, question);
}

// After each OK, the next question of the chain, or the action.
void WebMount::afterQuestion(int page, Question question)
{
    const std::int64_t maintenant = utcMs();
    const sky::Place cible { question.ad, static_cast<double>(question.dec) };
    if (question.étape == Étape::Init) {
        if (session_->slewing()) {
            log(page, q(web_texts::InitPendantGoto));
            return;
        }
        if (!session_->sync(question.ad / protocol::DegrésParHeure, question.dec)) {
            info(page, q(pointing_texts::RienEnvoyé));
            return;
        }
        // The controller now reads the reference where it is: the alignment starts anew on that star.
        étoiles.clear();
        initialisé = true;
        if (options.lieu) {
            const alignment::Place référence = alignment::localPlace(
                { question.ad, question.dec }, sky::tempsSidéralLocal(maintenant, *options.lieu));
            étoiles.add({ référence, référence });
        }
        info(page, q(protocol_texts::SystèmeInitialisé));
        return;
    }
    if (question.étape == Étape::Goto) {
        // An unfiltered instrument pointed at the Sun, or sweeping across it, blinds its user.
        const double écart
            = sky::séparation(cible, sky::placeApparente(sky::Corps::Soleil, maintenant, options.lieu));
        if (écart < sky::DistanceSoleilMin) {
            ask(page, Étape::Soleil, question.ad, question.dec,
                q(pointing_texts::AlerteSoleilDébut) + QString::number(sky::degrésEntiers(écart))
                    + q(pointing_texts::AlerteSoleilFin),
                false);
            return;
        }
        question.étape = Étape::Soleil;
    }
    if (question.étape == Étape::Soleil && options.lieu) {
        const double h = sky::hauteur(cible, maintenant, *options.lieu);
        if (h < 0) {
            ask(page, Étape::Horizon, question.ad, question.dec,
                q(pointing_texts::SousHorizonDébut) + QString::number(sky::degrésEntiers(h))
                    + q(pointing_texts::SousHorizonFin),
                false);
            return;
        }
    }
    startGoto(page, question.ad, question.dec);
}

void WebMount::startGoto(int page, double ad, float dec)
{
    // Another page may have started one while this page's questions were open.
    if (session_->slewing()) {
        logAll([] { return q(web_texts::GotoDéjàEnCours); });
        return;
    }
    if (étoiles.size() >= 2 && options.lieu) {
        // The place to command so that the sky's place comes into the eyepiece.
        const double tsl = sky::tempsSidéralLocal(utcMs(), *options.lieu);
        const alignment::Equatorial monture = alignment::equatorialPlace(
            étoiles.model().mountFromSky(alignment::localPlace({ ad, dec }, tsl)), tsl);
        const auto decModèle = static_cast<float>(monture.decDeg);
        if (!protocol::cibleEncodable(monture.raDeg, decModèle, true)) {
            info(page, q(pointing_texts::HorsLimites));
            return;
        }
        logAll([&] {
            return q(pointing_texts::ModèleDébut)
                + minutes(std::remainder(monture.raDeg - ad, TourDegrés) * MinutesParDegré, true)
                + q(pointing_texts::ModèleAD)
                + minutes(static_cast<double>(decModèle - dec) * MinutesParDegré, true)
                + q(pointing_texts::ModèleDEC);
        });
        ad = monture.raDeg;
        dec = decModèle;
    }
    if (session_->slew(ad / protocol::DegrésParHeure, dec))
        toPage(ToutesLesPages, { { "t", "busy" }, { "on", true } });
    else
        info(page, q(pointing_texts::RienEnvoyé));
}

void WebMount::align(int page, double ad, double dec)
{
    if (session_->slewing())
        return;
    if (!initialisé) {
        info(page, q(pointing_texts::AlignerSansInitialisation));
        return;
    }
    if (!options.lieu) {
        info(page, q(pointing_texts::AlignerSansLieu));
        return;
    }
    // The mount's place is read now, then the star is added with it.
    if (étoileEnAttente)
        return;
    if (!session_->query()) {
        info(page, q(pointing_texts::AlignerSansPosition));
        return;
    }
    étoileEnAttente = ÉtoileEnAttente { page, ad, dec };
}

void WebMount::addStar(const ÉtoileEnAttente& étoile)
{
    const int page = étoile.page;
    const double ad = étoile.ad;
    const double dec = étoile.dec;
    const std::int64_t maintenant = utcMs();
    const double tsl = sky::tempsSidéralLocal(maintenant, *options.lieu);
    const alignment::Fit fit = étoiles.add(
        { alignment::localPlace({ protocol::degrésAD(countAD), protocol::degrésDEC(countDEC) }, tsl),
            alignment::localPlace({ ad, dec }, tsl) });
    if (!fit.ok()) {
        log(page, q(fit.message));
        info(page, q(fit.message));
        return;
    }
    const std::size_t n = étoiles.size();
    const auto ligne = [&] {
        return q(pointing_texts::AlignementDébut) + QString::number(n)
            + q(n > 1 ? pointing_texts::Étoiles : pointing_texts::Étoile) + q(pointing_texts::Résidu)
            + minutes(fit.rms * MinutesParRadian, false) + q(pointing_texts::Minutes);
    };
    logAll(ligne);
    toAll([&] { return QJsonObject { { "t", "stars" }, { "n", static_cast<int>(n) }, { "text", ligne() } }; });
}

void WebMount::toPage(int page, const QJsonObject& m)
{
    if (send)
        send(page, QJsonDocument(m).toJson(QJsonDocument::Compact));
}

void WebMount::log(int page, const QString& line)
{
    toPage(page, { { "t", "log" }, { "text", line } });
}

void WebMount::linkDown(const protocol::Incident& why)
{
    linkWhy = why;
    tellTerminal(why);
    toAll([&] { return QJsonObject { { "t", "link" }, { "ok", false }, { "text", worded(why) } }; });
}

void WebMount::toAll(const std::function<QJsonObject()>& make)
{
    for (const langue::Langue l : { langue::Langue::fr, langue::Langue::en }) {
        std::optional<QByteArray> message;
        for (const auto& [number, page] : pages) {
            if (page.langue != l || !send)
                continue;
            if (!message) {
                const langue::Portée portée(l);
                message = QJsonDocument(make()).toJson(QJsonDocument::Compact);
            }
            send(number, *message);
        }
    }
}

void WebMount::logAll(const std::function<QString()>& line)
{
    toAll([&] { return QJsonObject { { "t", "log" }, { "text", line() } }; });
}

void WebMount::info(int page, const QString& text)
{
    toPage(page, { { "t", "info" }, { "text", text } });
}

QJsonObject WebMount::moves() const
{
    const QString ns = session_->movingNS() ? (session_->movingNorth() ? "N" : "S") : "";
    const QString we = session_->movingWE() ? (session_->movingWest() ? "O" : "E") : "";
    return { { "t", "moves" }, { "ns", ns }, { "we", we } };
}

QJsonObject WebMount::state() const
{
    return { { "t", "state" }, { "speed", speedIndex }, { "auto", autoguidage },
        { "busy", session_->slewing() }, { "ns", moves().value("ns") }, { "we", moves().value("we") },
        { "link", !linkWhy }, { "linkText", linkWhy ? worded(*linkWhy) : QString() },
        { "known", positionKnown }, { "ra", ra }, { "dec", dec },
        { "stars", static_cast<int>(étoiles.size()) } };
}

} // namespace web
