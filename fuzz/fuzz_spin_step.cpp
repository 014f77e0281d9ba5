// SPDX-License-Identifier: GPL-3.0-or-later
// One spin step on any text, for every arrow and both decimal separators: the result reads again,
// a field within its range stays within it, and up then down gives the value back.
//
// Input: the field's text, as is.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "window/app/frmTKR52princ.h"

namespace {

using fuzzsupport::isDigit;
using W = frmTKR52princ;

// One arrow of one field: its step, the value that wraps and what it becomes.
struct Arrow {
    int step;
    double threshold;
    const char* wrapped;
};
// The range the arrows keep a field in, and its two arrows.
struct Field {
    const char* name;
    int low, high;
    Arrow up, down;
};
constexpr Field Fields[] = {
    {"hours", 0, 23, {+1, 24, "0"}, {-1, -1, "23"}},
    {"minutes", 0, 59, {+1, 60, "0"}, {-1, -1, "59"}},
    {"degrees", -90, 90, {+1, 91, "-90"}, {-1, -91, "90"}},
};
constexpr const char* Separators[] = {",", "."};

std::optional<std::string> step(std::string_view text, const Arrow& a, std::string_view separator)
{
    return W::pasSpin(text, a.step, a.threshold, a.wrapped, separator);
}

// A plain number as anyone would type it: blanks around, a sign, up to 15 digits, up to 6 decimals
// after the separator. Nothing for anything else (those texts are checked only for what comes out).
std::optional<double> plainNumber(std::string_view t, char separator)
{
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    std::string c;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        c += t[i++];
    const std::size_t start = i;
    while (i < t.size() && isDigit(t[i]))
        c += t[i++];
    const std::size_t whole = i - start;
    if (whole == 0 || whole > 15)
        return std::nullopt;
    if (i < t.size() && t[i] == separator) {
        const std::size_t fraction = ++i;
        c += '.';
        while (i < t.size() && isDigit(t[i]))
            c += t[i++];
        if (i - fraction > 6)
            return std::nullopt;
    }
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    if (i != t.size())
        return std::nullopt;
    return std::strtod(c.c_str(), nullptr);
}

// What a stepped field shows, read back: "-", digits, the separator, an exponent "E+20".
std::optional<double> readResult(const std::string& r, std::string_view separator)
{
    std::string c;
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (r.compare(i, separator.size(), separator) == 0) {
            c += '.';
            i += separator.size() - 1;
        } else if (isDigit(r[i]) || r[i] == '-' || r[i] == 'E' || (r[i] == '+' && i > 0 && r[i - 1] == 'E')) {
            c += r[i];
        } else {
            return std::nullopt;
        }
    }
    char* end = nullptr;
    const double v = std::strtod(c.c_str(), &end);
    if (c.empty() || end != c.c_str() + c.size())
        return std::nullopt;
    return v;
}

void checkArrow(std::string_view text, const Field& field, const Arrow& arrow, const Arrow& back,
                std::string_view separator)
{
    const std::string shown = std::string(field.name) + " " + std::string(separator) + " ["
        + std::string(text.substr(0, 100)) + "]";
    const auto result = step(text, arrow, separator);
    const auto typed = plainNumber(text, separator.front());
    if (typed)
        FUZZ_CHECK(result.has_value(), shown);
    if (!result)
        return;

    // The new text: no plus sign, no "-0", no leading zeros, the user's separator and not the other.
    const std::string& r = *result;
    const std::string other = separator == "," ? "." : ",";
    FUZZ_CHECK(!r.empty() && r.front() != '+' && r != "-0", shown + " -> " + r);
    FUZZ_CHECK(r.find(other) == std::string::npos, shown + " -> " + r);
    const std::string_view digits = std::string_view(r).substr(r.front() == '-' ? 1 : 0);
    FUZZ_CHECK(digits.size() < 2 || digits[0] != '0' || digits.substr(1, separator.size()) == separator,
               shown + " -> " + r);
    const auto value = readResult(r, separator);
    FUZZ_CHECK(value.has_value(), shown + " -> " + r);

    // The field can be stepped again.
    FUZZ_CHECK(step(r, arrow, separator).has_value(), shown + " -> " + r);

    if (!typed)
        return;
    const double expected = *typed + arrow.step;
    if (expected == arrow.threshold) {
        FUZZ_CHECK(r == arrow.wrapped, shown + " -> " + r);
    } else {
        const double tolerance = 1e-13 * std::fmax(1.0, std::fabs(expected));
        FUZZ_CHECK(std::fabs(*value - expected) <= tolerance, shown + " -> " + r);
    }
    // Within the range, with a whole value: the step stays within it and the other arrow undoes it.
    if (*typed == std::floor(*typed) && *typed >= field.low && *typed <= field.high) {
        FUZZ_CHECK(*value >= field.low && *value <= field.high && *value == std::floor(*value),
                   shown + " -> " + r);
        const auto undone = step(r, back, separator);
        FUZZ_CHECK(undone && readResult(*undone, separator) == *typed, shown + " -> " + r);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const Field& field : Fields) {
        for (const char* separator : Separators) {
            checkArrow(text, field, field.up, field.down, separator);
            checkArrow(text, field, field.down, field.up, separator);
        }
    }
    return 0;
}
