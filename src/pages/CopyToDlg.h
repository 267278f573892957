#pragma once
// "Copy to...": the channel or output a page edits, copied to its partner, another output,
// every output, or its whole scene to another scene. The parts are chosen by check boxes
// (levels, mutes and delays unticked at first); the preview lists every field that will
// change before anything changes, and "Copy" writes them as one undo step. What may be copied
// where is decided by CCopyPlan; this dialog only gathers the choice.

#include <QDialog>
#include <functional>
#include <vector>

#include "CopyPlan.h"
#include "TextPair.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace qx {

// The "Copy to..." button of the Music, Microphone, Dynamic EQ and Output pages.
constexpr int kCopyToButton = 3860;
constexpr TextPair kCopyToText{"复制到…", "Copy to..."};

class CFieldBinding;
class CImageModel;

class CCopyToDlg : public QDialog {
    Q_OBJECT
  public:
    CCopyToDlg(CImageModel& model, const CopyEndpoint& source, QWidget* parent = nullptr);

    // Targets offered, in the combo's order.
    enum Target { kPartner, kOutput, kAllOutputs, kScene };
    void Choose(Target target, int which = 0);
    void SetParts(unsigned parts);
    // The plan the choice makes now, and its preview as listed.
    CopyPlan Plan() const;
    int PreviewRows() const;
    // Applies the plan: the number of fields changed.
    std::size_t Apply();

    // Makes the page button with this id open the dialog for the endpoint the page edits.
    static void Attach(CFieldBinding& binding, int buttonId, std::function<CopyEndpoint()> source);

  private:
    void Update();

    CImageModel& m_model;
    CopyEndpoint m_source;
    std::vector<Target> m_targets;  // combo entry -> target
    QComboBox* m_target;
    QComboBox* m_which;
    std::vector<std::pair<unsigned, QCheckBox*>> m_parts;
    QListWidget* m_preview;
    QLabel* m_summary;
    QPushButton* m_copy;
};

}  // namespace qx
