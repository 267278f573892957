#include "MusicDlg.h"

namespace qx {

CMusicDlg::CMusicDlg(QWidget* parent) : CPageDlg(parent, 135, 715, 359) {}

}  // namespace qx
