// frmTKR52princ: angle texts, target encoding and the target read from the entry fields.
// (placeholder bodies, to be built)
#include "app/frmTKR52princ.h"

std::string frmTKR52princ::Transhms(float) { return {}; }
std::string frmTKR52princ::TransDegMinSec(float) { return {}; }
std::string frmTKR52princ::zero(std::int16_t) { return {}; }
std::string frmTKR52princ::get_ADH_ADL(double) { return {}; }
std::string frmTKR52princ::get_DECH_DECL(float&) { return {}; }
std::optional<std::int32_t> frmTKR52princ::compteCibleAD(double) { return {}; }
std::optional<std::int32_t> frmTKR52princ::compteCibleDEC(float) { return {}; }
double frmTKR52princ::nombreEnTête(std::string_view) { return 0; }
std::optional<std::int16_t> frmTKR52princ::secondesEnTête(std::string_view) { return {}; }
bool frmTKR52princ::set_objectAD() { return true; }
bool frmTKR52princ::set_objectDEC() { return true; }
