// SPDX-License-Identifier: GPL-3.0-or-later
// The language of a Qt program: --langue, SELVANE_LANGUE, else the rule on Qt's first UI language;
// its English read from the catalogue compiled into the program.
#pragma once

#include <QString>

#include "langue/langue.h"

namespace langue::qt {

// Reads --langue fr|en (or --langue=fr|en) from the command line, before any text is made, then
// SELVANE_LANGUE, then applies the rule, and installs the chosen language. A value it cannot take
// ends the program with one line on standard error and status 2, as every bad option does.
Langue choisirEtInstaller(int argc, char** argv, const char* programme);

// The --langue option, for the program's help (its value is read by choisirEtInstaller).
QString nomOption();
QString aideOption();

// A text in the program's language, for Qt code: SELVANE_TEXTE's context and source.
QString tr(const Texte& texte);

} // namespace langue::qt

// A text written where it is used, in Qt code: SELVANE_TR("context", "source") is its translation.
#define SELVANE_TR(contexte, source) (::langue::qt::tr(SELVANE_TEXTE(contexte, source)))
