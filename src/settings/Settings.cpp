// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <memory>

#include "langue/qt/LangueQt.h"
#include "settings/texts.h"

namespace settings {

namespace {

constexpr const char* Dossier = "/selvane/selvane.conf";
constexpr const char* CléLieu = "lieu";
constexpr const char* CléNuit = "nuit";
// Enough digits that a site reads back as it was given.
constexpr int ChiffresSignificatifs = 10;

// Larger than any file this program writes: something else, not read.
constexpr qint64 TailleMax = 64 * 1024;

// A file this program could have written: absent, or short UTF-8 text. QSettings reads anything
// (a binary file as a few odd keys), so what is not text is refused before it.
bool lisible()
{
    QFile fichier(chemin());
    if (!fichier.exists())
        return true;
    if (fichier.size() > TailleMax || !fichier.open(QIODevice::ReadOnly))
        return false;
    const QByteArray octets = fichier.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString texte = utf8.decode(octets); // decodes, to learn whether it reads
    return !utf8.hasError() && !octets.contains('\0');
}

std::unique_ptr<QSettings> ouvrir()
{
    return std::make_unique<QSettings>(chemin(), QSettings::IniFormat);
}

// The file as read, or nothing (and the line that says so) when it does not read.
std::unique_ptr<QSettings> lire(QString* avertissement)
{
    auto fichier = lisible() ? ouvrir() : nullptr;
    if (fichier && fichier->status() == QSettings::NoError)
        return fichier;
    if (avertissement)
        *avertissement = langue::qt::tr(settings_texts::FichierIllisible).arg(chemin());
    return nullptr;
}

} // namespace

bool enregistrer(std::initializer_list<std::pair<const char*, QVariant>> valeurs)
{
    // A file that does not read is replaced: what it held was lost already.
    if (!lisible())
        QFile::remove(chemin());
    auto fichier = ouvrir();
    if (fichier->status() != QSettings::NoError)
        return false;
    for (const auto& [clé, valeur] : valeurs) {
        if (valeur.isValid())
            fichier->setValue(QLatin1String(clé), valeur);
        else
            fichier->remove(QLatin1String(clé));
    }
    fichier->sync();
    return fichier->status() == QSettings::NoError;
}

QVariantList valeursEnregistrées(std::initializer_list<const char*> clés)
{
    const auto fichier = lire(nullptr);
    QVariantList valeurs;
    for (const char* clé : clés)
        valeurs.append(fichier ? fichier->value(QLatin1String(clé)) : QVariant());
    return valeurs;
}

QString chemin()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1String(Dossier);
}

ChoixLieu lireChoixLieu(const QString& texte)
{
    if (texte.trimmed() == QLatin1String(settings_texts::Aucun))
        return { ChoixLieu::Sorte::Aucun, std::nullopt };
    const auto lieu = sky::lireLieu(texte.toStdString());
    return { lieu ? ChoixLieu::Sorte::Lieu : ChoixLieu::Sorte::Invalide, lieu };
}

QString texteLieu(const sky::Lieu& lieu)
{
    return QStringLiteral("%1,%2,%3")
        .arg(QString::number(lieu.latitude, 'g', ChiffresSignificatifs),
            QString::number(lieu.longitude, 'g', ChiffresSignificatifs),
            QString::number(lieu.altitude, 'g', ChiffresSignificatifs));
}

std::optional<sky::Lieu> lieuEnregistré(QString* avertissement)
{
    const auto fichier = lire(avertissement);
    if (!fichier || !fichier->contains(QLatin1String(CléLieu)))
        return std::nullopt;
    // Written as one quoted text; a hand-edited "45,5" without quotes comes back as a list.
    const QString texte = fichier->value(QLatin1String(CléLieu)).toStringList().join(QLatin1Char(','));
    const auto lieu = sky::lireLieu(texte.toStdString());
    if (!lieu && avertissement)
        *avertissement = langue::qt::tr(settings_texts::LieuEnregistréIllisible).arg(texte, chemin());
    return lieu;
}

bool enregistrerLieu(const std::optional<sky::Lieu>& lieu)
{
    return enregistrer({ { CléLieu, lieu ? QVariant(texteLieu(*lieu)) : QVariant() } });
}

std::optional<bool> nuitEnregistrée()
{
    const auto fichier = lire(nullptr);
    if (!fichier || !fichier->contains(QLatin1String(CléNuit)))
        return std::nullopt;
    const QString texte = fichier->value(QLatin1String(CléNuit)).toString();
    if (texte == QLatin1String("true"))
        return true;
    if (texte == QLatin1String("false"))
        return false;
    return std::nullopt;
}

bool enregistrerNuit(bool nuit)
{
    return enregistrer({ { CléNuit, QVariant(nuit) } });
}

std::optional<sky::Lieu> lieuAuDémarrage(const ChoixLieu* option, QStringList& lignes)
{
    if (option && option->sorte == ChoixLieu::Sorte::Aucun) {
        enregistrerLieu(std::nullopt);
        lignes.append(langue::qt::tr(settings_texts::LieuOublié));
        return std::nullopt;
    }
    if (option && option->lieu) {
        const QString texte = texteLieu(*option->lieu);
        lignes.append(enregistrerLieu(option->lieu)
                ? langue::qt::tr(settings_texts::LieuDeLOption).arg(texte, chemin())
                : langue::qt::tr(settings_texts::LieuNonEnregistré).arg(texte, chemin()));
        return option->lieu;
    }
    QString avertissement;
    const auto lieu = lieuEnregistré(&avertissement);
    if (!avertissement.isEmpty())
        lignes.append(avertissement);
    if (lieu)
        lignes.append(langue::qt::tr(settings_texts::LieuEnregistré).arg(texteLieu(*lieu), chemin()));
    return lieu;
}

} // namespace settings
