#pragma once
// The Output page: one page for the five output tabs. The tab shown picks the channel group
// (Main, Center, SUB, Rear, Surround); the fields are those of the output scene in force.
//
// Main, Rear and Surround are pairs (left and right channel) that can be linked with "SYNC";
// one side of a pair is edited at a time, except that the limiter always edits the left
// record and each side has its own mute and delay. The four mode buttons write the output
// mode byte, which chooses the scene the page shows; in Auto the page is a read-only view
// of the remembered scene, with only the mode and side buttons usable.

#include <array>

#include "MainDlgRules.h"
#include "PageDlg.h"
#include "TextPair.h"

namespace qx {

class CStripRow;

// The control ids (OutputPageIds) are the page's own: CMainDlg::kSync.
class CMainDlg : public CPageDlg, public OutputPageIds {
    Q_OBJECT
  public:
    static constexpr int kGroups = 5;
    enum Group { kGroupMain = 0, kGroupCenter, kGroupSub, kGroupRear, kGroupSurround };

    explicit CMainDlg(QWidget* parent = nullptr);

    // Lays the page out for a channel group, 0 Main .. 4 Surround (tab index - 4).
    virtual void ShowChannelGroup(int group);
    int ChannelGroup() const { return m_group; }

    void RefreshFromParameters() override;
    void ApplyLanguage() override;

    // The EQ number being edited: the edited side of a pair, or the single channel.
    int EditedEq() const;
    // EQ numbers of the group's left and right channel (right -1 for Center and SUB).
    int LeftEq() const;
    int RightEq() const;
    bool IsPair() const { return RightEq() >= 0; }

    CStripRow& StripRow() const { return *m_row; }

  private:
    struct GroupInfo {
        int leftEq;
        int rightEq;   // -1: a single channel
        int linkByte;  // OutputLinks index; -1 for a single channel
        TextPair leftSide;
        TextPair rightSide;
        TextPair limitTitle;
        TextPair leftMute;
        TextPair leftDelay;
    };
    static const std::array<GroupInfo, kGroups> kGroupInfo;

    const GroupInfo& Info() const { return kGroupInfo[static_cast<std::size_t>(m_group)]; }
    std::size_t PairIndex() const;
    int& EditedSide();
    std::string LinkField() const;
    bool IsLinked() const;

    void SetPlaceholders();
    void ApplyGroupCaptions();
    OutputPageState State() const;
    void UpdateEnableState();
    void UpdateButtons();

    void OnMode(int mode);
    void OnSide(int eqNumber);
    void OnLink(int on);

    // The curve sets of every output channel are sized alike (curve view group 4).
    static constexpr int kCurveGroupOutputs = 4;

    CStripRow* m_row;
    int m_group = kGroupMain;
    // The edited side of Main, Rear and Surround: the EQ number of the channel being edited.
    std::array<int, 3> m_editedSide{8, 12, 14};
};

}  // namespace qx
