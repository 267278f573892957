#pragma once
// The Music page: the two music channels' equaliser, filters, exciters, limiter, noise gate and
// key.

#include "StereoEqPage.h"

namespace qx {

class CMusicDlg : public CStereoEqPage {
    Q_OBJECT
  public:
    // Control ids of the page's template that handlers and tests address.
    static constexpr int kCurveView = 1292;
    static constexpr int kTrackbar = 1029;
    static constexpr int kSync = 1064;
    static constexpr int kLeft = 1065;
    static constexpr int kRight = 1066;
    static constexpr int kEqReset = 1067;
    static constexpr int kEqBypass = 1068;

    explicit CMusicDlg(QWidget* parent = nullptr);
};

}  // namespace qx
