// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal QR code, with libqrencode.
#include "web/Qr.h"

#include <memory>
#include <qrencode.h>

namespace web {

namespace {
// Modules of light margin around the code, as readers expect.
constexpr int Marge = 2;
} // namespace

std::string qrTerminal(const std::string& text)
{
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1), QRcode_free);
    if (!code)
        return {};
    const int n = code->width;
    // Dark modules drawn as blank on a light terminal would be inverted: draw the light ones.
    auto dark
        = [&](int x, int y) { return x >= 0 && y >= 0 && x < n && y < n && (code->data[y * n + x] & 1); };
    std::string out;
    for (int y = -Marge; y < n + Marge; y += 2) {
        for (int x = -Marge; x < n + Marge; ++x) {
            const bool top = !dark(x, y);
            const bool bottom = !dark(x, y + 1);
            out += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
        }
        out += '\n';
    }
    return out;
}

} // namespace web
