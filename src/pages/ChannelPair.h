#pragma once
// The two channel buttons of a stereo pair and their "SYNC" link: which channel the page edits
// (its block and its equaliser), and the link byte. While linked the page edits the left
// channel only and both channel buttons are released and disabled; unlinking copies the left
// block onto the right one in the image and in the sent image alike (the processor already
// mirrors it), so nothing is sent for the copy.

#include <QObject>
#include <string>

#include "ImageModel.h"

namespace qx {

class CPageDlg;
class CStripRow;

struct ChannelPairSetup {
    int syncId = 0;  // Toggle row on the link byte
    int leftId = 0;  // Button rows
    int rightId = 0;
    const char* linkField = "";    // "MusicLink"
    const char* placeholder = "";  // the binding placeholder of the edited block: "ch"
    const char* leftBlock = "";    // "MusicLeft"
    const char* rightBlock = "";   // "MusicRight"
    int leftEq = 0;
    int rightEq = 1;
    int* edited = nullptr;  // EQ number edited, kept between visits
    // CImageModel::LinkMusic / LinkMic (takes ParamLock itself)
    void (CImageModel::*copyLeftToRight)(const ChangeOrigin&) = nullptr;
};

class CChannelPair : public QObject {
    Q_OBJECT
  public:
    // Attaches the handlers of the three buttons (their rows may be added later).
    CChannelPair(CPageDlg& page, CStripRow& row, const ChannelPairSetup& setup);

    // Before the page's controls load: the edited block's placeholder, and the left channel
    // whenever the link is set (a linked pair never edits the right channel).
    void PrepareRefresh();
    // After they load: the pressed and enabled states of the channel buttons.
    void ShowButtons();

    // Switches to the channel of an EQ number; -1: the link byte was just toggled.
    void SelectChannel(int eqNumber);
    // What the "SYNC" button does: toggles the link under ParamLock, then SelectChannel(-1).
    // Whether a field of the left block differs from its right counterpart.
    bool BlocksDiffer() const;
    // Asks before the right channel follows the left one and keeps a snapshot.
    bool ConfirmFollow();
    void ToggleLink();

    bool Linked() const;
    int Edited() const { return *m_setup.edited; }

  private:
    CPageDlg& m_page;
    CStripRow& m_row;
    ChannelPairSetup m_setup;
};

}  // namespace qx
