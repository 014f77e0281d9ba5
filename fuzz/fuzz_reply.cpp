// SPDX-License-Identifier: GPL-3.0-or-later
// The reply reader and decoder against any byte stream from the line.
//
// Input: chunks separated by the byte 0x01. The first chunk is already waiting on the line when the
// first query starts (leftovers, noise); each further chunk answers the next command the window
// writes. A chunk may begin with a timing byte: 0x02 at once (the default), 0x03 500 ms later,
// 0x04 1999 ms, 0x05 2001 ms (just too late), 0x06 5000 ms (a query or two later). Inside a chunk
// the byte 0x07 splits it: each part after one arrives 300 ms after the part before.
// The whole input is also handed to the decoders as one reply.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "window/app/frmTKR52princ.h"
#include "window/link/texts.h"
#include "platform/fake/Fakes.h"
#include "protocol/codec.h"
#include "protocol/wire.h"

namespace {

using fuzzsupport::Dms;
using fuzzsupport::Hms;
using fuzzsupport::parseDms;
using fuzzsupport::parseHms;
using W = frmTKR52princ;

constexpr char ChunkSeparator = '\x01';
constexpr char FirstTiming = '\x02';
constexpr std::int64_t TimingDelaysMs[] = {0, 500, 1999, 2001, 5000};
constexpr char PartSeparator = '\x07';
constexpr std::int64_t PartGapMs = 300;
constexpr int MostTicks = 16;
// One turn of right ascension in counts: within one turn either side the display needs one correction.
constexpr double CountsPerTurn = 1152000;

void checkHoursText(const std::string& text, double count)
{
    Hms hms;
    FUZZ_CHECK(parseHms(text, hms), text);
    FUZZ_CHECK(hms.m <= 59 && hms.s <= 59, text);
    if (count > -CountsPerTurn && count < 2 * CountsPerTurn)
        FUZZ_CHECK(hms.h <= 24, text + " for count " + std::to_string(count));
}

void checkDegreesText(const std::string& text)
{
    Dms dms;
    FUZZ_CHECK(parseDms(text, dms), text);
    FUZZ_CHECK(dms.m <= 59 && dms.s <= 59, text);
}

std::string fieldText(std::int32_t v)
{
    return (v < 0 ? "" : "+") + std::to_string(v);
}

// The static decoders on one reply.
void checkDecoders(std::string_view reply)
{
    const auto fields = protocol::décoderRéponse(reply);
    const auto ra = protocol::compteAD(reply);
    const auto dec = protocol::compteDEC(reply);
    const std::string shown(reply.substr(0, 200));
    FUZZ_CHECK(ra.has_value() == fields.has_value(), shown);
    FUZZ_CHECK(!dec || fields, shown);
    if (!fields)
        return;
    // The fields written back in the controller's form read the same.
    const std::string again = ":" + fieldText(fields->haut) + "," + fieldText(fields->bas) + "#";
    const auto reread = protocol::décoderRéponse(again);
    FUZZ_CHECK(reread && reread->haut == fields->haut && reread->bas == fields->bas, shown + " / " + again);
    FUZZ_CHECK(std::isfinite(*ra), shown);
    checkHoursText(W::texteAD(*ra), *ra);
    if (dec)
        checkDegreesText(W::texteDEC(*dec));
}

// The log box, keeping each line the window adds.
class LogBox : public fake::FakeTextBox {
public:
    std::vector<std::string> lines;
    void addLine(const std::string& line) override
    {
        lines.push_back(line);
        fake::FakeTextBox::addLine(line);
    }
};

class Platform : public fake::FakePlatform {
public:
    LogBox log;
    platform::TextBox& textBox(std::string_view name) override
    {
        if (name == "edtsaisie")
            return log;
        return fake::FakePlatform::textBox(name);
    }
};

// What a logged line holds after its prefix: nothing for a missing reply, else the reply.
std::optional<std::string> loggedReply(const std::string& line, const char* prefix)
{
    const std::string_view p(prefix);
    FUZZ_CHECK(line.compare(0, p.size(), p) == 0, line);
    const std::string rest = line.substr(p.size());
    if (rest == link_texts::PasDeRéponse)
        return std::nullopt;
    // ":" and what followed it up to the first "#", or a reply cut at its longest.
    FUZZ_CHECK(!rest.empty() && rest.front() == ':', line);
    const auto hash = rest.find('#');
    if (hash == std::string::npos)
        FUZZ_CHECK(rest.size() == 1 + protocol::LongueurMaxRéponse, line);
    else
        FUZZ_CHECK(hash == rest.size() - 1 && rest.size() <= 1 + protocol::LongueurMaxRéponse, line);
    return rest;
}

void runWindow(std::string_view input)
{
    std::vector<std::string> chunks;
    for (std::size_t start = 0;;) {
        const auto end = input.find(ChunkSeparator, start);
        chunks.emplace_back(input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }

    Platform p;
    W f{p, p.system};
    f.Form_Load();
    FUZZ_CHECK(f.demarre(), "start-up");
    p.port.writes.clear();
    p.port.arrive(chunks.front());
    std::size_t next = 1;
    p.port.onWrite = [&](const std::string&) {
        if (next >= chunks.size())
            return;
        std::string chunk = chunks[next++];
        std::int64_t delay = 0;
        if (!chunk.empty() && chunk.front() >= FirstTiming
            && chunk.front() < FirstTiming + static_cast<char>(std::size(TimingDelaysMs))) {
            delay = TimingDelaysMs[chunk.front() - FirstTiming];
            chunk.erase(0, 1);
        }
        for (std::size_t start = 0;; delay += PartGapMs) {
            const auto end = chunk.find(PartSeparator, start);
            std::string part = chunk.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (delay == 0)
                p.port.arrive(part);
            else
                p.system.at(p.system.nowMs + delay, [&p, part] { p.port.arrive(part); });
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    };

    auto& alpha = p.labelNamed("affalpha");
    auto& delta = p.labelNamed("affdelta");
    const int ticks = std::min<int>(MostTicks, static_cast<int>(chunks.size()) + 1);
    for (int tick = 0; tick < ticks; ++tick) {
        const std::string alphaBefore = alpha.captionText;
        const std::string deltaBefore = delta.captionText;
        const int writesBefore = alpha.writes;
        const double positionADBefore = f.positionAD;
        const std::int32_t positionDECBefore = f.positionDEC;
        const std::size_t linesBefore = p.log.lines.size();
        const std::string logBefore = p.log.content;
        const std::size_t commandsBefore = p.port.writes.size();
        const std::int64_t startMs = p.system.nowMs;

        f.Timerconsult_Timer();

        FUZZ_CHECK(!f.attenteEnCours(), "a wait is still marked as running");
        // No query outlasts its time limits: two replies, and after a time-out as long again for the
        // line to fall quiet before and between them.
        FUZZ_CHECK(p.system.nowMs - startMs <= 5 * protocol::DélaiRéponsePositionMs,
            std::to_string(p.system.nowMs - startMs) + " ms");
        // The log only grows at the top: one line per reply or missing reply.
        const std::string& log = p.log.content;
        FUZZ_CHECK(log.size() >= logBefore.size()
                       && log.compare(log.size() - logBefore.size(), logBefore.size(), logBefore) == 0,
                   "log lost its earlier text");
        const std::vector<std::string> lines(p.log.lines.begin() + static_cast<std::ptrdiff_t>(linesBefore),
                                             p.log.lines.end());
        FUZZ_CHECK(lines.size() == 1 || lines.size() == 2, std::to_string(lines.size()) + " lines");
        const auto replyAD = loggedReply(lines[0], link_texts::PréfixeAD);
        const auto replyDEC = lines.size() == 2 ? loggedReply(lines[1], link_texts::PréfixeDEC) : std::nullopt;
        FUZZ_CHECK(lines.size() == 1 || replyAD, "a declination query after a missing reply");
        // After a time-out, a query that finds another reply coming behind the one it read drops
        // what it read: that reply answered an earlier command.
        const bool droppedLate = (replyAD && lines.size() == 1) || (replyDEC && alpha.writes == writesBefore);

        // Only the two queries go out, the second only after an answer to the first.
        const std::vector<std::string> sent(p.port.writes.begin() + static_cast<std::ptrdiff_t>(commandsBefore),
                                            p.port.writes.end());
        const std::vector<std::string> expected = replyAD && lines.size() == 2
            ? std::vector<std::string>{":R#", ":D#"}
            : std::vector<std::string>{":R#"};
        FUZZ_CHECK(sent == expected, "commands written: " + std::to_string(sent.size()));

        // A position changes only to what its own reply says.
        const double ad = replyAD && !droppedLate ? protocol::compteAD(*replyAD).value_or(positionADBefore)
                                                  : positionADBefore;
        const std::int32_t dec = replyDEC && !droppedLate
            ? protocol::compteDEC(*replyDEC).value_or(positionDECBefore)
            : positionDECBefore;
        FUZZ_CHECK(f.positionAD == ad, replyAD.value_or("-"));
        FUZZ_CHECK(f.positionDEC == dec, replyDEC.value_or("-"));

        // Both labels are written together, once both replies are in, and show the positions.
        FUZZ_CHECK(alpha.writes == delta.writes, "one label written without the other");
        if (replyDEC && !droppedLate) {
            FUZZ_CHECK(alpha.writes == writesBefore + 1, "query complete but labels not written");
            FUZZ_CHECK(alpha.captionText == W::texteAD(f.positionAD), alpha.captionText);
            FUZZ_CHECK(delta.captionText == W::texteDEC(f.positionDEC), delta.captionText);
            checkHoursText(alpha.captionText, f.positionAD);
            checkDegreesText(delta.captionText);
        } else {
            FUZZ_CHECK(alpha.writes == writesBefore, "labels written without both replies");
            FUZZ_CHECK(alpha.captionText == alphaBefore && delta.captionText == deltaBefore, "labels changed");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkDecoders(input);
    runWindow(input);
    return 0;
}
