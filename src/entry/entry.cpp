// frmTKR52princ: spin buttons and clipboard import.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

#include "app/frmTKR52princ.h"
#include "entry/texts.h"

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

// ---- Clipboard text ----

constexpr char32_t Remplacement = 0xFFFD;

// The text as characters. A byte that does not begin a well-formed sequence stands for one
// U+FFFD, so that any bytes at all can be searched.
std::u32string décoderUtf8(std::string_view octets)
{
    std::u32string caractères;
    caractères.reserve(octets.size());
    std::size_t i = 0;
    while (i < octets.size()) {
        const auto premier = static_cast<unsigned char>(octets[i]);
        if (premier < 0x80) {
            caractères += static_cast<char32_t>(premier);
            ++i;
            continue;
        }
        std::size_t longueur = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if ((premier & 0xE0) == 0xC0) {
            longueur = 2;
            code = premier & 0x1F;
            minimum = 0x80;
        } else if ((premier & 0xF0) == 0xE0) {
            longueur = 3;
            code = premier & 0x0F;
            minimum = 0x800;
        } else if ((premier & 0xF8) == 0xF0) {
            longueur = 4;
            code = premier & 0x07;
            minimum = 0x10000;
        }
        bool bien = longueur > 0 && i + longueur <= octets.size();
        for (std::size_t k = 1; bien && k < longueur; ++k) {
            const auto suite = static_cast<unsigned char>(octets[i + k]);
            if ((suite & 0xC0) != 0x80)
                bien = false;
            else
                code = (code << 6) | (suite & 0x3F);
        }
        if (bien && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            bien = false;
        if (bien) {
            caractères += code;
            i += longueur;
        } else {
            caractères += Remplacement;
            ++i;
        }
    }
    return caractères;
}

std::string encoderUtf8(std::u32string_view caractères)
{
    std::string octets;
    octets.reserve(caractères.size());
    for (char32_t c : caractères) {
        if (c < 0x80) {
            octets += static_cast<char>(c);
        } else if (c < 0x800) {
            octets += static_cast<char>(0xC0 | (c >> 6));
            octets += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            octets += static_cast<char>(0xE0 | (c >> 12));
            octets += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            octets += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            octets += static_cast<char>(0xF0 | (c >> 18));
            octets += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            octets += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            octets += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return octets;
}

using Pièces = frmTKR52princ::PiècesCoordonnées;

// The program's own format, 05h35m17.3s|-05°23'28.0: each piece is exactly what lies between
// its two separators, blanks included. Nothing when a separator is missing or out of order.
std::optional<Pièces> découpeHabituelle(const std::u32string& s)
{
    constexpr auto absent = std::u32string::npos;
    const std::size_t pH = s.find(U'h');
    if (pH == absent)
        return std::nullopt;
    const std::size_t pM = s.find(U'm', pH);
    if (pM == absent)
        return std::nullopt;
    const std::size_t pP = s.find(U'.', pM);
    if (pP == absent)
        return std::nullopt;
    const std::size_t pBar = s.find(U'|', pP);
    const std::size_t pDeg = s.find(U'°');
    // The apostrophe is looked for from the "h", not from the "°".
    const std::size_t pQ = s.find(U'\'', pH);
    if (pBar == absent || pDeg == absent || pQ == absent)
        return std::nullopt;
    const std::size_t pP2 = s.find(U'.', pQ);
    if (pP2 == absent || pDeg < pBar || pQ < pDeg)
        return std::nullopt;

    auto entre = [&s](std::size_t avant, std::size_t après) {
        return encoderUtf8(std::u32string_view(s).substr(avant + 1, après - avant - 1));
    };
    Pièces pièces;
    pièces.heures = encoderUtf8(std::u32string_view(s).substr(0, pH));
    pièces.minutes = entre(pH, pM);
    pièces.secondes = entre(pM, pP);
    pièces.degrés = entre(pBar, pDeg);
    pièces.minutesDEC = entre(pDeg, pQ);
    pièces.secondesDEC = entre(pQ, pP2);
    return pièces;
}

// ---- Other common ways of writing the pair ----

// A number in the text: an optional sign stuck to its digits, the digits, and a fraction.
struct Nombre {
    std::size_t début = 0;   // first character, the sign included
    std::size_t chiffres = 0; // first digit
    std::size_t finEntier = 0; // one past the last digit before the point
    std::size_t fin = 0;     // one past the last character
    char signe = 0;          // 0, '+' or '-'
    bool fraction = false;
    long valeur = 0;         // of the whole part; large when it has many digits
};

bool estSigne(char32_t c)
{
    return c == U'+' || c == U'-' || c == U'\u2212';
}

bool estChiffre32(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

// The next number from position i on; i moves past it. Nothing when no digit is left.
std::optional<Nombre> nombreSuivant(const std::u32string& s, std::size_t& i)
{
    while (i < s.size() && !estChiffre32(s[i]))
        ++i;
    if (i == s.size())
        return std::nullopt;
    Nombre n;
    n.début = n.chiffres = i;
    if (i > 0 && estSigne(s[i - 1])) {
        n.début = i - 1;
        n.signe = s[i - 1] == U'+' ? '+' : '-';
    }
    for (; i < s.size() && estChiffre32(s[i]); ++i)
        if (i - n.chiffres < 6)
            n.valeur = n.valeur * 10 + static_cast<long>(s[i] - U'0');
    n.finEntier = i;
    if (n.finEntier - n.chiffres > 6)
        n.valeur = 1000000;
    if (i + 1 < s.size() && s[i] == U'.' && estChiffre32(s[i + 1])) {
        n.fraction = true;
        for (++i; i < s.size() && estChiffre32(s[i]); ++i) {
        }
    }
    n.fin = i;
    return n;
}

bool estBlanc32(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\u00A0' || c == U'\u202F';
}

// Whether what separates two numbers, blanks left out, is one of the admitted texts. Two numbers
// with nothing at all between them are not separated.
bool séparésPar(const std::u32string& s, const Nombre& avant, const Nombre& après, bool finDeLigneBlanche,
                std::initializer_list<std::u32string_view> admis)
{
    if (après.début <= avant.fin)
        return false;
    std::u32string reste;
    for (std::size_t i = avant.fin; i < après.début && reste.size() <= 2; ++i) {
        const char32_t c = s[i];
        if (estBlanc32(c) || (finDeLigneBlanche && (c == U'\r' || c == U'\n')))
            continue;
        reste += c;
    }
    for (auto a : admis)
        if (reste == a)
            return true;
    return false;
}

std::string chiffresDe(const std::u32string& s, const Nombre& n)
{
    return encoderUtf8(std::u32string_view(s).substr(n.chiffres, n.finEntier - n.chiffres));
}

// Six numbers in a row: hours, minutes, seconds, signed degrees, minutes, seconds, written with
// blanks, colons or letters (05 35 17.3 -05 23 28; 05:35:17.3 -05:23:28; 5h35m17.3s -5°23'28"),
// "|", "/", a tab or a line break between the two coordinates, and anything before or after.
// Whole numbers where a fraction makes no sense and values within range keep a label such as
// "J2000.0" from being taken for a coordinate.
std::optional<Pièces> découpeLibre(const std::u32string& s)
{
    std::array<Nombre, 6> fenêtre;
    std::size_t lus = 0;
    std::size_t position = 0;
    while (const auto suivant = nombreSuivant(s, position)) {
        if (lus < fenêtre.size()) {
            fenêtre[lus++] = *suivant;
            if (lus < fenêtre.size())
                continue;
        } else {
            std::copy(fenêtre.begin() + 1, fenêtre.end(), fenêtre.begin());
            fenêtre.back() = *suivant;
        }
        const auto& [h, m, sec, d, dm, ds] = fenêtre;
        if (h.signe || m.signe || sec.signe || dm.signe || ds.signe)
            continue;
        if (h.fraction || m.fraction || d.fraction || dm.fraction)
            continue;
        if (h.valeur > 23 || m.valeur > 59 || sec.valeur > 59 || d.valeur > 90 || dm.valeur > 59
            || ds.valeur > 59)
            continue;
        if (!séparésPar(s, h, m, false, {U"", U":", U"h"}) || !séparésPar(s, m, sec, false, {U"", U":", U"m"})
            || !séparésPar(s, sec, d, true, {U"", U"s", U"|", U"/", U"s|", U"s/"})
            || !séparésPar(s, d, dm, false, {U"", U":", U"°", U"º", U"d"})
            || !séparésPar(s, dm, ds, false, {U"", U":", U"'", U"\u2032", U"\u2019", U"m"}))
            continue;
        Pièces pièces;
        pièces.heures = chiffresDe(s, h);
        pièces.minutes = chiffresDe(s, m);
        pièces.secondes = chiffresDe(s, sec);
        pièces.degrés = (d.signe ? std::string(1, d.signe) : std::string()) + chiffresDe(s, d);
        pièces.minutesDEC = chiffresDe(s, dm);
        pièces.secondesDEC = chiffresDe(s, ds);
        return pièces;
    }
    return std::nullopt;
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

// ---- Clipboard import ----

std::optional<frmTKR52princ::PiècesCoordonnées> frmTKR52princ::découperPressePapier(std::string_view text)
{
    const std::u32string caractères = décoderUtf8(text);
    if (auto pièces = découpeHabituelle(caractères))
        return pièces;
    return découpeLibre(caractères);
}

void frmTKR52princ::Btn_récup_clipboard_Click()
{
    const std::string s = système.clipboardText();
    edtsaisie.setText(entry_texts::EnTêtePressePapier + s);
    if (système.clipboardHasText()) {
        // All or nothing: no field changes unless the six pieces were all found.
        if (const auto pièces = découperPressePapier(s)) {
            EdtADréfHrs.setText(pièces->heures);
            EdtADréfMin.setText(pièces->minutes);
            EdtADréfSec.setText(pièces->secondes);
            EdtDECréfDeg.setText(pièces->degrés);
            EdtDECréfMin.setText(pièces->minutesDEC);
            EdtDECréfSec.setText(pièces->secondesDEC);
        } else {
            edtsaisie.addLine(entry_texts::CoordonnéesNonReconnues);
        }
    }
    système.clearClipboard();
}
