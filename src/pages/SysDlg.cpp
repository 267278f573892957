#include "SysDlg.h"

namespace qx {

CSysDlg::CSysDlg(QWidget* parent) : CPageDlg(parent, 164, 715, 359) {}

void CSysDlg::ShowMonitor(int replyCommand) {
    (void)replyCommand;
}

}  // namespace qx
