#pragma once
// The reverb page: the reverb's pre-delay and time beside the levels and filters of every
// effect.

#include "EffectPage.h"

namespace qx {

class CRev_Dlg : public CEffectPage {
    Q_OBJECT
  public:
    static constexpr int kEqReset = 1066;
    static constexpr int kEqPass = 1067;

    CRev_Dlg(QWidget* parent, CEQCurveStatic* view);
};

}  // namespace qx
