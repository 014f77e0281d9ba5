// SPDX-License-Identifier: GPL-3.0-or-later
// Observing lists: each format written by hand from its description, broken and hostile files, and
// the window stepping through a list as "Objet :" would choose its entries.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "Fixture.h"
#include "sky/liste.h"

namespace {

namespace fs = std::filesystem;

struct Dossier {
    fs::path chemin = fs::temp_directory_path() / ("selvane-liste-" + std::to_string(::getpid()));
    Dossier() { fs::create_directories(chemin); }
    ~Dossier() { fs::remove_all(chemin); }
    std::string écrire(const std::string& nom, std::string_view contenu) const
    {
        std::ofstream(chemin / nom, std::ios::binary) << contenu;
        return (chemin / nom).string();
    }
};

std::vector<std::string> désignations(const liste::Lecture& l)
{
    std::vector<std::string> d;
    for (const auto& e : l.entrées)
        d.push_back(e.objet().désignation);
    return d;
}

} // namespace

TEST(ListeAngles, UsualSpellingsOfRightAscensionAndDeclination)
{
    for (const char* ad : { "05:35:17.3", "5h35m17.3s", "05 35 17.3", "05h 35m 17.3s" })
        EXPECT_NEAR(*liste::lireAD(ad, liste::Unité::Inconnue), 83.822083, 1e-6) << ad;
    EXPECT_NEAR(*liste::lireAD("83.822", liste::Unité::Degré), 83.822, 1e-9);
    EXPECT_NEAR(*liste::lireAD("5,5", liste::Unité::Heures), 82.5, 1e-9); // a decimal comma
    EXPECT_FALSE(liste::lireAD("5.5", liste::Unité::Inconnue)); // hours or degrees: not guessed
    EXPECT_FALSE(liste::lireAD("24:00:00", liste::Unité::Inconnue));
    EXPECT_FALSE(liste::lireAD("05:61:00", liste::Unité::Inconnue));
    EXPECT_FALSE(liste::lireAD("-01:00:00", liste::Unité::Inconnue));
    for (const char* dec :
        { "-05:23:28", "-05°23'28\"", "-5d23m28s", "\u221205\u00B023\u203228\u2033", "-05 23 28" })
        EXPECT_NEAR(*liste::lireDEC(dec), -5.391111, 1e-6) << dec;
    EXPECT_NEAR(*liste::lireDEC("-00:30:00"), -0.5, 1e-12); // the sign of a declination under 1°
    EXPECT_NEAR(*liste::lireDEC("+41.269"), 41.269, 1e-12);
    for (const char* faux : { "", "abc", "91", "+10:20:30:40", "10.5:20", "1h" })
        EXPECT_FALSE(liste::lireDEC(faux)) << faux;
}

TEST(ListeFormats, SkySafariBlocksByCatalogNumberThenCommonName)
{
    const auto l = liste::lire("SkySafariObservingListVersion=3.0\r\n"
                               "SortedBy=Default Order\r\n"
                               "SkyObject=BeginObject\r\n"
                               "\tObjectID=4,-1,-1\r\n"
                               "\tCommonName=Ring Nebula\r\n"
                               "\tCatalogNumber=M 57\r\n"
                               "\tCatalogNumber=NGC 6720\r\n"
                               "EndObject=SkyObject\r\n"
                               "SkyObject=BeginObject\r\n"
                               "\tObjectID=1,5,0\r\n"
                               "\tCommonName=Jupiter\r\n"
                               "EndObject=SkyObject\r\n"
                               "SkyObject=BeginObject\r\n"
                               "\tObjectID=2,0,0\r\n"
                               "\tCommonName=Vega\r\n"
                               "\tCatalogNumber=HR 7001\r\n"
                               "EndObject=SkyObject\r\n");
    EXPECT_EQ(l.format, liste::Format::SkySafari);
    EXPECT_EQ(désignations(l), (std::vector<std::string> { "M 57", "Jupiter", "Vega" }));
    EXPECT_EQ(l.entrées[0].ligne, 3u);
    EXPECT_TRUE(l.entrées[1].objet().corps); // placed when it is chosen
    EXPECT_TRUE(l.illisibles.empty());
}

