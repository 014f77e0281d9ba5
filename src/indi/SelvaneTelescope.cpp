// SPDX-License-Identifier: GPL-3.0-or-later
// The INDI driver's properties and event handling; the protocol itself is MountSession's.
#include "indi/SelvaneTelescope.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
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
#include <indistandardproperty.h>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "protocol/drain.h"
#include "protocol/texts.h"
#include "protocol/wire.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"
#include "sky/dates.h"
#include "sky/solar_system.h"

namespace indi_driver {

// libindi's timers hand back one pointer: the callback to run and where it is filed.
struct SelvaneTelescope::TimerToken {
    SelvaneTelescope* owner = nullptr;
    std::function<void()> fn;
    int id = -1;
};

namespace {
// What a fatal signal needs to end the moves open: the line, and which axes move. If the driver
// dies anyway, the mount is not left moving.
std::atomic<int> ligneDesMouvements { -1 };
std::atomic<bool> mouvementDEC { false };
std::atomic<bool> mouvementAD { false };

void écrireSansAttendre(int fd, const char* command)
{
    [[maybe_unused]] const ssize_t n = ::write(fd, command, std::strlen(command));
}

// Only async-signal-safe calls here; the signal then ends the driver as it would have.
void arrêterSurSignalFatal(int signal)
{
    const int fd = ligneDesMouvements.exchange(-1);
    if (fd >= 0) {
        if (mouvementDEC) {
            écrireSansAttendre(fd, protocol::ArrêtDEC);
            écrireSansAttendre(fd, protocol::RetourSidéral);
        }
        if (mouvementAD) {
            écrireSansAttendre(fd, protocol::ArrêtAD);
            écrireSansAttendre(fd, protocol::RetourSidéral);
        }
        protocol::drainOutput(fd);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void arrêterLesMouvementsSurSignalFatal()
{
    struct sigaction action { };
    action.sa_handler = arrêterSurSignalFatal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : { SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL })
        sigaction(signal, &action, nullptr);
}

constexpr int Baud = 9600;
constexpr int BitsDeDonnées = 8;
constexpr int SansParité = 0;
constexpr int BitsDeStop = 1;
constexpr int RatesCount = protocol::NombreVitesses;
// How long a connection to a serial-to-network bridge may take (INDI's own limit), and how often
// it is looked at meanwhile.
constexpr int ConnexionRéseauMaxMs = 5000;
constexpr int ConnexionRéseauPasMs = 20;
constexpr const char* ModeDeConnexion = "CONNECTION_MODE";
// Hooks for the in-process simulator: a file that receives its wire trace, and its slew rate.
constexpr const char* TraceSimulateur = "SELVANE_SIM_TRACE";
constexpr const char* VitesseSimulateur = "SELVANE_SIM_SLEW_RATE";
// For the benchmarks: a file that receives, per motion or autoguiding change, the nanoseconds from
// the change reaching the driver to its bytes written.
constexpr const char* FichierLatence = "SELVANE_INDI_LATENCY";

void noteLatency(std::chrono::steady_clock::time_point start)
{
    static FILE* file = [] {
        const char* path = std::getenv(FichierLatence);
        return path ? std::fopen(path, "a") : nullptr;
    }();
    if (!file)
        return;
    const auto ns
        = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start);
    std::fprintf(file, "%lld\n", static_cast<long long>(ns.count()));
    std::fflush(file);
}

std::string formatted(const char* format, const std::string& a, const std::string& b = {})
{
    char text[MAXRBUF];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return text;
}
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

FixedSerial::FixedSerial(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save)
    : Connection::Serial(device)
    , load(std::move(load))
    , save(std::move(save))
{
    char saved[MAXINDINAME] = { 0 };
    if (IUGetConfigText(device->getDeviceName(), INDI::SP::DEVICE_PORT, "PORT", saved, MAXINDINAME) < 0)
        setDefaultPort(indi_texts::PortParDéfaut);
    setDefaultBaudRate(B_9600);
}

void FixedSerial::Activated()
{
    m_Device->defineProperty(&PortTP);
    load();
}

void FixedSerial::Deactivated()
{
    m_Device->deleteProperty(PortTP.name);
}

BridgeTcp::BridgeTcp(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save)
    : Connection::TCP(device)
    , load(std::move(load))
    , save(std::move(save))
{
}

void BridgeTcp::Activated()
{
    // Host and port only: the controller's line is a byte stream, never UDP.
    m_Device->defineProperty(&AddressTP);
    load();
}

void BridgeTcp::Deactivated()
{
    m_Device->deleteProperty(AddressTP.name);
}

std::string BridgeTcp::address() const
{
    const std::string host = hostName() ? hostName() : "";
    // A bare IPv6 address is shown as [::1]:2000.
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + (portText() ? portText() : "");
}

SelvaneTelescope::SelvaneTelescope()
{
    setVersion(indi_texts::VersionMajeure, indi_texts::VersionMineure);
    // GOTO and sync only: the controller has no abort, park, tracking, time or location commands. The
    // site is the driver's own, for its checks of a GOTO against the sky.
    SetTelescopeCapability(TELESCOPE_CAN_GOTO | TELESCOPE_CAN_SYNC | TELESCOPE_HAS_LOCATION, RatesCount);
    setTelescopeConnection(CONNECTION_NONE);
    arrêterLesMouvementsSurSignalFatal();
}

SelvaneTelescope::~SelvaneTelescope()
{
    shutdown();
}

const char* SelvaneTelescope::getDefaultName()
{
    return indi_texts::NomPériphérique;
}

bool SelvaneTelescope::initProperties()
{
    INDI::Telescope::initProperties();
    addDebugControl();
    addSimulationControl();
    addConfigurationControl();
    setDefaultPollingPeriod(indi_texts::PériodeParDéfautMs);

    // The window's four speeds, slowest first; "Sidéral" shown until a client chooses.
    for (int i = 0; i < RatesCount; ++i) {
        std::strncpy(SlewRateS[i].label, indi_texts::LibellésVitesses[i], MAXINDILABEL - 1);
        SlewRateS[i].s = i == 0 ? ISS_ON : ISS_OFF;
    }

    IUFillSwitch(&AutoguidingS[0], indi_texts::AutoguidageMarche, indi_texts::LibelléMarche, ISS_OFF);
    IUFillSwitch(&AutoguidingS[1], indi_texts::AutoguidageArrêt, indi_texts::LibelléArrêt, ISS_ON);
    IUFillSwitchVector(&AutoguidingSP, AutoguidingS, 2, getDeviceName(), indi_texts::Autoguidage,
        indi_texts::LibelléAutoguidage, MOTION_TAB, IP_RW, ISR_1OFMANY, 60, IPS_IDLE);
    IUFillNumber(&MotionTimeoutN[0], indi_texts::DuréeMaxSecondes, indi_texts::LibelléDuréeMaxSecondes,
        "%.0f", 0, indi_texts::DuréeMaxLimiteS, 1, indi_texts::DuréeMaxParDéfautS);
    IUFillNumberVector(&MotionTimeoutNP, MotionTimeoutN, 1, getDeviceName(), indi_texts::DuréeMax,
        indi_texts::LibelléDuréeMax, MOTION_TAB, IP_RW, 60, IPS_IDLE);

    IUFillSwitch(&SunSafetyS[0], indi_texts::SécuritéSolaireMarche, indi_texts::LibelléMarche, ISS_ON);
    IUFillSwitch(&SunSafetyS[1], indi_texts::SécuritéSolaireArrêt, indi_texts::LibelléArrêt, ISS_OFF);
    IUFillSwitchVector(&SunSafetySP, SunSafetyS, 2, getDeviceName(), indi_texts::SécuritéSolaire,
        indi_texts::LibelléSécuritéSolaire, MAIN_CONTROL_TAB, IP_RW, ISR_1OFMANY, 60, IPS_OK);
    pointingModel.fill(getDeviceName());

    serial = new FixedSerial(
        this, [this] { loadConfig(true, INDI::SP::DEVICE_PORT); },
        [this] { saveConfig(true, INDI::SP::DEVICE_PORT); });
    registerConnection(serial);
    network = new BridgeTcp(
        this, [this] { loadConfig(true, INDI::SP::DEVICE_ADDRESS); },
        [this] { saveConfig(true, INDI::SP::DEVICE_ADDRESS); });
    registerConnection(network);
    initSharedPort();
    initObjectProperty();
    return true;
}

bool SelvaneTelescope::updateProperties()
{
    INDI::Telescope::updateProperties();
    if (isConnected()) {
        defineProperty(&AutoguidingSP);
        defineProperty(&MotionTimeoutNP);
        if (!motionTimeoutLoaded)
            loadConfig(true, indi_texts::DuréeMax);
        motionTimeoutLoaded = true;
        // On at every connection: a client that observes the Sun turns it off again, knowingly.
        SunSafetyS[0].s = ISS_ON;
        SunSafetyS[1].s = ISS_OFF;
        SunSafetySP.s = IPS_OK;
        defineProperty(&SunSafetySP);
        defineProperty(&SharedAddressTP);
        defineProperty(&SharedSP);
        if (!sharedLoaded) {
            loadConfig(true, indi_texts::AdressePortPartagé);
            loadConfig(true, indi_texts::PortPartagé);
        } else if (SharedS[0].s == ISS_ON) {
            openSharedPort();
        }
        sharedLoaded = true;
        pointingModel.define(*this);
        defineProperty(&ObjectTP);
    } else {
        closeSharedPort();
        pointingModel.remove(*this);
        deleteProperty(AutoguidingSP.name);
        deleteProperty(MotionTimeoutNP.name);
        deleteProperty(SunSafetySP.name);
        deleteProperty(SharedSP.name);
        deleteProperty(SharedAddressTP.name);
        deleteProperty(ObjectTP.name);
    }
    return true;
}

bool SelvaneTelescope::saveConfigItems(FILE* fp)
{
    // Port, polling period and debug only: a saved speed or autoguiding state would be sent
    // without a client asking.
    INDI::DefaultDevice::saveConfigItems(fp);
    IUSaveConfigNumber(fp, &MotionTimeoutNP);
    IUSaveConfigText(fp, &SharedAddressTP);
    IUSaveConfigSwitch(fp, &SharedSP);
    return true;
}

// ---- Loop ----

int SelvaneTelescope::addTimer(int ms, std::function<void()> fn)
{
    auto token = std::make_unique<TimerToken>();
    token->owner = this;
    token->fn = std::move(fn);
    const int id = IEAddTimer(ms, timerFired, token.get());
    token->id = id;
    timers[id] = std::move(token);
    return id;
}

void SelvaneTelescope::removeTimer(int id)
{
    if (timers.erase(id) > 0)
        IERmTimer(id);
}

void SelvaneTelescope::timerFired(void* p)
{
    auto* token = static_cast<TimerToken*>(p);
    auto fn = std::move(token->fn);
    token->owner->timers.erase(token->id);
    fn();
}

protocol::HeureDuJour SelvaneTelescope::localTime() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return { local.tm_hour, local.tm_min, local.tm_sec };
}

std::int64_t SelvaneTelescope::monotonicMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SelvaneTelescope::portReadable(int, void* p)
{
    auto* self = static_cast<SelvaneTelescope*>(p);
    if (self->session)
        self->session->readable();
}

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
    // Never libindi's tty_disconnect: its flush throws away the stop just written.
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

// ---- Client requests ----

void SelvaneTelescope::refuse(INumberVectorProperty& property, const char* message)
{
    LOGF_WARN("%s", message);
    property.s = IPS_ALERT;
    IDSetNumber(&property, "%s", message);
}

void SelvaneTelescope::refuse(ISwitchVectorProperty& property, const char* message)
{
    LOGF_WARN("%s", message);
    IUResetSwitch(&property);
    if (&property == &AutoguidingSP)
        AutoguidingS[AutoguidingS[0].s == ISS_ON ? 0 : 1].s = ISS_ON;
    property.s = IPS_ALERT;
    IDSetSwitch(&property, "%s", message);
}

bool SelvaneTelescope::acceptable(INumberVectorProperty& property, double values[], char* names[], int n)
{
    for (int i = 0; i < n; ++i) {
        const INumber* element = IUFindNumber(&property, names[i]);
        if (element
            && !(std::isfinite(values[i]) && values[i] >= element->min && values[i] <= element->max)) {
            char message[MAXRBUF];
            std::snprintf(message, sizeof message, indi_texts::NombreRefusé, element->label, element->min,
                element->max);
            refuse(property, message);
            return false;
        }
    }
    return true;
}

bool SelvaneTelescope::ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n)
{
    if (!dev || std::strcmp(dev, getDeviceName()) != 0)
        return INDI::Telescope::ISNewNumber(dev, name, values, names, n);
    if (std::strcmp(name, EqNP.name) == 0) {
        newTarget(values, names, n);
        return true;
    }
    if (dev && std::strcmp(dev, getDeviceName()) == 0 && std::strcmp(name, LocationNP.name) == 0) {
        newLocation(values, names, n);
        return true;
    }
    if (pointingModel.newNumber(name, values, names, n))
        return true;
    // libindi's own range check lets NaN through (it became a 0 ms polling timer). A saved
    // configuration is loaded through here too, so a bad saved value is refused as well.
    if (std::strcmp(name, MotionTimeoutNP.name) == 0) {
        if (acceptable(MotionTimeoutNP, values, names, n)
            && IUUpdateNumber(&MotionTimeoutNP, values, names, n) == 0) {
            MotionTimeoutNP.s = IPS_OK;
            IDSetNumber(&MotionTimeoutNP, nullptr);
        }
        return true;
    }
    if (std::strcmp(name, indi_texts::PériodeScrutation) == 0) {
        INumberVectorProperty* period = getNumber(name);
        if (period && !acceptable(*period, values, names, n))
            return true;
    }
    return INDI::Telescope::ISNewNumber(dev, name, values, names, n);
}

