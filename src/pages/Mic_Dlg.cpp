#include "Mic_Dlg.h"

namespace qx {

CMic_Dlg::CMic_Dlg(QWidget* parent) : CPageDlg(parent, 145, 715, 359) {}

}  // namespace qx
