#pragma once
// The base of the Music and Microphone pages: a page that edits one of two linkable channels
// with a strip row over a curve view. It owns the row and the channel pair and refreshes them
// in their order around the bound controls.

#include "ChannelPair.h"
#include "PageDlg.h"
#include "StripRow.h"

namespace qx {

class CStereoEqPage : public CPageDlg {
    Q_OBJECT
  public:
    void RefreshFromParameters() override;
    // An EQ number of either channel, or -1 after the link was toggled.
    void SelectChannel(int eqNumber);

    CStripRow& StripRow() const { return *m_row; }
    CChannelPair& Channels() const { return *m_channels; }

  protected:
    CStereoEqPage(QWidget* parent, int templateId, const StripRowSetup& row,
                  const ChannelPairSetup& pair);
    // The last step of a page's constructor, once its tables are placed: the view sized for
    // the group of curve sets, the strips on the remembered channel and bands, every control
    // loaded and captioned.
    void Start(int curveGroup);

    CStripRow* m_row;
    CChannelPair* m_channels;
};

}  // namespace qx
