// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's shared port: its properties, and what INDI clients see of the programs using it.
#include <cstdio>

#include "indi/SelvaneTelescope.h"
#include "indi/texts.h"
#include "protocol/codec.h"

namespace indi_driver {

void SelvaneTelescope::initSharedPort()
{
    IUFillSwitch(&SharedS[0], indi_texts::PortPartagéMarche, indi_texts::LibelléMarche, ISS_OFF);
    IUFillSwitch(&SharedS[1], indi_texts::PortPartagéArrêt, indi_texts::LibelléArrêt, ISS_ON);
    IUFillSwitchVector(&SharedSP, SharedS, 2, getDeviceName(), indi_texts::PortPartagé,
        indi_texts::LibelléPortPartagé, indi_texts::OngletPortPartagé, IP_RW, ISR_1OFMANY, 60, IPS_IDLE);
    IUFillText(&SharedAddressT[0], indi_texts::AdresseÉlément, indi_texts::LibelléAdresseÉlément,
        indi_texts::AdressePartagéeParDéfaut);
    IUFillTextVector(&SharedAddressTP, SharedAddressT, 1, getDeviceName(), indi_texts::AdressePortPartagé,
        indi_texts::LibelléAdressePortPartagé, indi_texts::OngletPortPartagé, IP_RW, 60, IPS_IDLE);
}

protocol::AiguillageEvents SelvaneTelescope::sharedLineEvents()
{
    protocol::AiguillageEvents events;
    events.versLigne = [this](const std::string& command) {
        return link == Link::Open && session && session->relay(command);
    };
    events.sessionAttend = [this] { return session && session->awaitingReply(); };
    events.sessionRallie = [this] { return session && session->slewing(); };
    events.axeEnMouvement
        = [this](bool dec) { return session && (dec ? session->movingNS() : session->movingWE()); };
    // A program's move shows on the motion switches: the state shown is the mount's.
    events.commandeÉcrite = [this](const std::string& command) {
        // A program's initialisation moves the controller's frame under the model's stars.
        pointingModel.programCommand(command);
        if (openMove(true) != last_ns_motion)
            showMotion(MovementNSSP, true);
        if (openMove(false) != last_we_motion)
            showMotion(MovementWESP, true);
    };
    // The Sun interlock holds for programs too: a script asks nobody before it slews.
    // The target checked is the one the controller will slew to: the program's halves, the
    // controller's last target for a half it did not send, whoever gave that.
    events.ralliementPermis = [this](int, const std::string& ad, const std::string& dec) {
        const std::string none;
        const std::string& lastRa = session ? session->lastTargetRa() : none;
        const std::string& lastDec = session ? session->lastTargetDec() : none;
        const auto target = protocol::cibleDuRalliement(ad, dec, lastRa, lastDec);
        if (!target) {
            // A field the driver cannot read may be read anywhere by the controller.
            const bool unknown = (ad.empty() && lastRa.empty()) || (dec.empty() && lastDec.empty());
            if (unknown && SunSafetyS[0].s != ISS_ON)
                return true;
            LOGF_WARN("%s",
                static_cast<const char*>(
                    unknown ? indi_texts::GotoDUnProgrammeSansCible : indi_texts::GotoDUnProgrammeIllisible));
            return false;
        }
        const auto fromSun = sunTooClose(target->first, target->second);
        if (fromSun)
            LOGF_WARN(indi_texts::GotoDUnProgrammePrèsDuSoleil, *fromSun);
        return !fromSun;
    };
    events.ralliementCommencé = [this](int) { programSlew(true, true); };
    events.ralliementFini = [this](int, bool ok) { programSlew(false, ok); };
    events.ligneLibérée = [this] {
        if (!deferredGoto)
            return;
        auto pending = std::move(deferredGoto);
        deferredGoto = nullptr;
        pending();
    };
    return events;
}

void SelvaneTelescope::programSlew(bool started, bool ok)
{
    TrackState = started ? SCOPE_SLEWING : SCOPE_IDLE;
    EqNP.s = started ? IPS_BUSY : ok ? IPS_OK : IPS_ALERT;
    if (started)
        IDSetNumber(&EqNP, "%s", indi_texts::GotoDUnProgrammeEnCours.texte());
    else
        IDSetNumber(&EqNP, nullptr);
}

void SelvaneTelescope::openSharedPort()
{
    if (shared || link != Link::Open)
        return;
    auto port = std::make_unique<SharedPort>(static_cast<Loop&>(*this), sharedLineEvents(),
        [this](const std::string& message) { LOGF_INFO("%s", message.c_str()); });
    const char* address = SharedAddressT[0].text ? SharedAddressT[0].text : "";
    char message[MAXRBUF];
    if (const auto why = port->listen(address)) {
        std::snprintf(message, sizeof message, indi_texts::PortPartagéImpossible, address, why->c_str());
        LOGF_ERROR("%s", message);
        IUResetSwitch(&SharedSP);
        SharedS[1].s = ISS_ON;
        SharedSP.s = IPS_ALERT;
        IDSetSwitch(&SharedSP, nullptr);
        return;
    }
    shared = std::move(port);
    std::snprintf(message, sizeof message, indi_texts::PortPartagéOuvert, address);
    LOGF_INFO("%s", message);
    IUResetSwitch(&SharedSP);
    SharedS[0].s = ISS_ON;
    SharedSP.s = IPS_OK;
    IDSetSwitch(&SharedSP, nullptr);
}

void SelvaneTelescope::closeSharedPort(bool atOnce)
{
    deferredGoto = nullptr;
    if (!shared)
        return;
    // The programs go with the port: a move one of them left open must not outlive it.
    shared->aiguillage().arrêterMouvements();
    shared->stopListening();
    shared->aiguillage().ligneFermée();
    // The port may be the caller (a program's command lost the line): it goes once the loop is
    // back, or at once when the driver itself ends.
    if (atOnce) {
        shared.reset();
        return;
    }
    auto* retired = shared.release();
    addTimer(0, [retired] { delete retired; });
}

void SelvaneTelescope::newSharedPortSwitch(ISState* states, char* names[], int n)
{
    if (IUUpdateSwitch(&SharedSP, states, names, n) < 0)
        return;
    if (SharedS[0].s == ISS_ON) {
        openSharedPort();
        if (!shared && link != Link::Open) {
            SharedSP.s = IPS_IDLE;
            IDSetSwitch(&SharedSP, "%s", indi_texts::NonConnecté.texte());
        }
        return;
    }
    const bool wasOpen = shared != nullptr;
    closeSharedPort();
    SharedSP.s = IPS_IDLE;
    if (wasOpen)
        IDSetSwitch(&SharedSP, "%s", indi_texts::PortPartagéFermé.texte());
    else
        IDSetSwitch(&SharedSP, nullptr);
}

void SelvaneTelescope::newSharedPortAddress(char* texts[], char* names[], int n)
{
    if (IUUpdateText(&SharedAddressTP, texts, names, n) < 0)
        return;
    SharedAddressTP.s = IPS_OK;
    IDSetText(&SharedAddressTP, nullptr);
    // An open port moves to the new address.
    if (shared) {
        closeSharedPort();
        openSharedPort();
    }
}

} // namespace indi_driver
