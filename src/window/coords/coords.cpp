// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: angle texts, target encoding and the target read from the entry fields.
#include "window/app/frmTKR52princ.h"
#include "protocol/codec.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace {

// 180 / pi, both in single precision: the display arithmetic is single precision throughout.
constexpr float k = 180.0f / 3.1415927f;
static_assert(k == 57.2957763671875f);

// Decimal digits of a whole value, without sign (nan and inf come out as such).
// Goes through double so that no out-of-range float is ever cast to an integer.
std::string chiffres(double v)
{
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 0);
    if (ec != std::errc{})
        return "?";
    return std::string(buf, end);
}

// A number for display: a blank before zero or a positive value, "-" before a negative one.
std::string nombreAffiché(float v)
{
    return (v < 0 ? "-" : " ") + chiffres(v);
}

bool blanc(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool chiffre(char c)
{
    return c >= '0' && c <= '9';
}

// Nearest float to a double, without the undefined cast of a value beyond the float range.
float versFloat(double v)
{
    // Halfway between the largest float and 2^128: from there on the value rounds to infinity.
    constexpr double limite = 0x1.ffffffp127;
    if (v >= limite)
        return std::numeric_limits<float>::infinity();
    if (v <= -limite)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

} // namespace

std::string frmTKR52princ::Transhms(float angle)
{
    const float x = angle * k / 15.0f;
    const float h = std::floor(x);
    const float y = (x - h) * 60.0f;
    const float m = std::floor(y);
    const float z = (y - m) * 60.0f;
    const float s = std::floor(z);
    return nombreAffiché(std::fabs(h)) + "h" + nombreAffiché(std::fabs(m)) + "m" +
           nombreAffiché(std::fabs(s)) + "s";
}

std::string frmTKR52princ::TransDegMinSec(float angle)
{
    const bool négatif = angle < 0;
    const float a = std::fabs(angle) * k;
    float d = std::floor(a);
    const float minutes = (a - d) * 60.0f;
    float m = std::floor(minutes);
    float s = std::nearbyint((minutes - m) * 60.0f); // halves to even under the default mode
    if (s == 60.0f) {
        s = 0.0f;
        m = m + 1.0f;
        if (m == 60.0f) {
            m = 0.0f;
            d = d + 1.0f;
        }
    }
    return (négatif ? "-" : " ") + chiffres(d) + "\u00B0" + nombreAffiché(m) + "'" +
           nombreAffiché(s) + "\"";
}

std::string frmTKR52princ::zero(std::int16_t longueur)
{
    return protocol::zéros(longueur);
}

std::string frmTKR52princ::get_ADH_ADL(double ADangle)
{
    return protocol::champsCibleAD(ADangle);
}

std::string frmTKR52princ::get_DECH_DECL(float& DECangle)
{
    return protocol::champsCibleDEC(DECangle);
}

double frmTKR52princ::nombreEnTête(std::string_view text)
{
    std::string t;
    t.reserve(text.size());
    for (char c : text)
        if (!blanc(c))
            t.push_back(c);

    std::size_t i = 0;
    bool négatif = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        négatif = t[i++] == '-';
    const std::size_t débutEntier = i;
    while (i < t.size() && chiffre(t[i]))
        ++i;
    std::string mantisse = t.substr(débutEntier, i - débutEntier);
    const auto chiffresEntiers = static_cast<std::int64_t>(mantisse.size());
    if (i < t.size() && t[i] == '.') {
        const std::size_t débutFraction = ++i;
        while (i < t.size() && chiffre(t[i]))
            ++i;
        mantisse += t.substr(débutFraction, i - débutFraction);
    }
    if (mantisse.empty())
        return 0;

    // Exponent, only when digits follow the letter; saturated far beyond any double.
    std::int64_t exposant = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNégatif = false;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            expNégatif = t[j++] == '-';
        if (j < t.size() && chiffre(t[j])) {
            for (; j < t.size() && chiffre(t[j]); ++j)
                if (exposant < 1'000'000'000'000)
                    exposant = exposant * 10 + (t[j] - '0');
            if (expNégatif)
                exposant = -exposant;
        }
    }

    const std::size_t premier = mantisse.find_first_not_of('0');
    if (premier == std::string::npos)
        return 0;
    // The value is 0.<significant digits> × 10^ordre.
    const std::int64_t ordre = chiffresEntiers - static_cast<std::int64_t>(premier) + exposant;
    constexpr double inf = std::numeric_limits<double>::infinity();
    double v;
    if (ordre > 400) {
        v = inf;
    } else if (ordre < -400) {
        v = 0;
    } else {
        const std::string normalisé = "0." + mantisse.substr(premier) + "e" + std::to_string(ordre);
        const auto [ptr, ec] = std::from_chars(normalisé.data(), normalisé.data() + normalisé.size(), v,
                                               std::chars_format::general);
        (void)ptr;
        if (ec == std::errc::result_out_of_range)
            v = ordre > 0 ? inf : 0;
        else if (ec != std::errc{})
            v = 0;
    }
    return négatif ? -v : v;
}

std::optional<std::int16_t> frmTKR52princ::secondesEnTête(std::string_view text)
{
    const double s = std::nearbyint(nombreEnTête(text));
    if (!std::isfinite(s) || s < -32768.0 || s > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(s);
}

bool frmTKR52princ::set_objectAD()
{
    const double h = nombreEnTête(EdtADréfHrs.text());
    const double m = nombreEnTête(EdtADréfMin.text());
    const auto s = secondesEnTête(EdtADréfSec.text());
    if (!s)
        return false;
    objectAD = ((h + m / 60.0) + *s / 3600.0) / 24.0 * 360.0;
    return true;
}

bool frmTKR52princ::set_objectDEC()
{
    const std::string degrés = EdtDECréfDeg.text();
    const double d = nombreEnTête(degrés);
    const double m = nombreEnTête(EdtDECréfMin.text());
    const auto s = secondesEnTête(EdtDECréfSec.text());
    if (!s)
        return false;
    // The sign is the one typed before the degrees, so that -00 30' reads south of the equator.
    std::size_t i = 0;
    while (i < degrés.size() && blanc(degrés[i]))
        ++i;
    const bool sud = i < degrés.size() && degrés[i] == '-';
    const double valeur = sud ? (d - m / 60.0) - *s / 3600.0 : (d + m / 60.0) + *s / 3600.0;
    objectDEC = versFloat(valeur);
    return true;
}
