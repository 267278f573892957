#pragma once
// The Output page: one page for the five output tabs. The tab shown picks the channel group
// (Main, Center, SUB, Rear, Surround); the fields are those of the output scene in force.

#include "PageDlg.h"

namespace qx {

class CMainDlg : public CPageDlg {
    Q_OBJECT
  public:
    static constexpr int kGroups = 5;

    explicit CMainDlg(QWidget* parent = nullptr);

    // Lays the page out for a channel group, 0 Main .. 4 Surround (tab index - 4).
    virtual void ShowChannelGroup(int group);
    int ChannelGroup() const { return m_group; }

  protected:
    int m_group = 0;
};

}  // namespace qx