bool SelvaneTelescope::ISNewText(const char* dev, const char* name, char* texts[], char* names[], int n)
{
    // libindi 1.9.9 frees twice while echoing a text of 64 KiB: a long text never gets that far.
    for (int i = 0; i < n; ++i) {
        if (texts[i] && std::strlen(texts[i]) > static_cast<std::size_t>(indi_texts::LongueurTexteMax)) {
            char message[MAXRBUF];
            std::snprintf(message, sizeof message, indi_texts::TexteTropLong, indi_texts::LongueurTexteMax);
            LOGF_ERROR("%s", message);
            ITextVectorProperty* property = nullptr;
            if (dev && std::strcmp(dev, getDeviceName()) == 0)
                property = getText(name);
            if (property) {
                property->s = IPS_ALERT;
                IDSetText(property, nullptr);
            }
            return true;
        }
    }
    if (dev && std::strcmp(dev, getDeviceName()) == 0 && std::strcmp(name, SharedAddressTP.name) == 0) {
        newSharedPortAddress(texts, names, n);
        return true;
    }
    if (dev && std::strcmp(dev, getDeviceName()) == 0 && std::strcmp(name, ObjectTP.name) == 0) {
        if (n == 1 && texts[0])
            newObject(texts[0]);
        return true;
    }
    return INDI::Telescope::ISNewText(dev, name, texts, names, n);
}

