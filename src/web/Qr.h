// SPDX-License-Identifier: GPL-3.0-or-later
// A QR code of a text, drawn for a terminal, so that a phone opens the page by scanning it.
#pragma once

#include <string>

namespace web {

// Two rows of modules per line of text, in half blocks, with the quiet zone; empty when the text
// cannot be encoded.
std::string qrTerminal(const std::string& text);

} // namespace web
