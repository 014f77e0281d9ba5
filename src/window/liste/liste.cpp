// SPDX-License-Identifier: GPL-3.0-or-later
// frmTKR52princ: the observing list, whose entries are chosen one after the other as "Objet :" does.
#include <algorithm>

#include "window/app/frmTKR52princ.h"
#include "window/liste/texts.h"

namespace {

// An unreadable list of thousands of lines does not bury the log box: the first ones, then a count.
constexpr std::size_t IllisiblesMontrés = 20;
static_assert(liste::TailleMax == 4 * 1024 * 1024, "RefusTropGrand names the limit");

const char* refus(liste::Refus r)
{
    switch (r) {
    case liste::Refus::TropGrand:
        return liste_texts::RefusTropGrand;
    case liste::Refus::Binaire:
        return liste_texts::RefusBinaire;
    case liste::Refus::Malformé:
        return liste_texts::RefusMalformé;
    case liste::Refus::Introuvable:
    case liste::Refus::Aucun:
        break;
    }
    return liste_texts::RefusIntrouvable;
}

} // namespace

bool frmTKR52princ::prendreListe(liste::Lecture lecture, const std::string& chemin, std::size_t rang)
{
    const char* const préfixe = lecture.format == liste::Format::Stellarium ? liste_texts::ObjetIllisible
                                                                            : liste_texts::LigneIllisible;
    const std::size_t montrés = std::min(lecture.illisibles.size(), IllisiblesMontrés);
    for (std::size_t i = 0; i < montrés; ++i)
        edtsaisie.addLine(préfixe + std::to_string(lecture.illisibles[i].ligne) + liste_texts::Illisible
            + lecture.illisibles[i].texte);
    if (lecture.illisibles.size() > montrés)
        edtsaisie.addLine(liste_texts::Rang + std::to_string(lecture.illisibles.size() - montrés)
            + liste_texts::AutresIllisibles);
    if (lecture.entrées.empty())
        return false;
    edtsaisie.addLine(liste_texts::Rang + std::to_string(lecture.entrées.size()) + liste_texts::Lue + chemin);
    listeObservation = std::move(lecture);
    cheminListe = chemin;
    btnPrécédent.setVisible(true);
    btnSuivant.setVisible(true);
    choisirEntrée(std::clamp<std::size_t>(rang, 1, listeObservation.entrées.size()));
    return true;
}

void frmTKR52princ::chargerListe(const std::string& chemin)
{
    liste::Lecture lecture = liste::lireFichier(chemin);
    if (lecture.refus != liste::Refus::Aucun) {
        système.messageBox(refus(lecture.refus) + chemin, Titre);
        return;
    }
    if (!prendreListe(std::move(lecture), chemin, 1))
        système.messageBox(liste_texts::RefusVide + chemin, Titre);
}

void frmTKR52princ::reprendreListe()
{
    if (!mémoireListe)
        return;
    const std::optional<platform::ListeRetenue> retenue = mémoireListe->liste();
    if (!retenue)
        return;
    liste::Lecture lecture = liste::lireFichier(retenue->fichier);
    if (lecture.refus == liste::Refus::Introuvable) {
        // Kept: the file may be on a disk not mounted yet.
        edtsaisie.addLine(liste_texts::Introuvable + retenue->fichier);
        return;
    }
    if (lecture.refus != liste::Refus::Aucun || lecture.entrées.empty()) {
        edtsaisie.addLine(liste_texts::IllisibleAuDépart + retenue->fichier);
        return;
    }
    std::size_t rang = retenue->rang;
    if (lecture.empreinte != retenue->empreinte) {
        edtsaisie.addLine(liste_texts::Modifiée + retenue->fichier);
        rang = 1;
    }
    prendreListe(std::move(lecture), retenue->fichier, rang);
}

void frmTKR52princ::choisirEntrée(std::size_t rang)
{
    rangListe = rang;
    const liste::Entrée& entrée = listeObservation.entrées[rang - 1];
    edtsaisie.addLine(liste_texts::Rang + std::to_string(rang) + "/"
        + std::to_string(listeObservation.entrées.size()) + " " + entrée.objet().désignation);
    choisirObjet(entrée.objet());
    if (mémoireListe)
        mémoireListe->retenir({ cheminListe, rangListe, listeObservation.empreinte });
}

void frmTKR52princ::btnSuivant_Click()
{
    if (!listeChargée())
        return;
    if (rangListe >= listeObservation.entrées.size()) {
        système.beep(); // the end of the list: it does not start again unseen
        return;
    }
    choisirEntrée(rangListe + 1);
}

void frmTKR52princ::btnPrécédent_Click()
{
    if (!listeChargée())
        return;
    if (rangListe <= 1) {
        système.beep();
        return;
    }
    choisirEntrée(rangListe - 1);
}
