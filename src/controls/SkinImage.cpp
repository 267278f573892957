#include "SkinImage.h"

#include <QtMath>

#include "SkinBitmaps.h"

namespace qx {

namespace {

// Densities are compared in hundredths, as the skin keeps them.
int Hundredths(qreal ratio) {
    return qRound(ratio * 100);
}

}  // namespace

CSkinImage CSkinImage::FromId(int id, qreal ratio, Prepare prepare) {
    CSkinImage image;
    image.m_id = id;
    image.m_prepare = std::move(prepare);
    image.m_ratio = 0;  // nothing made yet
    image.At(ratio);
    return image;
}

CSkinImage CSkinImage::Fixed(const QImage& image, Prepare prepare) {
    CSkinImage fixed;
    fixed.m_image = prepare && !image.isNull() ? prepare(image) : image;
    fixed.m_ratio = image.devicePixelRatio();
    return fixed;
}

const QImage& CSkinImage::At(qreal ratio) const {
    if (m_id == 0 || Hundredths(ratio) == Hundredths(m_ratio)) {
        return m_image;
    }
    m_ratio = ratio;
    m_image = CSkinBitmaps::Get(m_id, ratio);
    if (m_prepare && !m_image.isNull()) {
        m_image = m_prepare(m_image);
    }
    return m_image;
}

QSize CSkinImage::Size() const {
    return m_image.isNull() ? QSize() : m_image.deviceIndependentSize().toSize();
}

}  // namespace qx
