// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue table read into objects, its index of names, and finding objects by name.
#include "sky/catalogue.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <iterator>
#include <mutex>
#include <queue>
#include <tuple>
#include <unordered_set>
#include <utf8.h>

#include "langue/langue.h"
#include "sky/table.h"
#include "sky/texte.h"

namespace catalogue {

namespace {

using sky::detail::couper;
using sky::detail::nombre;

// Columns of a row: designation, common name, other names ("|"), RA, Dec, two proper motions,
// magnitude, type, major axis.
constexpr std::size_t Colonnes = 10;

// Ranking magnitudes of the bodies that come before everything, and of what has no magnitude.
constexpr double ÉclatSoleil = -27;
constexpr double ÉclatLune = -13;
constexpr double ÉclatPlanète = -5;
constexpr double ÉclatInconnu = 18; // stars, double stars, duplicates and unclassified entries
// Without a magnitude, an extended object of 1' ranks as magnitude 12, a galaxy of 1' as 15.
constexpr double BaseÉtendus = 12;
constexpr double BaseGalaxies = 15;
constexpr double SansTaille = 2; // the size unknown too
constexpr const char* GenresÉtendus[]
    = { "OCl", "GCl", "Cl+N", "Neb", "HII", "EmN", "RfN", "SNR", "PN", "Ast", "*Ass", "DN" };
// At most this many keys of one object start with the same text ("bet2 Cyg", "beta2 Cyg", "bet
// Cyg", "beta Cyg"), so filling a list of n takes at most this many times n keys.
constexpr std::size_t ClésParObjet = 4;
constexpr const char* GenresGalaxies[] = { "G", "GGroup", "GPair", "GTrpl" };

// The table's rows, after what `lus` already holds.
void lireTable(std::vector<Objet>& lus)
{
    const auto lignes = couper(texteTable, '\n');
    lus.reserve(lus.size() + lignes.size());
    for (std::string_view ligne : lignes) {
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
        o.genre = c[8];
        o.taille = nombre(c[9]);
        lus.push_back(std::move(o));
    }
}

// Latin letters with accents, from U+00C0, folded to their base letter ('\0': not a letter).
constexpr char LatinAccentué[] = "aaaaaaaceeeeiiiidnooooo\0ouuuuyts"
                                 "aaaaaaaceeeeiiiidnooooo\0ouuuuyty";
static_assert(sizeof LatinAccentué == 0x40 + 1);
// Greek capitals, lowered by this offset ("Β Cyg" is "β Cyg").
constexpr char32_t AlphaMajuscule = 0x391;
constexpr char32_t OmégaMajuscule = 0x3A9;
constexpr char32_t MajusculeVersMinuscule = 0x20;

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
        if (c >= AlphaMajuscule && c <= OmégaMajuscule)
            c += MajusculeVersMinuscule;
        // Other scripts as they stand (Greek letters of a star's name, say).
        utf8::unchecked::append(c, std::back_inserter(clé));
    }
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

// One key of the index: a name as matched, the object it names, what kind of name it is, and the
// object's rank by brightness (0 the brightest).
enum Sorte : std::uint8_t { Désignation, NomCourant, AutreNom, Mot };
struct Clé {
    std::string texte;
    std::uint32_t objet;
    Sorte sorte;
    std::uint32_t rang;
};

// Keys sorted by their text, so that those starting with a text are one range found by binary
// search; and over them a tree of minima, so that the best keys of a range come out one by one
// in a few steps each, however long the range.
class Index {
public:
    using Itérateur = std::vector<Clé>::const_iterator;

    explicit Index(std::vector<Clé> clés)
        : clés_(std::move(clés))
    {
        std::sort(clés_.begin(), clés_.end(), [](const Clé& a, const Clé& b) {
            return std::tie(a.texte, a.rang, a.sorte) < std::tie(b.texte, b.rang, b.sorte);
        });
        n_ = clés_.size();
        arbre_.resize(2 * n_);
        for (std::size_t i = 0; i < n_; ++i)
            arbre_[n_ + i] = static_cast<std::uint32_t>(i);
        for (std::size_t i = n_; i-- > 1;)
            arbre_[i] = meilleure(arbre_[2 * i], arbre_[2 * i + 1]);
    }

