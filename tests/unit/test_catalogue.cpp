// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in catalogue: its table, names, places of the date, the "Objet :" field and pasted
// texts that label their frame.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "Fixture.h"
#include "sky/catalogue.h"

namespace {

constexpr double Arcseconde = 1.0 / 3600.0;
constexpr std::int64_t Le1erJanvier2026 = 1767225600000; // the fakes' clock
constexpr std::int64_t Le1erJanvier2100 = 4102444800000;

const catalogue::Objet& objet(const char* nom)
{
    const catalogue::Objet* o = catalogue::trouver(nom);
    if (!o)
        throw std::runtime_error(std::string("no object ") + nom);
    return *o;
}

// Angular distance in RA at a declination, in degrees.
double écartAD(double a, double b, double dec)
{
    return std::fabs(std::remainder(a - b, 360.0)) * std::cos(dec * M_PI / 180);
}

TEST(CatalogueTable, HoldsEveryMessierObjectAndUniqueNamesWithinRange)
{
    const auto& tous = catalogue::objets();
    std::set<int> messier;
    std::set<std::string> clés;
    int étoiles = 0;
    for (const auto& o : tous) {
        if (int n = 0; std::sscanf(o.désignation.c_str(), "M %d", &n) == 1) {
            EXPECT_TRUE(messier.insert(n).second) << o.désignation;
        }
        std::vector<std::string> noms { o.désignation };
        if (!o.nomCourant.empty())
            noms.push_back(o.nomCourant);
        noms.insert(noms.end(), o.autresNoms.begin(), o.autresNoms.end());
        for (const auto& n : noms)
            EXPECT_TRUE(clés.insert(catalogue::clé(n)).second) << n;
        EXPECT_TRUE(o.ad2000 >= 0 && o.ad2000 < 360) << o.désignation;
        EXPECT_TRUE(std::fabs(o.dec2000) <= 90) << o.désignation;
        EXPECT_TRUE(!o.magnitude || (*o.magnitude > -2 && *o.magnitude < 16)) << o.désignation;
        étoiles += o.pmAD != 0 || o.pmDEC != 0;
    }
    EXPECT_EQ(messier.size(), 110u);
    EXPECT_EQ(*messier.begin(), 1);
    EXPECT_EQ(*messier.rbegin(), 110);
    EXPECT_GT(étoiles, 100);
    EXPECT_GT(tous.size(), 500u);
    EXPECT_LT(tous.size(), 1000u);
}

TEST(CatalogueTable, PositionsAreTheSources)
{
    struct Source {
        const char* nom;
        double ad, dec; // as the source files give them
    };
    const Source sources[] = {
        { "M 42", 83.81866666666664, -5.389666666666667 }, // OpenNGC, NGC 1976
        { "M 31", 10.684791666666664, 41.26905555555555 }, // OpenNGC, NGC 224
        { "NGC 869", 34.74399999999999, 57.11725 }, // OpenNGC
        { "Vega", 18.61564903 * 15, 38.78369185 }, // star list, RA in hours
        { "Sirius", 6.75247697 * 15, -16.71611569 },
    };
    for (const auto& s : sources) {
        const auto& o = objet(s.nom);
        EXPECT_LT(écartAD(o.ad2000, s.ad, s.dec), 2 * Arcseconde) << s.nom;
        EXPECT_LT(std::fabs(o.dec2000 - s.dec), 2 * Arcseconde) << s.nom;
    }
    EXPECT_DOUBLE_EQ(objet("Vega").pmAD, 201.02);
    EXPECT_DOUBLE_EQ(objet("Vega").pmDEC, 287.46);
}

TEST(CatalogueDate, ApparentPlacesOfTheDateAreErfasValues)
{
    // Checked against PyEphem's apparent geocentric places, which agree to 0.5".
    struct Cas {
        const char* nom;
        std::int64_t utcMs;
        double ad, dec;
    };
    const Cas cas[] = {
        { "Vega", Le1erJanvier2026, 279.448123373, 38.806814165 },
        { "Vega", Le1erJanvier2100, 280.074477898, 38.882509648 },
        { "M 42", Le1erJanvier2026, 84.145163493, -5.372765919 },
        { "Polaris", Le1erJanvier2026, 46.706303219, 89.378108332 },
        { "Polaris", Le1erJanvier2100, 89.138854058, 89.542905521 },
    };
    for (const auto& c : cas) {
        const auto place = catalogue::positionDuJour(objet(c.nom), c.utcMs);
        EXPECT_LT(écartAD(place.ad, c.ad, c.dec), 0.01 * Arcseconde) << c.nom << " " << c.utcMs;
        EXPECT_LT(std::fabs(place.dec - c.dec), 0.01 * Arcseconde) << c.nom << " " << c.utcMs;
    }
}

TEST(CatalogueNames, CaseAccentsAndBlanksAreIgnored)
{
    const std::pair<const char*, const char*> cas[] = {
        { "m42", "M 42" },
        { "M 42", "M 42" },
        { "ngc1976", "M 42" },
        { "orion", "M 42" },
        { "vega", "Vega" },
        { "  VÉGA ", "Vega" },
        { "m4", "M 4" },
        { "beehive", "M 44" },
        { "adhara", "Adara" },
        { "ngc 869", "NGC 869" },
        { "nebula", "M 8" },
    };
    for (const auto& [tapé, attendu] : cas) {
        const auto trouvés = catalogue::chercher(tapé, 10);
        ASSERT_FALSE(trouvés.empty()) << tapé;
        EXPECT_EQ(trouvés.front()->désignation, attendu) << tapé;
    }
    // A prefix lists the name typed in full first, then the longer ones in table order.
    const auto m4 = frmTKR52princ::propositionsObjet("m 4");
    ASSERT_GE(m4.size(), 4u);
    EXPECT_EQ(m4[0], "M 4");
    EXPECT_EQ(m4[1], "M 40");
    EXPECT_EQ(m4[3], "M 42 (Orion Nebula)");
    EXPECT_EQ(catalogue::trouver("M 42 (Orion Nebula)")->désignation, "M 42");
    EXPECT_TRUE(catalogue::chercher("xyzzy", 10).empty());
    EXPECT_TRUE(catalogue::chercher(" - ", 10).empty());
    EXPECT_TRUE(catalogue::chercher("\xff\xfe", 10).empty());
}

TEST(CatalogueFields, WholeSecondsCarryAndTheSignStaysOnTheDegrees)
{
    auto champs = [](double ad, double dec) {
        const auto c = frmTKR52princ::champsDePosition(ad, dec);
        return std::vector<std::string> { c.heures, c.minutes, c.secondes, c.degrés, c.minutesDEC,
            c.secondesDEC };
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(champs(83.8186667, -5.3896667), (V { "05", "35", "16", "-05", "23", "23" }));
    EXPECT_EQ(champs(359.9999, 38.9999999), (V { "00", "00", "00", "+39", "00", "00" }));
    EXPECT_EQ(champs(0, -0.00001), (V { "00", "00", "00", "+00", "00", "00" }));
    EXPECT_EQ(champs(15, -0.5), (V { "01", "00", "00", "-00", "30", "00" }));
    EXPECT_EQ(champs(NAN, 91), (V { "00", "00", "00", "+00", "00", "00" }));
}

using ObjectField = StartedWindow;

TEST_F(ObjectField, ChoosingAnObjectWritesItsPlaceOfTheDateAndSendsNothing)
{
    p.port.writes.clear();
    const std::string avant = log();
    p.text("EdtObjet").content = "vega";
    f.EdtObjet_Valider();

    const auto place = catalogue::positionDuJour(objet("Vega"), Le1erJanvier2026);
    EXPECT_EQ(p.text("EdtADréfHrs").content, "18");
    EXPECT_EQ(p.text("EdtADréfMin").content, "37");
    EXPECT_EQ(p.text("EdtADréfSec").content, "48");
    EXPECT_EQ(p.text("EdtDECréfDeg").content, "+38");
    EXPECT_EQ(p.text("EdtDECréfMin").content, "48");
    EXPECT_EQ(p.text("EdtDECréfSec").content, "25");
    EXPECT_EQ(p.text("EdtObjet").content, "Vega");
    EXPECT_EQ(log(), "Objet : Vega 18h37m48s +38°48'25\"\r\n" + avant);
    EXPECT_TRUE(p.port.writes.empty());
    EXPECT_EQ(f.objectAD, 0); // the target moves only at the next initialisation or GOTO

    // The fields read back, by the reading of an initialisation, within half a second.
    ASSERT_TRUE(f.set_objectAD() && f.set_objectDEC());
    EXPECT_LT(écartAD(f.objectAD, place.ad, place.dec), 0.5 * 15 * Arcseconde);
    EXPECT_LT(std::fabs(f.objectDEC - place.dec), 0.5 * Arcseconde);

    p.text("EdtObjet").content = "m 42";
    f.EdtObjet_Valider();
    EXPECT_EQ(log().substr(0, log().find('\r')), "Objet : M 42 (Orion Nebula) 05h36m35s -05°22'22\"");
    ASSERT_TRUE(f.set_objectDEC());
    EXPECT_LT(f.objectDEC, -5.3);
}

TEST_F(ObjectField, AnUnknownNameChangesNothing)
{
    setFields("01", "02", "03", "+04", "05", "06");
    const std::string avant = log();
    p.text("EdtObjet").content = "Nébuleuse X";
    f.EdtObjet_Valider();
    EXPECT_EQ(log(), "Objet inconnu : Nébuleuse X\r\n" + avant);
    EXPECT_EQ(p.text("EdtADréfHrs").content, "01");
    EXPECT_EQ(p.text("EdtDECréfSec").content, "06");
    EXPECT_EQ(p.text("EdtObjet").content, "Nébuleuse X");
    // Nothing typed: nothing said.
    p.text("EdtObjet").content = "  ";
    f.EdtObjet_Valider();
    EXPECT_EQ(log(), "Objet inconnu : Nébuleuse X\r\n" + avant);
}

// ---- Pasted texts that label their frame ----

using LabelledPaste = StartedWindow;

TEST_F(LabelledPaste, ThePairOfTheDateIsTakenWhereSeveralAreLabelled)
{
    const std::string stellarium = "Betelgeuse - Alpha Orionis\n"
                                   "RA/Dec (J2000.0):    5h55m10.29s/+7°24'25.3\"\n"
                                   "RA/Dec (on date):    5h56m26.17s/+7°24'32.5\"\n"
                                   "Hour angle/DE:    20h12m3.50s/+7°24'32.5\"\n"
                                   "Az./Alt.: +105°12'3.2\"/+34°1'2.0\"\n";
    const std::string jnow = "J2000 05 55 10.3 +07 24 25\nJNow 05 56 26.2 +07 24 32\n";
    const std::string apparent = "J2000: 05:55:10.3 +07:24:25\nApparent:\n05:56:26.2 +07:24:32\n";
    for (const std::string& texte : { stellarium, jnow, apparent }) {
        p.system.copy(texte);
        f.Btn_récup_clipboard_Click();
        EXPECT_EQ(std::stoi(p.text("EdtADréfHrs").content), 5) << texte;
        EXPECT_EQ(p.text("EdtADréfMin").content, "56") << texte;
        EXPECT_EQ(p.text("EdtADréfSec").content, "26") << texte;
        EXPECT_EQ(p.text("EdtDECréfDeg").content.back(), '7') << texte;
        EXPECT_EQ(p.text("EdtDECréfMin").content, "24") << texte;
        EXPECT_EQ(p.text("EdtDECréfSec").content, "32") << texte;
        EXPECT_EQ(log(), "Presse papier: \r\n" + texte);
    }
}

TEST_F(LabelledPaste, AnOnlyJ2000PairIsCarriedToTheDate)
{
    p.system.copy("RA/Dec (J2000.0):    5h55m10.29s/+7°24'25.3\"\n");
    f.Btn_récup_clipboard_Click();
    const auto place = catalogue::positionDuJour(88.7928750, 7.4070278, 0, 0, Le1erJanvier2026);
    const auto attendus = frmTKR52princ::champsDePosition(place.ad, place.dec);
    EXPECT_EQ(p.text("EdtADréfHrs").content, "05");
    EXPECT_EQ(p.text("EdtADréfMin").content, "56");
    EXPECT_EQ(p.text("EdtADréfSec").content, attendus.secondes);
    EXPECT_EQ(p.text("EdtDECréfDeg").content, "+07");
    EXPECT_EQ(p.text("EdtDECréfSec").content, attendus.secondesDEC);
    EXPECT_EQ(log(),
        "J2000 → date : " + frmTKR52princ::texteChamps(attendus)
            + "\r\nPresse papier: \r\nRA/Dec (J2000.0):    5h55m10.29s/+7°24'25.3\"\n");

    // Without a label, and in the program's own form, the pair is taken as it stands.
    for (const char* texte : { "05 55 10.3 +07 24 25", "05h55m10.3s|+07°24'25.0 J2000" }) {
        p.system.copy(texte);
        f.Btn_récup_clipboard_Click();
        EXPECT_EQ(p.text("EdtADréfMin").content, "55") << texte;
        EXPECT_EQ(p.text("EdtADréfSec").content, "10") << texte;
        EXPECT_EQ(log().find("J2000 →"), std::string::npos) << texte;
    }
}

} // namespace
