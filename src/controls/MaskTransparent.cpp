// The transparent colour of a slider's bitmap made clear (declared with CBitmapSlider).

#include <QImage>
#include <algorithm>

#include "BitmapSlider.h"

namespace qx {

QImage MaskTransparent(const QImage& image, quint32 transparentColor, int pixelX, int pixelY) {
    if (image.isNull()) {
        return image;
    }
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    QRgb key;
    if (transparentColor == CBitmapSlider::kPixelColor) {
        // The logical pixel's top-left device pixel: on a denser image the same spot.
        const qreal ratio = image.devicePixelRatio();
        const int x = std::clamp(static_cast<int>(pixelX * ratio), 0, out.width() - 1);
        const int y = std::clamp(static_cast<int>(pixelY * ratio), 0, out.height() - 1);
        key = out.pixel(x, y);
    } else {
        key = qRgb(static_cast<int>(transparentColor & 0xFF),
                   static_cast<int>((transparentColor >> 8) & 0xFF),
                   static_cast<int>((transparentColor >> 16) & 0xFF));
    }
    key &= 0xFFFFFFu;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) == key) {
                line[x] = 0;
            }
        }
    }
    out = out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(image.devicePixelRatio());
    return out;
}

}  // namespace qx
