// SPDX-License-Identifier: GPL-3.0-or-later
// The controller protocol of the INDI driver, on the window's commands, encoders and framing.
#include "indi/MountSession.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <poll.h>
#include <unistd.h>

#include "app/frmTKR52princ.h"
#include "app/texts.h"
#include "indi/texts.h"
#include "link/texts.h"
#include "motion/texts.h"
#include "pointing/texts.h"

namespace indi_driver {

namespace {
constexpr double DegrésParHeure = 15.0;
constexpr double HeuresParTour = 24.0;
constexpr double DECMax = 90.0;
constexpr std::size_t TailleLecture = 256;
// A write the port does not take is retried this often, this long apart, before the link is lost.
constexpr int EssaisÉcriture = 10;
constexpr int AttenteÉcritureMs = 100;
// The clock angle of a time of day, counted from midnight.
constexpr float OrigineMinuit = 0.0f;
} // namespace

MountSession::MountSession(int fd, Loop& loop, SessionEvents events, Limits limits)
    : fd(fd)
    , loop(loop)
    , events(std::move(events))
    , limits(limits)
    , Vitesse(app_texts::VitesseDépart)
{
}

MountSession::~MountSession()
{
    cancelTimer(replyTimer);
    cancelTimer(quietTimer);
    cancelTimer(slewTimer);
}

void MountSession::cancelTimer(int& id)
{
    if (id >= 0)
        loop.removeTimer(id);
    id = -1;
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
            loseLink(indi_texts::ErreurÉcriture + std::string(std::strerror(errno)));
            return false;
        }
        // The output buffer is full: a few short, bounded waits for the line to drain.
        if (++attempts > EssaisÉcriture) {
            loseLink(indi_texts::ÉcritureBloquée);
            return false;
        }
        pollfd p { fd, POLLOUT, 0 };
        ::poll(&p, 1, AttenteÉcritureMs);
    }
    commandCount += static_cast<std::size_t>(std::count(command.begin(), command.end(), '#'));
    return true;
}

void MountSession::loseLink(const std::string& why)
{
    if (linkGone)
        return;
    linkGone = true;
    cancelTimer(replyTimer);
    cancelTimer(quietTimer);
    cancelTimer(slewTimer);
    query_ = Query::None;
    stage = Stage::Idle;
    nsMoving = weMoving = false;
    if (events.linkLost)
        events.linkLost(why);
}

void MountSession::readable()
{
    char buffer[TailleLecture];
    while (!linkGone) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            for (ssize_t i = 0; i < n && !linkGone; ++i)
                take(buffer[i]);
            continue;
        }
        if (n == 0) {
            loseLink(indi_texts::Raccroché);
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            loseLink(indi_texts::ErreurLecture + std::string(std::strerror(errno)));
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
    if (!send(link_texts::DemandeAD))
        return;
    replyTimer = loop.addTimer(limits.replyMs, [this] { replyTimedOut(); });
}

void MountSession::replyComplete()
{
    cancelTimer(replyTimer);
    const std::string reply = reader.réponse();
    reader.recommencer();
    switch (query_) {
    case Query::Check: {
        query_ = Query::None;
        const bool ok = frmTKR52princ::compteAD(reply).has_value();
        if (events.checked)
            events.checked(ok, ok ? reply : indi_texts::RéponseIllisible + reply);
        return;
    }
    case Query::Ra:
        pendingRa = frmTKR52princ::compteAD(reply);
        if (!pendingRa)
            return endQuery(indi_texts::RéponseIllisible + reply);
        break;
    case Query::Dec:
        pendingDec = frmTKR52princ::compteDEC(reply);
        if (!pendingDec)
            return endQuery(indi_texts::RéponseIllisible + reply);
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
        return endQuery(indi_texts::RéponseDécalée);
    }
    if (query_ == Query::Ra) {
        query_ = Query::Dec;
        if (send(link_texts::DemandeDEC))
            replyTimer = loop.addTimer(limits.replyMs, [this] { replyTimedOut(); });
        return;
    }
    query_ = Query::None;
    suspect = false;
    double hours = static_cast<double>(frmTKR52princ::degrésAD(*pendingRa)) / DegrésParHeure;
    if (!(hours >= 0 && hours < HeuresParTour)) // only an absurd count lands outside one turn
        hours = std::fmod(std::fmod(hours, HeuresParTour) + HeuresParTour, HeuresParTour);
    if (events.position)
        events.position(hours, static_cast<double>(frmTKR52princ::degrésDEC(*pendingDec)));
}

void MountSession::replyTimedOut()
{
    replyTimer = -1;
    if (query_ == Query::Check) {
        query_ = Query::None;
        if (events.checked)
            events.checked(false, indi_texts::PasDeRéponse);
        return;
    }
    endQuery(indi_texts::PasDeRéponse);
}

void MountSession::endQuery(const std::string& failure)
{
    cancelTimer(replyTimer);
    cancelTimer(quietTimer);
    query_ = Query::None;
    reader.recommencer();
    suspect = true;
    if (events.positionFailed)
        events.positionFailed(failure);
}