    // The keys that start with `début`.
    std::pair<Itérateur, Itérateur> plage(const std::string& début) const
    {
        const auto premier = std::lower_bound(clés_.begin(), clés_.end(), début,
            [](const Clé& k, const std::string& t) { return k.texte < t; });
        const auto après = std::partition_point(premier, clés_.end(),
            [&début](const Clé& k) { return k.texte.compare(0, début.size(), début) == 0; });
        return { premier, après };
    }

    // Hands the objects of the keys in [début, fin) to `prendre`, the brightest first, until it
    // answers that it has enough or `pas` keys have been handed (an object may have several keys
    // in a range: "bet Cyg" and "beta Cyg" both start with "bet").
    template <typename Prendre>
    void meilleurs(Itérateur début, Itérateur fin, std::size_t pas, Prendre&& prendre) const
    {
        using Intervalle = std::tuple<std::uint32_t, std::size_t, std::size_t>; // rank, from, to
        auto plusMauvais
            = [](const Intervalle& a, const Intervalle& b) { return std::get<0>(a) > std::get<0>(b); };
        std::priority_queue<Intervalle, std::vector<Intervalle>, decltype(plusMauvais)> file(plusMauvais);
        auto pousser = [&](std::size_t de, std::size_t à) {
            if (de < à)
                file.emplace(clés_[minimum(de, à)].rang, de, à);
        };
        pousser(
            static_cast<std::size_t>(début - clés_.begin()), static_cast<std::size_t>(fin - clés_.begin()));
        for (std::size_t donnés = 0; !file.empty() && donnés < pas; ++donnés) {
            const auto [rang, de, à] = file.top();
            file.pop();
            const std::size_t m = minimum(de, à);
            if (prendre(clés_[m].objet))
                return;
            pousser(de, m);
            pousser(m + 1, à);
        }
    }

private:
    std::uint32_t meilleure(std::uint32_t a, std::uint32_t b) const
    {
        return clés_[b].rang < clés_[a].rang ? b : a;
    }

    // The key of least rank in [de, à), a non-empty range.
    std::size_t minimum(std::size_t de, std::size_t à) const
    {
        std::uint32_t m = static_cast<std::uint32_t>(de);
        for (std::size_t l = de + n_, r = à + n_; l < r; l /= 2, r /= 2) {
            if (l & 1)
                m = meilleure(m, arbre_[l++]);
            if (r & 1)
                m = meilleure(m, arbre_[--r]);
        }
        return m;
    }

    std::vector<Clé> clés_;
    std::size_t n_ = 0;
    std::vector<std::uint32_t> arbre_;
};

struct Catalogue {
    std::vector<Objet> objets;
    Index noms; // full names
    Index mots; // the words after the first of names of several words ("Nebula" of "Orion Nebula")
};

std::shared_ptr<const Catalogue> construire()
{
    std::vector<Objet> objets = corpsMobiles();
    lireTable(objets);

    // Rank by brightness, table order among equals.
    std::vector<std::uint32_t> ordre(objets.size());
    for (std::uint32_t i = 0; i < ordre.size(); ++i)
        ordre[i] = i;
    std::vector<double> éclats(objets.size());
    std::transform(objets.begin(), objets.end(), éclats.begin(), [](const Objet& o) { return éclat(o); });
    std::stable_sort(
        ordre.begin(), ordre.end(), [&](std::uint32_t a, std::uint32_t b) { return éclats[a] < éclats[b]; });
    std::vector<std::uint32_t> rang(objets.size());
    for (std::uint32_t r = 0; r < ordre.size(); ++r)
        rang[ordre[r]] = r;

    std::vector<Clé> noms, mots;
    noms.reserve(ClésParObjet * objets.size());
    mots.reserve(objets.size());
    for (std::uint32_t i = 0; i < objets.size(); ++i) {
        const Objet& o = objets[i];
        auto ajouter = [&](const std::string& nom, Sorte sorte) {
            noms.push_back({ clé(nom), i, sorte, rang[i] });
            const auto parties = couper(nom, ' ');
            for (std::size_t p = 1; p < parties.size(); ++p)
                if (auto m = clé(parties[p]); m.size() > 1 && !(m[0] >= '0' && m[0] <= '9'))
                    mots.push_back({ std::move(m), i, Mot, rang[i] });
        };
        ajouter(o.désignation, Désignation);
        if (!o.nomCourant.empty())
            ajouter(o.nomCourant, NomCourant);
        for (const std::string& autre : o.autresNoms)
            ajouter(autre, AutreNom);
    }
    return std::make_shared<const Catalogue>(
        Catalogue { std::move(objets), Index(std::move(noms)), Index(std::move(mots)) });
}

std::once_flag lancé;
std::shared_future<std::shared_ptr<const Catalogue>> enCours;

const Catalogue& leCatalogue()
{
    préparer();
    return *enCours.get();
}

} // namespace

