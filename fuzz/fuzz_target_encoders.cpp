// SPDX-License-Identifier: GPL-3.0-or-later
// The target encoders and the angle texts on any double and float, NaN, infinities and huge values
// included: a target is either refused or encoded in a text that reads back to its count, and no
// value ever reaches undefined behaviour.
//
// Input: read in turns of a double (8 bytes) and a float (4 bytes), bit for bit, then a 32-bit count.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "FuzzSupport.h"
#include "window/app/frmTKR52princ.h"
#include "protocol/codec.h"

namespace {

using fuzzsupport::Dms;
using fuzzsupport::Hms;
using fuzzsupport::Input;
using fuzzsupport::isWireText;
using fuzzsupport::parseDms;
using fuzzsupport::parseHms;
using W = frmTKR52princ;

// Within these every target must be accepted (the count fits with room to spare).
constexpr double SureRightAscension = 670000.0; // degrees
constexpr float SureDeclination = 800000.0f;
// A right ascension count read from any reply the decoder accepts stays within this.
constexpr double LargestReplyCount = 1.5e14;
// Beyond this an angle in radians overflows single precision once made degrees.
constexpr float LargestAngle = 1e30f;

std::string describe(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g (%a)", v, v);
    return text;
}

// The low field of a wire text ("+008,+18944" gives 18944).
long lowField(const std::string& t)
{
    return std::strtol(t.c_str() + t.find(',') + 1, nullptr, 10);
}

void checkRightAscension(double angle)
{
    const auto count = protocol::compteCibleAD(angle);
    const std::string text = W::get_ADH_ADL(angle);
    FUZZ_CHECK(text.empty() == !count, describe(angle) + " -> " + text);
    if (!std::isfinite(angle))
        FUZZ_CHECK(!count, describe(angle));
    if (std::fabs(angle) <= SureRightAscension)
        FUZZ_CHECK(count.has_value(), describe(angle));
    if (!count)
        return;
    // What rounds to a full turn (24 h) is the origin.
    const double turn = 360.0 * 3200.0;
    const double exact = std::nearbyint(angle * 3200.0) == turn ? angle * 3200.0 - turn : angle * 3200.0;
    FUZZ_CHECK(std::fabs(*count - exact) <= 0.5 + 1e-9 * std::fabs(angle * 3200.0), describe(angle));
    // The controller reads the text back to the same count, the low field within its range.
    FUZZ_CHECK(isWireText(text), text);
    FUZZ_CHECK(
        protocol::compteAD(":" + text + "#") == static_cast<double>(*count), describe(angle) + " -> " + text);
    const long low = lowField(text);
    FUZZ_CHECK(low >= -32768 && low <= 32767, text);
}

void checkDeclination(float angle)
{
    const auto count = protocol::compteCibleDEC(angle);
    float argument = angle;
    const std::string text = W::get_DECH_DECL(argument);
    FUZZ_CHECK(std::isnan(angle) ? std::isnan(argument) : argument == angle, "the argument was changed");
    FUZZ_CHECK(text.empty() == !count, describe(angle) + " -> " + text);
    if (!std::isfinite(angle))
        FUZZ_CHECK(!count, describe(angle));
    if (std::fabs(angle) <= SureDeclination)
        FUZZ_CHECK(count.has_value(), describe(angle));
    if (!count)
        return;
    const double exact = static_cast<double>(angle) * 8000.0 / 3.0;
    // Single precision in every step: a few units in the last place of the count.
    FUZZ_CHECK(std::fabs(*count - exact) <= 1.0 + 4e-7 * std::fabs(exact), describe(angle));
    FUZZ_CHECK(isWireText(text), text);
    FUZZ_CHECK(protocol::compteDEC(":" + text + "#") == *count, describe(angle) + " -> " + text);
    const long low = lowField(text);
    FUZZ_CHECK(*count >= 0 ? (low >= -32768 && low <= 32767) : (low >= -32767 && low <= 32768), text);
}

void checkHours(float angle)
{
    const std::string text = W::Transhms(angle);
    if (!std::isfinite(angle) || std::fabs(angle) > LargestAngle)
        return;
    Hms hms;
    FUZZ_CHECK(parseHms(text, hms), describe(angle) + " -> " + text);
    // Angles from 0 up: whole minutes and seconds below 60 (no carry, nothing rounded up).
    if (angle >= 0)
        FUZZ_CHECK(hms.m <= 59 && hms.s <= 59, describe(angle) + " -> " + text);
}

void checkDegrees(float angle)
{
    const std::string text = W::TransDegMinSec(angle);
    if (!std::isfinite(angle) || std::fabs(angle) > LargestAngle)
        return;
    Dms dms;
    FUZZ_CHECK(parseDms(text, dms), describe(angle) + " -> " + text);
    FUZZ_CHECK(dms.negative == (angle < 0), describe(angle) + " -> " + text);
    FUZZ_CHECK(dms.m <= 59 && dms.s <= 59, describe(angle) + " -> " + text);
}

void checkPositionTexts(double raCount, std::int32_t decCount)
{
    const std::string ra = W::texteAD(raCount);
    if (std::isfinite(raCount) && std::fabs(raCount) <= LargestReplyCount) {
        Hms hms;
        FUZZ_CHECK(parseHms(ra, hms), describe(raCount) + " -> " + ra);
        FUZZ_CHECK(hms.m <= 59 && hms.s <= 59, describe(raCount) + " -> " + ra);
    }
    const std::string dec = W::texteDEC(decCount);
    Dms dms;
    FUZZ_CHECK(parseDms(dec, dms), std::to_string(decCount) + " -> " + dec);
    FUZZ_CHECK(dms.m <= 59 && dms.s <= 59, std::to_string(decCount) + " -> " + dec);
}

// The float nearest a double; infinity past the float range.
float narrowed(double d)
{
    if (std::isnan(d) || std::fabs(d) <= std::numeric_limits<float>::max())
        return static_cast<float>(d);
    return d > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    do {
        const auto d = in.raw<double>();
        const auto f = in.raw<float>();
        const auto n = in.raw<std::int32_t>();
        for (double angle : {d, static_cast<double>(f), std::fmod(d, 1e6)})
            checkRightAscension(angle);
        for (float angle : {f, narrowed(d), std::fmod(f, 1e6f)}) {
            checkDeclination(angle);
            checkHours(angle);
            checkDegrees(angle);
        }
        checkPositionTexts(d, n);
        checkPositionTexts(static_cast<double>(n) * 65536.0 + static_cast<double>(n % 65536), n);
    } while (!in.empty());
    return 0;
}