std::string MountSession::targetProblem(double raHours, double decDegrees)
{
    if (!std::isfinite(raHours) || !std::isfinite(decDegrees))
        return indi_texts::CibleNonNombre;
    if (raHours < 0 || raHours > HeuresParTour || decDegrees < -DECMax || decDegrees > DECMax)
        return indi_texts::CibleHorsLimites;
    if (!frmTKR52princ::cibleEncodable(raHours * DegrésParHeure, static_cast<float>(decDegrees), true))
        return indi_texts::CibleIncodable;
    return {};
}

bool MountSession::slew(double raHours, double decDegrees)
{
    if (linkGone || stage != Stage::Idle || !targetProblem(raHours, decDegrees).empty())
        return false;
    // A query under way gives the line up; its reply, if it comes, is read by the "Ok" wait.
    if (query_ != Query::None) {
        cancelTimer(replyTimer);
        cancelTimer(quietTimer);
        query_ = Query::None;
        suspect = true;
    }
    objectAD = raHours * DegrésParHeure;
    objectDEC = static_cast<float>(decDegrees);
    const std::string texteAD = frmTKR52princ::get_ADH_ADL(objectAD);
    if (!send(frmTKR52princ::commandeCibleAD(objectAD)))
        return false;
    if (events.log)
        events.log(pointing_texts::GotoAD + texteAD);
    if (!send(frmTKR52princ::commandeCibleDEC(objectDEC)))
        return false;
    okWait.recommencer();
    if (!send(pointing_texts::Pointer))
        return false;
    stage = Stage::First;
    TempsGOTO = frmTKR52princ::angleHorloge(loop.localTime(), OrigineMinuit);
    slewStartMs = loop.monotonicMs();
    slewTimer = loop.addTimer(limits.slewMs, [this] { slewTimedOut(); });
    if (events.log)
        events.log(pointing_texts::GotoEnProgression);
    return true;
}

// Both waits end here; what follows the "k" goes to whoever reads next.
void MountSession::okSeen()
{
    cancelTimer(slewTimer);
    if (stage == Stage::First) {
        if (events.log)
            events.log(pointing_texts::GotoAtteint + okWait.réponse());
        const float fin = frmTKR52princ::angleHorloge(loop.localTime(), OrigineMinuit);
        const float e = frmTKR52princ::écartRalliement(TempsGOTO, fin, loop.monotonicMs() - slewStartMs);
        if (events.log)
            events.log(frmTKR52princ::ligneCompensation(e, "."));
        if (!send(frmTKR52princ::commandeCibleAD(frmTKR52princ::ADcompensé(objectAD, e))))
            return;
        if (events.log)
            events.log(pointing_texts::CorrectionGoto);
        okWait.recommencer();
        if (!send(pointing_texts::Pointer))
            return;
        stage = Stage::Second;
        slewTimer = loop.addTimer(limits.slewMs, [this] { slewTimedOut(); });
        return;
    }
    if (events.log)
        events.log(pointing_texts::CiblePointée + okWait.réponse());
    stage = Stage::Idle;
    if (!send(frmTKR52princ::commandeCibleAD(objectAD)) || !send(pointing_texts::Initialiser))
        return;
    if (events.slewEnded)
        events.slewEnded(true, indi_texts::GotoTerminé);
}

void MountSession::slewTimedOut()
{
    slewTimer = -1;
    stage = Stage::Idle;
    suspect = true;
    if (events.slewEnded)
        events.slewEnded(false, indi_texts::PasDeOk);
}

bool MountSession::sync(double raHours, double decDegrees)
{
    if (linkGone || stage != Stage::Idle || !targetProblem(raHours, decDegrees).empty())
        return false;
    float dec = static_cast<float>(decDegrees);
    return send(frmTKR52princ::commandeCibleAD(raHours * DegrésParHeure))
        && send(frmTKR52princ::commandeCibleDEC(dec)) && send(pointing_texts::Initialiser);
}

void MountSession::setRate(int index)
{
    static constexpr const char* vitesses[] = { motion_texts::VitesseSidérale, motion_texts::VitesseCentrage,
        motion_texts::VitesseRattrapage, motion_texts::VitesseRapide };
    if (index >= 0 && index < static_cast<int>(std::size(vitesses)))
        Vitesse = vitesses[index];
}

bool MountSession::startNS(bool north)
{
    nsMoving = send(Vitesse) && send(north ? motion_texts::Nord : motion_texts::Sud);
    return nsMoving;
}

bool MountSession::stopNS()
{
    nsMoving = false;
    return send(motion_texts::ArrêtDEC) && send(motion_texts::RetourSidéral);
}

bool MountSession::startWE(bool west)
{
    weMoving = send(Vitesse) && send(west ? motion_texts::Ouest : motion_texts::Est);
    return weMoving;
}

bool MountSession::stopWE()
{
    weMoving = false;
    return send(motion_texts::ArrêtAD) && send(motion_texts::RetourSidéral);
}

void MountSession::stopMoves()
{
    if (nsMoving)
        stopNS();
    if (weMoving)
        stopWE();
}

bool MountSession::setAutoguiding(bool on)
{
    return send(on ? motion_texts::AutoguidageMarche : motion_texts::AutoguidageArrêt);
}

} // namespace indi_driver
