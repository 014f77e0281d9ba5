// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: direction buttons, speed options and autoguiding.
// A press sends the stored speed then the direction; a release stops the axis and returns to
// sidereal. Pairing every press with one release (focus loss, pointer let go elsewhere) is the
// toolkit layer's job; a release whose press never came here sends nothing.
#include "window/app/frmTKR52princ.h"
#include "window/motion/texts.h"
#include "protocol/sequences.h"
#include "protocol/wire.h"

#include <utility>

void frmTKR52princ::presser(protocol::Direction direction)
{
    enfoncé[static_cast<std::size_t>(direction)] = true;
    envoyer(protocol::départMouvement(Vitesse, direction));
}

void frmTKR52princ::relâcher(protocol::Direction direction)
{
    if (std::exchange(enfoncé[static_cast<std::size_t>(direction)], false))
        envoyer(protocol::arrêtMouvement(direction));
}

void frmTKR52princ::arrêterMouvements()
{
    for (std::size_t i = 0; i < enfoncé.size(); ++i)
        relâcher(static_cast<protocol::Direction>(i));
}

void frmTKR52princ::btnNord_MouseDown(std::int16_t, std::int16_t, float, float)
{
    presser(protocol::Direction::Nord);
}

void frmTKR52princ::btnSud_MouseDown(std::int16_t, std::int16_t, float, float)
{
    presser(protocol::Direction::Sud);
}

void frmTKR52princ::btnEst_MouseDown(std::int16_t, std::int16_t, float, float)
{
    presser(protocol::Direction::Est);
}

void frmTKR52princ::btnOuest_MouseDown(std::int16_t, std::int16_t, float, float)
{
    presser(protocol::Direction::Ouest);
}

void frmTKR52princ::btnNord_MouseUp(std::int16_t, std::int16_t, float, float)
{
    relâcher(protocol::Direction::Nord);
}

void frmTKR52princ::btnSud_MouseUp(std::int16_t, std::int16_t, float, float)
{
    relâcher(protocol::Direction::Sud);
}

void frmTKR52princ::btnEst_MouseUp(std::int16_t, std::int16_t, float, float)
{
    relâcher(protocol::Direction::Est);
}

void frmTKR52princ::btnOuest_MouseUp(std::int16_t, std::int16_t, float, float)
{
    relâcher(protocol::Direction::Ouest);
}

// Choosing a speed only records it; the next press sends it.
void frmTKR52princ::OptVitesselente_Click(std::int16_t)
{
    Vitesse = protocol::VitesseSidérale;
}

void frmTKR52princ::OptVitessecentrage_Click(std::int16_t)
{
    Vitesse = protocol::VitesseCentrage;
}

void frmTKR52princ::OptVitesseapproche_Click(std::int16_t)
{
    Vitesse = protocol::VitesseRattrapage;
}

void frmTKR52princ::OptVitessepointage_Click(std::int16_t)
{
    Vitesse = protocol::VitesseRapide;
}

// The toolkit has already toggled the box; only "checked" means on, grayed counts as off.
void frmTKR52princ::Optvitesseauto_Click()
{
    if (Optvitesseauto.value() == platform::CheckState::Checked) {
        envoyer(protocol::autoguidage(true));
        edtsaisie.addLine(motion_texts::LigneAutoguidageMarche.texte());
    } else {
        envoyer(protocol::autoguidage(false));
        edtsaisie.addLine(motion_texts::LigneAutoguidageArrêt.texte());
    }
}