void SelvaneTelescope::newTarget(double values[], char* names[], int n)
{
    if (link == Link::Lost)
        return refuse(EqNP, indi_texts::NonConnecté);
    if (link != Link::Open || !session) {
        LOGF_WARN("%s", indi_texts::NonConnecté);
        return;
    }
    if (shared && shared->aiguillage().rallie())
        return refuse(EqNP, indi_texts::GotoDUnProgramme);
    if (lineHeldByProgram()) {
        // A program's query holds the line for at most the reply's time limit: the target goes after.
        std::vector<double> keptValues(values, values + n);
        std::vector<std::string> keptNames(names, names + n);
        deferredGoto = [this, keptValues, keptNames]() mutable {
            std::vector<char*> namePointers;
            for (std::string& name : keptNames)
                namePointers.push_back(name.data());
            newTarget(keptValues.data(), namePointers.data(), static_cast<int>(keptValues.size()));
        };
        return;
    }
    if (session->slewing()) {
        // The GOTO under way goes on: its property stays Busy.
        LOGF_WARN("%s", indi_texts::GotoEnCours);
        IDSetNumber(&EqNP, "%s", indi_texts::GotoEnCours);
        return;
    }
    double ra = NAN;
    double dec = NAN;
    bool hasRa = false;
    bool hasDec = false;
    for (int i = 0; i < n; ++i) {
        if (std::strcmp(names[i], EqN[AXIS_RA].name) == 0) {
            ra = values[i];
            hasRa = true;
        } else if (std::strcmp(names[i], EqN[AXIS_DE].name) == 0) {
            dec = values[i];
            hasDec = true;
        }
    }
    if (!hasRa && !hasDec)
        return refuse(EqNP, indi_texts::CibleIncomplète);
    if (!hasRa || !hasDec)
        return refuse(EqNP, hasRa ? indi_texts::CibleDECIllisible : indi_texts::CibleADIllisible);
    if (const auto problem = MountSession::targetProblem(ra, dec))
        return refuse(EqNP, indi_texts::formulation(*problem));

    const bool doSync = IUFindOnSwitchIndex(&CoordSP) == 2;
    if (!doSync && refusedBySky(ra, dec))
        return;
    if (doSync && pointingModel.sync({ ra, dec }, site) == PointingModelProperties::Synchro::Étoile) {
        // A star of the model: the position read next goes with it, and says whether it was taken;
        // nothing else is sent.
        session->query();
        EqNP.s = IPS_BUSY;
        IDSetNumber(&EqNP, nullptr);
        return;
    }
    const Équatoriales envoi = doSync ? Équatoriales { ra, dec } : pointingModel.target({ ra, dec }, site);
    if (const auto problem = MountSession::targetProblem(envoi.ra, envoi.dec))
        return refuse(EqNP, indi_texts::formulation(*problem));
    // The model moves the aim: the Sun's guard holds for where the mount is sent too.
    if (const auto fromSun
        = doSync ? std::nullopt : sunTooClose(envoi.ra * protocol::DegrésParHeure, envoi.dec)) {
        char message[MAXRBUF];
        std::snprintf(message, sizeof message, indi_texts::GotoPrèsDuSoleil, *fromSun);
        return refuse(EqNP, message);
    }
    if (doSync ? !session->sync(ra, dec) : !session->slew(envoi.ra, envoi.dec)) {
        if (link == Link::Open)
            refuse(EqNP, indi_texts::GotoEnCours);
        return;
    }
    TargetN[AXIS_RA].value = ra;
    TargetN[AXIS_DE].value = dec;
    if (doSync) {
        pointingModel.controllerSynced({ ra, dec }, site);
        LOGF_INFO("%s", protocol_texts::SystèmeInitialisé);
        EqNP.s = IPS_OK;
        IDSetNumber(&EqNP, nullptr);
        return;
    }
    TrackState = SCOPE_SLEWING;
    EqNP.s = IPS_BUSY;
    IDSetNumber(&EqNP, nullptr);
    IDSetNumber(&TargetNP, nullptr);
}

