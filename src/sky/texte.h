// SPDX-License-Identifier: GPL-3.0-or-later
// Reading text inside the sky library: cutting a line into its pieces, and a plain number.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace sky::detail {

// The pieces between the separators, empty ones kept: "a,,b" gives "a", "", "b"; "" gives "".
inline std::vector<std::string_view> couper(std::string_view ligne, char séparateur)
{
    std::vector<std::string_view> morceaux;
    for (;;) {
        const std::size_t à = ligne.find(séparateur);
        morceaux.push_back(ligne.substr(0, à));
        if (à == std::string_view::npos)
            return morceaux;
        ligne.remove_prefix(à + 1);
    }
}

// The whole text read as a number, nothing around it; nothing when it is empty or is not one.
inline std::optional<double> nombre(std::string_view texte)
{
    double valeur = 0;
    const auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (texte.empty() || erreur != std::errc() || fin != texte.data() + texte.size())
        return std::nullopt;
    return valeur;
}

} // namespace sky::detail
