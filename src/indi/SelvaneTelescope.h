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

#include <connectionplugins/connectionserial.h>
#include <inditelescope.h>

#include "indi/MountSession.h"
#include "sky/site.h"

namespace sim {
class MountSimulator;
}

namespace indi_driver {

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

class SelvaneTelescope : public INDI::Telescope, private Loop {
public:
    SelvaneTelescope();
    ~SelvaneTelescope() override;

    const char* getDefaultName() override;
    bool initProperties() override;
    bool updateProperties() override;
    bool ISNewNumber(const char* dev, const char* name, double values[], char* names[], int n) override;
    bool ISNewSwitch(const char* dev, const char* name, ISState* states, char* names[], int n) override;

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
    // The site, from GEOGRAPHIC_COORD (or a snooped GPS): kept for this run only.
    bool updateLocation(double latitude, double longitude, double elevation) override;

private:
    // Lost: the line went away while open; the properties stay, in Alert, until a disconnect.
    enum class Link { Closed, Checking, Open, Lost };

    // Loop, on libindi's timers and the system clocks.
    int addTimer(int ms, std::function<void()> fn) override;
    void removeTimer(int id) override;
    platform::TimeOfDay localTime() const override;
    std::int64_t monotonicMs() const override;
    static void timerFired(void* p);
    static void portReadable(int fd, void* p);

    void connectRequested();
    void disconnectRequested();
    void checked(bool ok, const std::string& message);
    // Ends the session and closes the port. The session is deleted once the loop is back (it may
    // be the caller), or at once when the driver itself ends.
    void closeLine(bool atOnce = false);
    void letSimulatorCatchUp();
    void linkLost(const std::string& why);
    void schedulePoll();
    void poll();
    void newTarget(double values[], char* names[], int n);
    void refuse(INumberVectorProperty& property, const char* message);
    // A client's GEOGRAPHIC_COORD: taken when in range, never saved.
    void newLocation(double values[], char* names[], int n);
    // A GOTO toward the Sun's neighbourhood is refused (Alert, nothing sent) while SUN_SAFETY is
    // On; one below the horizon of a known site is only logged. True when refused.
    bool refusedBySky(double ra, double dec);
    void refuse(ISwitchVectorProperty& property, const char* message);

    // Declared first so that it outlives the session, whose timers it files.
    struct TimerToken;
    std::map<int, std::unique_ptr<TimerToken>> timers;
    FixedSerial* serial = nullptr;
    ISwitch AutoguidingS[2];
    ISwitchVectorProperty AutoguidingSP;
    ISwitch SunSafetyS[2];
    ISwitchVectorProperty SunSafetySP;
    std::optional<sky::Lieu> site;

    Link link = Link::Closed;
    std::string portName;
    int fd = -1;
    int readCallback = -1;
    int pollTimer = -1;
    std::unique_ptr<sim::MountSimulator> simulator;
    std::unique_ptr<MountSession> session;
};

} // namespace indi_driver
