// SPDX-License-Identifier: GPL-3.0-or-later
// The controller's side of the wire: axis scales, the two-field count text of the position replies and
// target commands, and the splitting of the incoming byte stream into ":...#" frames.
// Written apart from the client's codec (src/protocol/) on purpose, and never to be merged with it:
// it is the second opinion that tests the client's, so a mistake shared by both cannot pass unseen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr std::int64_t kRaCountsPerTurn = 1152000;
inline constexpr double kRaCountsPerDegree = 3200.0;
inline constexpr double kDecCountsPerDegree = 8000.0 / 3.0;
inline constexpr std::int64_t kDecCountsAtPole = 240000;

// The low field of the right ascension text is shifted down by this much.
inline constexpr std::int64_t kRaLowShift = 32768;
inline constexpr std::int64_t kFieldBase = 65536;

// Right ascension count as "+008,+18944": high = floor(c / 65536), low = c - 65536 high - 32768.
std::string raFields(std::int64_t count);
// Declination count as "+002,-11072": high = floor((|d| + 32768) / 65536) sign(d), low = d - 65536 high.
std::string decFields(std::int64_t count);

// Whole position replies, ":" + fields + "#".
std::string raReply(std::int64_t count);
std::string decReply(std::int64_t count);

// Reads a count text back: "[sign]digits,[sign]digits" and nothing else (no blanks, at most 12 digits a
// field). Right ascension: 65536 high + low + 32768; declination: 65536 high + low. Not wrapped or
// clamped. Nothing for a malformed text.
std::optional<std::int64_t> parseRaFields(std::string_view text);
std::optional<std::int64_t> parseDecFields(std::string_view text);

// Right ascension count brought into 0 ... 1151999.
std::int64_t wrapRa(std::int64_t count);

// Cuts the received bytes into frames ":...#". A frame starts at ":" and ends at the next "#"; a ":"
// inside a frame starts it over, bytes outside a frame (the blanks that pad a speed command, noise) are
// dropped, and a frame longer than kMaxFrame bytes is abandoned. So ":RS# " yields ":RS#".
class FrameSplitter {
public:
    static constexpr std::size_t kMaxFrame = 40;

    // Appends the frames completed by `bytes` to `frames`.
    void feed(std::string_view bytes, std::vector<std::string>& frames);
    void reset();

private:
    std::string partial_;
    bool inFrame_ = false;
};

// Bytes for a log line: printable ASCII kept, everything else as \xNN (a backslash as \\).
std::string printable(std::string_view bytes);

} // namespace sim
