// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue table read into objects, and finding objects by name.
#include "sky/catalogue.h"

#include <algorithm>
#include <iterator>
#include <utf8.h>

#include "sky/table.h"
#include "sky/texte.h"

namespace catalogue {

namespace {

using sky::detail::couper;
using sky::detail::nombre;

// Columns of a row: designation, common name, other names ("|"), RA, Dec, two proper motions, magnitude.
constexpr std::size_t Colonnes = 8;

std::vector<Objet> lireTable()
{
    std::vector<Objet> lus;
    for (std::string_view ligne : couper(texteTable, '\n')) {
        if (ligne.empty() || ligne.front() == '#')
            continue;
        const auto c = couper(ligne, '\t');
        if (c.size() != Colonnes)
            continue;
        const auto ad = nombre(c[3]);
        const auto dec = nombre(c[4]);
        if (c[0].empty() || !ad || !dec)
            continue;
        Objet o;
        o.désignation = c[0];
        o.nomCourant = c[1];
        if (!c[2].empty())
            for (auto nom : couper(c[2], '|'))
                o.autresNoms.emplace_back(nom);
        o.ad2000 = *ad;
        o.dec2000 = *dec;
        o.pmAD = nombre(c[5]).value_or(0);
        o.pmDEC = nombre(c[6]).value_or(0);
        o.magnitude = nombre(c[7]);
        lus.push_back(std::move(o));
    }
    return lus;
}

// Latin letters with accents, from U+00C0, folded to their base letter ('\0': not a letter).
constexpr char LatinAccentué[] = "aaaaaaaceeeeiiiidnooooo\0ouuuuyts"
                                 "aaaaaaaceeeeiiiidnooooo\0ouuuuyty";
static_assert(sizeof LatinAccentué == 0x40 + 1);

void ajouterClé(std::string& clé, char32_t c)
{
    if (c < 0x80) {
        if (c >= 'A' && c <= 'Z')
            clé += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            clé += static_cast<char>(c);
    } else if (c >= 0xC0 && c <= 0xFF) {
        if (const char base = LatinAccentué[c - 0xC0])
            clé += base;
    } else if (c >= 0x100) {
        // Other scripts as they stand (Greek letters of a star's name, say).
        utf8::unchecked::append(c, std::back_inserter(clé));
    }
}

// Each object's keys: its full names, and the words of its names of several words.
struct Index {
    std::vector<std::vector<std::string>> noms;
    std::vector<std::vector<std::string>> mots;
};

const Index& index()
{
    static const Index idx = [] {
        Index i;
        for (const Objet& o : objets()) {
            std::vector<std::string> noms { clé(o.désignation) };
            std::vector<std::string> mots;
            std::vector<std::string> tous { o.désignation };
            if (!o.nomCourant.empty())
                tous.push_back(o.nomCourant);
            tous.insert(tous.end(), o.autresNoms.begin(), o.autresNoms.end());
            for (std::size_t k = 0; k < tous.size(); ++k) {
                if (k > 0)
                    noms.push_back(clé(tous[k]));
                const auto parties = couper(tous[k], ' ');
                if (parties.size() > 1)
                    for (std::size_t p = 1; p < parties.size(); ++p)
                        if (auto m = clé(parties[p]); m.size() > 1 && !(m[0] >= '0' && m[0] <= '9'))
                            mots.push_back(std::move(m));
            }
            i.noms.push_back(std::move(noms));
            i.mots.push_back(std::move(mots));
        }
        return i;
    }();
    return idx;
}

// The solar-system bodies by their French name, with their English one.
std::vector<Objet> corpsMobiles()
{
    std::vector<Objet> corps;
    for (const sky::NomsDuCorps& noms : sky::corpsDuSystèmeSolaire()) {
        Objet o;
        o.désignation = noms.français;
        if (clé(noms.anglais) != clé(noms.français))
            o.autresNoms.emplace_back(noms.anglais);
        o.corps = noms.corps;
        corps.push_back(std::move(o));
    }
    return corps;
}

} // namespace

std::string Objet::libellé() const
{
    return nomCourant.empty() ? désignation : désignation + " (" + nomCourant + ")";
}

const std::vector<Objet>& objets()
{
    static const std::vector<Objet> table = [] {
        std::vector<Objet> tous = corpsMobiles();
        std::vector<Objet> lus = lireTable();
        tous.insert(tous.end(), std::make_move_iterator(lus.begin()), std::make_move_iterator(lus.end()));
        return tous;
    }();
    return table;
}

std::string clé(std::string_view nom)
{
    std::string clé;
    auto début = nom.begin();
    const auto fin = nom.end();
    while (début != fin) {
        const auto invalide = utf8::find_invalid(début, fin);
        while (début != invalide)
            ajouterClé(clé, utf8::unchecked::next(début));
        if (invalide == fin)
            break;
        ++début; // a stray byte is no letter
    }
    return clé;
}

std::vector<const Objet*> chercher(std::string_view saisie, std::size_t maximum)
{
    const std::string cherché = clé(saisie);
    std::vector<const Objet*> trouvés;
    if (cherché.empty() || maximum == 0)
        return trouvés;
    const auto& tous = objets();
    const Index& idx = index();
    auto commencePar
        = [&cherché](const std::string& k) { return k.compare(0, cherché.size(), cherché) == 0; };
    // Rank 0: a name typed in full; 1: the start of a name; 2: the start of a word.
    std::vector<int> rang(tous.size(), -1);
    for (std::size_t i = 0; i < tous.size(); ++i) {
        const auto& noms = idx.noms[i];
        if (std::find(noms.begin(), noms.end(), cherché) != noms.end())
            rang[i] = 0;
        else if (std::any_of(noms.begin(), noms.end(), commencePar))
            rang[i] = 1;
        else if (std::any_of(idx.mots[i].begin(), idx.mots[i].end(), commencePar))
            rang[i] = 2;
    }
    for (int r = 0; r <= 2 && trouvés.size() < maximum; ++r)
        for (std::size_t i = 0; i < tous.size() && trouvés.size() < maximum; ++i)
            if (rang[i] == r)
                trouvés.push_back(&tous[i]);
    return trouvés;
}

const Objet* trouver(std::string_view saisie)
{
    for (const Objet& o : objets())
        if (o.libellé() == saisie)
            return &o;
    const auto premiers = chercher(saisie, 1);
    return premiers.empty() ? nullptr : premiers.front();
}

} // namespace catalogue
