#pragma once
// The Microphone page: the two microphone channels' equaliser, filters, level, feedback
// suppression, noise gate, limiter and exciters.

#include "PageDlg.h"

namespace qx {

class CChannelPair;
class CStripRow;

class CMic_Dlg : public CPageDlg {
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

    void RefreshFromParameters() override;
    // a: the EQ number of a microphone (2 or 3), -1 after the link was toggled.
    void SelectChannel(int a);

    CStripRow& StripRow() const { return *m_row; }
    CChannelPair& Channels() const { return *m_channels; }

  private:
    CStripRow* m_row;
    CChannelPair* m_channels;
};

}  // namespace qx
