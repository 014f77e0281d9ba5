// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in catalogue: its table, names, places of the date, the "Objet :" field and pasted
// texts that label their frame.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>
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

TEST(CatalogueTable, HoldsTheWholeSkyUnderUniqueNames)
{
    const auto& tous = catalogue::objets();
    std::set<int> messier, caldwell;
    std::set<std::string> clés;
    int étoiles = 0, hd = 0, ngcIc = 0;
    for (const auto& o : tous) {
        std::vector<std::string> noms { o.désignation };
        if (!o.nomCourant.empty())
            noms.push_back(o.nomCourant);
        noms.insert(noms.end(), o.autresNoms.begin(), o.autresNoms.end());
        for (const auto& n : noms) {
            EXPECT_TRUE(clés.insert(catalogue::clé(n)).second) << n;
            int numéro = 0;
            if (std::sscanf(n.c_str(), "M %d", &numéro) == 1) {
                EXPECT_TRUE(messier.insert(numéro).second) << n;
            }
            if (std::sscanf(n.c_str(), "C %d", &numéro) == 1) {
                EXPECT_TRUE(caldwell.insert(numéro).second) << n;
            }
            hd += n.rfind("HD ", 0) == 0;
        }
        ngcIc += o.désignation.rfind("NGC ", 0) == 0 || o.désignation.rfind("IC ", 0) == 0;
        EXPECT_TRUE(o.ad2000 >= 0 && o.ad2000 < 360) << o.désignation;
        EXPECT_TRUE(std::fabs(o.dec2000) <= 90) << o.désignation;
        EXPECT_TRUE(!o.magnitude || (*o.magnitude > -2 && *o.magnitude < 25)) << o.désignation;
        étoiles += o.genre == "*" && o.magnitude && *o.magnitude <= 8.0;
    }
    EXPECT_EQ(messier.size(), 110u);
    EXPECT_EQ(*messier.rbegin(), 110);
    EXPECT_EQ(caldwell.size(), 109u);
    EXPECT_EQ(*caldwell.rbegin(), 109);
    EXPECT_GT(ngcIc, 13700); // OpenNGC's 13,960 less the 110 Messier objects
    EXPECT_GT(étoiles, 40000);
    EXPECT_GT(hd, 40000);
}

TEST(CatalogueTable, PositionsAreTheSourcesAtJ2000)
{
    struct Source {
        const char* nom;
        double ad, dec; // J2000, as published
    };
    const Source sources[] = {
        { "M 42", 83.81866666666664, -5.389666666666667 }, // OpenNGC, NGC 1976
        { "NGC 7331", 339.267042, 34.415639 }, // SIMBAD: 22h37m04.09s +34°24'56.3"
        { "ngc 4565", 189.086583, 25.987667 }, // SIMBAD: 12h36m20.78s +25°59'15.6"
        { "C 41", 66.75, 16.0 }, // the Caldwell list: the Hyades, 4h27m +16°
        { "Vega", 18.61564903 * 15, 38.78369185 }, // PyEphem's star list
        { "Sirius", 6.75247697 * 15, -16.71611569 },
        { "Albireo", 292.680335, 27.959667 }, // Hipparcos at J2000: 19h30m43.28s +27°57'34.8"
        { "hd 201092", 316.730267, 38.742042 }, // 61 Cyg B, Hipparcos at J2000: 21h06m55.26s +38°44'31.4"
    };
    for (const auto& s : sources) {
        const auto& o = objet(s.nom);
        EXPECT_LT(écartAD(o.ad2000, s.ad, s.dec), 2 * Arcseconde) << s.nom;
        EXPECT_LT(std::fabs(o.dec2000 - s.dec), 2 * Arcseconde) << s.nom;
    }
    EXPECT_DOUBLE_EQ(objet("Vega").pmAD, 201.0);
    EXPECT_DOUBLE_EQ(objet("Vega").pmDEC, 287.5);
}

TEST(CatalogueDate, ApparentPlacesOfTheDateAreErfasValues)
{
    // PyEphem's apparent geocentric places, of its own star list; ERFA's, of Hipparcos at J2000
    // carried by their proper motions, for stars it lacks; within 1'.
    struct Cas {
        const char* nom;
        std::int64_t utcMs;
        double ad, dec;
    };
    const Cas cas[] = {
        { "Vega", Le1erJanvier2026, 279.448123373, 38.806814165 },
        { "Vega", Le1erJanvier2100, 280.074477898, 38.882509648 },
        { "Polaris", Le1erJanvier2026, 46.706303219, 89.378108332 },
        { "hd 8890", Le1erJanvier2100, 89.138854058, 89.542905521 },
        { "Deneb", Le1erJanvier2026, 310.57225, 45.37476 },
        { "Arcturus", Le1erJanvier2026, 214.21142, 19.04422 },
        { "M 42", Le1erJanvier2026, 84.145163493, -5.372765919 },
    };
    for (const auto& c : cas) {
        const auto place = catalogue::positionDuJour(objet(c.nom), c.utcMs);
        EXPECT_LT(écartAD(place.ad, c.ad, c.dec), 60 * Arcseconde) << c.nom << " " << c.utcMs;
        EXPECT_LT(std::fabs(place.dec - c.dec), 60 * Arcseconde) << c.nom << " " << c.utcMs;
    }
    // Where both read the same J2000 place, ERFA and PyEphem agree far closer.
    const auto m42 = catalogue::positionDuJour(objet("M 42"), Le1erJanvier2026);
    EXPECT_LT(std::fabs(m42.dec - -5.372765919), 0.01 * Arcseconde);
}

