// SPDX-License-Identifier: GPL-3.0-or-later
// The INDI front end of the controller: properties, connection and libindi's event loop around
// MountSession, which speaks the protocol.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <netdb.h>

#include <connectionplugins/connectionserial.h>
#include <connectionplugins/connectiontcp.h>
#include <inditelescope.h>

#include "indi/PointingModelProperties.h"
#include "indi/SharedPort.h"
#include "protocol/MountSession.h"
#include "sky/site.h"

namespace sim {
class MountSimulator;
}

namespace indi_driver {

using protocol::Loop;
using protocol::MountSession;
using protocol::SessionEvents;

// INDI's serial connection with the line fixed at 9600 8N1: only the port is offered. Opening and
// checking are left to the driver, which does them without blocking the event loop.
class FixedSerial : public Connection::Serial {
public:
    // load and save read and write the port in the device's configuration.
    FixedSerial(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save);
    bool Connect() override { return false; } // the driver's own connect sequence is used instead
    bool Disconnect() override { return true; }
    void Activated() override;
    void Deactivated() override;
    const char* portPath() const { return PortT[0].text; }
    // Saves the port once the controller has answered on it.
    void remember() { save(); }

private:
    std::function<void()> load;
    std::function<void()> save;
};

// INDI's network connection, for a controller behind a serial-to-network bridge (ser2net in raw
// mode, a WiFi serial adapter): host and port only, over TCP. The driver connects itself, without
// blocking the event loop, as on a serial line.
class BridgeTcp : public Connection::TCP {
public:
    // load and save read and write the address in the device's configuration.
    BridgeTcp(INDI::DefaultDevice* device, std::function<void()> load, std::function<void()> save);
    bool Connect() override { return false; } // the driver's own connect sequence is used instead
    bool Disconnect() override { return true; }
    void Activated() override;
    void Deactivated() override;
    // The address as given, "host:port", for messages.
    std::string address() const;
    const char* hostName() const { return AddressT[0].text; }
    const char* portText() const { return AddressT[1].text; }
    // Saves the address once the controller has answered there.
    void remember() { save(); }

private:
    std::function<void()> load;
    std::function<void()> save;
};

class SelvaneTelescope : public INDI::Telescope, private Loop {
public:
    SelvaneTelescope();
    ~SelvaneTelescope() override;

    const char* getDefaultName() override;
    bool initProperties() override;
    bool updateProperties() override;
    bool ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n) override;
    bool ISNewSwitch(const char* dev, const char* name, ISState* states, char* names[], int n) override;
    bool ISNewText(const char* dev, const char* name, char* texts[], char* names[], int n) override;

    // Ends moves, closes the line and stops the simulator (the driver is going away).
    void shutdown();

protected:
    bool ReadScopeStatus() override { return true; } // positions come from MountSession's queries
    void TimerHit() override { } // every timer of this driver has its own callback
    bool Goto(double ra, double dec) override;
    bool Sync(double ra, double dec) override;
    bool MoveNS(INDI_DIR_NS dir, TelescopeMotionCommand command) override;
    bool MoveWE(INDI_DIR_WE dir, TelescopeMotionCommand command) override;
    bool SetSlewRate(int index) override;
    bool saveConfigItems(FILE* fp) override;
    // The site, from GEOGRAPHIC_COORD (or a snooped GPS); saved with CONFIG_SAVE, loaded at connection.
    bool updateLocation(double latitude, double longitude, double elevation) override;

private:
    // Lost: the line went away while open; the properties stay, in Alert, until a disconnect.
    enum class Link { Closed, Checking, Open, Lost };

    // Loop, on libindi's timers and the system clocks.
    int addTimer(int ms, std::function<void()> fn) override;
    void removeTimer(int id) override;
    protocol::HeureDuJour localTime() const override;
    std::int64_t monotonicMs() const override;
    static void timerFired(void* p);
    static void portReadable(int fd, void* p);

