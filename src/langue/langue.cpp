// SPDX-License-Identifier: GPL-3.0-or-later
#include "langue/langue.h"

#include <cstdlib>

namespace langue {

namespace {
Langue choisie = Langue::fr;
Traducteur traducteurAnglais = nullptr;
// selvane-web words one message at a time for one page: the language in use on this thread, none
// outside every Portée (then the program's).
thread_local std::optional<Langue> portée;

std::string_view variable(const char* nom)
{
    const char* valeur = std::getenv(nom);
    return valeur ? std::string_view(valeur) : std::string_view();
}

// "C", "POSIX", "C.UTF-8", "C.utf8": the locale that means no language at all.
bool estLocaleC(std::string_view nom)
{
    const std::string_view base = nom.substr(0, nom.find('.'));
    return base == "C" || base == "POSIX";
}
} // namespace

std::optional<Langue> lire(std::string_view texte)
{
    if (texte == "fr")
        return Langue::fr;
    if (texte == "en")
        return Langue::en;
    return std::nullopt;
}

Langue règle(std::string_view premièreLangue, bool localeC)
{
    if (localeC || estLocaleC(premièreLangue))
        return Langue::fr;
    const bool français = premièreLangue.substr(0, 2) == "fr"
        && (premièreLangue.size() == 2 || premièreLangue[2] == '_' || premièreLangue[2] == '-'
            || premièreLangue[2] == '.' || premièreLangue[2] == '@');
    return français ? Langue::fr : Langue::en;
}

bool localeCEnvironnement()
{
    for (const char* nom : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const std::string_view valeur = variable(nom);
        if (!valeur.empty())
            return estLocaleC(valeur);
    }
    return true;
}

std::string premièreLangueEnvironnement()
{
    // LANGUAGE is a list ("en_GB:fr"); the first entry leads.
    const std::string_view liste = variable("LANGUAGE");
    if (!liste.empty())
        return std::string(liste.substr(0, liste.find(':')));
    for (const char* nom : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const std::string_view valeur = variable(nom);
        if (!valeur.empty())
            return std::string(valeur);
    }
    return "C";
}

std::optional<Langue> forcéeParEnvironnement(std::string* invalide)
{
    const char* valeur = std::getenv("SELVANE_LANGUE");
    if (!valeur || !*valeur)
        return std::nullopt;
    const auto langue = lire(valeur);
    if (!langue && invalide)
        *invalide = valeur;
    return langue;
}

void installer(Langue langue, Traducteur anglais)
{
    choisie = langue;
    traducteurAnglais = anglais;
}

Langue courante()
{
    return portée ? *portée : choisie;
}

const char* Texte::texte() const
{
    if (courante() == Langue::fr || !traducteurAnglais)
        return source;
    const char* anglais = traducteurAnglais(contexte, source);
    return anglais ? anglais : source;
}

Portée::Portée(Langue langue)
    : précédente(portée)
{
    portée = langue;
}

Portée::~Portée()
{
    portée = précédente;
}

std::optional<std::string> séparateurDécimalImposé()
{
    if (courante() == Langue::en)
        return ".";
    return std::nullopt;
}

} // namespace langue
