#pragma once
// The Dynamic EQ page: the three dynamic bands of each music channel.

#include "PageDlg.h"

namespace qx {

class CDEQ_Dlg : public CPageDlg {
    Q_OBJECT
  public:
    explicit CDEQ_Dlg(QWidget* parent = nullptr);
};

}  // namespace qx