TEST(ListeFormats, StellariumDefaultListWithPlacesForNamesTheCatalogueLacks)
{
    const auto l = liste::lire(R"({
  "defaultListOlud": "{b}",
  "observingLists": {
    "{a}": { "name": "Autre", "objects": [ { "designation": "M1", "ra": "5h34m31.9s", "dec": "+22°00'52\"" } ] },
    "{b}": { "name": "Nuit", "description": "", "objects": [
      { "designation": "M57", "name": "Ring Nebula", "nameI18n": "Nébuleuse de la Lyre", "type": "Nebula",
        "ra": "18h53m35.1s", "dec": "+33°01'45.0\"", "magnitude": "8.80", "fov": 0, "jd": 0 },
      { "designation": "C/2023 A3", "name": "", "ra": "14h10m00s", "dec": "-05°30'00\"" },
      { "designation": "", "ra": "n/a", "dec": "" }
    ] }
  },
  "shortName": "Observing list for Stellarium", "version": "2.0" })");
    EXPECT_EQ(l.format, liste::Format::Stellarium);
    ASSERT_EQ(désignations(l), (std::vector<std::string> { "M 57", "C/2023 A3" }));
    EXPECT_NEAR(l.entrées[1].objet().ad2000, 212.5, 1e-9);
    EXPECT_NEAR(l.entrées[1].objet().dec2000, -5.5, 1e-9);
    ASSERT_EQ(l.illisibles.size(), 1u);
    EXPECT_EQ(l.illisibles[0].ligne, 3u); // its rank in the list
    EXPECT_EQ(liste::lire("{ \"observingLists\": [ ").refus, liste::Refus::Malformé);
}

TEST(ListeFormats, CsvColumnsNamedByTheHeader)
{
    // A French spreadsheet's export: semicolons, quoted cells, hours named, a decimal comma.
    const auto fr = liste::lire("Nom;AD (h);Déc;Remarque\n"
                                "M 42;05:35:17;-05:23:28;\"belle; grande\"\n"
                                "Mon objet;5,5;+10.5;\n"
                                ";;;\n"
                                "Mars;;;planète\n");
    EXPECT_EQ(fr.format, liste::Format::Csv);
    ASSERT_EQ(désignations(fr), (std::vector<std::string> { "M 42", "Mon objet", "Mars" }));
    EXPECT_NEAR(fr.entrées[1].objet().ad2000, 82.5, 1e-9);
    EXPECT_EQ(fr.entrées[2].ligne, 5u);
    // Degrees named in the header; a decimal right ascension without its unit is not guessed.
    const auto deg = liste::lire("name,RAJ2000 (deg),DEJ2000\nTarget A,10.68,41.27\n");
    ASSERT_EQ(deg.entrées.size(), 1u);
    EXPECT_NEAR(deg.entrées[0].objet().ad2000, 10.68, 1e-9);
    const auto sansUnité = liste::lire("name,ra,dec\nTarget A,10.68,41.27\nTarget B,00:42:44,+41:16:09\n");
    EXPECT_EQ(désignations(sansUnité), (std::vector<std::string> { "Target B" }));
    ASSERT_EQ(sansUnité.illisibles.size(), 1u);
    EXPECT_EQ(sansUnité.illisibles[0].ligne, 2u);
}

TEST(ListeFormats, NamesOneALineAndTheShippedSample)
{
    const auto l = liste::lire("\xEF\xBB\xBF# ce soir\nM 13\n\n  vega  \nsaturne\n");
    EXPECT_EQ(l.format, liste::Format::Noms);
    EXPECT_EQ(désignations(l), (std::vector<std::string> { "M 13", "Vega", "Saturne" }));
    const auto exemple = liste::lireFichier(SELVANE_SOURCE_DIR "/data/liste-exemple.txt");
    EXPECT_EQ(exemple.entrées.size(), 20u);
    EXPECT_TRUE(exemple.illisibles.empty());
}

