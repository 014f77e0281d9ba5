// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: construction, start-up and the two ways of quitting.
#include "window/app/frmTKR52princ.h"

#include "window/app/texts.h"
#include "protocol/wire.h"

frmTKR52princ::frmTKR52princ(platform::ControlSet& controls, platform::System& system)
    : affalpha(controls.label("affalpha"))
    , affdelta(controls.label("affdelta"))
    , edtsaisie(controls.textBox("edtsaisie"))
    , EdtADréfHrs(controls.textBox("EdtADréfHrs"))
    , EdtADréfMin(controls.textBox("EdtADréfMin"))
    , EdtADréfSec(controls.textBox("EdtADréfSec"))
    , EdtDECréfDeg(controls.textBox("EdtDECréfDeg"))
    , EdtDECréfMin(controls.textBox("EdtDECréfMin"))
    , EdtDECréfSec(controls.textBox("EdtDECréfSec"))
    , EdtObjet(controls.textBox("EdtObjet"))
    , BtnGOTO(controls.commandButton("BtnGOTO"))
    , btninitialisation(controls.commandButton("btninitialisation"))
    , btnAligner(controls.commandButton("btnAligner"))
    , BTN_ask(controls.commandButton("BTN_ask"))
    , btnPrécédent(controls.commandButton("btnPrécédent"))
    , btnSuivant(controls.commandButton("btnSuivant"))
    , Optvitesseauto(controls.checkBox("Optvitesseauto"))
    , Timerconsult(controls.timer("Timerconsult"))
    , MSComm1(controls.serialPort("MSComm1"))
    , système(system)
{
    MSComm1.onLinkLost = [this] { liaisonPerdue(); };
}

void frmTKR52princ::Form_Load()
{
    système.clearClipboard();
    MSComm1.setCommPort(app_texts::NuméroPort);
    MSComm1.setSettings(app_texts::ParamètresLigne);
    if (!MSComm1.setPortOpen(true)) {
        système.messageBox(MSComm1.portName() + app_texts::PortIndisponible, Titre);
        système.endNow(app_texts::StatutPortIndisponible);
    }
    // Whatever arrived before this point is not the answer to anything we asked.
    MSComm1.setInBufferCount(0);
    positionAD = 0;
    positionDEC = 0;
    objectAD = 0;
    objectDEC = 0;
    Tempsorigine = 0;
    Tempsorigine = Tempscourant();
    TempsGOTO = Tempsorigine;
    MSComm1.setInputLen(1);
    Vitesse = protocol::VitesseDépart;
    démarré = true;
}

void frmTKR52princ::Form_Unload(std::int16_t& Cancel)
{
    système.beep();
    if (système.askOkCancel(app_texts::QuestionQuitter.texte(), Titre) != platform::Answer::Ok) {
        Cancel = 1;
        return;
    }
    fermerLigne();
    système.endNow(app_texts::StatutQuitter);
}

void frmTKR52princ::fermerLigne()
{
    // A move still open would go on after the program: stop it as its button's release would.
    // The port's close then waits (briefly) until what was written has left.
    arrêterMouvements();
    MSComm1.setPortOpen(false);
}

void frmTKR52princ::btnFermerappli_Click()
{
    std::int16_t cancel = 0;
    Form_Unload(cancel);
}
