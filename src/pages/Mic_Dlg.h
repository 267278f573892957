#pragma once
// The Microphone page: the two microphone channels.

#include "PageDlg.h"

namespace qx {

class CMic_Dlg : public CPageDlg {
    Q_OBJECT
  public:
    explicit CMic_Dlg(QWidget* parent = nullptr);
};

}  // namespace qx
