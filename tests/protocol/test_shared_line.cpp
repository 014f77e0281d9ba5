// SPDX-License-Identifier: GPL-3.0-or-later
// The shared line: programs' byte streams split into whole commands, one request on the line at a
// time, each reply to whoever asked, the slew under way protected, a departed program's move ended.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/SharedLine.h"
#include "support/ManualLoop.h"

using protocol::Aiguillage;
using protocol::DécoupeurCommandes;

namespace {

using testsupport::ManualLoop;

// The line and the driver's session as the switchboard sees them.
struct Bench {
    ManualLoop loop;
    std::string line;
    std::map<int, std::string> got;
    bool sessionWaits = false;
    bool sessionSlews = false;
    bool decMoves = false;
    bool raMoves = false;
    bool open = true;
    std::vector<std::pair<int, bool>> slews; // who, and whether it ended well (after its start)
    Aiguillage switchboard { loop, events(), { 2000, 300000, 20 } };

    protocol::AiguillageEvents events()
    {
        protocol::AiguillageEvents e;
        e.versLigne = [this](const std::string& c) {
            if (!open)
                return false;
            line += c;
            // The toggle rule, as the mount keeps it.
            if (c == ":n#" || c == ":s#")
                decMoves = true;
            if (c == ":0#")
                decMoves = false;
            if (c == ":e#")
                raMoves = true;
            if (c == ":w#")
                raMoves = !raMoves;
            return true;
        };
        e.versProgramme = [this](int p, const std::string& b) { got[p] += b; };
        e.sessionAttend = [this] { return sessionWaits; };
        e.sessionRallie = [this] { return sessionSlews; };
        e.axeEnMouvement = [this](bool dec) { return dec ? decMoves : raMoves; };
        e.ralliementFini = [this](int p, bool ok) { slews.emplace_back(p, ok); };
        return e;
    }
    void fromLine(std::string_view bytes) { switchboard.deLaLigne(bytes); }
};

TEST(SharedLine, SplitsWholeCommandsAndKeepsTheSpeedPadding)
{
    DécoupeurCommandes d;
    EXPECT_EQ(d.ajouter(":C#  :n"), std::vector<std::string> { ":C#  " });
    EXPECT_EQ(d.ajouter("#junk:R#"), (std::vector<std::string> { ":n#", ":R#" }));
    // A speed command whose blanks have not come yet waits for them, or goes as it stands.
    EXPECT_TRUE(d.ajouter(":S#").empty());
    EXPECT_TRUE(d.enAttente());
    EXPECT_EQ(d.ajouter(" "), std::vector<std::string> {});
    EXPECT_EQ(d.finir(), std::optional<std::string>(":S# "));
    EXPECT_EQ(d.ajouter(":0#:S#:w#"), (std::vector<std::string> { ":0#", ":S#", ":w#" }));
    // A command that never ends is dropped, and what follows is read again.
    EXPECT_TRUE(d.ajouter(":" + std::string(100, 'x')).empty());
    EXPECT_EQ(d.ajouter(":D#"), std::vector<std::string> { ":D#" });
    // As the controller does, a ":" starts a new command and drops the one unfinished.
    EXPECT_EQ(d.ajouter(":x:r+000,+1#:R:C#  :z:R#"), (std::vector<std::string> { ":r+000,+1#", ":C#  ", ":R#" }));
}

TEST(SharedLine, OneRequestAtATimeEachReplyToWhoAsked)
{
    Bench b;
    b.switchboard.connecté(1);
    b.switchboard.connecté(2);
    // The driver's own query holds the line: the program's waits.
    b.sessionWaits = true;
    b.switchboard.reçu(1, ":R#");
    EXPECT_EQ(b.line, "");
    b.sessionWaits = false;
    b.switchboard.pomper();
    EXPECT_EQ(b.line, ":R#");
    EXPECT_TRUE(b.switchboard.occupeLaLigne());
    // Another program's query and move wait behind it, in order.
    b.switchboard.reçu(2, ":D#:n#");
    EXPECT_EQ(b.line, ":R#");
    // The reply comes in pieces; what follows it is not the program's.
    EXPECT_EQ(b.switchboard.deLaLigne("x:+01"), 5u);
    EXPECT_EQ(b.switchboard.deLaLigne("2,-00017#rest"), 9u);
    EXPECT_EQ(b.got[1], "x:+012,-00017#");
    // A command without a reply follows the request before it at once.
    EXPECT_EQ(b.line, ":R#:D#:n#");
    EXPECT_EQ(b.got.count(2), 0u);
    b.fromLine(":+000,+12345#");
    EXPECT_EQ(b.got[2], ":+000,+12345#");
    // A reply that never comes frees the line after its time limit; nobody gets anything.
    b.switchboard.reçu(1, ":R#");
    b.loop.advance(1999);
    EXPECT_TRUE(b.switchboard.occupeLaLigne());
    b.loop.advance(1);
    EXPECT_FALSE(b.switchboard.occupeLaLigne());
    EXPECT_EQ(b.switchboard.deLaLigne(":1,2#"), 0u);
    // A line that takes nothing is not held waiting for a reply.
    b.open = false;
    b.switchboard.reçu(1, ":R#");
    EXPECT_FALSE(b.switchboard.occupeLaLigne());
}

TEST(SharedLine, TheSlewUnderWayIsProtected)
{
    Bench b;
    b.switchboard.connecté(1);
    b.switchboard.connecté(2);
    b.switchboard.positionLue(true, ":+001,-01000#");
    b.switchboard.positionLue(false, ":+000,+02000#");
    // A program's GOTO: its target goes with its ":T#", never on its own.
    b.switchboard.reçu(1, ":r+004,-06912#:d+002,-11072#");
    EXPECT_EQ(b.line, "");
    b.switchboard.reçu(1, ":T#");
    EXPECT_EQ(b.line, ":r+004,-06912#:d+002,-11072#:T#");
    EXPECT_TRUE(b.switchboard.rallie());
    // Meanwhile another program's queries are answered from the last position, in the
    // controller's format, and its GOTO and its target are refused.
    b.switchboard.reçu(2, ":R#:D#:r+000,+00001#:d+000,+00001#:T#");
    EXPECT_EQ(b.got[2], ":+001,-01000#:+000,+02000#");
    EXPECT_EQ(b.line, ":r+004,-06912#:d+002,-11072#:T#");
    b.fromLine("Ok");
    EXPECT_EQ(b.got[1], "Ok");
    // The GOTO goes on until its closing ":i#": the compensation is the program's alone.
    EXPECT_TRUE(b.slews.empty());
    EXPECT_TRUE(b.switchboard.rallie());
    b.switchboard.reçu(2, ":T#");
    b.switchboard.reçu(1, ":r+004,-06900#:T#");
    EXPECT_EQ(b.line, ":r+004,-06912#:d+002,-11072#:T#:r+004,-06900#:T#");
    b.fromLine("Ok");
    b.switchboard.reçu(1, ":r+004,-06912#:i#");
    EXPECT_EQ(b.slews, (std::vector<std::pair<int, bool>> { { 1, true } }));
    EXPECT_FALSE(b.switchboard.rallie());
    // The refused target does not come back with a later ":T#".
    b.line.clear();
    b.switchboard.reçu(2, ":T#");
    EXPECT_EQ(b.line, ":T#");
    b.fromLine("Ok");
    // A GOTO without its closing ":i#" ends a while after its last "Ok", or with its program.
    b.loop.advance(2999);
    EXPECT_TRUE(b.switchboard.rallie());
    b.loop.advance(1);
    EXPECT_FALSE(b.switchboard.rallie());
    b.switchboard.reçu(1, ":T#");
    b.fromLine("Ok");
    b.switchboard.déconnecté(1);
    EXPECT_FALSE(b.switchboard.rallie());
    EXPECT_EQ(b.slews.size(), 3u);
    b.switchboard.connecté(1);
    // The driver's own GOTO protects the same way; an initialisation is refused too.
    b.sessionSlews = true;
    b.line.clear();
    b.got.clear();
    b.switchboard.reçu(1, ":r+000,+00001#:d+000,+00001#:i#:R#");
    EXPECT_EQ(b.line, "");
    EXPECT_EQ(b.got[1], ":+001,-01000#");
}

TEST(SharedLine, ADepartedProgramsOpenMoveIsEnded)
{
    Bench b;
    b.switchboard.connecté(1);
    b.switchboard.connecté(2);
    b.switchboard.reçu(1, ":C#  :n#:C#  :w#");
    EXPECT_EQ(b.line, ":C#  :n#:C#  :w#");
    b.line.clear();
    b.switchboard.déconnecté(1);
    EXPECT_EQ(b.line, ":0#:S#:w#:S#");
    EXPECT_FALSE(b.decMoves || b.raMoves);
    // A move another party has taken over or ended is not the departed program's to stop.
    b.switchboard.connecté(3);
    b.switchboard.reçu(3, ":e#:n#");
    b.switchboard.reçu(2, ":w#");
    b.line.clear();
    b.switchboard.déconnecté(3);
    EXPECT_EQ(b.line, ":0#:S#");
    // Nor one the driver's own client has taken over.
    b.switchboard.reçu(2, ":n#");
    b.switchboard.axePris(true);
    b.line.clear();
    b.switchboard.déconnecté(2);
    EXPECT_EQ(b.line, "");
    // Its reply, still awaited, is dropped when it comes, and frees the line.
    b.switchboard.connecté(2);
    b.switchboard.reçu(2, ":R#");
    b.switchboard.déconnecté(2);
    b.got.clear();
    b.fromLine(":1,2#");
    EXPECT_TRUE(b.got.empty());
    EXPECT_FALSE(b.switchboard.occupeLaLigne());
    // When the port closes, every program's open move ends first.
    b.switchboard.connecté(4);
    b.switchboard.reçu(4, ":C#  :s#");
    b.line.clear();
    b.switchboard.arrêterMouvements();
    b.switchboard.ligneFermée();
    EXPECT_EQ(b.line, ":0#:S#");
}

} // namespace
