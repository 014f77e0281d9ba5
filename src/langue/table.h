// SPDX-License-Identifier: GPL-3.0-or-later
// The English catalogue as a table, for a program without Qt (the driver); built from selvane_en.ts.
#pragma once

namespace langue {
// The English of a source text in its context; nullptr when the catalogue has none.
const char* anglaisDeLaTable(const char* contexte, const char* source);
} // namespace langue
