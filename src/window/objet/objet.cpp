// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the "Objet :" field, which writes a catalogue object's place of the date into the
// entry fields.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "window/app/frmTKR52princ.h"
#include "window/objet/texts.h"

namespace {

constexpr long long SecondesParJour = 86400;

std::string deuxChiffres(long long n)
{
    char texte[24];
    std::snprintf(texte, sizeof texte, "%02lld", n);
    return texte;
}

bool blanc(const std::string& texte)
{
    return texte.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

frmTKR52princ::PiècesCoordonnées frmTKR52princ::champsDePosition(double ad, double dec)
{
    PiècesCoordonnées champs;
    if (!std::isfinite(ad) || !std::isfinite(dec))
        ad = dec = 0;
    // Rounded to the whole second, which may carry up to the next day.
    long long secondes = std::llround(std::fmod(ad, 360.0) / 15.0 * 3600.0) % SecondesParJour;
    if (secondes < 0)
        secondes += SecondesParJour;
    champs.heures = deuxChiffres(secondes / 3600);
    champs.minutes = deuxChiffres(secondes / 60 % 60);
    champs.secondes = deuxChiffres(secondes % 60);
    const long long arcsecondes = std::llround(std::fabs(std::clamp(dec, -90.0, 90.0)) * 3600.0);
    champs.degrés = (dec < 0 && arcsecondes > 0 ? "-" : "+") + deuxChiffres(arcsecondes / 3600);
    champs.minutesDEC = deuxChiffres(arcsecondes / 60 % 60);
    champs.secondesDEC = deuxChiffres(arcsecondes % 60);
    return champs;
}

std::string frmTKR52princ::texteChamps(const PiècesCoordonnées& c)
{
    return c.heures + "h" + c.minutes + "m" + c.secondes + "s " + c.degrés + "\u00B0" + c.minutesDEC + "'"
        + c.secondesDEC + "\"";
}

std::vector<std::string> frmTKR52princ::propositionsObjet(std::string_view saisie)
{
    std::vector<std::string> libellés;
    for (const catalogue::Objet* o : catalogue::chercher(saisie, PropositionsMax))
        libellés.push_back(o->libellé());
    return libellés;
}

void frmTKR52princ::EdtObjet_Valider()
{
    const std::string saisie = EdtObjet.text();
    if (blanc(saisie))
        return;
    const catalogue::Objet* objet = catalogue::trouver(saisie);
    if (!objet) {
        edtsaisie.addLine(catalogue_texts::ObjetInconnu + saisie);
        return;
    }
    choisirObjet(*objet);
}

void frmTKR52princ::choisirObjet(const catalogue::Objet& objet)
{
    const catalogue::Position place = catalogue::positionDuJour(objet, système.utcMs(), lieu);
    const PiècesCoordonnées champs = champsDePosition(place.ad, place.dec);
    écrireChamps(champs);
    EdtObjet.setText(objet.libellé());
    std::string ligne = catalogue_texts::ObjetChoisi + objet.libellé() + " " + texteChamps(champs);
    if (objet.corps) {
        // A moving object's place holds for the moment it was computed.
        const platform::TimeOfDay t = système.localTime();
        ligne += catalogue_texts::À + deuxChiffres(t.hour) + ":" + deuxChiffres(t.minute) + ":"
            + deuxChiffres(t.second);
    }
    edtsaisie.addLine(ligne);
    if (objet.corps == sky::Corps::Lune && !lieu)
        edtsaisie.addLine(catalogue_texts::LuneGéocentrique.texte());
}