std::optional<int> SelvaneTelescope::sunTooClose(double raDegrees, double dec) const
{
    if (SunSafetyS[0].s != ISS_ON)
        return std::nullopt;
    const sky::Place target { raDegrees, dec };
    const double fromSun
        = sky::séparation(target, sky::placeApparente(sky::Corps::Soleil, sky::maintenantMs(), site));
    if (fromSun >= sky::DistanceSoleilMin)
        return std::nullopt;
    return sky::degrésEntiers(fromSun);
}

bool SelvaneTelescope::refusedBySky(double ra, double dec)
{
    if (const auto fromSun = sunTooClose(ra * protocol::DegrésParHeure, dec)) {
        char message[MAXRBUF];
        std::snprintf(message, sizeof message, indi_texts::GotoPrèsDuSoleil, *fromSun);
        refuse(EqNP, message);
        return true;
    }
    if (site) {
        const sky::Place target { ra * protocol::DegrésParHeure, dec };
        const double height = sky::hauteur(target, sky::maintenantMs(), *site);
        if (height < 0)
            LOGF_WARN(indi_texts::CibleSousHorizon, sky::degrésEntiers(height));
    }
    return false;
}

bool SelvaneTelescope::updateLocation(double latitude, double longitude, double elevation)
{
    // INDI counts longitudes 0..360 eastward; the site −180..180.
    const sky::Lieu lieu { latitude,
        longitude > sky::LongitudeMax ? longitude - 2 * sky::LongitudeMax : longitude, elevation };
    if (longitude < 0 || !sky::lieuValide(lieu))
        return false;
    site = lieu;
    return true;
}

