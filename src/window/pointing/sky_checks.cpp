// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the second box of a GOTO toward the Sun's neighbourhood or below the horizon.
#include <string>

#include "window/app/frmTKR52princ.h"
#include "window/pointing/texts.h"
#include "sky/solar_system.h"

bool frmTKR52princ::cibleConfirmée()
{
    const std::int64_t maintenant = système.utcMs();
    const sky::Place cible { objectAD, static_cast<double>(objectDEC) };
    // An unfiltered instrument pointed at the Sun, or sweeping across it, blinds its user.
    const double écartSoleil
        = sky::séparation(cible, sky::placeApparente(sky::Corps::Soleil, maintenant, lieu));
    if (écartSoleil < sky::DistanceSoleilMin) {
        const std::string degrés = std::to_string(sky::degrésEntiers(écartSoleil));
        const std::string texte
            = pointing_texts::AlerteSoleilDébut + degrés + pointing_texts::AlerteSoleilFin;
        if (système.askOkCancelWarning(texte, Titre) != platform::Answer::Ok) {
            edtsaisie.addLine(pointing_texts::GotoAnnuléSoleil + degrés + pointing_texts::Degrés);
            return false;
        }
    }
    if (!lieu)
        return true;
    const double h = sky::hauteur(cible, maintenant, *lieu);
    if (h >= 0)
        return true;
    const std::string degrés = std::to_string(sky::degrésEntiers(h));
    if (système.askOkCancelWarning(
            pointing_texts::SousHorizonDébut + degrés + pointing_texts::SousHorizonFin, Titre)
        == platform::Answer::Ok)
        return true;
    edtsaisie.addLine(pointing_texts::GotoAnnuléHorizon + degrés + pointing_texts::DegrésFin);
    return false;
}
