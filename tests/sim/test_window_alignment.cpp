// SPDX-License-Identifier: GPL-3.0-or-later
// The window's "&Aligner" on a mount 1° off the pole with cone, non-perpendicularity and index errors:
// one initialisation, two stars aligned, then GOTOs whose true places are read in the eyepiece.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>
#include <utility>

#include "../alignment/MountGeometry.h"
#include "../unit/Fixture.h"
#include "alignment/PointingModel.h"
#include "window/pointing/texts.h"
#include "protocol/sequences.h"
#include "sim/MountErrors.h"
#include "sim/Protocol.h"
#include "sky/solar_system.h"

using testsupport::kArcmin;
using testsupport::kDeg;

namespace {

// The controller of a mount with errors: counts as the window reads them, the axes' real angles behind
// them (the counts less the offsets that each ":i#" leaves), the telescope's true place through the
// simulator's exact geometry. A slew ends at once.
struct MountWithErrors {
    sim::MountErrors errors { .ihArcmin = 30,
        .idArcmin = 30,
        .chArcmin = 10,
        .npArcmin = 5,
        .maArcmin = 42,
        .meArcmin = 42,
        .latitudeDeg = 45,
        .longitudeDeg = 5,
        .refraction = true };
    std::int64_t ra = 0, dec = 0, targetRa = 0, targetDec = 0;
    double raOffsetDeg = 0, decOffsetDeg = 0;

    std::string handle(const std::string& frame)
    {
        if (frame == ":R#")
            return sim::raReply(ra);
        if (frame == ":D#")
            return sim::decReply(dec);
        const std::string fields = frame.size() > 3 ? frame.substr(2, frame.size() - 3) : "";
        if (frame.rfind(":r", 0) == 0)
            targetRa = sim::wrapRa(*sim::parseRaFields(fields));
        else if (frame.rfind(":d", 0) == 0)
            targetDec = *sim::parseDecFields(fields);
        else if (frame == ":T#") {
            ra = targetRa;
            dec = targetDec;
            return "Ok";
        } else if (frame == ":i#") {
            raOffsetDeg += (targetRa - ra) / sim::kRaCountsPerDegree;
            decOffsetDeg += (targetDec - dec) / sim::kDecCountsPerDegree;
            ra = targetRa;
            dec = targetDec;
        }
        return {};
    }
    // The axes' angles as hour angle and declination at local sidereal time lst (radians).
    alignment::Place axes(double lst) const
    {
        return { lst - (ra / sim::kRaCountsPerDegree - raOffsetDeg) * kDeg,
            (dec / sim::kDecCountsPerDegree - decOffsetDeg) * kDeg };
    }
    // The user centres a star by hand: the axes turn until the eyepiece shows it, where the air bends it.
    void centre(alignment::Place star, double lst)
    {
        const alignment::PointingModel geometry(testsupport::termsOf(errors));
        const alignment::Place reading = geometry.mountFromSky(testsupport::seenDirection(errors, star));
        ra = sim::wrapRa(std::llround(
            (lst - reading.ha) / kDeg * sim::kRaCountsPerDegree + raOffsetDeg * sim::kRaCountsPerDegree));
        dec = std::llround((reading.dec / kDeg + decOffsetDeg) * sim::kDecCountsPerDegree);
    }
    // The place of the date of the star seen in the eyepiece.
    alignment::Place eyepiece(double lst) const { return testsupport::seenInEyepiece(errors, axes(lst)); }
};

} // namespace

struct WindowAlignment : StartedWindow {
    MountWithErrors mount;