TEST(ListeFichiers, BrokenEmptyHugeAndBinaryFiles)
{
    // Broken lines are listed with their number; the rest is kept.
    const auto cassée = liste::lire("M 31\nzzqx 123 !!\nM 33\n");
    EXPECT_EQ(désignations(cassée), (std::vector<std::string> { "M 31", "M 33" }));
    ASSERT_EQ(cassée.illisibles.size(), 1u);
    EXPECT_EQ(cassée.illisibles[0].ligne, 2u);
    EXPECT_EQ(cassée.illisibles[0].texte, "zzqx 123 !!");
    const auto ouverte = liste::lire("SkyObject=BeginObject\nCatalogNumber=M 31\nSkyObject=BeginObject\n"
                                     "CatalogNumber=M 33\nEndObject=SkyObject\nSkyObject=BeginObject\n");
    EXPECT_EQ(désignations(ouverte), (std::vector<std::string> { "M 33" }));
    ASSERT_EQ(ouverte.illisibles.size(), 2u);
    EXPECT_EQ(ouverte.illisibles[0].ligne, 1u);
    EXPECT_EQ(ouverte.illisibles[1].ligne, 6u);

    const Dossier d;
    const auto vide = liste::lireFichier(d.écrire("vide.txt", ""));
    EXPECT_EQ(vide.refus, liste::Refus::Aucun);
    EXPECT_TRUE(vide.entrées.empty());
    EXPECT_EQ(liste::lireFichier((d.chemin / "absent.csv").string()).refus, liste::Refus::Introuvable);
    EXPECT_EQ(liste::lireFichier(d.chemin.string()).refus, liste::Refus::Introuvable);

    // 50 MB: refused from its size, unread.
    const std::string énorme = d.écrire("énorme.csv", "name\n");
    fs::resize_file(énorme, 50 * 1024 * 1024);
    EXPECT_EQ(liste::lireFichier(énorme).refus, liste::Refus::TropGrand);

    std::string binaire = "\x7F"
                          "ELF\x02\x01\x01";
    binaire += std::string(64, '\0') + "M 31\n";
    EXPECT_EQ(liste::lireFichier(d.écrire("a.out", binaire)).refus, liste::Refus::Binaire);

    // Just under the limit, 600 000 names are all read and looked up.
    std::string grand;
    while (grand.size() + 16 < liste::TailleMax)
        grand += "M 31\nNGC 7000\n";
    EXPECT_EQ(liste::lireFichier(d.écrire("grand.txt", grand)).entrées.size(), grand.size() / 14 * 2);
}

// ---- The window ----

// A window started again, taking up the list kept.
struct FenêtreSuivante {
    fake::FakePlatform p;
    frmTKR52princ f { p, p.system };
    explicit FenêtreSuivante(platform::ListMemory& mémoire)
    {
        f.Form_Load();
        f.mémoireListe = &mémoire;
        f.reprendreListe();
    }
    std::string log() { return p.text("edtsaisie").content; }
};

struct ListeDansLaFenêtre : StartedWindow {
    Dossier d;
    fake::FakeListMemory mémoire;
    ListeDansLaFenêtre() { f.mémoireListe = &mémoire; }
    std::string premièreLigne()
    {
        const std::string l = log();
        return l.substr(0, l.find("\r\n"));
    }
    std::string ligne(int n)
    {
        std::string l = log();
        for (int i = 0; i < n; ++i)
            l = l.substr(l.find("\r\n") + 2);
        return l.substr(0, l.find("\r\n"));
    }
};

