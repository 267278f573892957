#pragma once
// Page layouts are given in dialog units. One scale serves the whole program, chosen so that
// the main window's 723 x 373 unit client area comes out at about 1265 x 700 pixels.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace qx {

class CDialogUnits {
  public:
    static constexpr double kPixelsPerUnitX = 1.75;
    static constexpr double kPixelsPerUnitY = 1.875;

    static int ToPixelsX(int units);
    static int ToPixelsY(int units);
    static QPoint ToPixels(QPoint units);
    static QSize ToPixels(QSize units);
    // Each edge is converted on its own, as the dialog manager maps a rectangle.
    static QRect ToPixels(int x, int y, int width, int height);
};

}  // namespace qx
