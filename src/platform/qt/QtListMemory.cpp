// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtListMemory.h"

#include "settings/Settings.h"

namespace platform::qt {

namespace {

constexpr const char* CléFichier = "liste/fichier";
constexpr const char* CléRang = "liste/rang";
constexpr const char* CléEmpreinte = "liste/empreinte";

} // namespace

std::optional<ListeRetenue> QtListMemory::liste() const
{
    const QVariantList valeurs = settings::valeursEnregistrées({ CléFichier, CléRang, CléEmpreinte });
    const QString fichier = valeurs[0].toString();
    if (fichier.isEmpty())
        return std::nullopt;
    bool lu = false;
    const qlonglong rang = valeurs[1].toLongLong(&lu);
    ListeRetenue l;
    l.fichier = fichier.toStdString();
    l.rang = lu && rang >= 1 ? static_cast<std::size_t>(rang) : 1; // an unreadable rank starts the list again
    l.empreinte = valeurs[2].toString().toStdString();
    return l;
}

void QtListMemory::retenir(const ListeRetenue& l)
{
    settings::enregistrer({ { CléFichier, QString::fromStdString(l.fichier) },
        { CléRang, static_cast<qulonglong>(l.rang) }, { CléEmpreinte, QString::fromStdString(l.empreinte) } });
}

} // namespace platform::qt
