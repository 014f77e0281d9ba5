// SPDX-License-Identifier: GPL-3.0-or-later
// The event-driven session: queries, GOTO and moves on the protocol's sequences.
#include "protocol/MountSession.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <poll.h>
#include <unistd.h>

#include "protocol/codec.h"
#include "protocol/texts.h"

namespace protocol {

namespace {
constexpr double HeuresParTour = 24.0;
constexpr double DECMax = 90.0;
constexpr std::size_t TailleLecture = 256;
// A write the port does not take is retried this often, this long apart, before the link is lost.
constexpr int EssaisÉcriture = 10;
constexpr int AttenteÉcritureMs = 100;
// The clock angle of a time of day, counted from midnight.
constexpr float OrigineMinuit = 0.0f;
// The compensation's log line is written with a point whatever the locale.
constexpr const char* SéparateurDécimal = ".";
} // namespace

MountSession::MountSession(int fd, Loop& loop, SessionEvents events, Limits limits)
    : fd(fd)
    , loop(loop)
    , events(std::move(events))
    , limits(limits)
    , Vitesse(VitesseDépart)
{
}

MountSession::~MountSession()
{
    loop.cancel(replyTimer);
    loop.cancel(quietTimer);
    loop.cancel(slewTimer);
}

bool MountSession::send(const std::string& command)
{
    if (linkGone)
        return false;
    std::size_t done = 0;
    int attempts = 0;
    while (done < command.size()) {
        const ssize_t n = ::write(fd, command.data() + done, command.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            loseLink(Échec::ErreurÉcriture, std::strerror(errno));
            return false;
        }
        // The output buffer is full: a few short, bounded waits for the line to drain.
        if (++attempts > EssaisÉcriture) {
            loseLink(Échec::ÉcritureBloquée);
            return false;
        }
        pollfd p { fd, POLLOUT, 0 };
        ::poll(&p, 1, AttenteÉcritureMs);
    }
    commandCount += static_cast<std::size_t>(std::count(command.begin(), command.end(), '#'));
    // The target the controller now holds, whoever gave it.
    if (command.rfind(CibleAD, 0) == 0)
        targetRa = command;
    else if (command.rfind(CibleDEC, 0) == 0)
        targetDec = command;
    if (events.written)
        events.written(command);
    return true;
}

bool MountSession::send(const Commandes& commands)
{
    for (const std::string& command : commands)
        if (!send(command))
            return false;
    return true;
}

void MountSession::loseLink(Échec code, const std::string& détail)
{
    if (linkGone)
        return;
    linkGone = true;
    loop.cancel(replyTimer);
    loop.cancel(quietTimer);
    loop.cancel(slewTimer);
    query_ = Query::None;
    stage = Stage::Idle;
    nsMoving = weMoving = false;
    if (events.linkLost)
        events.linkLost(Incident { code, détail });
}

void MountSession::readable()
{
    char buffer[TailleLecture];
    while (!linkGone) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            std::string_view rest(buffer, static_cast<std::size_t>(n));
            while (!rest.empty() && !linkGone) {
                if (events.elsewhere)
                    rest.remove_prefix(events.elsewhere(rest));
                if (rest.empty())
                    break;
                take(rest.front());
                rest.remove_prefix(1);
            }
            continue;
        }
        if (n == 0) {
            loseLink(Échec::Raccroché);
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            loseLink(Échec::ErreurLecture, std::strerror(errno));
        return;
    }
}

// Each character goes to whoever waits for it at that moment, as the window's successive reads do.
void MountSession::take(char c)
{
    if (stage != Stage::Idle) {
        if (okWait.ajouter(c))
            okSeen();
        return;
    }
    if (quietTimer >= 0) {
        noiseDuringQuiet = true;
        return;
    }
    if (query_ != Query::None && reader.ajouter(c))
        replyComplete();
    // Anything else (leftovers of a reply given up) is dropped, as the reader drops what precedes ":".
}

void MountSession::check()
{
    startRaQuery(Query::Check);
}

bool MountSession::query()
{
    if (linkGone || query_ != Query::None || stage != Stage::Idle)
        return false;
    pendingRa.reset();
    pendingDec.reset();
    startRaQuery(Query::Ra);
    return true;
}

