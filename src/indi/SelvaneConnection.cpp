// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's line: connecting (serial, network, simulator), the controller's check, losing and
// closing the line, the polling.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numbers>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <indicom.h>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "protocol/drain.h"
#include "protocol/wire.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"

namespace indi_driver {

namespace {
// Appends the simulator's wire trace to a file, one line per read or write; with showTruePlace,
// the telescope's true place after each "Ok".
void traceTo(sim::MountSimulator& simulator, const char* path, bool showTruePlace)
{
    FILE* opened = std::fopen(path, "a");
    if (!opened)
        return;
    auto file = std::shared_ptr<FILE>(opened, std::fclose);
    auto guard = std::make_shared<std::mutex>();
    simulator.setTraceSink([file, guard, showTruePlace, &simulator](const sim::TraceEntry& entry) {
        std::lock_guard lock(*guard);
        std::fprintf(file.get(), "%10.3f %s \"%s\"\n", entry.timeMs,
            entry.direction == sim::Direction::Received ? "<-" : "->", sim::printable(entry.bytes).c_str());
        if (showTruePlace && entry.direction == sim::Direction::Sent
            && entry.bytes == protocol::FinDeRalliement) {
            const sim::TruePointing vraie = simulator.truePointing();
            constexpr double heuresParRadian = 12.0 / std::numbers::pi;
            std::fprintf(file.get(), "== true place %.6f h %.5f deg\n", vraie.raRad * heuresParRadian,
                vraie.decRad * heuresParRadian * protocol::DegrésParHeure);
        }
        std::fflush(file.get());
    });
}
} // namespace

// ---- Connection ----

void SelvaneTelescope::connectRequested()
{
    if (link == Link::Open) {
        setConnected(true, IPS_OK);
        return;
    }
    if (link == Link::Checking)
        return;
    if (link == Link::Lost)
        disconnectRequested();

    if (isSimulation()) {
        sim::Options options;
        if (const char* rate = std::getenv(VitesseSimulateur))
            options.rates.slew = std::atof(rate) > 0 ? std::atof(rate) : options.rates.slew;
        // With mount errors (sim::kErrorsVariable), the trace gets the true place after each "Ok".
        options.errors = sim::errorsFromEnvironment();
        simulator = std::make_unique<sim::MountSimulator>(options);
        if (const char* path = std::getenv(TraceSimulateur))
            traceTo(*simulator, path, options.errors.any());
        if (!simulator->start()) {
            simulator.reset();
            setConnected(false, IPS_ALERT, indi_texts::SimulateurImpossible);
            return;
        }
        portName = simulator->devicePath();
        LOGF_INFO("%s", formatted(indi_texts::Simulation, portName).c_str());
    } else if (getActiveConnection() == network) {
        if (!openNetwork())
            return;
        link = Link::Checking;
        setConnected(false, IPS_BUSY, formatted(indi_texts::Vérification, portName).c_str());
        awaitNetwork(monotonicMs() + ConnexionRéseauMaxMs);
        return;
    } else {
        portName = serial->portPath();
    }

    const int rc = tty_connect(portName.c_str(), Baud, BitsDeDonnées, SansParité, BitsDeStop, &fd);
    if (rc != TTY_OK) {
        char why[MAXRBUF];
        tty_error_msg(rc, why, sizeof why);
        fd = -1;
        simulator.reset();
        setConnected(false, IPS_ALERT, formatted(indi_texts::PortImpossible, portName, why).c_str());
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::tcflush(fd, TCIFLUSH); // what was waiting on the line answers nothing we asked
    lineOpened();
}

bool SelvaneTelescope::openNetwork()
{
    portName = network->address();
    const std::string host = network->hostName() ? network->hostName() : "";
    const std::string port = network->portText() ? network->portText() : "";
    if (host.empty() || !portValide(port)) {
        networkFailed(formatted(indi_texts::AdresseInvalide, portName));
        return false;
    }
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int looked = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (looked != 0) {
        networkFailed(formatted(indi_texts::PortImpossible, portName, ::gai_strerror(looked)));
        return false;
    }
    addresses.reset(found);
    nextAddress = found;
    overNetwork = true;
    return connectNextAddress();
}

bool SelvaneTelescope::connectNextAddress()
{
    // A name may stand for several addresses ("localhost": ::1 and 127.0.0.1): each in turn.
    std::string why;
    for (; nextAddress && fd < 0; nextAddress = nextAddress->ai_next) {
        const addrinfo& a = *nextAddress;
        const int s = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
        if (s < 0) {
            why = std::strerror(errno);
        } else if (::connect(s, a.ai_addr, a.ai_addrlen) == 0 || errno == EINPROGRESS) {
            // Each command goes out as it is written, not held back to be joined with the next.
            const int on = 1;
            ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            fd = s;
        } else {
            why = std::strerror(errno);
            ::close(s);
        }
    }
    if (fd >= 0)
        return true;
    networkFailed(formatted(indi_texts::PortImpossible, portName, why));
    return false;
}

void SelvaneTelescope::awaitNetwork(std::int64_t deadlineMs)
{
    pollfd writable { fd, POLLOUT, 0 };
    if (::poll(&writable, 1, 0) == 0) {
        if (monotonicMs() < deadlineMs) {
            connectTimer = addTimer(ConnexionRéseauPasMs, [this, deadlineMs] {
                connectTimer = -1;
                awaitNetwork(deadlineMs);
            });
        } else {
            networkFailed(
                formatted(indi_texts::HôteMuet, portName, std::to_string(ConnexionRéseauMaxMs / 1000)));
        }
        return;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error == 0) {
        addresses.reset();
        lineOpened();
        return;
    }
    ::close(fd);
    fd = -1;
    if (!nextAddress) {
        networkFailed(formatted(indi_texts::PortImpossible, portName, std::strerror(error)));
        return;
    }
    if (connectNextAddress())
        awaitNetwork(deadlineMs);
}

void SelvaneTelescope::networkFailed(const std::string& why)
{
    closeLine();
    LOGF_ERROR("%s", why.c_str());
    setConnected(false, IPS_ALERT, why.c_str());
}

void SelvaneTelescope::lineOpened()
{
    SessionEvents events;
    events.checked = [this](const std::optional<protocol::Incident>& échec) { checked(échec); };
    events.position = [this](double ra, double dec) {
        // Where the telescope points, by the model when it has stars enough.
        const Équatoriales pointée = pointingModel.positionRead({ ra, dec }, site);
        EqN[AXIS_RA].value = pointée.ra;
        EqN[AXIS_DE].value = pointée.dec;
        // The star of a Sync that the model refused: the Sync failed, and says why.
        const auto refused = pointingModel.takeRefusal();
        EqNP.s = refused ? IPS_ALERT : IPS_OK;
        if (refused)
            IDSetNumber(&EqNP, "%s", refused->c_str());
        else
            IDSetNumber(&EqNP, nullptr);
        pumpSharedLine();
    };
    events.positionFailed = [this](const protocol::Incident& échec) {
        EqNP.s = IPS_ALERT;
        IDSetNumber(&EqNP, "%s", indi_texts::formulation(échec).c_str());
        pumpSharedLine();
    };
    events.slewEnded = [this](const std::optional<protocol::Incident>& échec) {
        TrackState = SCOPE_IDLE;
        EqNP.s = échec ? IPS_ALERT : IPS_OK;
        IDSetNumber(&EqNP, "%s", échec ? indi_texts::formulation(*échec).c_str() : indi_texts::GotoTerminé);
        pumpSharedLine();
    };
    // The programs of the shared port read their own replies; the position replies also answer
    // their queries while a slew is under way.
    events.elsewhere
        = [this](std::string_view bytes) { return shared ? shared->aiguillage().deLaLigne(bytes) : 0; };
    events.positionReply = [this](bool ra, const std::string& reply) {
        if (shared)
            shared->aiguillage().positionLue(ra, reply);
    };
    events.log = [this](const std::string& message) { LOGF_INFO("%s", message.c_str()); };
    events.linkLost = [this](const protocol::Incident& why) { linkLost(indi_texts::formulation(why)); };
    session = std::make_unique<MountSession>(fd, static_cast<Loop&>(*this), std::move(events));
    readCallback = IEAddCallback(fd, portReadable, this);

    link = Link::Checking;
    setConnected(false, IPS_BUSY, formatted(indi_texts::Vérification, portName).c_str());
    session->check();
}

void SelvaneTelescope::checked(const std::optional<protocol::Incident>& échec)
{
    if (link != Link::Checking)
        return;
    if (échec) {
        // The garbled reply itself follows "illisible" once; other failures are worded whole.
        const std::string why = échec->code == protocol::Échec::PasDeRéponse
            ? indi_texts::contrôleurMuet(portName)
            : échec->code == protocol::Échec::RéponseIllisible
            ? formatted(indi_texts::ContrôleurIllisible, portName, échec->détail)
            : formatted(indi_texts::VérificationÉchouée, portName, indi_texts::formulation(*échec));
        closeLine();
        LOGF_ERROR("%s", why.c_str());
        setConnected(false, IPS_ALERT, why.c_str());
        return;
    }
    link = Link::Open;
    if (!simulator) {
        if (overNetwork)
            network->remember();
        else
            serial->remember();
        saveConfig(true, ModeDeConnexion);
    }
    TrackState = SCOPE_IDLE;
    setConnected(true, IPS_OK, formatted(indi_texts::Connecté, portName).c_str());
    updateProperties();
    schedulePoll();
    poll();
}

void SelvaneTelescope::disconnectRequested()
{
    if (session && link == Link::Open)
        session->stopMoves();
    closeLine();
    // The next connection starts as the window does: no move, autoguiding off, "Sidéral" shown.
    IUResetSwitch(&MovementNSSP);
    IUResetSwitch(&MovementWESP);
    MovementNSSP.s = MovementWESP.s = IPS_IDLE;
    last_ns_motion = last_we_motion = -1;
    for (int i = 0; i < RatesCount; ++i)
        SlewRateS[i].s = i == 0 ? ISS_ON : ISS_OFF;
    SlewRateSP.s = IPS_IDLE;
    AutoguidingS[0].s = ISS_OFF;
    AutoguidingS[1].s = ISS_ON;
    AutoguidingSP.s = IPS_IDLE;
    EqNP.s = IPS_IDLE;
    TrackState = SCOPE_IDLE;
    setConnected(false, IPS_IDLE);
    updateProperties();
}

void SelvaneTelescope::closeLine(bool atOnce)
{
    closeSharedPort(atOnce);
    cancel(nsTimer);
    cancel(weTimer);
    ligneDesMouvements = -1;
    mouvementDEC = mouvementAD = false;
    cancel(pollTimer);
    cancel(connectTimer);
    if (readCallback >= 0)
        IERmCallback(readCallback);
    readCallback = -1;
    letSimulatorCatchUp();
    // The session may be the caller (a reply, a lost link): it goes once the loop is back.
    if (atOnce) {
        session.reset();
    } else if (session) {
        auto* retired = session.release();
        addTimer(0, [retired] { delete retired; });
    }
    // Drained, never flushed: a stop just written must reach the mount.
    protocol::closeDrained(fd);
    fd = -1;
    overNetwork = false;
    addresses.reset();
    nextAddress = nullptr;
    simulator.reset();
    link = Link::Closed;
}

void SelvaneTelescope::linkLost(const std::string& why)
{
    const bool wasChecking = link == Link::Checking;
    closeLine();
    LOGF_ERROR("%s", why.c_str());
    if (wasChecking) {
        setConnected(false, IPS_ALERT, why.c_str());
        return;
    }
    // The properties stay, in Alert, until the client disconnects; connecting again reopens.
    link = Link::Lost;
    EqNP.s = IPS_ALERT;
    IDSetNumber(&EqNP, nullptr);
    for (ISwitchVectorProperty* p : { &MovementNSSP, &MovementWESP }) {
        IUResetSwitch(p);
        p->s = IPS_ALERT;
        IDSetSwitch(p, nullptr);
    }
    last_ns_motion = last_we_motion = -1;
    AutoguidingSP.s = IPS_ALERT;
    IDSetSwitch(&AutoguidingSP, nullptr);
    setConnected(true, IPS_ALERT, why.c_str());
}

void SelvaneTelescope::shutdown()
{
    if (session && link == Link::Open)
        session->stopMoves();
    closeLine(true);
}

void SelvaneTelescope::letSimulatorCatchUp()
{
    // The in-process simulator reads on its own thread: let it take the last commands (the stop
    // of a move) before it is stopped, as a real controller would.
    constexpr int AttenteMaxMs = 500;
    if (simulator && session)
        simulator->waitForCommands(session->commandsSent(), AttenteMaxMs);
}

// ---- Polling ----

void SelvaneTelescope::schedulePoll()
{
    pollTimer = addTimer(static_cast<int>(getCurrentPollingPeriod()), [this] {
        pollTimer = -1;
        schedulePoll();
        poll();
    });
}

void SelvaneTelescope::poll()
{
    // A query still under way, a GOTO or a program's request holds the line: this tick is skipped.
    if (link == Link::Open && session && !lineHeldByProgram())
        session->query();
}

} // namespace indi_driver
