// SPDX-License-Identifier: GPL-3.0-or-later
// The text of the catalogue table, compiled in from data/catalogue.tsv (see cmake/embed-catalogue.cmake).
#pragma once

namespace catalogue {
extern const char* const texteTable;
} // namespace catalogue