void MountSession::startRaQuery(Query kind)
{
    query_ = kind;
    reader.recommencer();
    if (!send(DemandeAD))
        return;
    replyTimer = loop.addTimer(limits.replyMs, [this] { replyTimedOut(); });
}

void MountSession::replyComplete()
{
    loop.cancel(replyTimer);
    const std::string reply = reader.réponse();
    reader.recommencer();
    switch (query_) {
    case Query::Check: {
        query_ = Query::None;
        if (events.checked)
            events.checked(
                compteAD(reply) ? std::nullopt : std::optional(Incident { Échec::RéponseIllisible, reply }));
        return;
    }
    case Query::Ra:
        pendingRa = compteAD(reply);
        if (!pendingRa)
            return endQuery(Échec::RéponseIllisible, reply);
        if (events.positionReply)
            events.positionReply(true, reply);
        break;
    case Query::Dec:
        pendingDec = compteDEC(reply);
        if (!pendingDec)
            return endQuery(Échec::RéponseIllisible, reply);
        if (events.positionReply)
            events.positionReply(false, reply);
        break;
    case Query::None:
        return;
    }
    // On a suspect line a reply counts only if nothing follows it: what follows would mean that
    // the reply taken answered an earlier command.
    if (suspect) {
        noiseDuringQuiet = false;
        quietTimer = loop.addTimer(limits.quietMs, [this] { afterQuiet(); });
        return;
    }
    afterQuiet();
}

void MountSession::afterQuiet()
{
    quietTimer = -1;
    if (noiseDuringQuiet) {
        noiseDuringQuiet = false;
        return endQuery(Échec::RéponseDécalée);
    }
    if (query_ == Query::Ra) {
        query_ = Query::Dec;
        if (send(DemandeDEC))
            replyTimer = loop.addTimer(limits.replyMs, [this] { replyTimedOut(); });
        return;
    }
    query_ = Query::None;
    suspect = false;
    double hours = static_cast<double>(degrésAD(*pendingRa)) / DegrésParHeure;
    if (!(hours >= 0 && hours < HeuresParTour)) // only an absurd count lands outside one turn
        hours = std::fmod(std::fmod(hours, HeuresParTour) + HeuresParTour, HeuresParTour);
    if (events.position)
        events.position(hours, static_cast<double>(degrésDEC(*pendingDec)));
}

void MountSession::replyTimedOut()
{
    replyTimer = -1;
    if (query_ == Query::Check) {
        query_ = Query::None;
        if (events.checked)
            events.checked(Incident { Échec::PasDeRéponse, {} });
        return;
    }
    endQuery(Échec::PasDeRéponse);
}

void MountSession::endQuery(Échec code, const std::string& détail)
{
    loop.cancel(replyTimer);
    loop.cancel(quietTimer);
    query_ = Query::None;
    reader.recommencer();
    suspect = true;
    if (events.positionFailed)
        events.positionFailed(Incident { code, détail });
}

std::optional<ProblèmeCible> MountSession::targetProblem(double raHours, double decDegrees)
{
    if (!std::isfinite(raHours) || !std::isfinite(decDegrees))
        return ProblèmeCible::NonNombre;
    if (raHours < 0 || raHours > HeuresParTour || decDegrees < -DECMax || decDegrees > DECMax)
        return ProblèmeCible::HorsLimites;
    if (!cibleEncodable(raHours * DegrésParHeure, static_cast<float>(decDegrees), true))
        return ProblèmeCible::Incodable;
    return std::nullopt;
}

bool MountSession::slew(double raHours, double decDegrees)
{
    if (linkGone || stage != Stage::Idle || targetProblem(raHours, decDegrees))
        return false;
    // A query under way gives the line up; its reply, if it comes, is read by the "Ok" wait.
    if (query_ != Query::None) {
        loop.cancel(replyTimer);
        loop.cancel(quietTimer);
        query_ = Query::None;
        suspect = true;
    }
    objectAD = raHours * DegrésParHeure;
    objectDEC = static_cast<float>(decDegrees);
    const Commandes leg = premierRalliement(objectAD, objectDEC);
    if (!send(leg[0]))
        return false;
    if (events.log)
        events.log(protocol_texts::GotoAD + champsCibleAD(objectAD));
    okWait.recommencer();
    if (!send(leg[1]) || !send(leg[2]))
        return false;
    stage = Stage::First;
    TempsGOTO = angleHorloge(loop.localTime(), OrigineMinuit);
    slewStartMs = loop.monotonicMs();
    slewTimer = loop.addTimer(limits.slewMs, [this] { slewTimedOut(); });
    if (events.log)
        events.log(protocol_texts::GotoEnProgression.texte());
    return true;
}

