// SPDX-License-Identifier: GPL-3.0-or-later
// Reading position replies and writing target commands.
#include "protocol/codec.h"

#include <cmath>
#include <limits>

#include "protocol/wire.h"

namespace protocol {

namespace {

constexpr double BaseChamp = 65536.0;
// The low field of the right ascension is shifted down by this much.
constexpr double DécalageBasAD = 32768.0;
constexpr double TourAD = 360.0;

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
        if (value > std::int64_t { 1 } << 32)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// One field of the wire text: sign, then the magnitude padded with "0" to the width.
std::string champ(std::int64_t v, std::int16_t largeur)
{
    const std::string digits = std::to_string(v < 0 ? -v : v);
    return (v < 0 ? "-" : "+")
        + zéros(static_cast<std::int16_t>(largeur - static_cast<std::int16_t>(digits.size()))) + digits;
}

constexpr std::int16_t LargeurHaut = 3;
constexpr std::int16_t LargeurBas = 5;

} // namespace

std::optional<ChampsRéponse> décoderRéponse(std::string_view reply)
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
    if (p3 - p1 - 1 > LongueurMaxChamps)
        return std::nullopt;
    const auto haut = champEntier(reply.substr(p1 + 1, p2 - p1 - 1));
    const auto bas = champEntier(reply.substr(p2 + 1, p3 - p2 - 1));
    if (!haut || !bas)
        return std::nullopt;
    return ChampsRéponse { *haut, *bas };
}

std::optional<double> compteAD(std::string_view reply)
{
    const auto champs = décoderRéponse(reply);
    if (!champs)
        return std::nullopt;
    return (static_cast<double>(champs->bas) + DécalageBasAD) + static_cast<double>(champs->haut) * BaseChamp;
}

std::optional<std::int32_t> compteDEC(std::string_view reply)
{
    const auto champs = décoderRéponse(reply);
    if (!champs)
        return std::nullopt;
    const double compte = static_cast<double>(champs->bas) + static_cast<double>(champs->haut) * BaseChamp;
    const double arrondi = std::nearbyint(compte); // halves to even
    if (arrondi < std::numeric_limits<std::int32_t>::min()
        || arrondi > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(arrondi);
}

float degrésAD(double position)
{
    float t = static_cast<float>(position / 6400.0 * 360.0 / 180.0);
    if (t < 0)
        t = t + 360.0f;
    if (t >= 360.0f)
        t = t - 360.0f;
    return t;
}

float degrésDEC(std::int32_t position)
{
    return static_cast<float>(static_cast<double>(position) / 6400.0 * 360.0 / 150.0);
}

std::optional<std::int32_t> compteCibleAD(double ADangle)
{
    // 1,152,000 counts make one turn of the right ascension axis.
    constexpr double CompteTourAD = 6400.0 * 180.0;
    const double compte = std::nearbyint(ADangle * 6400.0 / 360.0 * 180.0);
    if (!std::isfinite(compte) || compte < -2147483648.0 || compte > 2147483647.0)
        return std::nullopt;
    // 24 h (or what rounds to it) is the origin again, not a count one turn away.
    if (compte == CompteTourAD)
        return 0;
    return static_cast<std::int32_t>(compte);
}

std::optional<std::int32_t> compteCibleDEC(float DECangle)
{
    // Single precision step by step, as the controller's counts have always been computed.
    float c = DECangle * 6400.0f;
    c = c / 360.0f;
    c = c * 150.0f;
    const float compte = std::nearbyint(c);
    // The high field is taken from |count| + 32768, which has to fit as well.
    constexpr double limite = 2147483647.0 - 32768.0;
    if (!std::isfinite(compte) || std::fabs(static_cast<double>(compte)) > limite)
        return std::nullopt;
    return static_cast<std::int32_t>(compte);
}

bool cibleEncodable(double ADangle, float DECangle, bool pourGoto)
{
    if (!compteCibleAD(ADangle) || !compteCibleDEC(DECangle))
        return false;
    // The compensation after a GOTO moves the right ascension by less than a turn either way.
    return !pourGoto || (compteCibleAD(ADangle - TourAD) && compteCibleAD(ADangle + TourAD));
}

std::string zéros(std::int16_t longueur)
{
    return longueur > 0 ? std::string(static_cast<std::size_t>(longueur), '0') : std::string();
}

std::string champsCibleAD(double ADangle)
{
    const auto compte = compteCibleAD(ADangle);
    if (!compte)
        return {};
    const std::int64_t c = *compte;
    const std::int64_t haut = c >= 0 ? c / 65536 : -((-c + 65535) / 65536); // rounded down
    const std::int64_t bas = c - 65536 * haut - 32768;
    return champ(haut, LargeurHaut) + "," + champ(bas, LargeurBas);
}

std::string champsCibleDEC(float DECangle)
{
    const auto compte = compteCibleDEC(DECangle);
    if (!compte)
        return {};
    const std::int32_t c = *compte;
    const std::int32_t a = (c < 0 ? -c : c) + 32768;
    const std::int32_t signe = (c > 0) - (c < 0);
    const std::int32_t haut = a / 65536 * signe;
    const std::int32_t bas = c - 65536 * haut;
    return champ(haut, LargeurHaut) + "," + champ(bas, LargeurBas);
}

std::string commandeCibleAD(double ADangle)
{
    return CibleAD + champsCibleAD(ADangle) + FinCommande;
}

std::string commandeCibleDEC(float DECangle)
{
    return CibleDEC + champsCibleDEC(DECangle) + FinCommande;
}

std::optional<std::pair<double, double>> placeDesCommandes(std::string_view cibleAD, std::string_view cibleDEC)
{
    // A target command carries the two fields of a position reply: ":r" + fields + "#".
    const auto champs = [](std::string_view commande, std::string_view tête) -> std::optional<std::string> {
        if (commande.size() <= tête.size() || commande.substr(0, tête.size()) != tête)
            return std::nullopt;
        return ":" + std::string(commande.substr(tête.size()));
    };
    const auto ad = champs(cibleAD, CibleAD);
    const auto dec = champs(cibleDEC, CibleDEC);
    const auto compteA = ad ? compteAD(*ad) : std::nullopt;
    const auto compteD = dec ? compteDEC(*dec) : std::nullopt;
    if (!compteA || !compteD)
        return std::nullopt;
    return std::pair { static_cast<double>(degrésAD(*compteA)), static_cast<double>(degrésDEC(*compteD)) };
}

} // namespace protocol