    void connectRequested();
    // Starts a non-blocking connection to the bridge; false (with the reason said) when it cannot.
    bool openNetwork();
    bool connectNextAddress();
    // Looks whether the connection to the bridge is made, until its time limit.
    void awaitNetwork(std::int64_t deadlineMs);
    // Says why the bridge could not be reached and leaves everything closed.
    void networkFailed(const std::string& why);
    // The line is open on fd: starts the session and its check.
    void lineOpened();
    void disconnectRequested();
    void checked(const std::optional<protocol::Incident>& échec);
    // Ends the session and closes the port. The session is deleted once the loop is back (it may
    // be the caller), or at once when the driver itself ends.
    void closeLine(bool atOnce = false);
    void letSimulatorCatchUp();
    void linkLost(const std::string& why);
    void schedulePoll();
    void poll();
    void newTarget(double values[], char* names[], int n);
    void refuse(INumberVectorProperty& property, const char* message);
    // A client's GEOGRAPHIC_COORD (or the saved one): taken when in range.
    void newLocation(double values[], char* names[], int n);
    // A GOTO toward the Sun's neighbourhood is refused (Alert, nothing sent) while SUN_SAFETY is
    // On; one below the horizon of a known site is only logged. True when refused.
    bool refusedBySky(double ra, double dec);
    // The whole degrees from the target to the Sun when SUN_SAFETY is On and it is too close.
    std::optional<int> sunTooClose(double raDegrees, double dec) const;
    void refuse(ISwitchVectorProperty& property, const char* message);
    // False (and the property in Alert) when a value is not a number within its element's range.
    bool acceptable(INumberVectorProperty& property, double values[], char* names[], int n);
    // The motion switches are the driver's: a stop goes out only for a move that is open.
    void newMotion(ISwitchVectorProperty& property, ISState* states, char* names[], int n);
    // Shows the move open on the property's axis, as the session knows it.
    void showMotion(ISwitchVectorProperty& property, bool ok);
    // The move open on an axis: 0 north or west, 1 south or east, -1 none.
    int openMove(bool ns) const;
    void motionTimedOut(ISwitchVectorProperty& property);
    // The shared port (SelvaneSharedPort.cpp): opened while connected and switched on.
    void initSharedPort();
    void openSharedPort();
    void closeSharedPort(bool atOnce = false);
    void newSharedPortSwitch(ISState* states, char* names[], int n);
    void newSharedPortAddress(char* texts[], char* names[], int n);
    // A name from a client: the object's place of the date goes where a target of
    // EQUATORIAL_EOD_COORD goes (a slew or a sync, as ON_COORD_SET says).
    void initObjectProperty();
    void newObject(const char* name);
    protocol::AiguillageEvents sharedLineEvents();
    // A program's slew as INDI clients see it.
    void programSlew(bool started, bool ok);
    // Whether a program's request holds the line; a GOTO asked meanwhile waits for it.
    bool lineHeldByProgram() const { return shared && shared->aiguillage().occupeLaLigne(); }
    // The driver let go of the line: the programs' requests queued meanwhile may go.
    void pumpSharedLine()
    {
        if (shared)
            shared->aiguillage().pomper();
    }

    int& motionTimer(const ISwitchVectorProperty& property)
    {
        return &property == &MovementNSSP ? nsTimer : weTimer;
    }

    // Declared first so that it outlives the session, whose timers it files.
    struct TimerToken;
    std::map<int, std::unique_ptr<TimerToken>> timers;
    FixedSerial* serial = nullptr;
    BridgeTcp* network = nullptr;
    ISwitch AutoguidingS[2];
    ISwitchVectorProperty AutoguidingSP;
    INumber MotionTimeoutN[1];
    INumberVectorProperty MotionTimeoutNP;
    bool motionTimeoutLoaded = false;
    ISwitch SunSafetyS[2];
    ISwitchVectorProperty SunSafetySP;
    std::optional<sky::Lieu> site;
    PointingModelProperties pointingModel;

    Link link = Link::Closed;
    std::string portName;
    int fd = -1;
    bool overNetwork = false;
    int connectTimer = -1;
    // The bridge's addresses, and the next one to try if the one under way fails.
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses { nullptr, &::freeaddrinfo };
    const addrinfo* nextAddress = nullptr;
    int readCallback = -1;
    int pollTimer = -1;
    int nsTimer = -1; // the time-out of the move open on each axis
    int weTimer = -1;
    std::unique_ptr<sim::MountSimulator> simulator;
    std::unique_ptr<MountSession> session;
    ISwitch SharedS[2];
    ISwitchVectorProperty SharedSP;
    IText SharedAddressT[1] {};
    ITextVectorProperty SharedAddressTP;
    IText ObjectT[1] {};
    ITextVectorProperty ObjectTP;
    bool sharedLoaded = false;
    bool locationLoaded = false;
    std::unique_ptr<SharedPort> shared;
    // An INDI GOTO asked while a program's query held the line: sent once the line is free.
    std::function<void()> deferredGoto;
};

} // namespace indi_driver
