#pragma once
// The echo page: Echo A or Echo B, whichever the effect selector shows, with its pre-delay,
// delay, repeat and right-channel delays beside the levels and filters of every effect.

#include "EffectPage.h"

namespace qx {

class CEcho_Dlg : public CEffectPage {
    Q_OBJECT
  public:
    static constexpr int kEqReset = 3550;
    static constexpr int kEqPass = 3551;

    CEcho_Dlg(QWidget* parent, CEQCurveStatic* view);

    // The selector's echo selection: edit Echo A (4) or Echo B (5).
    void SelectEcho(int eqNumber);
};

}  // namespace qx
