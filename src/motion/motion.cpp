// frmTKR52princ: direction buttons, speed options and autoguiding. (placeholder bodies)
#include "app/frmTKR52princ.h"

void frmTKR52princ::btnNord_MouseDown(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnSud_MouseDown(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnEst_MouseDown(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnOuest_MouseDown(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnNord_MouseUp(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnSud_MouseUp(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnEst_MouseUp(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::btnOuest_MouseUp(std::int16_t, std::int16_t, float, float) {}
void frmTKR52princ::OptVitesselente_Click(std::int16_t) {}
void frmTKR52princ::OptVitessecentrage_Click(std::int16_t) {}
void frmTKR52princ::OptVitesseapproche_Click(std::int16_t) {}
void frmTKR52princ::OptVitessepointage_Click(std::int16_t) {}
void frmTKR52princ::Optvitesseauto_Click() {}
