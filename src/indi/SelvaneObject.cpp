// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's OBJECT_NAME: a target by name, found by the catalogue's search, as in the window.
#include <string>

#include "indi/SelvaneTelescope.h"
#include "indi/texts.h"
#include "protocol/codec.h"
#include "sky/catalogue.h"
#include "sky/dates.h"

namespace indi_driver {

void SelvaneTelescope::initObjectProperty()
{
    IUFillText(&ObjectT[0], indi_texts::NomÉlément, indi_texts::LibelléNomÉlément, "");
    IUFillTextVector(&ObjectTP, ObjectT, 1, getDeviceName(), indi_texts::Objet, indi_texts::LibelléObjet,
        MAIN_CONTROL_TAB, IP_RW, 60, IPS_IDLE);
}

void SelvaneTelescope::newObject(const char* name)
{
    const catalogue::Objet* objet = catalogue::trouver(name);
    if (!objet) {
        LOGF_ERROR(indi_texts::ObjetInconnu, name);
        ObjectTP.s = IPS_ALERT;
        IDSetText(&ObjectTP, nullptr);
        return;
    }
    const catalogue::Position place = catalogue::positionDuJour(*objet, sky::maintenantMs(), site);
    IUSaveText(&ObjectT[0], objet->libellé().c_str());
    ObjectTP.s = IPS_OK;
    IDSetText(&ObjectTP, nullptr);
    const double heures = place.ad / protocol::DegrésParHeure;
    LOGF_INFO(indi_texts::ObjetChoisi, objet->libellé().c_str(), heures, place.dec);
    double values[] = { heures, place.dec };
    char* names[] = { EqN[AXIS_RA].name, EqN[AXIS_DE].name };
    newTarget(values, names, 2);
}

} // namespace indi_driver