    WindowAlignment()
    {
        f.lieu = sky::Lieu { mount.errors.latitudeDeg, mount.errors.longitudeDeg, 0 };
        p.port.onWrite = [this](const std::string& command) {
            if (const std::string reply = mount.handle(command); !reply.empty())
                p.port.arrive(reply);
        };
    }
    double lst() const { return sky::tempsSidéralLocal(p.system.utcNowMs, *f.lieu) * kDeg; }
    // Types the star at hour angle haDeg (whole seconds, as typed) and returns its place.
    alignment::Place type(double haDeg, double decDeg)
    {
        double ra = std::fmod(lst() / kDeg - haDeg + 360.0, 360.0);
        const long raSeconds = std::lround(ra / 15.0 * 3600.0) % 86400;
        const long decSeconds = std::lround(std::fabs(decDeg) * 3600.0);
        setFields(std::to_string(raSeconds / 3600), std::to_string(raSeconds / 60 % 60),
            std::to_string(raSeconds % 60), (decDeg < 0 ? "-" : "+") + std::to_string(decSeconds / 3600),
            std::to_string(decSeconds / 60 % 60), std::to_string(decSeconds % 60));
        return { lst() - raSeconds / 240.0 * kDeg, std::copysign(decSeconds / 3600.0, decDeg) * kDeg };
    }
    void minutesPass(int minutes) { p.system.utcNowMs += minutes * 60'000; }
    // GOTOs from 15° of height up to 85° of declination, each error read where the target is seen: RMS and
    // worst, arc minutes.
    std::pair<double, double> gotoErrors()
    {
        double sumSquares = 0, worst = 0;
        int gotos = 0;
        for (double ha : { -70.0, -30.0, 0.0, 35.0, 75.0 })
            for (double dec : { -25.0, -15.0, 25.0, 60.0, 85.0 }) {
                minutesPass(2);
                const alignment::Place target = type(ha, dec);
                if (sim::altitude({ target.ha, target.dec }, mount.errors.latitudeDeg) < 15 * kDeg)
                    continue;
                f.BtnGOTO_Click();
                const double error = alignment::separation(mount.eyepiece(lst()), target) / kArcmin;
                sumSquares += error * error;
                worst = std::max(worst, error);
                ++gotos;
            }
        return { std::sqrt(sumSquares / gotos), worst };
    }
};

TEST_F(WindowAlignment, AlignerNeedsAnInitialisationAndASite)
{
    type(0, 30);
    f.btnAligner_Click();
    EXPECT_TRUE(journalHas(std::string("info Selvane V2.2: ") + pointing_texts::AlignerSansInitialisation));
    f.lieu.reset();
    f.btninitialisation_Click();
    p.port.writes.clear();
    f.btnAligner_Click();
    EXPECT_TRUE(journalHas(std::string("info Selvane V2.2: ") + pointing_texts::AlignerSansLieu));
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_EQ(f.alignement().size(), 0u);
}

TEST_F(WindowAlignment, ThreeStarsThenSixPutGotosWhereTheTargetsAreSeen)
{
    // One star: the initialisation, and a GOTO with the very bytes of a plain one.
    mount.centre(type(-50, 20), lst());
    f.btninitialisation_Click();
    type(20, 40);
    ASSERT_TRUE(f.set_objectAD() && f.set_objectDEC());
    const protocol::Commandes plain = protocol::premierRalliement(f.objectAD, f.objectDEC);
    p.port.writes.clear();
    f.BtnGOTO_Click();
    p.port.writes.resize(plain.size());
    EXPECT_EQ(p.port.writes, plain);
    EXPECT_EQ(log().find(pointing_texts::ModèleDébut), std::string::npos);

    // Two stars more, each centred by hand: the second on the first's hour circle is refused.
    minutesPass(5);
    mount.centre(type(-50, 60), lst());
    f.btnAligner_Click();
    EXPECT_EQ(f.alignement().size(), 1u) << log();
    // The star typed is not the one centred, 5° away: refused with its figure, in the user's numbers.
    mount.centre(type(40, 55), lst());
    type(40, 50);
    f.btnAligner_Click();
    EXPECT_EQ(f.alignement().size(), 1u) << log();
    EXPECT_TRUE(
        std::regex_search(log(), std::regex("l'étoile est à [0-9]+,[0-9]° .*\\(limite [0-9]+,[0-9]°\\)")))
        << log();
    p.port.writes.clear();
    mount.centre(type(40, 50), lst());
    f.btnAligner_Click();
    EXPECT_EQ(p.port.writes, (std::vector<std::string> { ":R#", ":D#" }));
    minutesPass(5);
    mount.centre(type(5, -10), lst());
    f.btnAligner_Click();
    ASSERT_EQ(f.alignement().size(), 3u) << log();
    EXPECT_NE(log().find("Alignement : 3 étoiles, résidu "), std::string::npos) << log();

    const auto [rms, worst] = gotoErrors();
    EXPECT_LT(rms, 2.0);
    EXPECT_LT(worst, 5.0);
    EXPECT_NE(log().find("Modèle : "), std::string::npos);
    EXPECT_NE(log().find("Alignement : termes IH ID MA ME"), std::string::npos) << log();

    // Three stars more: under an arc minute.
    for (auto [ha, dec] : { std::pair { -80.0, 40.0 }, { 60.0, 75.0 }, { -20.0, 65.0 } }) {
        minutesPass(3);
        mount.centre(type(ha, dec), lst());
        f.btnAligner_Click();
    }
    ASSERT_EQ(f.alignement().size(), 6u) << log();
    const auto [rms6, worst6] = gotoErrors();
    EXPECT_LT(rms6, 1.0);
    EXPECT_LT(worst6, 3.0);
    std::printf(
        "window on a refracting sky: 3 stars %.2f' RMS, worst %.2f'; 6 stars %.2f' RMS, worst %.2f'\n", rms,
        worst, rms6, worst6);
}
