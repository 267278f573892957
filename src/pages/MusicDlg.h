#pragma once
// The Music page: the two music channels' equaliser, filters, exciters, limiter, noise gate and
// key.

#include "PageDlg.h"

namespace qx {

class CChannelPair;
class CStripRow;

class CMusicDlg : public CPageDlg {
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

    void RefreshFromParameters() override;
    // a: 0 left, 1 right, -1 after the link was toggled.
    void SelectChannel(int a);

    CStripRow& StripRow() const { return *m_row; }
    CChannelPair& Channels() const { return *m_channels; }

  private:
    CStripRow* m_row;
    CChannelPair* m_channels;
};

}  // namespace qx
