// SPDX-License-Identifier: GPL-3.0-or-later
// Reply framing shared by the window and the INDI driver.
#include "link/framing.h"

#include "link/texts.h"
#include "pointing/texts.h"

bool LecteurRéponse::ajouter(char c)
{
    if (!aDeuxPoints) {
        aDeuxPoints = c == ':';
        return false;
    }
    collecté += c;
    return c == '#' || collecté.size() >= link_texts::LongueurMaxRéponse;
}

void LecteurRéponse::recommencer()
{
    aDeuxPoints = false;
    collecté.clear();
}

bool AttenteOk::ajouter(char c)
{
    const std::string_view ok = pointing_texts::FinDeRalliement;
    texte += c;
    if (texte.size() > pointing_texts::LongueurMaxRéponseOk)
        texte.erase(0, texte.size() - pointing_texts::LongueurMaxRéponseOk);
    return texte.size() >= ok.size() && texte.compare(texte.size() - ok.size(), ok.size(), ok) == 0;
}
