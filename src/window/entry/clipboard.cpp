// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the clipboard import, which cuts a pasted text into the six entry fields.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utf8.h>

#include "window/app/frmTKR52princ.h"
#include "window/entry/texts.h"
#include "window/objet/texts.h"

namespace {

// ---- Clipboard text ----

constexpr char32_t Remplacement = 0xFFFD;

// The text as characters. Each byte that does not begin a well-formed sequence stands for one
// U+FFFD, so that any bytes at all can be searched.
std::u32string décoderUtf8(std::string_view octets)
{
    std::u32string caractères;
    caractères.reserve(octets.size());
    auto début = octets.begin();
    const auto fin = octets.end();
    while (début != fin) {
        const auto invalide = utf8::find_invalid(début, fin);
        utf8::unchecked::utf8to32(début, invalide, std::back_inserter(caractères));
        if (invalide == fin)
            break;
        caractères += Remplacement;
        début = invalide + 1;
    }
    return caractères;
}

// Only ever given characters that came out of décoderUtf8, so every one is a valid code point.
std::string encoderUtf8(std::u32string_view caractères)
{
    std::string octets;
    octets.reserve(caractères.size());
    utf8::unchecked::utf32to8(caractères.begin(), caractères.end(), std::back_inserter(octets));
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

// A number with its fraction, read from its digits on.
double valeurDe(const std::u32string& s, const Nombre& n)
{
    double entier = 0;
    for (std::size_t i = n.chiffres; i < n.finEntier; ++i)
        entier = entier * 10 + static_cast<double>(s[i] - U'0');
    double fraction = 0;
    double poids = 0.1;
    for (std::size_t i = n.finEntier + 1; i < n.fin; ++i, poids /= 10)
        fraction += static_cast<double>(s[i] - U'0') * poids;
    return entier + fraction;
}

struct Paire {
    Pièces pièces;
    catalogue::Position place; // in degrees, fractions kept
    std::size_t début = 0;
    std::size_t fin = 0;
};

// Six numbers in a row: hours, minutes, seconds, signed degrees, minutes, seconds, written with
// blanks, colons or letters (05 35 17.3 -05 23 28; 05:35:17.3 -05:23:28; 5h35m17.3s -5°23'28"),
// "|", "/", a tab or a line break between the two coordinates, and anything before or after.
// Whole numbers where a fraction makes no sense and values within range keep a label such as
// "J2000.0" from being taken for a coordinate. The first such pair from position on.
std::optional<Paire> paireSuivante(const std::u32string& s, std::size_t& position)
{
    std::array<Nombre, 6> fenêtre;
    std::size_t lus = 0;
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
        Paire paire;
        paire.pièces.heures = chiffresDe(s, h);
        paire.pièces.minutes = chiffresDe(s, m);
        paire.pièces.secondes = chiffresDe(s, sec);
        paire.pièces.degrés = (d.signe ? std::string(1, d.signe) : std::string()) + chiffresDe(s, d);
        paire.pièces.minutesDEC = chiffresDe(s, dm);
        paire.pièces.secondesDEC = chiffresDe(s, ds);
        paire.place.ad = (valeurDe(s, h) + valeurDe(s, m) / 60 + valeurDe(s, sec) / 3600) * 15;
        paire.place.dec = valeurDe(s, d) + valeurDe(s, dm) / 60 + valeurDe(s, ds) / 3600;
        if (d.signe == '-')
            paire.place.dec = -paire.place.dec;
        paire.début = h.début;
        paire.fin = ds.fin;
        return paire;
    }
    return std::nullopt;
}

enum class Repère { Aucun, J2000, Date };

// The frame a pair is labelled with, from the text of its line before it (or of the line above
// when the pair starts its line), since the end of the pair before.
Repère repèreDe(const std::u32string& s, std::size_t depuis, std::size_t jusquà)
{
    auto début = [&](std::size_t fin) {
        std::size_t i = fin;
        while (i > depuis && s[i - 1] != U'\n')
            --i;
        return i;
    };
    std::size_t débutLigne = début(jusquà);
    std::string étiquette;
    for (int essais = 0; essais < 2; ++essais) {
        étiquette.clear();
        for (std::size_t i = débutLigne; i < jusquà; ++i) {
            const char32_t c = s[i];
            if (c < 0x80)
                étiquette += static_cast<char>(c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c);
        }
        if (étiquette.find_first_not_of(" \t\r\n") != std::string::npos || débutLigne <= depuis)
            break;
        jusquà = débutLigne - 1;
        débutLigne = début(jusquà);
    }
    for (const char* mot : {"date", "jnow", "apparent"})
        if (étiquette.find(mot) != std::string::npos)
            return Repère::Date;
    return étiquette.find("j2000") != std::string::npos ? Repère::J2000 : Repère::Aucun;
}

// The pair of the date when the text labels one so, else the first pair; a first pair labelled
// J2000 keeps its place for the import to carry it to the date.
std::optional<Pièces> découpeLibre(const std::u32string& s)
{
    std::optional<Pièces> première;
    std::size_t position = 0;
    std::size_t finPrécédente = 0;
    while (auto paire = paireSuivante(s, position)) {
        const Repère repère = repèreDe(s, finPrécédente, paire->début);
        if (repère == Repère::Date)
            return paire->pièces;
        if (!première) {
            première = paire->pièces;
            if (repère == Repère::J2000)
                première->j2000 = paire->place;
        }
        finPrécédente = paire->fin;
    }
    return première;
}

// What the log box shows of the clipboard: the start, cut before a character that does not
// fit, and the mark. The whole text is still searched.
std::string texteAffiché(const std::string& s)
{
    if (s.size() <= entry_texts::LongueurPressePapierAffichée)
        return s;
    std::size_t fin = entry_texts::LongueurPressePapierAffichée;
    while (fin > 0 && (static_cast<unsigned char>(s[fin]) & 0xC0) == 0x80)
        --fin; // not inside a UTF-8 sequence
    return s.substr(0, fin) + entry_texts::MarqueCoupé;
}

} // namespace

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
    edtsaisie.setText(entry_texts::EnTêtePressePapier + texteAffiché(s));
    if (système.clipboardHasText()) {
        // All or nothing: no field changes unless the six pieces were all found.
        if (const auto pièces = découperPressePapier(s)) {
            if (pièces->j2000) {
                // The mount works in the frame of the date, as the catalogue does.
                const auto place = catalogue::positionDuJour(pièces->j2000->ad, pièces->j2000->dec, 0, 0,
                                                             système.utcMs());
                const PiècesCoordonnées champs = champsDePosition(place.ad, place.dec);
                écrireChamps(champs);
                edtsaisie.addLine(catalogue_texts::J2000VersDate + texteChamps(champs));
            } else {
                écrireChamps(*pièces);
            }
        } else {
            edtsaisie.addLine(entry_texts::CoordonnéesNonReconnues.texte());
        }
    }
    système.clearClipboard();
}

void frmTKR52princ::écrireChamps(const PiècesCoordonnées& pièces)
{
    EdtADréfHrs.setText(pièces.heures);
    EdtADréfMin.setText(pièces.minutes);
    EdtADréfSec.setText(pièces.secondes);
    EdtDECréfDeg.setText(pièces.degrés);
    EdtDECréfMin.setText(pièces.minutesDEC);
    EdtDECréfSec.setText(pièces.secondesDEC);
}
