#pragma once
// The Music page: the two music channels' equaliser, filters, exciters, limiter, noise gate and
// key.

#include "PageDlg.h"

namespace qx {

class CMusicDlg : public CPageDlg {
    Q_OBJECT
  public:
    explicit CMusicDlg(QWidget* parent = nullptr);
};

}  // namespace qx