// Both waits end here; what follows the "k" goes to whoever reads next.
void MountSession::okSeen()
{
    loop.cancel(slewTimer);
    if (stage == Stage::First) {
        if (events.log)
            events.log(protocol_texts::GotoAtteint + okWait.réponse());
        const float fin = angleHorloge(loop.localTime(), OrigineMinuit);
        const float e = écartRalliement(TempsGOTO, fin, loop.monotonicMs() - slewStartMs);
        if (events.log)
            events.log(ligneCompensation(e, SéparateurDécimal));
        const Commandes leg = ralliementCompensé(ADcompensé(objectAD, e));
        if (!send(leg[0]))
            return;
        if (events.log)
            events.log(protocol_texts::CorrectionGoto.texte());
        okWait.recommencer();
        if (!send(leg[1]))
            return;
        stage = Stage::Second;
        slewTimer = loop.addTimer(limits.slewMs, [this] { slewTimedOut(); });
        return;
    }
    if (events.log)
        events.log(protocol_texts::CiblePointée + okWait.réponse());
    stage = Stage::Idle;
    if (!send(finRalliement(objectAD)))
        return;
    if (events.slewEnded)
        events.slewEnded(std::nullopt);
}

void MountSession::slewTimedOut()
{
    slewTimer = -1;
    stage = Stage::Idle;
    suspect = true;
    if (events.slewEnded)
        events.slewEnded(Incident { Échec::PasDeOk, {} });
}

bool MountSession::sync(double raHours, double decDegrees)
{
    if (linkGone || stage != Stage::Idle || targetProblem(raHours, decDegrees))
        return false;
    return send(initialisation(raHours * DegrésParHeure, static_cast<float>(decDegrees)));
}

void MountSession::setRate(int index)
{
    if (const std::string v = vitesse(index); !v.empty())
        Vitesse = v;
}

// The controller reads ":w#" as a toggle (it starts a west move, or ends the RA move open), so a
// stop goes out only for a move that is open, and a second start of the same move sends nothing.
// A change of direction ends the open move first.
bool MountSession::startMove(Direction direction, bool& moving, bool& first)
{
    const bool towardsFirst = direction == Direction::Nord || direction == Direction::Ouest;
    if (moving && first == towardsFirst)
        return true;
    if (moving && !stopMove(direction, moving))
        return false;
    first = towardsFirst;
    moving = send(départMouvement(Vitesse, direction));
    return moving;
}

bool MountSession::stopMove(Direction direction, bool& moving)
{
    if (!moving)
        return true;
    moving = false;
    return send(arrêtMouvement(direction));
}

bool MountSession::startNS(bool north)
{
    return startMove(north ? Direction::Nord : Direction::Sud, nsMoving, nsNorth);
}

bool MountSession::stopNS()
{
    return stopMove(Direction::Nord, nsMoving);
}

bool MountSession::startWE(bool west)
{
    return startMove(west ? Direction::Ouest : Direction::Est, weMoving, weWest);
}

bool MountSession::stopWE()
{
    return stopMove(Direction::Ouest, weMoving);
}

bool MountSession::relay(const std::string& written)
{
    if (!send(written))
        return false;
    const std::string_view command = sansBlancs(written);
    if (command == Nord || command == Sud) {
        nsMoving = true;
        nsNorth = command == Nord;
    } else if (command == ArrêtDEC) {
        nsMoving = false;
    } else if (command == Est) {
        weMoving = true;
        weWest = false;
    } else if (command == Ouest) {
        // The toggle: a west move starts, or the right ascension move open ends.
        weWest = !weMoving;
        weMoving = !weMoving;
    }
    return true;
}

void MountSession::stopMoves()
{
    stopNS();
    stopWE();
}

bool MountSession::setAutoguiding(bool on)
{
    return send(autoguidage(on));
}

} // namespace protocol