std::string Objet::libellé() const
{
    // The Sun, the Moon and the planets are shown by their name in the program's language.
    if (corps && langue::courante() == langue::Langue::en)
        for (const sky::NomsDuCorps& noms : sky::corpsDuSystèmeSolaire())
            if (noms.corps == *corps)
                return noms.anglais;
    return nomCourant.empty() ? désignation : désignation + " (" + nomCourant + ")";
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

double éclat(const Objet& o)
{
    if (o.corps)
        return *o.corps == sky::Corps::Soleil ? ÉclatSoleil
            : *o.corps == sky::Corps::Lune    ? ÉclatLune
                                              : ÉclatPlanète;
    if (o.magnitude)
        return *o.magnitude;
    const auto parmi = [&o](const auto& genres) {
        return std::any_of(
            std::begin(genres), std::end(genres), [&o](const char* g) { return o.genre == g; });
    };
    double base = 0;
    if (parmi(GenresÉtendus))
        base = BaseÉtendus;
    else if (parmi(GenresGalaxies))
        base = BaseGalaxies;
    else
        return ÉclatInconnu;
    // Each doubling of the size ranks as 0.75 magnitude brighter (2.5 log10 2).
    return o.taille && *o.taille > 0 ? base - 2.5 * std::log10(*o.taille) : base + SansTaille;
}

const std::vector<Objet>& objets()
{
    return leCatalogue().objets;
}

void préparer()
{
    std::call_once(lancé, [] { enCours = std::async(std::launch::async, construire).share(); });
}

std::vector<const Objet*> chercher(std::string_view saisie, std::size_t maximum)
{
    const std::string cherché = clé(saisie);
    std::vector<const Objet*> trouvés;
    if (cherché.empty() || maximum == 0)
        return trouvés;
    const Catalogue& cat = leCatalogue();
    maximum = std::min(maximum, cat.objets.size()); // no more than there is, whatever is asked
    std::unordered_set<std::uint32_t> déjà;
    // Takes an object once; true when the list is full.
    auto prendre = [&](std::uint32_t i) {
        if (trouvés.size() < maximum && déjà.insert(i).second)
            trouvés.push_back(&cat.objets[i]);
        return trouvés.size() >= maximum;
    };
    // A name typed in full: a designation, then a common name, then another; the brighter first.
    const auto [début, fin] = cat.noms.plage(cherché);
    std::vector<const Clé*> entiers;
    for (auto k = début; k != fin && k->texte.size() == cherché.size(); ++k)
        entiers.push_back(&*k);
    std::sort(entiers.begin(), entiers.end(),
        [](const Clé* a, const Clé* b) { return std::tie(a->sorte, a->rang) < std::tie(b->sorte, b->rang); });
    for (const Clé* k : entiers)
        prendre(k->objet);
    // Then the names, and then the words, that start with it, the brighter first.
    const std::size_t pas = ClésParObjet * maximum + entiers.size();
    if (trouvés.size() < maximum)
        cat.noms.meilleurs(début, fin, pas, prendre);
    if (trouvés.size() < maximum) {
        const auto [débutMots, finMots] = cat.mots.plage(cherché);
        cat.mots.meilleurs(débutMots, finMots, pas, prendre);
    }
    return trouvés;
}

const Objet* trouver(std::string_view saisie)
{
    // A label chosen in the list, "M 42 (Orion Nebula)", is found by its designation.
    const std::string désignation = clé(saisie.substr(0, saisie.find(" (")));
    if (!désignation.empty()) {
        const Catalogue& cat = leCatalogue();
        const auto [début, fin] = cat.noms.plage(désignation);
        for (auto k = début; k != fin && k->texte.size() == désignation.size(); ++k)
            if (cat.objets[k->objet].libellé() == saisie)
                return &cat.objets[k->objet];
    }
    const auto premiers = chercher(saisie, 1);
    return premiers.empty() ? nullptr : premiers.front();
}

} // namespace catalogue