void SelvaneTelescope::newLocation(double values[], char* names[], int n)
{
    double wanted[3] = { NAN, NAN, LocationN[LOCATION_ELEVATION].value };
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            if (std::strcmp(names[i], LocationN[k].name) == 0)
                wanted[k] = values[i];
    if (!updateLocation(wanted[LOCATION_LATITUDE], wanted[LOCATION_LONGITUDE], wanted[LOCATION_ELEVATION])) {
        LOGF_WARN("%s", indi_texts::LieuRefusé);
        LocationNP.s = IPS_ALERT;
        IDSetNumber(&LocationNP, "%s", indi_texts::LieuRefusé);
        return;
    }
    for (int k = 0; k < 3; ++k)
        LocationN[k].value = wanted[k];
    LocationNP.s = IPS_OK;
    IDSetNumber(&LocationNP, indi_texts::LieuPris, site->latitude, site->longitude, site->altitude);
}

// Reached only through the base class, which newTarget keeps from calling them.
bool SelvaneTelescope::Goto(double, double)
{
    return false;
}

bool SelvaneTelescope::Sync(double, double)
{
    return false;
}

bool SelvaneTelescope::ISNewSwitch(const char* dev, const char* name, ISState* states, char* names[], int n)
{
    if (!dev || std::strcmp(dev, getDeviceName()) != 0)
        return INDI::Telescope::ISNewSwitch(dev, name, states, names, n);
    if (pointingModel.newSwitch(name, states, names, n))
        return true;

    if (std::strcmp(name, INDI::SP::CONNECTION) == 0) {
        for (int i = 0; i < n; ++i) {
            if (states[i] != ISS_ON)
                continue;
            if (std::strcmp(names[i], "CONNECT") == 0)
                connectRequested();
            else if (std::strcmp(names[i], "DISCONNECT") == 0)
                disconnectRequested();
        }
        return true;
    }

    if (std::strcmp(name, SharedSP.name) == 0) {
        newSharedPortSwitch(states, names, n);
        return true;
    }

    // The line in use stays the one shown: a change of mode waits for a disconnect.
    if (std::strcmp(name, ModeDeConnexion) == 0 && link != Link::Closed) {
        if (ISwitchVectorProperty* mode = getSwitch(name)) {
            mode->s = IPS_ALERT;
            IDSetSwitch(mode, "%s", indi_texts::ModeDeConnexionVerrouillé);
        }
        return true;
    }

    const bool needsLine = std::strcmp(name, MovementNSSP.name) == 0
        || std::strcmp(name, MovementWESP.name) == 0 || std::strcmp(name, SlewRateSP.name) == 0
        || std::strcmp(name, AutoguidingSP.name) == 0;
    if (needsLine && (link != Link::Open || !session)) {
        ISwitchVectorProperty* p = getSwitch(name);
        if (p)
            refuse(*p, indi_texts::NonConnecté);
        else
            LOGF_WARN("%s", indi_texts::NonConnecté);
        return true;
    }

    if (std::strcmp(name, SunSafetySP.name) == 0) {
        if (IUUpdateSwitch(&SunSafetySP, states, names, n) < 0)
            return false;
        const bool on = SunSafetyS[0].s == ISS_ON;
        SunSafetySP.s = on ? IPS_OK : IPS_ALERT;
        if (!on)
            LOGF_WARN("%s", indi_texts::SécuritéSolaireCoupée);
        IDSetSwitch(&SunSafetySP, nullptr);
        return true;
    }

    const auto start = std::chrono::steady_clock::now();
    for (ISwitchVectorProperty* motion : { &MovementNSSP, &MovementWESP }) {
        if (std::strcmp(name, motion->name) == 0) {
            newMotion(*motion, states, names, n);
            noteLatency(start);
            return true;
        }
    }
    if (std::strcmp(name, AutoguidingSP.name) == 0) {
        if (IUUpdateSwitch(&AutoguidingSP, states, names, n) < 0)
            return false;
        const bool on = AutoguidingS[0].s == ISS_ON;
        AutoguidingSP.s = session->setAutoguiding(on) ? IPS_OK : IPS_ALERT;
        noteLatency(start);
        IDSetSwitch(&AutoguidingSP, nullptr);
        return true;
    }
    const bool handled = INDI::Telescope::ISNewSwitch(dev, name, states, names, n);
    if (needsLine)
        noteLatency(start);
    return handled;
}

