// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and checking an observing site.
#include "sky/site.h"

#include <cmath>
#include <vector>

#include "sky/texte.h"

namespace sky {

namespace {

// A number as a user types it: blanks around it allowed, and a leading '+'; finite.
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
    const auto valeur = detail::nombre(texte);
    if (!valeur || !std::isfinite(*valeur))
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
    for (std::string_view morceau : detail::couper(texte, ',')) {
        const auto valeur = nombre(morceau);
        if (!valeur)
            return std::nullopt;
        valeurs.push_back(*valeur);
    }
    if (valeurs.size() < 2 || valeurs.size() > 3)
        return std::nullopt;
    const Lieu lieu { valeurs[0], valeurs[1], valeurs.size() == 3 ? valeurs[2] : 0.0 };
    if (!lieuValide(lieu))
        return std::nullopt;
    return lieu;
}

} // namespace sky