TEST(CatalogueNames, EachSpellingChoosesItsObject)
{
    const std::pair<const char*, const char*> cas[] = {
        { "m 31", "M 31" },
        { "M31", "M 31" },
        { "ngc 224", "M 31" },
        { "ngc 7331", "NGC 7331" },
        { "ngc 4565", "NGC 4565" },
        { "needle", "NGC 4565" },
        { "ngc 2244", "NGC 2244" },
        { "ic 1396", "IC 1396" },
        { "pgc 69327", "NGC 7331" },
        { "c 14", "NGC 869" },
        { "caldwell 14", "NGC 869" },
        { "C14", "NGC 869" },
        { "c 99", "C 99" },
        { "coalsack", "C 99" },
        { "albireo", "Albireo" },
        { "beta cyg", "Albireo" },
        { "β Cyg", "Albireo" },
        { "Β CYG", "Albireo" },
        { "bet Cyg", "Albireo" },
        { "hd 8890", "Polaris" },
        { "alpha umi", "Polaris" },
        { "jupiter", "Jupiter" },
        { "vega", "Vega" },
        { "  VÉGA ", "Vega" },
        { "rosette", "NGC 2238" },
        { "orion", "M 42" },
        { "adara", "Adhara" },
    };
    for (const auto& [tapé, attendu] : cas) {
        const auto trouvés = catalogue::chercher(tapé, 10);
        ASSERT_FALSE(trouvés.empty()) << tapé;
        EXPECT_EQ(trouvés.front()->désignation, attendu) << tapé;
    }
    EXPECT_EQ(catalogue::trouver("M 42 (Orion Nebula)")->désignation, "M 42");
    EXPECT_EQ(catalogue::chercher("m 1", SIZE_MAX).front()->désignation, "M 1"); // any length asked
    EXPECT_TRUE(catalogue::chercher("xyzzy", 10).empty());
    EXPECT_TRUE(catalogue::chercher(" - ", 10).empty());
    EXPECT_TRUE(catalogue::chercher("\xff\xfe", 10).empty());
}

// What the index lists, against the whole table ranked by hand: the names typed in full, then
// the names and then the words that start with it, the brighter first (table order among equals).
TEST(CatalogueNames, ThePrefixListIsTheBestOfTheWholeTable)
{
    const auto& tous = catalogue::objets();
    constexpr std::size_t Liste = 12;
    for (const char* tapé : { "m", "m 4", "ngc 1", "hd 1", "c 1", "bet", "nebula", "ic 13", "s" }) {
        const std::string cherché = catalogue::clé(tapé);
        std::vector<std::pair<int, std::size_t>> rangés; // tier, index
        for (std::size_t i = 0; i < tous.size(); ++i) {
            const auto& o = tous[i];
            std::vector<std::string> noms { o.désignation };
            if (!o.nomCourant.empty())
                noms.push_back(o.nomCourant);
            noms.insert(noms.end(), o.autresNoms.begin(), o.autresNoms.end());
            int tier = 3;
            for (const auto& n : noms) {
                const std::string k = catalogue::clé(n);
                if (k == cherché)
                    tier = 0;
                else if (k.rfind(cherché, 0) == 0)
                    tier = std::min(tier, 1);
                for (std::size_t blanc = n.find(' '); blanc != std::string::npos;
                     blanc = n.find(' ', blanc + 1)) {
                    const std::string mot
                        = catalogue::clé(n.substr(blanc + 1, n.find(' ', blanc + 1) - blanc - 1));
                    if (mot.size() > 1 && !std::isdigit(static_cast<unsigned char>(mot[0]))
                        && mot.rfind(cherché, 0) == 0)
                        tier = std::min(tier, 2);
                }
            }
            if (tier < 3)
                rangés.emplace_back(tier, i);
        }
        std::stable_sort(rangés.begin(), rangés.end(), [&](const auto& a, const auto& b) {
            return std::make_pair(a.first, catalogue::éclat(tous[a.second]))
                < std::make_pair(b.first, catalogue::éclat(tous[b.second]));
        });
        const auto trouvés = catalogue::chercher(tapé, Liste);
        ASSERT_EQ(trouvés.size(), std::min(Liste, rangés.size())) << tapé;
        for (std::size_t r = 0; r < trouvés.size(); ++r)
            EXPECT_EQ(trouvés[r]->désignation, tous[rangés[r].second].désignation) << tapé << " #" << r;
    }
}

TEST(CatalogueNames, WithoutAMagnitudeTypeAndSizeRank)
{
    auto sans = [](const char* genre, std::optional<double> taille) {
        catalogue::Objet o;
        o.genre = genre;
        o.taille = taille;
        return catalogue::éclat(o);
    };
    // A large nebula before a small one, before a galaxy of the same size, before one of unknown
    // size; stars, double stars and unclassified entries without a magnitude last.
    EXPECT_LT(sans("Neb", 80), sans("Neb", 10));
    EXPECT_LT(sans("Neb", 10), sans("G", 10));
    EXPECT_LT(sans("G", 10), sans("G", std::nullopt));
    EXPECT_LT(sans("G", std::nullopt), sans("?", 100));
    EXPECT_EQ(sans("**", 1), sans("?", std::nullopt));
    EXPECT_LT(catalogue::éclat(objet("Lune")), catalogue::éclat(objet("Sirius")));
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
