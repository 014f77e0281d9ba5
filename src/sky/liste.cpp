// SPDX-License-Identifier: GPL-3.0-or-later
// Observing lists: telling the formats apart, reading each, and finding each entry's object.
#include "sky/liste.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <utf8.h>

#include "sky/texte.h"

namespace liste {

namespace {

using catalogue::Objet;

constexpr std::string_view MarqueOrdre = "\xEF\xBB\xBF";
// A text file has few control characters; past one in this many bytes it is taken for binary.
constexpr std::size_t OctetsParContrôleMax = 100;
// What an unreadable entry shows of its line in the log, in bytes.
constexpr std::size_t ExtraitMax = 60;
constexpr double MinutesParHeure = 60;
constexpr double SecondesParHeure = 3600;
constexpr double DegrésParHeure = 15;
constexpr double HeuresParTour = 24;
constexpr double DegrésParTour = 360;
constexpr double DECMax = 90;
constexpr std::uint64_t FnvDépart = 0xcbf29ce484222325ULL;
constexpr std::uint64_t FnvPremier = 0x100000001b3ULL;

// SkySafari's blocks and the keys read in them.
constexpr std::string_view DébutObjet = "SkyObject=BeginObject";
constexpr std::string_view FinObjet = "EndObject";
constexpr std::string_view NuméroCatalogue = "CatalogNumber";
constexpr std::string_view NomCourant = "CommonName";

std::string_view rogner(std::string_view t)
{
    const auto début = t.find_first_not_of(" \t\r\n\f");
    if (début == std::string_view::npos)
        return {};
    return t.substr(début, t.find_last_not_of(" \t\r\n\f") - début + 1);
}

std::string extrait(std::string_view ligne)
{
    ligne = rogner(ligne);
    if (ligne.size() <= ExtraitMax)
        return std::string(ligne);
    std::size_t fin = ExtraitMax;
    while (fin > 0 && (static_cast<unsigned char>(ligne[fin]) & 0xC0) == 0x80) // not inside a character
        --fin;
    return std::string(ligne.substr(0, fin)) + "\u2026";
}

std::string empreinte(std::string_view octets)
{
    std::uint64_t h = FnvDépart;
    for (const char c : octets) {
        h ^= static_cast<unsigned char>(c);
        h *= FnvPremier;
    }
    char texte[17];
    std::snprintf(texte, sizeof texte, "%016llx", static_cast<unsigned long long>(h));
    return texte;
}

// ---- Angles ----

struct Sexagésimal {
    bool négatif = false;
    bool heures = false; // an 'h' in it
    bool degrés = false; // a '°' or a 'd' in it
    std::vector<double> valeurs;
    double total() const
    {
        double v = 0;
        for (std::size_t i = 0; i < valeurs.size(); ++i)
            v += valeurs[i] / std::pow(MinutesParHeure, static_cast<double>(i));
        return v;
    }
};

// Up to three numbers between the separators lists use (spaces, colons, h m s, d, ° ′ ″ ' ");
// only the last may have a fraction, and minutes and seconds stay below 60.
std::optional<Sexagésimal> sexagésimal(std::string_view t)
{
    t = rogner(t);
    Sexagésimal s;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        s.négatif = t.front() == '-';
        t.remove_prefix(1);
    } else if (t.starts_with("\u2212")) {
        s.négatif = true;
        t.remove_prefix(std::string_view("\u2212").size());
    }
    std::string nombre;
    bool fraction = false;
    const auto finir = [&] {
        if (nombre.empty())
            return true;
        if (fraction || s.valeurs.size() == 3)
            return false; // a fraction before the last number, or a fourth number
        const auto v = sky::detail::nombre(nombre);
        if (!v)
            return false;
        fraction = nombre.find('.') != std::string::npos;
        s.valeurs.push_back(*v);
        nombre.clear();
        return true;
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if ((c >= '0' && c <= '9') || c == '.' || c == ',') {
            nombre += c == ',' ? '.' : c; // a decimal comma as well
            continue;
        }
        if (!finir())
            return std::nullopt;
        const std::string_view reste = t.substr(i);
        if (c == 'h' || c == 'H')
            s.heures = true;
        else if (c == 'd' || c == 'D')
            s.degrés = true;
        else if (reste.starts_with("\u00B0") || reste.starts_with("\u00BA")) {
            s.degrés = true;
            ++i;
        } else if (reste.starts_with("\u2032") || reste.starts_with("\u2033"))
            i += 2;
        else if (std::string_view(" \t:mMsS'\"").find(c) == std::string_view::npos)
            return std::nullopt;
    }
    if (!finir() || s.valeurs.empty() || (s.heures && s.degrés))
        return std::nullopt;
    for (std::size_t i = 1; i < s.valeurs.size(); ++i)
        if (s.valeurs[i] >= MinutesParHeure)
            return std::nullopt;
    return s;
}

} // namespace

