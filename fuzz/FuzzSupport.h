// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the fuzz targets: a failed check ends the run at once (so that libFuzzer keeps
// the input as a crasher, and the replay fails), a reader of the fuzz input, and the shape checks
// of the texts the window shows.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#define FUZZ_CHECK(cond, detail)                                                                             \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            ::fuzzsupport::fail(#cond, (detail), __FILE__, __LINE__);                                        \
    } while (false)

namespace fuzzsupport {

// Bytes for a failure message: printable ASCII as is, anything else as \xNN.
inline std::string printable(std::string_view bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

[[noreturn]] inline void fail(const char* what, const std::string& detail, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, what, printable(detail).c_str());
    std::abort();
}

// Takes the fuzz input apart from the front: fixed-size values, then the rest as text.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : rest(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t byte()
    {
        if (rest.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(rest.front());
        rest.remove_prefix(1);
        return b;
    }
    // The next sizeof(T) bytes as a T, bit for bit (zero-filled when the input runs out).
    template <class T>
    T raw()
    {
        unsigned char bytes[sizeof(T)] = {};
        const std::size_t n = rest.size() < sizeof(T) ? rest.size() : sizeof(T);
        std::memcpy(bytes, rest.data(), n);
        rest.remove_prefix(n);
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }
    bool empty() const { return rest.empty(); }
    std::string_view remaining() const { return rest; }

private:
    std::string_view rest;
};

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing past U+10FFFF.
inline bool validUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (t & 0x3F);
        }
        static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}

// Reads "<prefix><digits><suffix>" at pos and moves past it; the digits' value (saturated) in value.
inline bool number(std::string_view s, std::size_t& pos, std::string_view prefix, std::string_view suffix,
                   double& value)
{
    if (s.substr(pos, prefix.size()) != prefix)
        return false;
    std::size_t i = pos + prefix.size();
    const std::size_t start = i;
    value = 0;
    while (i < s.size() && isDigit(s[i]))
        value = value * 10 + (s[i++] - '0');
    if (i == start || s.substr(i, suffix.size()) != suffix)
        return false;
    pos = i + suffix.size();
    return true;
}

// The parts of an hours text " 12h 0m 0s" (the magnitudes are written, never a sign).
struct Hms {
    double h = 0, m = 0, s = 0;
};
inline bool parseHms(std::string_view t, Hms& out)
{
    std::size_t pos = 0;
    return number(t, pos, " ", "h", out.h) && number(t, pos, " ", "m", out.m) && number(t, pos, " ", "s", out.s)
        && pos == t.size();
}

// The parts of a degrees text " 45° 0' 0\"" or "-16° 42' 58\"".
struct Dms {
    bool negative = false;
    double d = 0, m = 0, s = 0;
};
inline bool parseDms(std::string_view t, Dms& out)
{
    if (t.empty() || (t.front() != ' ' && t.front() != '-'))
        return false;
    out.negative = t.front() == '-';
    std::size_t pos = 0;
    return number(t, pos, t.substr(0, 1), "\u00B0", out.d) && number(t, pos, " ", "'", out.m)
        && number(t, pos, " ", "\"", out.s) && pos == t.size();
}

} // namespace fuzzsupport

namespace fuzzsupport {

// A target text as the controller reads it: sign, at least 3 digits, ",", sign, at least 5 digits.
inline bool isWireText(std::string_view t)
{
    auto field = [&t](std::size_t& i, std::size_t width) {
        if (i >= t.size() || (t[i] != '+' && t[i] != '-'))
            return false;
        const std::size_t start = ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i;
        return i - start >= width;
    };
    std::size_t i = 0;
    if (!field(i, 3) || i >= t.size() || t[i] != ',')
        return false;
    ++i;
    return field(i, 5) && i == t.size();
}

} // namespace fuzzsupport
