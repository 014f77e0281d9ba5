// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard import on any text, well-formed UTF-8 or not: the six pieces, then the window's
// button, then what an initialisation and a GOTO send from the imported fields.
//
// Input: the clipboard's text, as is. An empty input is also tried as a clipboard without text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "window/app/frmTKR52princ.h"
#include "platform/fake/Fakes.h"

namespace {

using fuzzsupport::isDigit;
using fuzzsupport::isWireText;
using fuzzsupport::validUtf8;
using W = frmTKR52princ;

constexpr const char* FieldNames[] = {"EdtADréfHrs", "EdtADréfMin", "EdtADréfSec",
                                      "EdtDECréfDeg", "EdtDECréfMin", "EdtDECréfSec"};

std::array<std::string, 6> piecesOf(const W::PiècesCoordonnées& p)
{
    return {p.heures, p.minutes, p.secondes, p.degrés, p.minutesDEC, p.secondesDEC};
}

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

// The program's own form: each piece is what lies between its two separators, so the text holds
// "<h>h<m>m<s>." at its start and "|<d>°<m>'<s>." further on.
bool cutAsUsualForm(std::string_view text, const std::array<std::string, 6>& p)
{
    const std::string ra = p[0] + "h" + p[1] + "m" + p[2] + ".";
    const std::string dec = "|" + p[3] + "\u00B0" + p[4] + "'" + p[5] + ".";
    return text.substr(0, ra.size()) == ra && text.find(dec) != std::string_view::npos
        && p[0].find('h') == std::string::npos && p[1].find('m') == std::string::npos;
}

// Another common form: six numbers found in the text in order, whole digits (the degrees signed).
bool cutAsNumbers(std::string_view text, const std::array<std::string, 6>& p)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        std::string_view digits = p[i];
        if (i == 3 && !digits.empty() && (digits.front() == '+' || digits.front() == '-'))
            digits.remove_prefix(1);
        if (!allDigits(digits))
            return false;
        const auto found = text.find(digits, at);
        if (found == std::string_view::npos)
            return false;
        at = found + digits.size();
    }
    return true;
}

void checkPieces(std::string_view text)
{
    const auto pieces = W::découperPressePapier(text);
    if (!pieces)
        return;
    const auto p = piecesOf(*pieces);
    for (const auto& piece : p)
        FUZZ_CHECK(validUtf8(piece), piece);
    // With the bytes well-formed, each piece can be found in the text where its form says.
    if (validUtf8(text))
        FUZZ_CHECK(cutAsUsualForm(text, p) || cutAsNumbers(text, p), std::string(text.substr(0, 200)));
}

// Every command an action sends: the two target commands with a well-formed text, ":T#", ":i#".
void checkCommands(const std::vector<std::string>& writes, std::size_t from)
{
    for (std::size_t i = from; i < writes.size(); ++i) {
        const std::string& w = writes[i];
        if (w == ":T#" || w == ":i#")
            continue;
        const bool target = w.size() >= 3 && w[0] == ':' && (w[1] == 'r' || w[1] == 'd') && w.back() == '#';
        FUZZ_CHECK(target && isWireText(std::string_view(w).substr(2, w.size() - 3)), w);
    }
}

void runWindow(std::string_view text, bool holdsText)
{
    fake::FakePlatform p;
    W f{p, p.system};
    f.Form_Load();
    p.port.writes.clear();
    std::array<std::string, 6> before;
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i] = p.text(FieldNames[i]).content;

    p.system.copy(std::string(text));
    p.system.clipboardIsText = holdsText;
    f.Btn_récup_clipboard_Click();

    std::array<std::string, 6> after;
    for (std::size_t i = 0; i < after.size(); ++i) {
        after[i] = p.text(FieldNames[i]).content;
        FUZZ_CHECK(validUtf8(after[i]), after[i]);
    }
    // All six fields or none; a pair labelled J2000 is written at its place of the date.
    auto pieces = holdsText ? W::découperPressePapier(text) : std::nullopt;
    if (pieces && pieces->j2000) {
        const auto place = catalogue::positionDuJour(pieces->j2000->ad, pieces->j2000->dec, 0, 0, p.system.utcMs());
        pieces = W::champsDePosition(place.ad, place.dec);
    }
    FUZZ_CHECK(after == (pieces ? piecesOf(*pieces) : before), std::string(text.substr(0, 200)));
    FUZZ_CHECK(!p.system.clipboardHasText() && p.system.clipboardText().empty(), "clipboard not emptied");
    FUZZ_CHECK(p.port.writes.empty(), "the import sent something");

    // What the imported fields make an initialisation and a GOTO send ("Ok" ends each slew).
    f.btninitialisation_Click();
    const std::size_t initWrites = p.port.writes.size();
    FUZZ_CHECK(initWrites == 0 || initWrites == 3, std::to_string(initWrites) + " commands");
    checkCommands(p.port.writes, 0);
    p.port.onWrite = [&p](const std::string& command) {
        if (command == ":T#")
            p.port.arrive("Ok");
    };
    f.BtnGOTO_Click();
    checkCommands(p.port.writes, initWrites);
    FUZZ_CHECK(!f.attenteEnCours(), "GOTO still waiting");
    // A target refused for the initialisation is refused for the GOTO too.
    FUZZ_CHECK(initWrites != 0 || p.port.writes.empty(), "GOTO sent a target the initialisation refused");

    // The fields stay steppable or are left alone.
    f.UpDownADHrs_UpClick();
    f.UpDownDECdeg_DownClick();
    f.UpDownDECsec_UpClick();
    for (const char* name : FieldNames)
        FUZZ_CHECK(validUtf8(p.text(name).content), p.text(name).content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkPieces(text);
    runWindow(text, true);
    if (text.empty())
        runWindow(text, false);
    return 0;
}
