// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the alignment on several stars and the GOTO target of its pointing model.
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numbers>

#include "window/app/frmTKR52princ.h"
#include "window/pointing/texts.h"
#include "protocol/codec.h"
#include "sky/solar_system.h"

namespace {

constexpr double MinutesParRadian = 180.0 * 60.0 / std::numbers::pi;
constexpr double MinutesParDegré = 60.0;
constexpr double TourDegrés = 360.0;

// Arc minutes to one decimal with the user's separator; with signe, "+" before a positive value.
// to_chars, unlike printf, ignores the C locale that the toolkit sets from the environment.
std::string minutes(double valeur, bool signe, const std::string& séparateur)
{
    std::array<char, 32> texte {};
    const auto fin
        = std::to_chars(texte.data(), texte.data() + texte.size(), valeur, std::chars_format::fixed, 1).ptr;
    std::string s(texte.data(), fin);
    if (signe && s.front() != '-')
        s.insert(0, "+");
    if (const auto point = s.find('.'); point != std::string::npos)
        s.replace(point, 1, séparateur);
    return s;
}

// The library's figures ("5.0°") with the user's decimal separator.
std::string avecSéparateur(std::string texte, const std::string& séparateur)
{
    for (std::size_t i = 1; i + 1 < texte.size(); ++i)
        if (texte[i] == '.' && std::isdigit(static_cast<unsigned char>(texte[i - 1]))
            && std::isdigit(static_cast<unsigned char>(texte[i + 1])))
            texte.replace(i, 1, séparateur);
    return texte;
}

} // namespace

alignment::Place frmTKR52princ::placeLocale(double ad, double dec, std::int64_t utcMs) const
{
    return alignment::localPlace({ ad, dec }, sky::tempsSidéralLocal(utcMs, *lieu));
}

alignment::Place frmTKR52princ::placeVueLocale(double ad, double dec, std::int64_t utcMs) const
{
    const sky::Place vue = sky::placeVue({ ad, dec }, utcMs, *lieu, atmosphère());
    return placeLocale(vue.ad, vue.dec, utcMs);
}

sky::Atmosphère frmTKR52princ::atmosphère() const
{
    sky::Atmosphère air = sky::atmosphèreStandard(lieu ? lieu->altitude : 0.0);
    air.températureC = températureAir.value_or(air.températureC);
    air.pressionHPa = pressionAir.value_or(air.pressionHPa);
    return air;
}

void frmTKR52princ::btnAligner_Click()
{
    if (gotoEnCours || attenteEnCours())
        return;
    // The first star is the initialisation's: the controller's frame is that star's.
    if (!initialiséDepuisDémarrage) {
        système.information(pointing_texts::AlignerSansInitialisation.texte(), Titre);
        return;
    }
    // The hour angle of each star needs the site's longitude.
    if (!lieu) {
        système.information(pointing_texts::AlignerSansLieu.texte(), Titre);
        return;
    }
    if (rienEnvoyé(true) || !lireCible(false))
        return;
    const double adÉtoile = objectAD;
    const double decÉtoile = objectDEC;
    if (!lirePosition()) {
        edtsaisie.addLine(pointing_texts::AlignerSansPosition.texte());
        return;
    }
    const std::int64_t maintenant = système.utcMs();
    const alignment::Fit ajustement = étoiles.add(
        { placeLocale(protocol::degrésAD(positionAD), protocol::degrésDEC(positionDEC), maintenant),
            placeVueLocale(adÉtoile, decÉtoile, maintenant) });
    if (!ajustement.ok()) {
        const std::string raison = avecSéparateur(ajustement.message, système.decimalSeparator());
        edtsaisie.addLine(raison);
        système.information(raison, Titre);
        return;
    }
    const std::size_t n = étoiles.size();
    edtsaisie.addLine(pointing_texts::AlignementDébut + std::to_string(n)
        + (n > 1 ? pointing_texts::Étoiles : pointing_texts::Étoile) + pointing_texts::Résidu
        + minutes(ajustement.rms * MinutesParRadian, false, système.decimalSeparator())
        + pointing_texts::Minutes);
    // Which terms the stars determine, and how far a GOTO may still miss.
    edtsaisie.addLine(pointing_texts::TermesDébut + std::string(alignment::termNames(ajustement.termSet))
        + pointing_texts::ErreurAttendue
        + minutes(ajustement.expectedWorst * MinutesParRadian, false, système.decimalSeparator())
        + pointing_texts::Minutes);
}

bool frmTKR52princ::cibleDuModèle()
{
    // One star is a plain sync, which the controller's own initialisation already is.
    if (étoiles.size() < 2 || !lieu)
        return true;
    // The model maps where the target is seen: that is where the telescope must point.
    const std::int64_t maintenant = système.utcMs();
    const double tsl = sky::tempsSidéralLocal(maintenant, *lieu);
    const alignment::Equatorial monture = alignment::equatorialPlace(
        étoiles.model().mountFromSky(placeVueLocale(objectAD, objectDEC, maintenant)), tsl);
    const double ad = monture.raDeg;
    const auto dec = static_cast<float>(monture.decDeg);
    if (!protocol::cibleEncodable(ad, dec, true)) {
        système.information(pointing_texts::HorsLimites.texte(), Titre);
        return false;
    }
    const std::string& séparateur = système.decimalSeparator();
    edtsaisie.addLine(pointing_texts::ModèleDébut
        + minutes(std::remainder(ad - objectAD, TourDegrés) * MinutesParDegré, true, séparateur)
        + pointing_texts::ModèleAD
        + minutes(static_cast<double>(dec - objectDEC) * MinutesParDegré, true, séparateur)
        + pointing_texts::ModèleDEC);
    objectAD = ad;
    objectDEC = dec;
    return true;
}
