// SPDX-License-Identifier: GPL-3.0-or-later
// The leading-number reading of the entry fields on any text, against the C library's strtod on
// the longest leading number, and the seconds field's rounding to a 16-bit whole number.
//
// Input: the field's text, as is.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "window/app/frmTKR52princ.h"

namespace {

using fuzzsupport::isDigit;
using W = frmTKR52princ;

// The longest leading "[sign] digits [. digits] [e [sign] digits]" once blanks, tabs and line feeds
// are taken out, read by strtod; 0 when the text has no leading number.
double expectedValue(std::string_view text)
{
    std::string t;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            t += c;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < t.size() && isDigit(t[i]); ++i)
        ++digits;
    if (i < t.size() && t[i] == '.')
        for (++i; i < t.size() && isDigit(t[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            ++j;
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j]))
                ++j;
            i = j;
        }
    }
    const std::string number = t.substr(0, i);
    errno = 0;
    return std::strtod(number.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // strtod reads "." as the decimal point only in the C locale, which is the one a program starts in.
    static const bool cLocale = std::setlocale(LC_NUMERIC, "C") != nullptr;
    (void)cLocale;

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string shown(text.substr(0, 200));
    const double expected = expectedValue(text);
    const double value = W::nombreEnTête(text);
    FUZZ_CHECK(!std::isnan(value), shown);
    FUZZ_CHECK(value == expected, shown + " read as " + std::to_string(value) + ", strtod " + std::to_string(expected));

    // Seconds: the nearest whole number, a half to the even one, when it fits 16 bits.
    const auto seconds = W::secondesEnTête(text);
    const double nearest = std::nearbyint(expected);
    const bool fits = std::isfinite(expected) && nearest >= -32768 && nearest <= 32767;
    FUZZ_CHECK(seconds.has_value() == fits, shown);
    if (seconds) {
        const double off = std::fabs(*seconds - expected);
        FUZZ_CHECK(off < 0.5 || (off == 0.5 && *seconds % 2 == 0), shown + " gave " + std::to_string(*seconds));
    }
    return 0;
}
