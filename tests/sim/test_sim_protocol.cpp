// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated controller's count texts and frame splitting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/Protocol.h"

namespace {

TEST(SimProtocol, PositionRepliesForKnownCounts)
{
    const struct {
        std::int64_t count;
        const char* reply;
    } ra[] = {
        { 0, ":+000,-32768#" },
        { 48000, ":+000,+15232#" },
        { 576000, ":+008,+18944#" },
        { 1151987, ":+017,+05107#" },
        { 32768, ":+000,+00000#" },
        { 65535, ":+000,+32767#" },
        { 65536, ":+001,-32768#" },
    };
    for (const auto& c : ra)
        EXPECT_EQ(sim::raReply(c.count), c.reply) << c.count;

    const struct {
        std::int64_t count;
        const char* reply;
    } dec[] = {
        { 0, ":+000,+00000#" },
        { 120000, ":+002,-11072#" },
        { -120000, ":-002,+11072#" },
        { 240000, ":+004,-22144#" },
        { -44576, ":-001,+20960#" },
        { -1333, ":+000,-01333#" }, // zero high field keeps "+"
        { 32767, ":+000,+32767#" },
        { 32768, ":+001,-32768#" },
        { -32768, ":-001,+32768#" },
    };
    for (const auto& c : dec)
        EXPECT_EQ(sim::decReply(c.count), c.reply) << c.count;
}

TEST(SimProtocol, CountTextsReadBackToTheirCounts)
{
    for (std::int64_t c = 0; c < sim::kRaCountsPerTurn; c += 997)
        ASSERT_EQ(sim::parseRaFields(sim::raFields(c)), c);
    for (std::int64_t c = -sim::kDecCountsAtPole; c <= sim::kDecCountsAtPole; c += 991)
        ASSERT_EQ(sim::parseDecFields(sim::decFields(c)), c);

    // Texts the hand controller can send that no reply would: a negative count, a wide high field.
    EXPECT_EQ(sim::parseRaFields("-001,+32765"), -3);
    EXPECT_EQ(sim::parseRaFields("+1000,-32768"), 65536000);
    EXPECT_EQ(sim::wrapRa(-3), 1151997);
    EXPECT_EQ(sim::wrapRa(1152000), 0);
}

TEST(SimProtocol, MalformedCountTextsAreRejected)
{
    for (const char* text : { "", "+008", "+008,", ",+18944", "+0a8,+18944", "+008,+18944x", "++08,+18944",
             "+008,-+1894", " +008,+18944", "+008;+18944", "+0000000000008,+1" })
        EXPECT_FALSE(sim::parseRaFields(text).has_value()) << '"' << text << '"';
    EXPECT_FALSE(sim::parseDecFields("+002,-11072#").has_value());
}

TEST(SimProtocol, FramesAreCutOutOfNoise)
{
    sim::FrameSplitter splitter;
    std::vector<std::string> frames;
    splitter.feed(":RS# ", frames);
    splitter.feed(":M#  xx:e#", frames);
    splitter.feed("Ok#:r+00", frames); // a "#" outside a frame is noise
    splitter.feed("8,+18944#", frames);
    splitter.feed(":R:D#", frames); // a ":" starts the frame over
    splitter.feed(":" + std::string(sim::FrameSplitter::kMaxFrame, 'x') + "#:i#", frames);
    EXPECT_EQ(frames, (std::vector<std::string> { ":RS#", ":M#", ":e#", ":r+008,+18944#", ":D#", ":i#" }));
}

} // namespace