// libindi sends a stop for an Off while idle, for a second release and for an unknown element;
// on this controller the RA stop is a toggle that would start a move. So what a client asks is
// taken as the move it wants open on the axis, and only a change of the open move is sent.
void SelvaneTelescope::newMotion(ISwitchVectorProperty& property, ISState* states, char* names[], int n)
{
    const bool ns = &property == &MovementNSSP;
    const int open = openMove(ns);
    int wanted = open;
    for (int i = 0; i < n; ++i) {
        const ISwitch* element = IUFindSwitch(&property, names[i]);
        if (!element)
            continue;
        const int index = static_cast<int>(element - property.sp);
        if (states[i] == ISS_ON)
            wanted = index;
        else if (wanted == index)
            wanted = -1;
    }
    bool ok = true;
    if (wanted != open) {
        if (wanted < 0)
            ok = ns ? session->stopNS() : session->stopWE();
        else
            ok = ns ? session->startNS(wanted == DIRECTION_NORTH)
                    : session->startWE(wanted == DIRECTION_WEST);
        if (!session)
            return; // the link went down while sending: already shown
        if (shared)
            shared->aiguillage().axePris(ns);
        int& timer = motionTimer(property);
        cancel(timer);
        const int seconds = static_cast<int>(MotionTimeoutN[0].value);
        if (wanted >= 0 && seconds > 0)
            timer = addTimer(seconds * 1000, [this, &property] { motionTimedOut(property); });
    }
    showMotion(property, ok);
}

