// frmTKR52princ: spin buttons and clipboard import. (placeholder bodies)
#include "app/frmTKR52princ.h"

void frmTKR52princ::UpDownADHrs_UpClick() {}
void frmTKR52princ::UpDownADHrs_DownClick() {}
void frmTKR52princ::UpDownADMin_UpClick() {}
void frmTKR52princ::UpDownADMin_DownClick() {}
void frmTKR52princ::UpDownADSec_UpClick() {}
void frmTKR52princ::UpDownADSec_DownClick() {}
void frmTKR52princ::UpDownDECdeg_UpClick() {}
void frmTKR52princ::UpDownDECdeg_DownClick() {}
void frmTKR52princ::UpDownDECmin_UpClick() {}
void frmTKR52princ::UpDownDECmin_DownClick() {}
void frmTKR52princ::UpDownDECsec_UpClick() {}
void frmTKR52princ::UpDownDECsec_DownClick() {}
void frmTKR52princ::Btn_récup_clipboard_Click() {}
std::optional<std::string> frmTKR52princ::pasSpin(std::string_view, int, double, std::string_view,
                                                    std::string_view)
{
    return {};
}
std::optional<frmTKR52princ::PiècesCoordonnées> frmTKR52princ::découperPressePapier(std::string_view)
{
    return {};
}
