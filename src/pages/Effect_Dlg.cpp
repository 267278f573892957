#include "Effect_Dlg.h"

namespace qx {

CEffect_Dlg::CEffect_Dlg(QWidget* parent) : CPageDlg(parent, 146, 785, 359) {}

}  // namespace qx
