// SPDX-License-Identifier: GPL-3.0-or-later
// Moves by hand: the motion switches, their time-out, the rates.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <chrono>
#include <cstdlib>

#include "indi/texts.h"

namespace indi_driver {

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
