// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: clock angle, reference initialisation, GOTO and the time compensation after it.
#include "window/app/frmTKR52princ.h"
#include "window/link/wait.h"
#include "window/pointing/texts.h"
#include "protocol/codec.h"
#include "protocol/compensation.h"
#include "protocol/framing.h"
#include "protocol/sequences.h"
#include "protocol/texts.h"
#include "protocol/wire.h"

float frmTKR52princ::Tempscourant()
{
    const platform::TimeOfDay t = système.localTime();
    return protocol::angleHorloge({ t.hour, t.minute, t.second }, Tempsorigine);
}

bool frmTKR52princ::rienEnvoyé(bool réessayer)
{
    if (MSComm1.linkLost())
        liaisonPerdue();
    if (!coupée || (réessayer && rétablirLiaison()))
        return false;
    système.messageBox(pointing_texts::RienEnvoyé.texte(), Titre);
    return true;
}

bool frmTKR52princ::lireCible(bool pourGoto)
{
    const bool adLu = set_objectAD();
    const bool decLu = set_objectDEC();
    const bool dansLesLimites = adLu && decLu && protocol::cibleEncodable(objectAD, objectDEC, pourGoto);
    if (!dansLesLimites)
        système.information(pointing_texts::HorsLimites.texte(), Titre);
    return dansLesLimites;
}

void frmTKR52princ::btninitialisation_Click()
{
    if (rienEnvoyé(true) || !lireCible(false))
        return;
    système.beep();
    if (système.askOkCancel(pointing_texts::QuestionInit.texte(), Titre) != platform::Answer::Ok)
        return;
    envoyer(protocol::initialisation(objectAD, objectDEC));
    if (rienEnvoyé(false))
        return;
    // The controller now reads the reference where it is: the alignment starts anew on that star.
    étoiles.clear();
    initialiséDepuisDémarrage = true;
    if (lieu) {
        // The controller reads the star's place of the date where the star is seen.
        const std::int64_t maintenant = système.utcMs();
        étoiles.add({ placeLocale(objectAD, objectDEC, maintenant),
            placeVueLocale(objectAD, objectDEC, maintenant) });
    }
    système.information(protocol_texts::SystèmeInitialisé.texte(), Titre);
}

void frmTKR52princ::bloquerPointage(bool bloquer)
{
    gotoEnCours = bloquer;
    BtnGOTO.setEnabled(!bloquer);
    btninitialisation.setEnabled(!bloquer);
    BTN_ask.setEnabled(!bloquer);
    btnAligner.setEnabled(!bloquer);
}

frmTKR52princ::FinAttente frmTKR52princ::attendreOk(std::string& réponse)
{
    protocol::AttenteOk attente;
    const auto fin = attendreLigne(protocol::DélaiOkMs, [&](char c) { return attente.ajouter(c); });
    réponse = attente.réponse();
    return fin;
}

void frmTKR52princ::finGotoSansRéponse()
{
    edtsaisie.addLine(pointing_texts::GotoSansRéponse.texte());
    Timerconsult.setEnabled(true);
    bloquerPointage(false);
}

void frmTKR52princ::BtnGOTO_Click()
{
    if (gotoEnCours)
        return;
    if (rienEnvoyé(true) || !lireCible(true))
        return;
    système.beep();
    if (système.askOkCancel(pointing_texts::QuestionGoto.texte(), Titre) != platform::Answer::Ok)
        return;
    if (!cibleConfirmée() || !cibleDuModèle())
        return;
    const std::string texteAD = get_ADH_ADL(objectAD);
    const protocol::Commandes ralliement = protocol::premierRalliement(objectAD, objectDEC);
    envoyer(ralliement[0]);
    edtsaisie.addLine(protocol_texts::GotoAD + texteAD);
    envoyer(ralliement[1]);
    edtsaisie.addLine(protocol_texts::GotoEnProgression.texte());

    std::string réponse;
    envoyer(ralliement[2]);
    Timerconsult.setEnabled(false);
    bloquerPointage(true);
    TempsGOTO = Tempscourant();
    débutRalliementMs = système.monotonicMs();
    if (attendreOk(réponse) != FinAttente::Atteint) {
        finGotoSansRéponse();
        return;
    }
    edtsaisie.addLine(protocol_texts::GotoAtteint + réponse);
    Correction_temporelle();
}

void frmTKR52princ::Correction_temporelle()
{
    const double référence = objectAD;
    const float e
        = protocol::écartRalliement(TempsGOTO, Tempscourant(), système.monotonicMs() - débutRalliementMs);
    edtsaisie.addLine(protocol::ligneCompensation(e, système.decimalSeparator()));
    objectAD = protocol::ADcompensé(objectAD, e);
    const protocol::Commandes ralliement = protocol::ralliementCompensé(objectAD);
    envoyer(ralliement[0]);
    edtsaisie.addLine(protocol_texts::CorrectionGoto.texte());

    std::string réponse;
    envoyer(ralliement[1]);
    if (attendreOk(réponse) != FinAttente::Atteint) {
        finGotoSansRéponse();
        return;
    }
    edtsaisie.addLine(protocol_texts::CiblePointée + réponse);
    réponse.clear();
    envoyer(protocol::finRalliement(référence));
    Timerconsult.setEnabled(true);
    bloquerPointage(false);
}
