#pragma once
// What the echo and the reverb page share: seven band strips under the effect selector's
// curve view, the wet and dry levels with their switches, the high-pass and low-pass blocks,
// and "EQ Reset" / "EQ pass". The page edits the block named by its "fx" placeholder; its
// strips drive the selector's view, which is shared by both pages.

#include <span>

#include "PageDlg.h"

namespace qx {

class CEQCurveStatic;
class CStripRow;

struct EffectPageIds {
    int templateId = 0;
    std::span<const int> stripCaptions;  // type, gain, frequency, Q
    std::span<const int> wet;            // label, slider, switch
    std::span<const int> dry;
    std::span<const int> highPass;  // slope, edit, slider
    std::span<const int> lowPass;
    int reset = 0;
    int bypass = 0;
};

class CEffectPage : public CPageDlg {
    Q_OBJECT
  public:
    // Column of the levels and filters, in dialog units.
    static constexpr int kColumnA = 372;
    static constexpr int kColumnB = 513;

    // view: the selector's curve view; eqNumber: the effect edited first; block: its record.
    CEffectPage(QWidget* parent, CEQCurveStatic* view, const EffectPageIds& ids, int eqNumber,
                const char* block);

    void RefreshFromParameters() override;

    CStripRow& StripRow() const { return *m_row; }

  protected:
    // Another effect: strips bound to its bands, the mark dropped, its block edited.
    void Rebind(int eqNumber, const char* block);

    CStripRow* m_row;
};

}  // namespace qx
