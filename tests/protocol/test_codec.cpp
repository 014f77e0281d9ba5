// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol's codec and framing on their own, and against the simulator's independent codec.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "protocol/codec.h"
#include "protocol/framing.h"
#include "protocol/wire.h"
#include "sim/Protocol.h"

namespace {

constexpr float inff = std::numeric_limits<float>::infinity();
constexpr float nanf = std::numeric_limits<float>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(QueryDecoding, MalformedRepliesGiveNoCount)
{
    for (const char* reply : { ":+008#", ":abc,+1#", ":+1,2x#", ":1.5,2#", ":,#", ":+1,#",
             ":+0000000000000000000000000000001,+1#", ":99999999999,0#" })
        EXPECT_FALSE(protocol::compteAD(reply)) << reply;
    EXPECT_FALSE(protocol::compteDEC(":+40000,+0#")) << "declination count beyond 32 bits";
    EXPECT_TRUE(protocol::compteDEC(":+32767,+32767#"));
    EXPECT_EQ(*protocol::compteAD(": +008 , +18944 #"), 576000) << "blanks around fields";
    EXPECT_EQ(*protocol::compteAD(":8,18944"), 576000) << "no # counts to the end";
}

TEST(CoordEncoding, CountsOutOfRange)
{
    // Right ascension: 3200 counts per degree, 2^31 - 1 counts at most.
    EXPECT_EQ(protocol::compteCibleAD(2147483647 / 3200.0), 2147483647);
    EXPECT_EQ(protocol::compteCibleAD(-2147483648 / 3200.0), -2147483647 - 1);
    EXPECT_FALSE(protocol::compteCibleAD(2147483648 / 3200.0));
    EXPECT_FALSE(protocol::compteCibleAD(-2147483649 / 3200.0));
    for (double a : { inf, -inf, std::nan(""), 1e300 }) {
        EXPECT_FALSE(protocol::compteCibleAD(a));
        EXPECT_EQ(protocol::champsCibleAD(a), "");
    }
    // Declination: |count| + 32768 must fit too.
    EXPECT_TRUE(protocol::compteCibleDEC(805000.0f));
    for (float a : { 806000.0f, -806000.0f, inff, -inff, nanf, 3e38f }) {
        EXPECT_FALSE(protocol::compteCibleDEC(a)) << a;
        EXPECT_EQ(protocol::champsCibleDEC(a), "");
    }
}

// The counts to try: a stride over the whole range, and each side of every field boundary near
// zero and at the ends, where a carry between the two fields goes wrong first.
template <class Check> void overTheRange(std::int64_t lowest, std::int64_t highest, Check&& check)
{
    constexpr std::int64_t pas = 20011;
    for (std::int64_t c = lowest; c <= highest; c += pas)
        check(c);
    for (std::int64_t bord : { std::int64_t { 0 }, lowest, highest })
        for (std::int64_t k = -3; k <= 3; ++k)
            for (std::int64_t d : { -32769, -32768, -32767, -1, 0, 1, 32767, 32768 })
                if (const std::int64_t c = bord + k * 65536 + d; c >= lowest && c <= highest)
                    check(c);
}

TEST(CodecAgainstSimulator, TargetsAndRepliesRoundTripBothWays)
{
    constexpr std::int64_t plusGrand = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t plusPetit = std::numeric_limits<std::int32_t>::min();
    // Declination: the high field is taken from |count| + 32768.
    constexpr std::int64_t limiteDEC = plusGrand - 32768;
    int essais = 0;

    // The client's target commands, read by the simulator.
    overTheRange(plusPetit, plusGrand, [&](std::int64_t c) {
        const double angle = static_cast<double>(c) / 3200.0;
        ASSERT_EQ(protocol::compteCibleAD(angle), c);
        ASSERT_EQ(sim::parseRaFields(protocol::champsCibleAD(angle)), c) << angle;
        ++essais;
    });
    overTheRange(-limiteDEC, limiteDEC, [&](std::int64_t c) {
        const float angle = static_cast<float>(c) * 3.0f / 8000.0f;
        const auto compte = protocol::compteCibleDEC(angle);
        if (!compte) // a float angle can round beyond the last count
            return;
        ASSERT_EQ(sim::parseDecFields(protocol::champsCibleDEC(angle)), *compte) << angle;
        ++essais;
    });

    // The simulator's position replies, read by the client.
    overTheRange(plusPetit, plusGrand, [&](std::int64_t c) {
        ASSERT_EQ(protocol::compteAD(sim::raReply(c)), static_cast<double>(c)) << sim::raReply(c);
        ASSERT_EQ(protocol::compteDEC(sim::decReply(c)), c) << sim::decReply(c);
        ++essais;
    });
    EXPECT_GT(essais, 500000);
}

TEST(Framing, ReplyReaderAndOkWait)
{
    protocol::LecteurRéponse lecteur;
    std::string reste = "Ok#:+008,+18944#:";
    std::size_t i = 0;
    while (!lecteur.ajouter(reste[i++])) { }
    EXPECT_EQ(lecteur.réponse(), ":+008,+18944#") << "what precedes the ':' is dropped";
    EXPECT_EQ(i, reste.size() - 1);

    lecteur.recommencer();
    lecteur.ajouter(':');
    std::size_t lus = 1;
    while (!lecteur.ajouter('9'))
        ++lus;
    EXPECT_EQ(lus, protocol::LongueurMaxRéponse) << "a reply without '#' ends at the limit";

    protocol::AttenteOk attente;
    bool fini = false;
    for (char c : std::string(3000, 'x') + "O" + "k")
        fini = attente.ajouter(c);
    EXPECT_TRUE(fini);
    EXPECT_EQ(attente.réponse().size(), protocol::LongueurMaxRéponseOk);
    EXPECT_EQ(attente.réponse().substr(attente.réponse().size() - 3), "xOk");
}

} // namespace