std::optional<double> lireAD(std::string_view texte, Unité unité)
{
    const auto s = sexagésimal(texte);
    if (!s || s->négatif)
        return std::nullopt;
    if (s->heures)
        unité = Unité::Heures;
    else if (s->degrés)
        unité = Unité::Degré;
    else if (s->valeurs.size() > 1 && unité == Unité::Inconnue)
        unité = Unité::Heures; // a sexagesimal right ascension is hours unless the header says otherwise
    const double v = s->total();
    if (unité == Unité::Heures && v < HeuresParTour)
        return v * DegrésParHeure;
    if (unité == Unité::Degré && v < DegrésParTour)
        return v;
    return std::nullopt;
}

std::optional<double> lireDEC(std::string_view texte)
{
    const auto s = sexagésimal(texte);
    if (!s || s->heures || s->total() > DECMax)
        return std::nullopt;
    return s->négatif ? -s->total() : s->total();
}

namespace {

// ---- Entries ----

bool nomExact(const Objet& o, const std::string& clé)
{
    if (catalogue::clé(o.désignation) == clé || catalogue::clé(o.nomCourant) == clé)
        return true;
    return std::any_of(o.autresNoms.begin(), o.autresNoms.end(),
        [&](const std::string& nom) { return catalogue::clé(nom) == clé; });
}

// The object of an entry: a name the catalogue holds as it is written; else the file's place under
// the entry's name; else what "Objet :" finds for the name. The entry's line is the caller's.
std::optional<Entrée> résoudre(const std::vector<std::string>& noms, std::optional<double> ad,
    std::optional<double> dec, std::string_view libelléPlace)
{
    for (const std::string& nom : noms) {
        const std::string clé = catalogue::clé(nom);
        if (clé.empty())
            continue;
        if (const Objet* o = catalogue::trouver(nom); o && nomExact(*o, clé))
            return Entrée { 0, o, nullptr };
    }
    if (ad && dec) {
        auto o = std::make_shared<Objet>();
        o->désignation = noms.empty() ? std::string(libelléPlace) : noms.front();
        o->ad2000 = *ad;
        o->dec2000 = *dec;
        return Entrée { 0, nullptr, std::move(o) };
    }
    for (const std::string& nom : noms)
        if (!catalogue::clé(nom).empty())
            if (const Objet* o = catalogue::trouver(nom))
                return Entrée { 0, o, nullptr };
    return std::nullopt;
}

void ajouter(Lecture& l, std::size_t ligne, std::optional<Entrée> entrée, std::string_view texte)
{
    if (entrée) {
        entrée->ligne = ligne;
        l.entrées.push_back(std::move(*entrée));
    } else
        l.illisibles.push_back({ ligne, extrait(texte) });
}

bool commentaire(std::string_view ligne)
{
    ligne = rogner(ligne);
    return ligne.empty() || ligne.front() == '#';
}

// ---- SkySafari ----

void lireSkySafari(const std::vector<std::string_view>& lignes, Lecture& l)
{
    std::optional<std::size_t> début; // the line of the block being read
    std::vector<std::string> noms;
    std::string courant;
    const auto illisible = [&] {
        std::string texte = courant;
        for (const std::string& n : noms)
            texte += (texte.empty() ? "" : " ") + n;
        l.illisibles.push_back({ *début, extrait(texte.empty() ? DébutObjet : texte) });
    };
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        const std::string_view ligne = rogner(lignes[i]);
        if (ligne == DébutObjet) {
            if (début)
                illisible(); // a block left open
            début = i + 1;
            noms.clear();
            courant.clear();
            continue;
        }
        if (!début)
            continue;
        const auto égal = ligne.find('=');
        const std::string_view clé = rogner(ligne.substr(0, égal));
        const std::string_view valeur = égal == std::string_view::npos ? "" : rogner(ligne.substr(égal + 1));
        if (clé == NuméroCatalogue && !valeur.empty())
            noms.emplace_back(valeur);
        else if (clé == NomCourant)
            courant = valeur;
        else if (clé == FinObjet) {
            std::vector<std::string> tous = noms;
            if (!courant.empty())
                tous.push_back(courant);
            if (auto e = résoudre(tous, std::nullopt, std::nullopt, {})) {
                e->ligne = *début;
                l.entrées.push_back(std::move(*e));
            } else
                illisible();
            début.reset();
        }
    }
    if (début)
        illisible();
}

