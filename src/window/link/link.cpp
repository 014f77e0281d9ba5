// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the controller link — writing commands, the shared wait, the position query.
#include "window/app/frmTKR52princ.h"
#include "window/link/texts.h"
#include "window/link/wait.h"
#include "protocol/codec.h"
#include "protocol/framing.h"
#include "protocol/wire.h"

void frmTKR52princ::envoyer(const std::string& command)
{
    if (coupée) {
        // The user should know that what he asked for did not reach the mount.
        if (!commandesPerduesSignalées)
            edtsaisie.addLine(link_texts::CommandesPerdues.texte());
        commandesPerduesSignalées = true;
        return;
    }
    MSComm1.setOutput(command);
}

void frmTKR52princ::envoyer(const std::vector<std::string>& commandes)
{
    for (const std::string& commande : commandes)
        envoyer(commande);
}

void frmTKR52princ::liaisonPerdue()
{
    if (coupée || !démarré)
        return;
    coupée = true;
    MSComm1.setPortOpen(false);
    edtsaisie.addLine(link_texts::LiaisonPerdue.texte());
}

bool frmTKR52princ::rétablirLiaison()
{
    if (!MSComm1.setPortOpen(true))
        return false;
    MSComm1.setInBufferCount(0);
    MSComm1.setInputLen(1);
    coupée = false;
    commandesPerduesSignalées = false;
    viderAvantRequête = false;
    edtsaisie.addLine(link_texts::LiaisonRétablie.texte());
    return true;
}

frmTKR52princ::Calme frmTKR52princ::attendreLigneCalme(std::int64_t silenceMs)
{
    const std::int64_t fin = système.monotonicMs() + protocol::DélaiRéponsePositionMs;
    bool vidé = MSComm1.inBufferCount() > 0;
    for (;;) {
        MSComm1.setInBufferCount(0);
        const auto attente = attendreLigne(silenceMs, [](char) { return true; });
        if (attente == FinAttente::Délai)
            break;
        if (attente == FinAttente::LiaisonPerdue)
            return Calme::LiaisonPerdue;
        vidé = true;
        if (système.monotonicMs() >= fin) {
            // A line that never falls quiet: go on, the reader skips to the next ":".
            MSComm1.setInBufferCount(0);
            break;
        }
    }
    return vidé ? Calme::Vidé : Calme::Silencieuse;
}

std::string frmTKR52princ::Message_recu()
{
    protocol::LecteurRéponse lecteur;
    const auto fin
        = attendreLigne(protocol::DélaiRéponsePositionMs, [&](char c) { return lecteur.ajouter(c); });
    if (fin != FinAttente::Atteint)
        return {};
    return lecteur.réponse();
}

std::optional<std::string> frmTKR52princ::interrogerAxe(const char* demande, const char* préfixe)
{
    envoyer(demande);
    const std::string réponse = Message_recu();
    if (réponse.empty()) {
        if (!coupée) { // else the loss has been said already
            edtsaisie.addLine(std::string(préfixe) + link_texts::PasDeRéponse);
            viderAvantRequête = true;
        }
        return std::nullopt;
    }
    edtsaisie.addLine(préfixe + réponse);
    return réponse;
}

void frmTKR52princ::Timerconsult_Timer()
{
    lirePosition();
}

bool frmTKR52princ::lirePosition()
{
    // One query at a time: a tick or a click inside a wait would read the same line.
    if (attenteEnCours())
        return false;
    // While the device is gone, each tick tries it again.
    if (coupée && !rétablirLiaison())
        return false;
    // After a time-out the line is suspect until a query goes through with nothing arriving
    // between its replies: a late reply must never be taken for the answer to a later command.
    const bool méfiance = viderAvantRequête;
    if (méfiance && attendreLigneCalme(link_texts::SilenceAvantRequêteMs) == Calme::LiaisonPerdue)
        return false;
    const double positionADAvant = positionAD;
    const std::int32_t positionDECAvant = positionDEC;
    auto répliqueDécalée = [&] {
        if (!méfiance)
            return false;
        const Calme calme = attendreLigneCalme(protocol::SilenceEntreRéponsesMs);
        if (calme == Calme::Silencieuse)
            return false;
        // Another reply came after the one we took: that one answered an earlier command.
        positionAD = positionADAvant;
        positionDEC = positionDECAvant;
        return true;
    };

    // One axis: its command, its reply read into the field; false when the query ends there.
    auto axe = [&](const char* demande, const char* préfixe, auto&& lireCompte) {
        const auto réponse = interrogerAxe(demande, préfixe);
        if (réponse)
            lireCompte(*réponse);
        return réponse && !répliqueDécalée();
    };
    // A malformed reply leaves the axis' field as it was.
    bool comptesLus = true;
    const bool lu = axe(protocol::DemandeAD, link_texts::PréfixeAD, [&](const std::string& réponse) {
        const auto compte = protocol::compteAD(réponse);
        comptesLus = comptesLus && compte;
        if (compte)
            positionAD = *compte;
    }) && axe(protocol::DemandeDEC, link_texts::PréfixeDEC, [&](const std::string& réponse) {
        const auto compte = protocol::compteDEC(réponse);
        comptesLus = comptesLus && compte;
        if (compte)
            positionDEC = *compte;
    });
    if (!lu)
        return false;
    viderAvantRequête = false;

    affalpha.setCaption(get_AD());
    affdelta.setCaption(get_DEC());
    return comptesLus;
}

void frmTKR52princ::BTN_ask_Click()
{
    if (attenteEnCours())
        return;
    Timerconsult_Timer();
    Timerconsult.setEnabled(true);
}

namespace {
float radians(float degrés)
{
    constexpr float pi = 3.1415927f;
    return static_cast<float>(static_cast<double>(degrés) * static_cast<double>(pi) / 180.0);
}
} // namespace

std::string frmTKR52princ::texteAD(double position)
{
    return Transhms(radians(protocol::degrésAD(position)));
}

std::string frmTKR52princ::texteDEC(std::int32_t position)
{
    return TransDegMinSec(radians(protocol::degrésDEC(position)));
}

std::string frmTKR52princ::get_AD()
{
    return texteAD(positionAD);
}

std::string frmTKR52princ::get_DEC()
{
    return texteDEC(positionDEC);
}