TEST_F(ListeDansLaFenêtre, LoadingChoosesTheFirstEntryAndTheButtonsStep)
{
    const std::string chemin = d.écrire("nuit.txt", "M 57\nzzqx\nM 13\nJupiter\n");
    f.chargerListe(chemin);
    // The line an "Objet :" choice writes, above the rank.
    EXPECT_EQ(ligne(1), "Liste : 1/3 M 57");
    EXPECT_EQ(premièreLigne().rfind("Objet : M 57 (Ring Nebula) 18h5", 0), 0u) << premièreLigne();
    EXPECT_EQ(ligne(2), "Liste : 3 objets lus dans " + chemin);
    EXPECT_EQ(ligne(3), "Liste : ligne 2 illisible ou inconnu : zzqx");
    EXPECT_EQ(p.text("EdtADréfHrs").content, "18");
    EXPECT_TRUE(p.button("btnSuivant").isVisible);
    f.btnSuivant_Click();
    f.btnSuivant_Click();
    EXPECT_EQ(ligne(1), "Liste : 3/3 Jupiter");
    EXPECT_NE(premièreLigne().find(" à "), std::string::npos); // a body placed when chosen
    p.journal.clear();
    f.btnSuivant_Click(); // the end: a beep, the entry stays
    EXPECT_EQ(ligne(1), "Liste : 3/3 Jupiter");
    EXPECT_TRUE(journalHas("beep"));
    f.btnPrécédent_Click();
    EXPECT_EQ(ligne(1), "Liste : 2/3 M 13");
    ASSERT_TRUE(mémoire.kept);
    EXPECT_EQ(mémoire.kept->fichier, chemin);
    EXPECT_EQ(mémoire.kept->rang, 2u);
    // Nothing goes on the line.
    EXPECT_TRUE(p.port.writes.empty());
}

TEST_F(ListeDansLaFenêtre, RefusedFilesLeaveTheListInUse)
{
    f.chargerListe(d.écrire("a.txt", "M 57\nM 13\n"));
    const std::string avant = log();
    f.chargerListe(d.écrire("vide.txt", "\n\n"));
    f.chargerListe(d.écrire("bin", std::string("\0\0\0", 3)));
    EXPECT_TRUE(journalHas(
        "message Selvane V2.2: Aucun objet lisible dans cette liste : " + (d.chemin / "vide.txt").string()));
    EXPECT_TRUE(
        journalHas("message Selvane V2.2: Ce fichier n'est pas du texte : " + (d.chemin / "bin").string()));
    EXPECT_EQ(log(), avant);
    f.btnSuivant_Click();
    EXPECT_EQ(ligne(1), "Liste : 2/2 M 13");
}

TEST_F(ListeDansLaFenêtre, TakenUpAtTheNextStartWhereItWasLeft)
{
    const std::string chemin = d.écrire("nuit.txt", "M 57\nM 13\nM 31\n");
    f.chargerListe(chemin);
    f.btnSuivant_Click();
    const auto gardée = mémoire.kept;

    FenêtreSuivante suivante(mémoire);
    EXPECT_NE(suivante.log().find("Liste : 2/3 M 13\r\n"), std::string::npos);

    // The file changed meanwhile: one line, and the list from its start.
    d.écrire("nuit.txt", "M 31\nM 57\n");
    FenêtreSuivante changée(mémoire);
    EXPECT_NE(changée.log().find("Liste modifiée depuis la dernière séance, reprise au début : " + chemin),
        std::string::npos);
    EXPECT_NE(changée.log().find("Liste : 1/2 M 31\r\n"), std::string::npos);

    // Emptied: one line, nothing chosen.
    d.écrire("nuit.txt", "\n");
    FenêtreSuivante vidée(mémoire);
    EXPECT_EQ(vidée.log().find("Liste de la dernière séance illisible : " + chemin + "\r\n"), 0u);
    EXPECT_EQ(vidée.log().find("Liste", 1), std::string::npos);

    // The file gone: one line, nothing chosen, the memory kept for when it is back.
    fs::remove(chemin);
    mémoire.kept = gardée;
    FenêtreSuivante perdue(mémoire);
    EXPECT_EQ(perdue.log().find("Liste de la dernière séance introuvable : " + chemin), 0u);
    EXPECT_EQ(perdue.log().find("Liste : "), std::string::npos);
    EXPECT_EQ(mémoire.kept->rang, 2u);
}

TEST_F(ListeDansLaFenêtre, WithoutAListNothingChanges)
{
    const std::string avant = log();
    f.reprendreListe();
    f.btnSuivant_Click();
    f.btnPrécédent_Click();
    EXPECT_EQ(log(), avant);
    EXPECT_FALSE(mémoire.kept);
}
