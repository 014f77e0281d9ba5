// frmTKR52princ: clock angle, initialisation, GOTO and time compensation. (placeholder bodies)
#include "app/frmTKR52princ.h"

float frmTKR52princ::Tempscourant() { return 0; }
void frmTKR52princ::btninitialisation_Click() {}
void frmTKR52princ::BtnGOTO_Click() {}
void frmTKR52princ::Correction_temporelle() {}
