#include "DEQ_Dlg.h"

namespace qx {

CDEQ_Dlg::CDEQ_Dlg(QWidget* parent) : CPageDlg(parent, 144, 715, 359) {}

}  // namespace qx
