// SPDX-License-Identifier: GPL-3.0-or-later
// What the programs remember between starts: the observing site and the night look, in one file
// for every program of the project (~/.config/selvane/selvane.conf). Each value is written at once,
// so a program killed a second later has lost nothing. A file or a value that does not read is
// ignored with one line, never a failed start.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <optional>
#include <utility>

#include "sky/site.h"

namespace settings {

// The file every program reads and writes.
QString chemin();

// What the user wrote for a site (--lieu or the dialog): a site, "aucun" (forget it), or a text that
// does not read (the reader is sky::lireLieu, with its ranges).
struct ChoixLieu {
    enum class Sorte { Lieu, Aucun, Invalide };
    Sorte sorte = Sorte::Invalide;
    std::optional<sky::Lieu> lieu;
};
ChoixLieu lireChoixLieu(const QString& texte);

// The site as it is written (and read back by sky::lireLieu): "45.76,4.84,200".
QString texteLieu(const sky::Lieu& lieu);

// The saved site; nothing when none is saved or when it does not read (then `avertissement`, if
// given, gets the line that says so).
std::optional<sky::Lieu> lieuEnregistré(QString* avertissement = nullptr);
// Saves the site, or forgets it; false when the file cannot be written.
bool enregistrerLieu(const std::optional<sky::Lieu>& lieu);

// The saved night look; nothing when none is saved or it does not read.
std::optional<bool> nuitEnregistrée();
bool enregistrerNuit(bool nuit);

// Any other value kept between starts (the observing list's keys, "liste/…"): written together and at
// once, an invalid QVariant forgetting its key; read back together, in the keys' order, each invalid
// when absent or unreadable.
bool enregistrer(std::initializer_list<std::pair<const char*, QVariant>> valeurs);
QVariantList valeursEnregistrées(std::initializer_list<const char*> clés);

// The site in force at start: the option's (saved at once; "aucun" forgets the saved one), else the
// saved one, else none. `lignes` gets what to log: where the site comes from, a file ignored.
// `option` is the --lieu value already read by lireChoixLieu (nullptr when not given).
std::optional<sky::Lieu> lieuAuDémarrage(const ChoixLieu* option, QStringList& lignes);

} // namespace settings
