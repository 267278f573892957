#pragma once
// The Microphone page: the two microphone channels' equaliser, filters, level, feedback
// suppression, noise gate, limiter and exciters.

#include "StereoEqPage.h"

namespace qx {

class CMic_Dlg : public CStereoEqPage {
    Q_OBJECT
  public:
    static constexpr int kCurveView = 1295;
    static constexpr int kTrackbar = 3000;
    static constexpr int kSync = 1064;
    static constexpr int kMic1 = 1065;
    static constexpr int kMic2 = 1066;
    static constexpr int kEqReset = 1067;
    static constexpr int kEqBypass = 1068;

    explicit CMic_Dlg(QWidget* parent = nullptr);
};

}  // namespace qx
