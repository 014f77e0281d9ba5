// SPDX-License-Identifier: GPL-3.0-or-later
// The program's language: one rule for every program, and the texts that follow it. French is the
// source of every text; English comes from the catalogue selvane_en.ts. No Qt here, so that the
// driver, which has none, chooses and translates by the same rule.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace langue {

enum class Langue { fr, en };

// "fr" or "en", as --langue and SELVANE_LANGUE take them; nothing for anything else.
std::optional<Langue> lire(std::string_view texte);

// The rule: French when the first UI language is French ("fr", "fr_FR.UTF-8", "fr-CA"…) or when
// the locale is C or POSIX (then scripts and tests keep the source texts); English otherwise.
Langue règle(std::string_view premièreLangue, bool localeC);

// Where Qt is not used: the locale of messages (LC_ALL, LC_MESSAGES, LANG, the first set) is C or
// POSIX, or none is set.
bool localeCEnvironnement();
// Where Qt is not used: the first UI language, from LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
std::string premièreLangueEnvironnement();

// SELVANE_LANGUE's value when it says fr or en; nothing when unset. A value it cannot take is
// reported in `invalide` (the text itself), so that each program says so its own way.
std::optional<Langue> forcéeParEnvironnement(std::string* invalide = nullptr);

// A text of the program: its context (the subsystem) and its French source, exactly as shown.
// Declared with SELVANE_TEXTE, which lupdate reads as QT_TRANSLATE_NOOP (scripts/update-translations).
struct Texte {
    const char* contexte;
    const char* source;
    // The text in the program's language (the pointer lives as long as the program).
    const char* texte() const;
    operator const char*() const { return texte(); }
};
#define SELVANE_TEXTE(contexte, source) (::langue::Texte { contexte, source })

inline std::string operator+(const Texte& a, const std::string& b)
{
    return a.texte() + b;
}
inline std::string operator+(const std::string& a, const Texte& b)
{
    return a + b.texte();
}
inline std::string operator+(const Texte& a, const char* b)
{
    return std::string(a.texte()) + b;
}
inline std::string operator+(const char* a, const Texte& b)
{
    return a + std::string(b.texte());
}
inline bool operator==(const std::string& a, const Texte& b)
{
    return a == b.texte();
}
inline std::string operator+(const Texte& a, const Texte& b)
{
    return a.texte() + std::string(b.texte());
}

// Finds the English of a source text; returns nothing (nullptr) when the catalogue has none.
using Traducteur = const char* (*)(const char* contexte, const char* source);

// Sets the program's language, and where its English comes from (the Qt programs: the embedded
// Qt catalogue; the driver: the table built from the same catalogue).
void installer(Langue langue, Traducteur anglais);
Langue courante();

// For a program that serves several users in their own languages (selvane-web): the texts made
// while it lives are in this language; the previous one comes back after.
class Portée {
public:
    explicit Portée(Langue langue);
    ~Portée();
    Portée(const Portée&) = delete;
    Portée& operator=(const Portée&) = delete;

private:
    std::optional<Langue> précédente; // none: the program's own language comes back
};

// "." in English, whatever the locale; nothing in French (the locale's own separator stays).
std::optional<std::string> séparateurDécimalImposé();

} // namespace langue
