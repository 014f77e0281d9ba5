// SPDX-License-Identifier: GPL-3.0-or-later
// The command sequence of each action.
#include "protocol/sequences.h"

#include "protocol/codec.h"
#include "protocol/wire.h"

namespace protocol {

Commandes initialisation(double ADangle, float DECangle)
{
    return { commandeCibleAD(ADangle), commandeCibleDEC(DECangle), Initialiser };
}

Commandes premierRalliement(double ADangle, float DECangle)
{
    return { commandeCibleAD(ADangle), commandeCibleDEC(DECangle), Pointer };
}

Commandes ralliementCompensé(double ADcompensé)
{
    return { commandeCibleAD(ADcompensé), Pointer };
}

Commandes finRalliement(double ADréférence)
{
    return { commandeCibleAD(ADréférence), Initialiser };
}

Commandes départMouvement(const std::string& vitesse, Direction direction)
{
    static constexpr const char* sens[] = { Nord, Sud, Est, Ouest };
    return { vitesse, sens[static_cast<int>(direction)] };
}

Commandes arrêtMouvement(Direction direction)
{
    // East and west both stop the right ascension axis with the same command.
    const bool déclinaison = direction == Direction::Nord || direction == Direction::Sud;
    return { déclinaison ? ArrêtDEC : ArrêtAD, RetourSidéral };
}

std::string vitesse(int rang)
{
    static constexpr const char* vitesses[NombreVitesses]
        = { VitesseSidérale, VitesseCentrage, VitesseRattrapage, VitesseRapide };
    return rang >= 0 && rang < NombreVitesses ? vitesses[rang] : "";
}

Commandes autoguidage(bool marche)
{
    return { marche ? AutoguidageMarche : AutoguidageArrêt };
}

std::string_view sansBlancs(std::string_view commande)
{
    while (!commande.empty() && commande.back() == ' ')
        commande.remove_suffix(1);
    return commande;
}

} // namespace protocol
