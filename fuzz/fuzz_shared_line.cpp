// SPDX-License-Identifier: GPL-3.0-or-later
// The shared line against any mix of programs' bytes, replies and time: what reaches the controller
// is whole commands as the controller frames them, and no slew the controller makes ends near the
// Sun, however the programs split, hide or share their targets.
//
// Input: a sequence of steps. A step's first byte b: program p = (b >> 3) & 3, action b & 7:
// 0-3 p sends the next (next byte % 48) bytes; 4 p goes and comes back; 5 the controller answers
// "Ok"; 6 it answers a position; 7 time passes (next byte × 50 ms).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "protocol/SharedLine.h"
#include "protocol/sequences.h"
#include "sim/Protocol.h"
#include "sky/solar_system.h"
#include "support/ManualLoop.h"

namespace {

// The Sun, for this harness, and the interlock's distance.
constexpr double SoleilAD = 90.0;
constexpr double SoleilDEC = 23.44;
constexpr double DistanceMin = 15.0;
// The controller reads in double precision what the driver reads in single: a margin for that.
constexpr double Marge = 0.01;
constexpr int Programmes = 4;
constexpr std::size_t LongueurMaxEnvoi = 48;
constexpr int PasTempsMs = 50;

double séparation(double ad1, double dec1, double ad2, double dec2)
{
    return sky::séparation(sky::Place { ad1, dec1 }, sky::Place { ad2, dec2 });
}

// The controller as its own framing and codec see what is written.
struct Contrôleur {
    sim::FrameSplitter découpe;
    std::optional<double> cibleAD;
    std::optional<double> cibleDEC;
    bool dec = false;
    bool ad = false;

    void reçoit(const std::string& octets)
    {
        std::vector<std::string> trames;
        découpe.feed(octets, trames);
        for (const std::string& t : trames) {
            const std::string corps = t.substr(1, t.size() - 2);
            if (corps.size() > 1 && corps[0] == 'r') {
                if (const auto c = sim::parseRaFields(corps.substr(1)))
                    cibleAD = static_cast<double>(sim::wrapRa(*c)) / sim::kRaCountsPerDegree;
            } else if (corps.size() > 1 && corps[0] == 'd') {
                if (const auto c = sim::parseDecFields(corps.substr(1)))
                    cibleDEC = static_cast<double>(std::clamp(*c, -sim::kDecCountsAtPole, sim::kDecCountsAtPole))
                        / sim::kDecCountsPerDegree;
            } else if (corps == "T") {
                FUZZ_CHECK(cibleAD && cibleDEC, "a slew to a target the driver could not know");
                const double loin = séparation(*cibleAD, *cibleDEC, SoleilAD, SoleilDEC);
                FUZZ_CHECK(loin >= DistanceMin - Marge, "a slew near the Sun: " + std::to_string(loin));
            } else if (corps == "n" || corps == "s") {
                dec = true;
            } else if (corps == "0") {
                dec = false;
            } else if (corps == "e") {
                ad = true;
            } else if (corps == "w") {
                ad = !ad;
            }
        }
    }
};

} // namespace

using testsupport::ManualLoop;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::Input in(data, size);
    ManualLoop loop;
    Contrôleur contrôleur;
    std::string dernièreAD;
    std::string dernièreDEC;

    protocol::AiguillageEvents e;
    e.versLigne = [&](const std::string& commande) {
        // Each command alone is one frame for the controller, or none when too long for it.
        sim::FrameSplitter seule;
        std::vector<std::string> trames;
        seule.feed(commande, trames);
        const std::string nue(protocol::sansBlancs(commande));
        FUZZ_CHECK(trames.empty() ? nue.size() >= sim::FrameSplitter::kMaxFrame : trames == std::vector { nue },
            commande);
        if (nue.rfind(":r", 0) == 0)
            dernièreAD = nue;
        if (nue.rfind(":d", 0) == 0)
            dernièreDEC = nue;
        contrôleur.reçoit(commande);
        return true;
    };
    e.versProgramme = [](int, const std::string&) {};
    e.axeEnMouvement = [&](bool dec) { return dec ? contrôleur.dec : contrôleur.ad; };
    e.ralliementPermis = [&](int, const std::string& ad, const std::string& dec) {
        const auto place = protocol::cibleDuRalliement(ad, dec, dernièreAD, dernièreDEC);
        return place && séparation(place->first, place->second, SoleilAD, SoleilDEC) >= DistanceMin;
    };
    protocol::Aiguillage aiguillage(loop, e);
    for (int p = 0; p < Programmes; ++p)
        aiguillage.connecté(p);

    while (!in.empty()) {
        const std::uint8_t b = in.byte();
        const int p = (b >> 3) & 3;
        switch (b & 7) {
        case 4:
            aiguillage.déconnecté(p);
            aiguillage.connecté(p);
            break;
        case 5:
            aiguillage.deLaLigne("Ok");
            break;
        case 6:
            aiguillage.deLaLigne(":+003,+16429#");
            break;
        case 7:
            loop.advance(in.byte() * PasTempsMs);
            break;
        default: {
            std::string octets;
            for (std::size_t n = in.byte() % LongueurMaxEnvoi; n > 0 && !in.empty(); --n)
                octets += static_cast<char>(in.byte());
            aiguillage.reçu(p, octets);
        }
        }
    }
    // Every program goes: nothing it moved is left moving.
    for (int p = 0; p < Programmes; ++p)
        aiguillage.déconnecté(p);
    loop.advance(1000);
    FUZZ_CHECK(!contrôleur.dec && !contrôleur.ad, "a move left running");
    return 0;
}
