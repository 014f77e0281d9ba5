// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the controller link — writing commands, the shared wait, the position query.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "app/frmTKR52princ.h"
#include "link/framing.h"
#include "link/texts.h"
#include "link/wait.h"

namespace {

// A decimal whole number with an optional sign and surrounding blanks, fitting 32 bits.
std::optional<std::int32_t> champEntier(std::string_view field)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!field.empty() && isBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && isBlank(field.back()))
        field.remove_suffix(1);
    bool negative = false;
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 32)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

void frmTKR52princ::envoyer(const std::string& command)
{
    if (coupée) {
        // The user should know that what he asked for did not reach the mount.
        if (!commandesPerduesSignalées)
            edtsaisie.addLine(link_texts::CommandesPerdues);
        commandesPerduesSignalées = true;
        return;
    }
    MSComm1.setOutput(command);
}

void frmTKR52princ::liaisonPerdue()
{
    if (coupée || !démarré)
        return;
    coupée = true;
    MSComm1.setPortOpen(false);
    edtsaisie.addLine(link_texts::LiaisonPerdue);
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
    edtsaisie.addLine(link_texts::LiaisonRétablie);
    return true;
}

frmTKR52princ::Calme frmTKR52princ::attendreLigneCalme(std::int64_t silenceMs)
{
    const std::int64_t fin = système.monotonicMs() + link_texts::DélaiRéponsePositionMs;
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
    LecteurRéponse lecteur;
    const auto fin = attendreLigne(link_texts::DélaiRéponsePositionMs, [&](char c) { return lecteur.ajouter(c); });
    if (fin != FinAttente::Atteint)
        return {};
    return lecteur.réponse();
}

std::optional<frmTKR52princ::ChampsRéponse> frmTKR52princ::décoderRéponse(std::string_view reply)
{
    const auto p1 = reply.find(':');
    if (p1 == std::string_view::npos)
        return std::nullopt;
    const auto p2 = reply.find(',', p1);
    if (p2 == std::string_view::npos)
        return std::nullopt;
    auto p3 = reply.find('#', p2);
    if (p3 == std::string_view::npos)
        p3 = reply.size();
    if (p3 - p1 - 1 > link_texts::LongueurMaxChamps)
        return std::nullopt;
    const auto haut = champEntier(reply.substr(p1 + 1, p2 - p1 - 1));
    const auto bas = champEntier(reply.substr(p2 + 1, p3 - p2 - 1));
    if (!haut || !bas)
        return std::nullopt;
    return ChampsRéponse{*haut, *bas};
}

std::optional<double> frmTKR52princ::compteAD(std::string_view reply)
{
    const auto champs = décoderRéponse(reply);
    if (!champs)
        return std::nullopt;
    return (static_cast<double>(champs->bas) + 32768.0) + static_cast<double>(champs->haut) * 65536.0;
}

std::optional<std::int32_t> frmTKR52princ::compteDEC(std::string_view reply)
{
    const auto champs = décoderRéponse(reply);
    if (!champs)
        return std::nullopt;
    const double compte = static_cast<double>(champs->bas) + static_cast<double>(champs->haut) * 65536.0;
    const double arrondi = std::nearbyint(compte); // halves to even
    if (arrondi < std::numeric_limits<std::int32_t>::min() || arrondi > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(arrondi);
}

void frmTKR52princ::Timerconsult_Timer()
{
    // One query at a time: a tick or a click inside a wait would read the same line.
    if (attenteEnCours())
        return;
    // While the device is gone, each tick tries it again.
    if (coupée && !rétablirLiaison())
        return;
    // After a time-out the line is suspect until a query goes through with nothing arriving
    // between its replies: a late reply must never be taken for the answer to a later command.
    const bool méfiance = viderAvantRequête;
    if (méfiance && attendreLigneCalme(link_texts::SilenceAvantRequêteMs) == Calme::LiaisonPerdue)
        return;
    const double positionADAvant = positionAD;
    const std::int32_t positionDECAvant = positionDEC;
    auto répliqueDécalée = [&] {
        if (!méfiance)
            return false;
        const Calme calme = attendreLigneCalme(link_texts::SilenceEntreRéponsesMs);
        if (calme == Calme::Silencieuse)
            return false;
        // Another reply came after the one we took: that one answered an earlier command.
        positionAD = positionADAvant;
        positionDEC = positionDECAvant;
        return true;
    };

    envoyer(link_texts::DemandeAD);
    const std::string réponseAD = Message_recu();
    if (réponseAD.empty()) {
        if (coupée) // the loss has been said already
            return;
        edtsaisie.addLine(std::string(link_texts::PréfixeAD) + link_texts::PasDeRéponse);
        viderAvantRequête = true;
        return;
    }
    edtsaisie.addLine(link_texts::PréfixeAD + réponseAD);
    if (const auto compte = compteAD(réponseAD))
        positionAD = *compte;
    if (répliqueDécalée())
        return;

    envoyer(link_texts::DemandeDEC);
    const std::string réponseDEC = Message_recu();
    if (réponseDEC.empty()) {
        if (coupée) // the loss has been said already
            return;
        edtsaisie.addLine(std::string(link_texts::PréfixeDEC) + link_texts::PasDeRéponse);
        viderAvantRequête = true;
        return;
    }
    edtsaisie.addLine(link_texts::PréfixeDEC + réponseDEC);
    if (const auto compte = compteDEC(réponseDEC))
        positionDEC = *compte;
    if (répliqueDécalée())
        return;
    viderAvantRequête = false;

    affalpha.setCaption(get_AD());
    affdelta.setCaption(get_DEC());
}

void frmTKR52princ::BTN_ask_Click()
{
    if (attenteEnCours())
        return;
    Timerconsult_Timer();
    Timerconsult.setEnabled(true);
}

float frmTKR52princ::degrésAD(double position)
{
    float t = static_cast<float>(position / 6400.0 * 360.0 / 180.0);
    if (t < 0)
        t = t + 360.0f;
    if (t >= 360.0f)
        t = t - 360.0f;
    return t;
}

float frmTKR52princ::degrésDEC(std::int32_t position)
{
    return static_cast<float>(static_cast<double>(position) / 6400.0 * 360.0 / 150.0);
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
    return Transhms(radians(degrésAD(position)));
}

std::string frmTKR52princ::texteDEC(std::int32_t position)
{
    return TransDegMinSec(radians(degrésDEC(position)));
}

std::string frmTKR52princ::get_AD()
{
    return texteAD(positionAD);
}

std::string frmTKR52princ::get_DEC()
{
    return texteDEC(positionDEC);
}
