// SPDX-License-Identifier: GPL-3.0-or-later
#include "langue/qt/LangueQt.h"

#include <QByteArray>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace langue::qt {

namespace {
constexpr int StatutOptionInvalide = 2;
constexpr const char* Option = "--langue";
// Where qt_add_translations puts the compiled catalogue among the program's resources.
constexpr const char* Catalogue = ":/i18n/selvane_en.qm";

constexpr Texte AideLangue = SELVANE_TEXTE("langue",
    "Langue des textes : fr ou en (par défaut : le français si la langue de l'utilisateur est le "
    "français ou la locale C, l'anglais sinon ; SELVANE_LANGUE fait de même).");
constexpr Texte LangueInvalide = SELVANE_TEXTE("langue", "%1: %2 : attendu fr ou en");
constexpr Texte VariableInvalide
    = SELVANE_TEXTE("langue", "%1: SELVANE_LANGUE=%2 : attendu fr ou en, ignoré");

QTranslator& traducteur()
{
    static QTranslator catalogue;
    return catalogue;
}

// Qt gives a QString; the texts are handed out as UTF-8 that lives as long as the program.
const char* anglais(const char* contexte, const char* source)
{
    static std::mutex verrou;
    static std::map<std::pair<const char*, const char*>, QByteArray> déjàTraduits;
    const std::lock_guard<std::mutex> garde(verrou);
    const auto clé = std::make_pair(contexte, source);
    auto trouvé = déjàTraduits.find(clé);
    if (trouvé == déjàTraduits.end()) {
        const QString texte = traducteur().translate(contexte, source);
        if (texte.isEmpty())
            return nullptr;
        trouvé = déjàTraduits.emplace(clé, texte.toUtf8()).first;
    }
    return trouvé->second.constData();
}

[[noreturn]] void refuser(const char* programme, const char* valeur)
{
    // Said in the rule's own language, the option not being read.
    installer(règle(QLocale::system().uiLanguages().value(0).toStdString(), localeCEnvironnement()), anglais);
    std::fprintf(stderr, "%s\n",
        tr(LangueInvalide)
            .arg(QString::fromUtf8(programme),
                QStringLiteral("%1 %2").arg(QString::fromUtf8(Option), QString::fromLocal8Bit(valeur)))
            .toLocal8Bit()
            .constData());
    std::exit(StatutOptionInvalide);
}
} // namespace

Langue choisirEtInstaller(int argc, char** argv, const char* programme)
{
    // The catalogue is embedded: missing, it is a fault of the build, and the texts stay French.
    if (!traducteur().load(QString::fromLatin1(Catalogue)))
        qWarning("%s: the English catalogue %s is not in this build", programme, Catalogue);
    std::optional<Langue> forcée;
    const std::size_t longueur = std::strlen(Option);
    for (int i = 1; i < argc; ++i) {
        const char* valeur = nullptr;
        if (std::strcmp(argv[i], Option) == 0)
            valeur = i + 1 < argc ? argv[i + 1] : "";
        else if (std::strncmp(argv[i], Option, longueur) == 0 && argv[i][longueur] == '=')
            valeur = argv[i] + longueur + 1;
        else
            continue;
        forcée = lire(valeur);
        if (!forcée)
            refuser(programme, valeur);
    }
    std::string invalide;
    if (!forcée)
        forcée = forcéeParEnvironnement(&invalide);
    const Langue choisie = forcée
        ? *forcée
        : règle(QLocale::system().uiLanguages().value(0).toStdString(), localeCEnvironnement());
    installer(choisie, anglais);
    if (!invalide.empty())
        std::fprintf(stderr, "%s\n",
            tr(VariableInvalide)
                .arg(QString::fromUtf8(programme), QString::fromLocal8Bit(invalide.c_str()))
                .toLocal8Bit()
                .constData());
    return choisie;
}

QString nomOption()
{
    return QString::fromLatin1(Option + 2);
}

QString aideOption()
{
    return tr(AideLangue);
}

QString tr(const Texte& texte)
{
    return QString::fromUtf8(texte.texte());
}

} // namespace langue::qt
