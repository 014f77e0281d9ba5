// SPDX-License-Identifier: GPL-3.0-or-later
// Reply framing shared by every front end.
#include "protocol/framing.h"

#include "protocol/wire.h"

namespace protocol {

bool LecteurRéponse::ajouter(char c)
{
    if (!aDeuxPoints) {
        aDeuxPoints = c == ':';
        return false;
    }
    collecté += c;
    return c == '#' || collecté.size() >= LongueurMaxRéponse;
}

void LecteurRéponse::recommencer()
{
    aDeuxPoints = false;
    collecté.clear();
}

bool AttenteOk::ajouter(char c)
{
    const std::string_view ok = FinDeRalliement;
    texte += c;
    if (texte.size() > LongueurMaxRéponseOk)
        texte.erase(0, texte.size() - LongueurMaxRéponseOk);
    return texte.size() >= ok.size() && texte.compare(texte.size() - ok.size(), ok.size(), ok) == 0;
}

} // namespace protocol
