// SPDX-License-Identifier: GPL-3.0-or-later
// The INDI driver's properties and event handling; the protocol itself is MountSession's.
#include "indi/SelvaneTelescope.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <indicom.h>
#include <indistandardproperty.h>

#include "indi/texts.h"
#include "pointing/texts.h"
#include "sim/MountSimulator.h"
#include "sim/Protocol.h"
#include "sky/solar_system.h"

namespace indi_driver {

// libindi's timers hand back one pointer: the callback to run and where it is filed.
struct SelvaneTelescope::TimerToken {
    SelvaneTelescope* owner = nullptr;
    std::function<void()> fn;
    int id = -1;
};

namespace {
constexpr int Baud = 9600;
constexpr int BitsDeDonnées = 8;
constexpr int SansParité = 0;
constexpr int BitsDeStop = 1;
constexpr int RatesCount = 4;
constexpr double DegrésParHeure = 15.0;
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
// Appends the simulator's wire trace to a file, one line per read or write.
void traceTo(sim::MountSimulator& simulator, const char* path)
{
    FILE* opened = std::fopen(path, "a");
    if (!opened)
        return;
    auto file = std::shared_ptr<FILE>(opened, std::fclose);
    auto guard = std::make_shared<std::mutex>();
    simulator.setTraceSink([file, guard](const sim::TraceEntry& entry) {
        std::lock_guard lock(*guard);
        std::fprintf(file.get(), "%10.3f %s \"%s\"\n", entry.timeMs,
            entry.direction == sim::Direction::Received ? "<-" : "->", sim::printable(entry.bytes).c_str());
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

SelvaneTelescope::SelvaneTelescope()
{
    setVersion(indi_texts::VersionMajeure, indi_texts::VersionMineure);
    // GOTO and sync only: the controller has no abort, park, tracking, time or location commands. The
    // site is the driver's own, for its checks of a GOTO against the sky.
    SetTelescopeCapability(TELESCOPE_CAN_GOTO | TELESCOPE_CAN_SYNC | TELESCOPE_HAS_LOCATION, RatesCount);
    setTelescopeConnection(CONNECTION_NONE);
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

    IUFillSwitch(&SunSafetyS[0], indi_texts::SécuritéSolaireMarche, indi_texts::LibelléMarche, ISS_ON);
    IUFillSwitch(&SunSafetyS[1], indi_texts::SécuritéSolaireArrêt, indi_texts::LibelléArrêt, ISS_OFF);
    IUFillSwitchVector(&SunSafetySP, SunSafetyS, 2, getDeviceName(), indi_texts::SécuritéSolaire,
        indi_texts::LibelléSécuritéSolaire, MAIN_CONTROL_TAB, IP_RW, ISR_1OFMANY, 60, IPS_OK);

    serial = new FixedSerial(
        this, [this] { loadConfig(true, INDI::SP::DEVICE_PORT); },
        [this] { saveConfig(true, INDI::SP::DEVICE_PORT); });
    registerConnection(serial);
    return true;
}

bool SelvaneTelescope::updateProperties()
{
    INDI::Telescope::updateProperties();
    if (isConnected()) {
        defineProperty(&AutoguidingSP);
        // On at every connection: a client that observes the Sun turns it off again, knowingly.
        SunSafetyS[0].s = ISS_ON;
        SunSafetyS[1].s = ISS_OFF;
        SunSafetySP.s = IPS_OK;
        defineProperty(&SunSafetySP);
    } else {
        deleteProperty(AutoguidingSP.name);
        deleteProperty(SunSafetySP.name);
    }
    return true;
}

bool SelvaneTelescope::saveConfigItems(FILE* fp)
{
    // Port, polling period and debug only: a saved speed or autoguiding state would be sent
    // without a client asking.
    INDI::DefaultDevice::saveConfigItems(fp);
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

platform::TimeOfDay SelvaneTelescope::localTime() const
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
        simulator = std::make_unique<sim::MountSimulator>(options);
        if (const char* path = std::getenv(TraceSimulateur))
            traceTo(*simulator, path);
        if (!simulator->start()) {
            simulator.reset();
            setConnected(false, IPS_ALERT, indi_texts::SimulateurImpossible);
            return;
        }
        portName = simulator->devicePath();
        LOGF_INFO("%s", formatted(indi_texts::Simulation, portName).c_str());
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

    SessionEvents events;
    events.checked = [this](bool ok, const std::string& message) { checked(ok, message); };
    events.position = [this](double ra, double dec) {
        EqN[AXIS_RA].value = ra;
        EqN[AXIS_DE].value = dec;
        EqNP.s = IPS_OK;
        IDSetNumber(&EqNP, nullptr);
    };
    events.positionFailed = [this](const std::string& message) {
        EqNP.s = IPS_ALERT;
        IDSetNumber(&EqNP, "%s", message.c_str());
    };
    events.slewEnded = [this](bool ok, const std::string& message) {
        TrackState = SCOPE_IDLE;
        EqNP.s = ok ? IPS_OK : IPS_ALERT;
        IDSetNumber(&EqNP, "%s", message.c_str());
    };
    events.log = [this](const std::string& message) { LOGF_INFO("%s", message.c_str()); };
    events.linkLost = [this](const std::string& why) { linkLost(why); };
    session = std::make_unique<MountSession>(fd, static_cast<Loop&>(*this), std::move(events));
    readCallback = IEAddCallback(fd, portReadable, this);

    link = Link::Checking;
    setConnected(false, IPS_BUSY, formatted(indi_texts::Vérification, portName).c_str());
    session->check();
}

void SelvaneTelescope::checked(bool ok, const std::string& message)
{
    if (link != Link::Checking)
        return;
    if (!ok) {
        const std::string why = message == indi_texts::PasDeRéponse
            ? formatted(indi_texts::ContrôleurMuet, portName)
            : formatted(indi_texts::ContrôleurIllisible, portName, message);
        closeLine();
        LOGF_ERROR("%s", why.c_str());
        setConnected(false, IPS_ALERT, why.c_str());
        return;
    }
    link = Link::Open;
    if (!simulator)
        serial->remember();
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
    if (pollTimer >= 0)
        removeTimer(pollTimer);
    pollTimer = -1;
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
    if (fd >= 0)
        tty_disconnect(fd);
    fd = -1;
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
    // A query still under way or a GOTO holds the line: this tick is skipped.
    if (link == Link::Open && session)
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

bool SelvaneTelescope::ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n)
{
    if (dev && std::strcmp(dev, getDeviceName()) == 0 && std::strcmp(name, EqNP.name) == 0) {
        newTarget(values, names, n);
        return true;
    }
    if (dev && std::strcmp(dev, getDeviceName()) == 0 && std::strcmp(name, LocationNP.name) == 0) {
        newLocation(values, names, n);
        return true;
    }
    return INDI::Telescope::ISNewNumber(dev, name, values, names, n);
}

void SelvaneTelescope::newTarget(double values[], char* names[], int n)
{
    if (link == Link::Lost)
        return refuse(EqNP, indi_texts::NonConnecté);
    if (link != Link::Open || !session) {
        LOGF_WARN("%s", indi_texts::NonConnecté);
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
    if (!hasRa || !hasDec)
        return refuse(EqNP, indi_texts::CibleIncomplète);
    const std::string problem = MountSession::targetProblem(ra, dec);
    if (!problem.empty())
        return refuse(EqNP, problem.c_str());

    const bool doSync = IUFindOnSwitchIndex(&CoordSP) == 2;
    if (!doSync && refusedBySky(ra, dec))
        return;
    if (doSync ? !session->sync(ra, dec) : !session->slew(ra, dec)) {
        if (link == Link::Open)
            refuse(EqNP, indi_texts::GotoEnCours);
        return;
    }
    TargetN[AXIS_RA].value = ra;
    TargetN[AXIS_DE].value = dec;
    if (doSync) {
        LOGF_INFO("%s", pointing_texts::SystèmeInitialisé);
        EqNP.s = IPS_OK;
        IDSetNumber(&EqNP, nullptr);
        return;
    }
    TrackState = SCOPE_SLEWING;
    EqNP.s = IPS_BUSY;
    IDSetNumber(&EqNP, nullptr);
    IDSetNumber(&TargetNP, nullptr);
}

bool SelvaneTelescope::refusedBySky(double ra, double dec)
{
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch())
                         .count();
    const sky::Place target { ra * DegrésParHeure, dec };
    const double fromSun = sky::séparation(target, sky::placeApparente(sky::Corps::Soleil, now, site));
    if (fromSun < pointing_texts::DistanceSoleilMin && SunSafetyS[0].s == ISS_ON) {
        char message[MAXRBUF];
        std::snprintf(
            message, sizeof message, indi_texts::GotoPrèsDuSoleil, static_cast<int>(std::floor(fromSun)));
        refuse(EqNP, message);
        return true;
    }
    if (site) {
        const double height = sky::hauteur(target, now, *site);
        if (height < 0)
            LOGF_WARN(indi_texts::CibleSousHorizon, static_cast<int>(std::floor(height)));
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

bool SelvaneTelescope::MoveNS(INDI_DIR_NS dir, TelescopeMotionCommand command)
{
    if (!session)
        return false;
    return command == MOTION_START ? session->startNS(dir == DIRECTION_NORTH) : session->stopNS();
}

bool SelvaneTelescope::MoveWE(INDI_DIR_WE dir, TelescopeMotionCommand command)
{
    if (!session)
        return false;
    return command == MOTION_START ? session->startWE(dir == DIRECTION_WEST) : session->stopWE();
}

bool SelvaneTelescope::SetSlewRate(int index)
{
    if (!session)
        return false;
    session->setRate(index);
    return true;
}

} // namespace indi_driver