// ---- Stellarium ----

void lireStellarium(std::string_view texte, Lecture& l)
{
    using nlohmann::json;
    const json racine = json::parse(texte.begin(), texte.end(), nullptr, false);
    if (racine.is_discarded() || !racine.is_object()) {
        l.refus = Refus::Malformé;
        return;
    }
    // The default list when the file names one, else the first.
    const json* liste = &racine;
    if (const auto listes = racine.find("observingLists"); listes != racine.end()) {
        if ((!listes->is_object() && !listes->is_array()) || listes->empty()) {
            l.refus = Refus::Malformé;
            return;
        }
        liste = &listes->front();
        const auto défaut = racine.find("defaultListOlud");
        if (listes->is_object() && défaut != racine.end() && défaut->is_string())
            if (const auto choisie = listes->find(défaut->get<std::string>()); choisie != listes->end())
                liste = &*choisie;
    }
    const auto objets = liste->is_object() ? liste->find("objects") : liste->end();
    if (objets == liste->end() || !(objets->is_array() || objets->is_object())) {
        l.refus = Refus::Malformé;
        return;
    }
    std::size_t rang = 0;
    for (const json& objet : *objets) {
        ++rang;
        const auto champ = [&](const char* nom) {
            const auto it = objet.is_object() ? objet.find(nom) : objet.end();
            return it != objet.end() && it->is_string() ? it->get<std::string>() : std::string();
        };
        std::vector<std::string> noms;
        for (const char* nom : { "designation", "name", "nameI18n" })
            if (std::string n = champ(nom); !n.empty())
                noms.push_back(std::move(n));
        const std::string ad = champ("ra");
        const std::string dec = champ("dec");
        const auto o = résoudre(noms, lireAD(ad, Unité::Inconnue), lireDEC(dec), ad + " " + dec);
        ajouter(l, rang, o, noms.empty() ? ad + " " + dec : noms.front());
    }
}

// ---- CSV ----

struct Colonnes {
    std::vector<std::size_t> noms;
    std::optional<std::size_t> ad, dec;
    Unité unitéAD = Unité::Inconnue;
};

std::vector<std::string> champsCsv(std::string_view ligne, char séparateur)
{
    std::vector<std::string> champs;
    std::string champ;
    bool guillemets = false;
    for (std::size_t i = 0; i < ligne.size(); ++i) {
        const char c = ligne[i];
        if (guillemets) {
            if (c != '"')
                champ += c;
            else if (i + 1 < ligne.size() && ligne[i + 1] == '"')
                champ += ligne[++i];
            else
                guillemets = false;
        } else if (c == '"')
            guillemets = true;
        else if (c == séparateur) {
            champs.emplace_back(rogner(champ));
            champ.clear();
        } else
            champ += c;
    }
    champs.emplace_back(rogner(champ));
    return champs;
}

