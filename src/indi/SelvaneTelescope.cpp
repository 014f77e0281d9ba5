// SPDX-License-Identifier: GPL-3.0-or-later
// The INDI driver's properties and what clients ask of them; the protocol itself is MountSession's.
// Connection, motion, GOTO, the sky and the shared port each have a file of their own.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <chrono>
#include <cmath>
#include <cstring>

#include <indistandardproperty.h>

#include "indi/texts.h"
#include "sim/MountSimulator.h"

namespace indi_driver {

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
        // The saved site, as INDI drivers do at their first connection; a client's site of this
        // run is not overwritten by a reconnection. It goes through newLocation's checks.
        if (!locationLoaded)
            loadConfig(true, LocationNP.name);
        locationLoaded = true;
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
    // Port, polling period, debug and the site only: a saved speed or autoguiding state would be
    // sent without a client asking. The site is saved once one was taken (never the empty 0,0).
    INDI::DefaultDevice::saveConfigItems(fp);
    if (site)
        IUSaveConfigNumber(fp, &LocationNP);
    IUSaveConfigNumber(fp, &MotionTimeoutNP);
    IUSaveConfigText(fp, &SharedAddressTP);
    IUSaveConfigSwitch(fp, &SharedSP);
    return true;
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
            IDSetSwitch(mode, "%s", indi_texts::ModeDeConnexionVerrouillé.texte());
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
            LOGF_WARN("%s", indi_texts::NonConnecté.texte());
        return true;
    }

    if (std::strcmp(name, SunSafetySP.name) == 0) {
        if (IUUpdateSwitch(&SunSafetySP, states, names, n) < 0)
            return false;
        const bool on = SunSafetyS[0].s == ISS_ON;
        SunSafetySP.s = on ? IPS_OK : IPS_ALERT;
        if (!on)
            LOGF_WARN("%s", indi_texts::SécuritéSolaireCoupée.texte());
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

} // namespace indi_driver
