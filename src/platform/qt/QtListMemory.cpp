// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/QtListMemory.h"

#include <QSettings>

namespace platform::qt {

namespace {

// One file for every program of the project; on Linux ~/.config/selvane/selvane.conf.
constexpr const char* Organisation = "selvane";
constexpr const char* Application = "selvane";
constexpr const char* CléFichier = "liste/fichier";
constexpr const char* CléRang = "liste/rang";
constexpr const char* CléEmpreinte = "liste/empreinte";

} // namespace

std::optional<ListeRetenue> QtListMemory::liste() const
{
    const QSettings réglages(QString::fromLatin1(Organisation), QString::fromLatin1(Application));
    const QString fichier = réglages.value(QString::fromLatin1(CléFichier)).toString();
    if (fichier.isEmpty())
        return std::nullopt;
    bool lu = false;
    const qlonglong rang = réglages.value(QString::fromLatin1(CléRang)).toLongLong(&lu);
    ListeRetenue l;
    l.fichier = fichier.toStdString();
    l.rang = lu && rang >= 1 ? static_cast<std::size_t>(rang) : 1; // an unreadable rank starts the list again
    l.empreinte = réglages.value(QString::fromLatin1(CléEmpreinte)).toString().toStdString();
    return l;
}

void QtListMemory::retenir(const ListeRetenue& l)
{
    QSettings réglages(QString::fromLatin1(Organisation), QString::fromLatin1(Application));
    réglages.setValue(QString::fromLatin1(CléFichier), QString::fromStdString(l.fichier));
    réglages.setValue(QString::fromLatin1(CléRang), static_cast<qulonglong>(l.rang));
    réglages.setValue(QString::fromLatin1(CléEmpreinte), QString::fromStdString(l.empreinte));
    réglages.sync();
}

} // namespace platform::qt
