// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: clock angle, reference initialisation, GOTO and the time compensation after it.
#include <array>
#include <charconv>
#include <cmath>

#include "app/frmTKR52princ.h"
#include "link/framing.h"
#include "link/wait.h"
#include "pointing/texts.h"

namespace {

// A single-precision value with at most seven significant digits and the user's decimal separator.
std::string texteMinutes(float value, const std::string& séparateur)
{
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::general, 7);
    std::string text = ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, séparateur);
    return text;
}

} // namespace

std::string frmTKR52princ::commandeCibleAD(double ADangle)
{
    return pointing_texts::CibleAD + get_ADH_ADL(ADangle) + pointing_texts::FinCommande;
}

std::string frmTKR52princ::commandeCibleDEC(float& DECangle)
{
    return pointing_texts::CibleDEC + get_DECH_DECL(DECangle) + pointing_texts::FinCommande;
}

float frmTKR52princ::angleHorloge(const platform::TimeOfDay& t, float origine)
{
    const double angle = (t.hour + t.minute / 60.0 + t.second / 3600.0) * 360.0 / 24.0;
    return static_cast<float>(angle - static_cast<double>(origine));
}

float frmTKR52princ::Tempscourant()
{
    return angleHorloge(système.localTime(), Tempsorigine);
}

float frmTKR52princ::écartRalliement(float début, float fin, std::int64_t duréeMonotoneMs)
{
    float e = fin - début;
    // A slew across midnight: the clock angle started again from 0.
    if (e < 0)
        e = e + pointing_texts::TourHoraire;
    const double secondesMonotones = static_cast<double>(duréeMonotoneMs) / 1000.0;
    if (std::fabs(static_cast<double>(e) * pointing_texts::SecondesParDegré - secondesMonotones)
        > pointing_texts::ÉcartHorlogesMaxS)
        e = static_cast<float>(secondesMonotones / pointing_texts::SecondesParDegré);
    return e;
}

double frmTKR52princ::ADcompensé(double AD, float écart)
{
    // The mount turned with the sky while it slewed: aim that much lower in right ascension.
    double corrigé = AD - static_cast<double>(écart);
    if (corrigé < 0)
        corrigé = corrigé + pointing_texts::TourAD;
    return corrigé;
}

std::string frmTKR52princ::ligneCompensation(float écart, const std::string& séparateurDécimal)
{
    return pointing_texts::ErreurCompensation + texteMinutes(écart * 60.0f, séparateurDécimal) + "'";
}

bool frmTKR52princ::rienEnvoyé(bool réessayer)
{
    if (MSComm1.linkLost())
        liaisonPerdue();
    if (!coupée || (réessayer && rétablirLiaison()))
        return false;
    système.messageBox(pointing_texts::RienEnvoyé, Titre);
    return true;
}

bool frmTKR52princ::cibleEncodable(double ADangle, float DECangle, bool pourGoto)
{
    if (!compteCibleAD(ADangle) || !compteCibleDEC(DECangle))
        return false;
    // The compensation after a GOTO moves the right ascension by less than a turn either way.
    return !pourGoto
        || (compteCibleAD(ADangle - pointing_texts::TourAD) && compteCibleAD(ADangle + pointing_texts::TourAD));
}

bool frmTKR52princ::lireCible(bool pourGoto)
{
    const bool adLu = set_objectAD();
    const bool decLu = set_objectDEC();
    const bool dansLesLimites = adLu && decLu && cibleEncodable(objectAD, objectDEC, pourGoto);
    if (!dansLesLimites)
        système.information(pointing_texts::HorsLimites, Titre);
    return dansLesLimites;
}

void frmTKR52princ::btninitialisation_Click()
{
    if (rienEnvoyé(true) || !lireCible(false))
        return;
    système.beep();
    if (système.askOkCancel(pointing_texts::QuestionInit, Titre) != platform::Answer::Ok)
        return;
    envoyer(commandeCibleAD(objectAD));
    envoyer(commandeCibleDEC(objectDEC));
    envoyer(pointing_texts::Initialiser);
    if (rienEnvoyé(false))
        return;
    système.information(pointing_texts::SystèmeInitialisé, Titre);
}

void frmTKR52princ::bloquerPointage(bool bloquer)
{
    gotoEnCours = bloquer;
    BtnGOTO.setEnabled(!bloquer);
    btninitialisation.setEnabled(!bloquer);
    BTN_ask.setEnabled(!bloquer);
}

frmTKR52princ::FinAttente frmTKR52princ::attendreOk(std::string& réponse)
{
    AttenteOk attente;
    const auto fin = attendreLigne(pointing_texts::DélaiOkMs, [&](char c) { return attente.ajouter(c); });
    réponse = attente.réponse();
    return fin;
}

void frmTKR52princ::finGotoSansRéponse()
{
    edtsaisie.addLine(pointing_texts::GotoSansRéponse);
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
    if (système.askOkCancel(pointing_texts::QuestionGoto, Titre) != platform::Answer::Ok)
        return;
    if (!cibleConfirmée())
        return;
    const std::string texteAD = get_ADH_ADL(objectAD);
    envoyer(commandeCibleAD(objectAD));
    edtsaisie.addLine(pointing_texts::GotoAD + texteAD);
    envoyer(commandeCibleDEC(objectDEC));
    edtsaisie.addLine(pointing_texts::GotoEnProgression);

    std::string réponse;
    envoyer(pointing_texts::Pointer);
    Timerconsult.setEnabled(false);
    bloquerPointage(true);
    TempsGOTO = Tempscourant();
    débutRalliementMs = système.monotonicMs();
    if (attendreOk(réponse) != FinAttente::Atteint) {
        finGotoSansRéponse();
        return;
    }
    edtsaisie.addLine(pointing_texts::GotoAtteint + réponse);
    Correction_temporelle();
}

void frmTKR52princ::Correction_temporelle()
{
    const double référence = objectAD;
    const float e = écartRalliement(TempsGOTO, Tempscourant(), système.monotonicMs() - débutRalliementMs);
    edtsaisie.addLine(ligneCompensation(e, système.decimalSeparator()));
    objectAD = ADcompensé(objectAD, e);
    envoyer(commandeCibleAD(objectAD));
    edtsaisie.addLine(pointing_texts::CorrectionGoto);

    std::string réponse;
    envoyer(pointing_texts::Pointer);
    if (attendreOk(réponse) != FinAttente::Atteint) {
        finGotoSansRéponse();
        return;
    }
    edtsaisie.addLine(pointing_texts::CiblePointée + réponse);
    réponse.clear();
    envoyer(commandeCibleAD(référence));
    envoyer(pointing_texts::Initialiser);
    Timerconsult.setEnabled(true);
    bloquerPointage(false);
}
