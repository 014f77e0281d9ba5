// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the spin buttons, which step an entry field's text in the user's locale.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

#include "window/app/frmTKR52princ.h"
#include "window/entry/texts.h"

namespace {

bool estBlanc(char c)
{
    return c == ' ' || c == '\t';
}

bool estChiffre(char c)
{
    return c >= '0' && c <= '9';
}

// ---- Numbers in the user's locale ----

// Significant digits a stepped field keeps.
constexpr int ChiffresSignificatifs = 15;
// Enough digits for any double to read back as itself.
constexpr int ChiffresRoundTrip = 17;
// Decimal exponents written in plain form; beyond them the text would be absurdly long.
constexpr int ExposantPlainMin = -5;
constexpr int ExposantPlainMax = 14;

// The whole text read as a number: blanks around it, an optional sign, digits (leading zeros
// allowed), the locale's decimal separator and digits, an optional exponent. Nothing when the
// text is not such a number or the number does not fit a double.
std::optional<double> lireNombreLocal(std::string_view texte, std::string_view séparateur)
{
    if (séparateur.empty())
        séparateur = ".";
    while (!texte.empty() && estBlanc(texte.front()))
        texte.remove_prefix(1);
    while (!texte.empty() && estBlanc(texte.back()))
        texte.remove_suffix(1);

    // The same number rewritten in the one form from_chars reads, whatever the locale.
    std::string forme;
    const std::size_t n = texte.size();
    std::size_t i = 0;
    if (i < n && (texte[i] == '+' || texte[i] == '-')) {
        if (texte[i] == '-')
            forme += '-';
        ++i;
    }
    const std::size_t débutEntier = i;
    while (i < n && estChiffre(texte[i]))
        ++i;
    const std::string_view entier = texte.substr(débutEntier, i - débutEntier);
    std::string_view fraction;
    if (texte.substr(i).starts_with(séparateur)) {
        i += séparateur.size();
        const std::size_t début = i;
        while (i < n && estChiffre(texte[i]))
            ++i;
        fraction = texte.substr(début, i - début);
    }
    if (entier.empty() && fraction.empty())
        return std::nullopt;
    forme += entier.empty() ? std::string_view("0") : entier;
    if (!fraction.empty()) {
        forme += '.';
        forme += fraction;
    }
    if (i < n && (texte[i] == 'e' || texte[i] == 'E')) {
        ++i;
        forme += 'e';
        if (i < n && (texte[i] == '+' || texte[i] == '-')) {
            if (texte[i] == '-')
                forme += '-';
            ++i;
        }
        const std::size_t début = i;
        while (i < n && estChiffre(texte[i]))
            ++i;
        if (i == début)
            return std::nullopt;
        forme += texte.substr(début, i - début);
    }
    if (i != n)
        return std::nullopt;

    double valeur = 0;
    const char* const fin = forme.data() + forme.size();
    const auto [arrêt, erreur] = std::from_chars(forme.data(), fin, valeur);
    if (erreur != std::errc() || arrêt != fin || !std::isfinite(valeur))
        return std::nullopt;
    return valeur;
}

// A number as the user reads it: no leading zeros, no "+", "-" when negative, never "-0",
// a fraction after the locale's separator, at most 15 significant digits; an exponent
// ("1E+20", "1,5E-07") only for magnitudes the plain form would spell out at length.
// The text reads back with lireNombreLocal.
std::string écrireNombreLocal(double valeur, std::string_view séparateur,
                              int chiffresSignificatifs = ChiffresSignificatifs)
{
    if (séparateur.empty())
        séparateur = ".";
    if (valeur == 0 || !std::isfinite(valeur))
        return "0";

    // "-d.dddddddddddddde-xx", independent of the C locale.
    std::array<char, 64> tampon{};
    const auto [fin, erreur] = std::to_chars(tampon.data(), tampon.data() + tampon.size(), valeur,
                                             std::chars_format::scientific, chiffresSignificatifs - 1);
    if (erreur != std::errc())
        return "0";
    std::string_view scientifique(tampon.data(), static_cast<std::size_t>(fin - tampon.data()));
    const bool négatif = scientifique.front() == '-';
    if (négatif)
        scientifique.remove_prefix(1);
    const std::size_t posE = scientifique.find('e');
    if (posE == std::string_view::npos)
        return "0";
    std::string chiffres;
    for (char c : scientifique.substr(0, posE))
        if (estChiffre(c))
            chiffres += c;
    std::string_view texteExposant = scientifique.substr(posE + 1);
    if (!texteExposant.empty() && texteExposant.front() == '+')
        texteExposant.remove_prefix(1);
    int exposant = 0;
    std::from_chars(texteExposant.data(), texteExposant.data() + texteExposant.size(), exposant);
    while (chiffres.size() > 1 && chiffres.back() == '0')
        chiffres.pop_back();
    if (chiffres.empty() || chiffres == "0")
        return "0";

    std::string texte = négatif ? "-" : "";
    if (exposant < ExposantPlainMin || exposant > ExposantPlainMax) {
        texte += chiffres.front();
        if (chiffres.size() > 1) {
            texte += séparateur;
            texte += chiffres.substr(1);
        }
        texte += 'E';
        texte += exposant < 0 ? '-' : '+';
        const std::string magnitude = std::to_string(std::abs(exposant));
        if (magnitude.size() < 2)
            texte += '0';
        texte += magnitude;
    } else if (exposant >= 0) {
        const std::size_t entiers = static_cast<std::size_t>(exposant) + 1;
        if (chiffres.size() <= entiers) {
            texte += chiffres;
            texte.append(entiers - chiffres.size(), '0');
        } else {
            texte += chiffres.substr(0, entiers);
            texte += séparateur;
            texte += chiffres.substr(entiers);
        }
    } else {
        texte += '0';
        texte += séparateur;
        texte.append(static_cast<std::size_t>(-exposant - 1), '0');
        texte += chiffres;
    }
    return texte;
}

} // namespace

