#pragma once
// The Effect page: Echo A, Echo B and Reverb behind three selector buttons.

#include "PageDlg.h"

namespace qx {

class CEffect_Dlg : public CPageDlg {
    Q_OBJECT
  public:
    explicit CEffect_Dlg(QWidget* parent = nullptr);
};

}  // namespace qx
