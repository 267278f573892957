#pragma once
// The fit of an equaliser to its room: options (range, bands, boost, types, keep), the fit run
// off the user-interface thread behind a progress bar with Cancel, and a preview of what the
// processor will do (curves and a table of bands) with the deviation before and after. Apply
// writes the bands as one undo step; nothing changes before.

#include <QDialog>
#include <memory>

#include "RoomFit.h"
#include "RoomTuning.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace qx {

class CFitPreview;

class CFitDialog : public QDialog {
    Q_OBJECT
  public:
    CFitDialog(int eqNumber, int scene, const RoomState& room, QWidget* parent = nullptr);
    ~CFitDialog() override;

    FitOptions Options() const;
    void SetOptions(const FitOptions& options);
    // Runs the fit with the options shown; false when cancelled or refused.
    bool RunFit();
    // Writes the previewed fit into the equaliser as one undo step; false with none.
    bool ApplyFit();
    const FitResult& Result() const { return m_result; }

  private:
    void ShowResult();

    int m_eqNumber;
    int m_scene;
    RoomState m_room;
    FitInput m_input;
    FitResult m_result;
    bool m_haveResult = false;
    QDoubleSpinBox* m_low = nullptr;
    QDoubleSpinBox* m_high = nullptr;
    QSpinBox* m_bands = nullptr;
    QDoubleSpinBox* m_boost = nullptr;
    QCheckBox* m_peaking = nullptr;
    QCheckBox* m_lowShelf = nullptr;
    QCheckBox* m_highShelf = nullptr;
    QCheckBox* m_keep = nullptr;
    QLabel* m_errors = nullptr;
    QTableWidget* m_table = nullptr;
    CFitPreview* m_preview = nullptr;
    QPushButton* m_apply = nullptr;
};

}  // namespace qx
