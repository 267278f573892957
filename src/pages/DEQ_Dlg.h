#pragma once
// The Dynamic EQ page: the three dynamic bands of each music channel, a column of controls
// per band above the curve view, with the Music page's "SYNC" link of the two channels.

#include "PageDlg.h"

namespace qx {

class CChannelPair;
class CStripRow;

class CDEQ_Dlg : public CPageDlg {
    Q_OBJECT
  public:
    static constexpr int kCurveView = 1308;
    static constexpr int kSync = 1064;
    static constexpr int kLeft = 1065;
    static constexpr int kRight = 1066;
    static constexpr int kEqReset = 1067;

    explicit CDEQ_Dlg(QWidget* parent = nullptr);

    void RefreshFromParameters() override;

    CStripRow& StripRow() const { return *m_row; }
    CChannelPair& Channels() const { return *m_channels; }

  private:
    // A band picked or dragged on the curve: its frequency, gain and Q controls follow.
    void ShowBand(int band);

    CStripRow* m_row;
    CChannelPair* m_channels;
};

}  // namespace qx
