// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and checking an observing site.
#include "sky/site.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace sky {

namespace {

std::optional<double> nombre(std::string_view texte)
{
    const auto blanc = [](char c) { return c == ' ' || c == '\t'; };
    while (!texte.empty() && blanc(texte.front()))
        texte.remove_prefix(1);
    while (!texte.empty() && blanc(texte.back()))
        texte.remove_suffix(1);
    // from_chars takes no leading '+', which a user may well type for a northern latitude.
    if (texte.size() > 1 && texte.front() == '+' && texte[1] != '-')
        texte.remove_prefix(1);
    double valeur = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size()
        || !std::isfinite(valeur))
        return std::nullopt;
    return valeur;
}

} // namespace

bool lieuValide(const Lieu& lieu)
{
    return std::isfinite(lieu.latitude) && std::isfinite(lieu.longitude) && std::isfinite(lieu.altitude)
        && std::fabs(lieu.latitude) <= LatitudeMax && std::fabs(lieu.longitude) <= LongitudeMax
        && lieu.altitude >= AltitudeMin && lieu.altitude <= AltitudeMax;
}

std::optional<Lieu> lireLieu(std::string_view texte)
{
    std::vector<double> valeurs;
    for (;;) {
        const std::size_t virgule = texte.find(',');
        const auto valeur = nombre(texte.substr(0, virgule));
        if (!valeur)
            return std::nullopt;
        valeurs.push_back(*valeur);
        if (virgule == std::string_view::npos)
            break;
        texte.remove_prefix(virgule + 1);
    }
    if (valeurs.size() < 2 || valeurs.size() > 3)
        return std::nullopt;
    const Lieu lieu { valeurs[0], valeurs[1], valeurs.size() == 3 ? valeurs[2] : 0.0 };
    if (!lieuValide(lieu))
        return std::nullopt;
    return lieu;
}

} // namespace sky
