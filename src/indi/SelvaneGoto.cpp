// SPDX-License-Identifier: GPL-3.0-or-later
// A client's target: GOTO or Sync, through the pointing model.
#include "indi/SelvaneTelescope.h"
#include "indi/SelvaneInternals.h"

#include <cmath>
#include <cstring>

#include "indi/texts.h"
#include "protocol/codec.h"
#include "protocol/texts.h"
#include "protocol/wire.h"

namespace indi_driver {

void SelvaneTelescope::newTarget(double values[], char* names[], int n)
{
    if (link == Link::Lost)
        return refuse(EqNP, indi_texts::NonConnecté);
    if (link != Link::Open || !session) {
        LOGF_WARN("%s", indi_texts::NonConnecté.texte());
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
        LOGF_WARN("%s", indi_texts::GotoEnCours.texte());
        IDSetNumber(&EqNP, "%s", indi_texts::GotoEnCours.texte());
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
        LOGF_INFO("%s", protocol_texts::SystèmeInitialisé.texte());
        EqNP.s = IPS_OK;
        IDSetNumber(&EqNP, nullptr);
        return;
    }
    TrackState = SCOPE_SLEWING;
    EqNP.s = IPS_BUSY;
    IDSetNumber(&EqNP, nullptr);
    IDSetNumber(&TargetNP, nullptr);
}

} // namespace indi_driver
