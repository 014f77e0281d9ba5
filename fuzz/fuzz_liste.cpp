// SPDX-License-Identifier: GPL-3.0-or-later
// An observing list on any bytes: whatever the format it is taken for, every entry kept has an
// object with a place on the sky, every line named lies within the file, and the text an unreadable
// entry shows is short and valid UTF-8.
//
// Input: the file's bytes, as is.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "sky/liste.h"

namespace {

// What an unreadable entry shows, at most: 60 bytes and an ellipsis.
constexpr std::size_t ExtraitMax = 63;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const liste::Lecture l = liste::lire(bytes);
    // Lines are counted from 1; a Stellarium entry's rank never exceeds the bytes either.
    const std::size_t lignesMax = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    for (const liste::Entrée& e : l.entrées) {
        const catalogue::Objet& o = e.objet();
        FUZZ_CHECK(e.ligne >= 1 && (l.format == liste::Format::Stellarium || e.ligne <= lignesMax),
            std::to_string(e.ligne));
        FUZZ_CHECK(o.corps || (std::isfinite(o.ad2000) && o.ad2000 >= 0 && o.ad2000 < 360), o.désignation);
        FUZZ_CHECK(o.corps || (std::isfinite(o.dec2000) && std::fabs(o.dec2000) <= 90), o.désignation);
        FUZZ_CHECK(fuzzsupport::validUtf8(o.désignation), o.désignation);
    }
    for (const liste::Illisible& i : l.illisibles) {
        FUZZ_CHECK(i.ligne >= 1, i.texte);
        FUZZ_CHECK(i.texte.size() <= ExtraitMax && fuzzsupport::validUtf8(i.texte), i.texte);
    }
    if (l.refus != liste::Refus::Aucun)
        FUZZ_CHECK(l.entrées.empty() && l.illisibles.empty(), "a refused file keeps nothing");
    return 0;
}
