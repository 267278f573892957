#pragma once
// The Effect page: Echo A, Echo B and Reverb behind three selector buttons, over one curve
// view that the echo and reverb pages' strips and filters drive.

#include "PageDlg.h"

namespace qx {

class CEQCurveStatic;
class CEcho_Dlg;
class CRev_Dlg;

class CEffect_Dlg : public CPageDlg {
    Q_OBJECT
  public:
    static constexpr int kCurveView = 1297;
    static constexpr int kEchoA = 1064;
    static constexpr int kEchoB = 1065;
    static constexpr int kReverb = 1066;

    explicit CEffect_Dlg(QWidget* parent = nullptr);

    // Shows the effect of `selectedEffect`: its sub-page refreshed, its button pressed.
    void RefreshFromParameters() override;
    void ApplyLanguage() override;

    // What a selector button does: nothing for the effect on show; otherwise show the other.
    void SelectEffect(int eqNumber);

    CEQCurveStatic* View() const { return m_view; }
    CEcho_Dlg* EchoPage() const { return m_echo; }
    CRev_Dlg* ReverbPage() const { return m_reverb; }

  private:
    CEQCurveStatic* m_view;
    CEcho_Dlg* m_echo;
    CRev_Dlg* m_reverb;
};

}  // namespace qx