// A header's cell as one key: its words, without epoch, case, accents or punctuation
// ("RA (J2000, h)" → "rah").
std::string cléEntête(std::string_view cellule)
{
    std::string mots;
    std::string mot;
    const auto finir = [&] {
        mots += catalogue::clé(mot);
        mot.clear();
    };
    for (const char c : cellule) {
        if (static_cast<unsigned char>(c) < 0x80 && !std::isalnum(static_cast<unsigned char>(c)))
            finir();
        else
            mot += c;
    }
    finir();
    for (const std::string_view époque : { "j2000", "2000", "icrs" })
        for (auto à = mots.find(époque); à != std::string::npos; à = mots.find(époque))
            mots.erase(à, époque.size());
    return mots;
}

bool parmi(std::string_view mot, std::initializer_list<std::string_view> liste)
{
    return std::find(liste.begin(), liste.end(), mot) != liste.end();
}

// What follows a prefix: nothing, or a unit. Nothing when the key does not start with one.
std::optional<std::string_view> après(std::string_view clé, std::initializer_list<std::string_view> préfixes)
{
    for (const std::string_view p : préfixes) // longest first
        if (clé.starts_with(p))
            return clé.substr(p.size());
    return std::nullopt;
}

const std::initializer_list<std::string_view> UnitésHeures
    = { "h", "hr", "hrs", "hour", "hours", "heure", "heures", "hms" };
const std::initializer_list<std::string_view> UnitésDegrés
    = { "deg", "degs", "degree", "degrees", "degre", "degres", "d", "dms" };

std::optional<Colonnes> entête(const std::vector<std::string>& cellules)
{
    Colonnes c;
    for (std::size_t i = 0; i < cellules.size(); ++i) {
        const std::string clé = cléEntête(cellules[i]);
        if (parmi(clé,
                { "name", "nom", "object", "objet", "objectname", "nomobjet", "designation", "target",
                    "cible", "id", "catalog", "catalogue", "catalogentry", "catalogueentry", "commonname",
                    "nomcourant", "familiarname", "label" })) {
            c.noms.push_back(i);
            continue;
        }
        if (const auto u = après(clé, { "rightascension", "ascensiondroite", "alpha", "ra", "ad" });
            u && !c.ad) {
            const bool heures = parmi(*u, UnitésHeures);
            const bool degrés
                = parmi(*u, UnitésDegrés) || (u->empty() && cellules[i].find("\u00B0") != std::string::npos);
            if (u->empty() || heures || degrés) {
                c.ad = i;
                c.unitéAD = heures ? Unité::Heures : degrés ? Unité::Degré : Unité::Inconnue;
                continue;
            }
        }
        if (const auto u = après(clé, { "declination", "declinaison", "delta", "dec", "de" }); u && !c.dec)
            if (u->empty() || parmi(*u, UnitésDegrés))
                c.dec = i;
    }
    if (c.noms.empty() && !(c.ad && c.dec))
        return std::nullopt;
    return c;
}

// The separator a header uses: the most frequent of tab, semicolon and comma.
char séparateur(std::string_view ligne)
{
    char choisi = ',';
    std::size_t plus = 0;
    for (const char c : { '\t', ';', ',' })
        if (const auto n = static_cast<std::size_t>(std::count(ligne.begin(), ligne.end(), c)); n > plus) {
            plus = n;
            choisi = c;
        }
    return choisi;
}

void lireCsv(const std::vector<std::string_view>& lignes, std::size_t première, char sép, const Colonnes& c,
    Lecture& l)
{
    const auto cellule = [](const std::vector<std::string>& champs, std::optional<std::size_t> i) {
        return i && *i < champs.size() ? champs[*i] : std::string();
    };
    for (std::size_t i = première + 1; i < lignes.size(); ++i) {
        if (commentaire(lignes[i]))
            continue;
        const auto champs = champsCsv(lignes[i], sép);
        if (std::all_of(champs.begin(), champs.end(), [](const std::string& s) { return s.empty(); }))
            continue; // a spreadsheet's empty row
        std::vector<std::string> noms;
        for (const std::size_t n : c.noms)
            if (std::string nom = cellule(champs, n); !nom.empty())
                noms.push_back(std::move(nom));
        const std::string ad = cellule(champs, c.ad);
        const std::string dec = cellule(champs, c.dec);
        const auto o = résoudre(noms, lireAD(ad, c.unitéAD), lireDEC(dec), ad + " " + dec);
        ajouter(l, i + 1, o, lignes[i]);
    }
}