int SelvaneTelescope::openMove(bool ns) const
{
    if (!session || !(ns ? session->movingNS() : session->movingWE()))
        return -1;
    // DIRECTION_NORTH and DIRECTION_WEST are the first switch of their property.
    return (ns ? session->movingNorth() : session->movingWest()) ? 0 : 1;
}

void SelvaneTelescope::showMotion(ISwitchVectorProperty& property, bool ok)
{
    const bool ns = &property == &MovementNSSP;
    const int open = openMove(ns);
    IUResetSwitch(&property);
    if (open >= 0)
        property.sp[open].s = ISS_ON;
    (ns ? last_ns_motion : last_we_motion) = open;
    (ns ? mouvementDEC : mouvementAD) = open >= 0;
    ligneDesMouvements = fd;
    property.s = !ok ? IPS_ALERT : open >= 0 ? IPS_BUSY : IPS_IDLE;
    IDSetSwitch(&property, nullptr);
}

void SelvaneTelescope::motionTimedOut(ISwitchVectorProperty& property)
{
    motionTimer(property) = -1;
    if (link != Link::Open || !session)
        return;
    const bool ok = &property == &MovementNSSP ? session->stopNS() : session->stopWE();
    if (!session)
        return;
    LOGF_WARN(indi_texts::MouvementTropLong, static_cast<int>(MotionTimeoutN[0].value));
    showMotion(property, ok);
}

// Reached only through the base class, which the motion switches no longer go through.
bool SelvaneTelescope::MoveNS(INDI_DIR_NS, TelescopeMotionCommand)
{
    return false;
}

bool SelvaneTelescope::MoveWE(INDI_DIR_WE, TelescopeMotionCommand)
{
    return false;
}

bool SelvaneTelescope::SetSlewRate(int index)
{
    if (!session)
        return false;
    session->setRate(index);
    return true;
}

} // namespace indi_driver
