// SPDX-License-Identifier: GPL-3.0-or-later
// Why an alignment set was refused, as the user reads it.
#pragma once

#include "langue/langue.h"

namespace alignment_texts {
inline constexpr langue::Texte AucunPoint = SELVANE_TEXTE("alignment", "Alignement : aucune étoile");
inline constexpr langue::Texte MêmePlace = SELVANE_TEXTE("alignment",
    "Alignement refusé : deux étoiles au même endroit du ciel, choisissez-en une autre plus loin");
inline constexpr langue::Texte MêmeCercleHoraire = SELVANE_TEXTE("alignment",
    "Alignement refusé : les étoiles sont sur un même cercle "
    "horaire, choisissez-en une à l'est ou à l'ouest");
inline constexpr langue::Texte MalConditionné = SELVANE_TEXTE("alignment",
    "Alignement refusé : les étoiles sont trop proches les unes des autres, choisissez-les mieux réparties");
// The term found and the limit, in degrees.
inline constexpr langue::Texte TermesDémesurés = SELVANE_TEXTE("alignment",
    "Alignement refusé : le modèle trouvé s'écarte de %.1f° du ciel "
    "(limite %.0f°), vérifiez les étoiles centrées");
// How far the star is from where the model puts the telescope, and the limit, in degrees.
inline constexpr langue::Texte MauvaiseÉtoile = SELVANE_TEXTE("alignment",
    "Alignement refusé : l'étoile est à %.1f° de l'endroit où le modèle "
    "place le télescope (limite %.1f°) ; vérifiez l'étoile centrée");
inline constexpr langue::Texte NonConvergé
    = SELVANE_TEXTE("alignment", "Alignement refusé : l'ajustement du modèle n'a pas convergé");
} // namespace alignment_texts