// ---- Names ----

void lireNoms(const std::vector<std::string_view>& lignes, Lecture& l)
{
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        if (commentaire(lignes[i]))
            continue;
        const std::string nom(rogner(lignes[i]));
        ajouter(l, i + 1, résoudre({ nom }, std::nullopt, std::nullopt, {}), nom);
    }
}

bool binaire(std::string_view octets)
{
    if (octets.find('\0') != std::string_view::npos)
        return true;
    const auto contrôles = std::count_if(octets.begin(), octets.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || u == 0x7F;
    });
    return static_cast<std::size_t>(contrôles) * OctetsParContrôleMax > octets.size();
}

std::string latin1VersUtf8(std::string_view octets)
{
    std::string texte;
    texte.reserve(octets.size() + octets.size() / 8);
    for (const char c : octets)
        utf8::unchecked::append(static_cast<unsigned char>(c), std::back_inserter(texte));
    return texte;
}

} // namespace

Lecture lire(std::string_view contenu)
{
    Lecture l;
    l.empreinte = empreinte(contenu);
    if (contenu.starts_with(MarqueOrdre))
        contenu.remove_prefix(MarqueOrdre.size());
    if (binaire(contenu)) {
        l.refus = Refus::Binaire;
        return l;
    }
    // A spreadsheet's export in Latin-1 reads as such.
    std::string converti;
    if (!utf8::is_valid(contenu.begin(), contenu.end())) {
        converti = latin1VersUtf8(contenu);
        contenu = converti;
    }
    const std::string_view début = rogner(contenu);
    if (début.starts_with("{")) {
        l.format = Format::Stellarium;
        lireStellarium(contenu, l);
        return l;
    }
    const auto lignes = sky::detail::couper(contenu, '\n');
    l.entrées.reserve(lignes.size());
    if (std::any_of(
            lignes.begin(), lignes.end(), [](std::string_view s) { return rogner(s) == DébutObjet; })) {
        l.format = Format::SkySafari;
        lireSkySafari(lignes, l);
        return l;
    }
    const auto première = std::find_if_not(lignes.begin(), lignes.end(), commentaire);
    if (première != lignes.end()) {
        const char sép = séparateur(*première);
        if (const auto colonnes = entête(champsCsv(*première, sép))) {
            l.format = Format::Csv;
            lireCsv(lignes, static_cast<std::size_t>(première - lignes.begin()), sép, *colonnes, l);
            return l;
        }
    }
    l.format = Format::Noms;
    lireNoms(lignes, l);
    return l;
}

Lecture lireFichier(const std::string& chemin)
{
    Lecture l;
    std::error_code erreur;
    if (!std::filesystem::is_regular_file(chemin, erreur)) {
        l.refus = Refus::Introuvable;
        return l;
    }
    const std::uintmax_t taille = std::filesystem::file_size(chemin, erreur);
    if (erreur) {
        l.refus = Refus::Introuvable;
        return l;
    }
    if (taille > TailleMax) {
        l.refus = Refus::TropGrand;
        return l;
    }
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier) {
        l.refus = Refus::Introuvable;
        return l;
    }
    // At most one byte past the limit, should the file have grown since its size was read.
    std::string contenu(static_cast<std::size_t>(TailleMax) + 1, '\0');
    fichier.read(contenu.data(), static_cast<std::streamsize>(contenu.size()));
    contenu.resize(static_cast<std::size_t>(fichier.gcount()));
    if (contenu.size() > TailleMax) {
        l.refus = Refus::TropGrand;
        return l;
    }
    return lire(contenu);
}

} // namespace liste
