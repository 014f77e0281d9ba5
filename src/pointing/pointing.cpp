// frmTKR52princ: clock angle, reference initialisation, GOTO and the time compensation after it.
#include <array>
#include <charconv>

#include "app/frmTKR52princ.h"
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

float frmTKR52princ::Tempscourant()
{
    const platform::TimeOfDay t = système.localTime();
    const double angle = (t.hour + t.minute / 60.0 + t.second / 3600.0) * 360.0 / 24.0;
    return static_cast<float>(angle - static_cast<double>(Tempsorigine));
}

bool frmTKR52princ::lireCible(bool pourGoto)
{
    const bool adLu = set_objectAD();
    const bool decLu = set_objectDEC();
    bool dansLesLimites = adLu && decLu && compteCibleAD(objectAD) && compteCibleDEC(objectDEC);
    // The compensation after a GOTO moves the right ascension by less than a turn either way.
    if (pourGoto && dansLesLimites)
        dansLesLimites = compteCibleAD(objectAD - pointing_texts::TourAD)
            && compteCibleAD(objectAD + pointing_texts::TourAD);
    if (!dansLesLimites)
        système.information(pointing_texts::HorsLimites, Titre);
    return dansLesLimites;
}

void frmTKR52princ::btninitialisation_Click()
{
    if (!lireCible(false))
        return;
    système.beep();
    if (système.askOkCancel(pointing_texts::QuestionInit, Titre) != platform::Answer::Ok)
        return;
    envoyer(":r" + get_ADH_ADL(objectAD) + "#");
    envoyer(":d" + get_DECH_DECL(objectDEC) + "#");
    envoyer(pointing_texts::Initialiser);
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
    const std::string ok = pointing_texts::FinDeRalliement;
    return attendreLigne(pointing_texts::DélaiOkMs, [&](char c) {
        réponse += c;
        if (réponse.size() > pointing_texts::LongueurMaxRéponseOk)
            réponse.erase(0, réponse.size() - pointing_texts::LongueurMaxRéponseOk);
        return réponse.size() >= ok.size() && réponse.compare(réponse.size() - ok.size(), ok.size(), ok) == 0;
    });
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
    if (!lireCible(true))
        return;
    système.beep();
    if (système.askOkCancel(pointing_texts::QuestionGoto, Titre) != platform::Answer::Ok)
        return;
    const std::string texteAD = get_ADH_ADL(objectAD);
    envoyer(":r" + texteAD + "#");
    edtsaisie.addLine(pointing_texts::GotoAD + texteAD);
    envoyer(":d" + get_DECH_DECL(objectDEC) + "#");
    edtsaisie.addLine(pointing_texts::GotoEnProgression);

    std::string réponse;
    envoyer(pointing_texts::Pointer);
    Timerconsult.setEnabled(false);
    bloquerPointage(true);
    TempsGOTO = Tempscourant();
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
    float e = Tempscourant() - TempsGOTO;
    // A slew across midnight: the clock angle started again from 0.
    if (e < 0)
        e = e + pointing_texts::TourHoraire;
    edtsaisie.addLine(pointing_texts::ErreurCompensation + texteMinutes(e * 60.0f, système.decimalSeparator()) + "'");

    // The mount turned with the sky while it slewed: aim that much lower in right ascension.
    double corrigé = objectAD - static_cast<double>(e);
    if (corrigé < 0)
        corrigé = corrigé + pointing_texts::TourAD;
    objectAD = corrigé;
    envoyer(":r" + get_ADH_ADL(objectAD) + "#");
    edtsaisie.addLine(pointing_texts::CorrectionGoto);

    std::string réponse;
    envoyer(pointing_texts::Pointer);
    if (attendreOk(réponse) != FinAttente::Atteint) {
        finGotoSansRéponse();
        return;
    }
    edtsaisie.addLine(pointing_texts::CiblePointée + réponse);
    réponse.clear();
    envoyer(":r" + get_ADH_ADL(référence) + "#");
    envoyer(pointing_texts::Initialiser);
    Timerconsult.setEnabled(true);
    bloquerPointage(false);
}
