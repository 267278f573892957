#include "MainDlg.h"

#include <algorithm>

namespace qx {

CMainDlg::CMainDlg(QWidget* parent) : CPageDlg(parent, 149, 715, 359) {}

void CMainDlg::ShowChannelGroup(int group) {
    m_group = std::clamp(group, 0, kGroups - 1);
}

}  // namespace qx