// ---- Spin buttons ----

std::optional<std::string> frmTKR52princ::pasSpin(std::string_view text, int pas, double seuil,
                                                    std::string_view valeurBouclée,
                                                    std::string_view séparateurDécimal)
{
    const auto valeur = lireNombreLocal(text, séparateurDécimal);
    if (!valeur)
        return std::nullopt;
    const double résultat = *valeur + pas;
    // Equality, not a range: a value already out of range or with a fraction just moves on.
    if (résultat == seuil)
        return std::string(valeurBouclée);
    std::string texte = écrireNombreLocal(résultat, séparateurDécimal);
    // Rounded to 15 digits, the largest doubles would read back as too large: write them whole.
    if (!lireNombreLocal(texte, séparateurDécimal))
        texte = écrireNombreLocal(résultat, séparateurDécimal, ChiffresRoundTrip);
    return texte;
}

void frmTKR52princ::pasChamp(platform::TextBox& champ, int pas, double seuil, const char* valeurBouclée)
{
    // A field that holds no number is left as it is.
    if (const auto texte = pasSpin(champ.text(), pas, seuil, valeurBouclée, système.decimalSeparator()))
        champ.setText(*texte);
}

void frmTKR52princ::UpDownADHrs_UpClick()
{
    pasChamp(EdtADréfHrs, +1, 24, entry_texts::BoucleZéro);
}

void frmTKR52princ::UpDownADHrs_DownClick()
{
    pasChamp(EdtADréfHrs, -1, -1, entry_texts::BoucleHeures);
}

void frmTKR52princ::UpDownADMin_UpClick()
{
    pasChamp(EdtADréfMin, +1, 60, entry_texts::BoucleZéro);
}

void frmTKR52princ::UpDownADMin_DownClick()
{
    pasChamp(EdtADréfMin, -1, -1, entry_texts::BoucleSoixantième);
}

void frmTKR52princ::UpDownADSec_UpClick()
{
    pasChamp(EdtADréfSec, +1, 60, entry_texts::BoucleZéro);
}

void frmTKR52princ::UpDownADSec_DownClick()
{
    pasChamp(EdtADréfSec, -1, -1, entry_texts::BoucleSoixantième);
}

void frmTKR52princ::UpDownDECdeg_UpClick()
{
    pasChamp(EdtDECréfDeg, +1, 91, entry_texts::BouclePôleSud);
}

void frmTKR52princ::UpDownDECdeg_DownClick()
{
    pasChamp(EdtDECréfDeg, -1, -91, entry_texts::BouclePôleNord);
}

void frmTKR52princ::UpDownDECmin_UpClick()
{
    pasChamp(EdtDECréfMin, +1, 60, entry_texts::BoucleZéro);
}

void frmTKR52princ::UpDownDECmin_DownClick()
{
    pasChamp(EdtDECréfMin, -1, -1, entry_texts::BoucleSoixantième);
}

void frmTKR52princ::UpDownDECsec_UpClick()
{
    pasChamp(EdtDECréfSec, +1, 60, entry_texts::BoucleZéro);
}

void frmTKR52princ::UpDownDECsec_DownClick()
{
    pasChamp(EdtDECréfSec, -1, -1, entry_texts::BoucleSoixantième);
}
