#include "DialogUnits.h"

#include <cmath>

namespace qx {

int CDialogUnits::ToPixelsX(int units) {
    return static_cast<int>(std::lround(units * kPixelsPerUnitX));
}

int CDialogUnits::ToPixelsY(int units) {
    return static_cast<int>(std::lround(units * kPixelsPerUnitY));
}

QPoint CDialogUnits::ToPixels(QPoint units) {
    return {ToPixelsX(units.x()), ToPixelsY(units.y())};
}

QSize CDialogUnits::ToPixels(QSize units) {
    return {ToPixelsX(units.width()), ToPixelsY(units.height())};
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) {
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return QRect(QPoint(left, top), QPoint(ToPixelsX(x + width) - 1, ToPixelsY(y + height) - 1));
}

}  // namespace qx
