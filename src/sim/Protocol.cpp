// SPDX-License-Identifier: GPL-3.0-or-later
// Count texts and frame splitting of the simulated controller.
#include "sim/Protocol.h"

#include <charconv>
#include <cstdio>

namespace sim {

namespace {

constexpr int kHighWidth = 3;
constexpr int kLowWidth = 5;
constexpr std::size_t kMaxFieldDigits = 12;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Sign ("+" for zero too), then the magnitude padded with "0" to at least `width` digits.
std::string field(std::int64_t value, int width)
{
    const std::uint64_t magnitude = value < 0 ? std::uint64_t { 0 } - static_cast<std::uint64_t>(value)
                                              : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out(1, value < 0 ? '-' : '+');
    if (digits.size() < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - digits.size(), '0');
    return out + digits;
}

std::optional<std::int64_t> parseField(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > kMaxFieldDigits || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::pair<std::int64_t, std::int64_t>> parseFields(std::string_view text)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto high = parseField(text.substr(0, comma));
    const auto low = parseField(text.substr(comma + 1));
    if (!high || !low)
        return std::nullopt;
    return std::make_pair(*high, *low);
}

} // namespace

std::string raFields(std::int64_t count)
{
    const std::int64_t high = floorDiv(count, kFieldBase);
    const std::int64_t low = count - kFieldBase * high - kRaLowShift;
    return field(high, kHighWidth) + "," + field(low, kLowWidth);
}

std::string decFields(std::int64_t count)
{
    const std::int64_t magnitude = (count < 0 ? -count : count) + kRaLowShift;
    const std::int64_t sign = count < 0 ? -1 : (count > 0 ? 1 : 0);
    const std::int64_t high = magnitude / kFieldBase * sign;
    const std::int64_t low = count - kFieldBase * high;
    return field(high, kHighWidth) + "," + field(low, kLowWidth);
}

std::string raReply(std::int64_t count)
{
    return ":" + raFields(count) + "#";
}

std::string decReply(std::int64_t count)
{
    return ":" + decFields(count) + "#";
}

std::optional<std::int64_t> parseRaFields(std::string_view text)
{
    const auto fields = parseFields(text);
    if (!fields)
        return std::nullopt;
    return kFieldBase * fields->first + fields->second + kRaLowShift;
}

std::optional<std::int64_t> parseDecFields(std::string_view text)
{
    const auto fields = parseFields(text);
    if (!fields)
        return std::nullopt;
    return kFieldBase * fields->first + fields->second;
}

std::int64_t wrapRa(std::int64_t count)
{
    const std::int64_t r = count % kRaCountsPerTurn;
    return r < 0 ? r + kRaCountsPerTurn : r;
}

void FrameSplitter::feed(std::string_view bytes, std::vector<std::string>& frames)
{
    for (const char c : bytes) {
        if (c == ':') {
            partial_.assign(1, c);
            inFrame_ = true;
            continue;
        }
        if (!inFrame_)
            continue;
        partial_.push_back(c);
        if (c == '#') {
            frames.push_back(partial_);
            reset();
        } else if (partial_.size() >= kMaxFrame) {
            reset();
        }
    }
}

void FrameSplitter::reset()
{
    partial_.clear();
    inFrame_ = false;
}

std::string printable(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (u >= 0x20 && u < 0x7f) {
            out.push_back(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

} // namespace sim
