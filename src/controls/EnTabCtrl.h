#pragma once
// The main window's tab look: dark tabs with a vertical gradient, a lighter selected tab with
// red text, light and dark edges. The look flags are shared by all instances.

#include "BaseTabCtrl.h"

namespace qx {

class CEnTabCtrl : public CBaseTabCtrl {
    Q_OBJECT
  public:
    static constexpr int kCustomLook = 1;
    static constexpr int kBackgroundColours = 2;
    static constexpr int kSelectedPalette = 4;
    static constexpr int kGradient = 8;
    static constexpr int kLightUnselected = 16;

    explicit CEnTabCtrl(QWidget* parent = nullptr, int drawMode = 2, int controlId = 0);

    static void SetLook(bool enable, int flags);
    static int Look();

    void DrawItem(const TabItemDraw& item) override;
    void DrawMainBorder(const TabItemDraw& item) override;
    void DrawItemBorder(const TabItemDraw& item) override;
    QColor GetTabColor(bool selected) const override;
    QColor GetTabTextColor(bool selected) const override;

    // The colour of the 2-pixel band at offset y of a fill of the given height.
    static QColor BandColor(const QColor& start, const QColor& end, int y, int height);
};

}  // namespace qx
