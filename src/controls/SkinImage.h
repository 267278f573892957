#pragma once
// One skin bitmap as a control holds it: by resource id, drawn for the pixel density the
// control asks for and drawn again when it asks for another (the window moved to a screen of
// another density), or a fixed image the caller made. An optional step (a transparent colour
// made clear, for example) runs on every image made. Sizes are logical pixels, the same at
// every density.

#include <QImage>
#include <functional>

namespace qx {

class CSkinImage {
  public:
    using Prepare = std::function<QImage(const QImage&)>;

    CSkinImage() = default;
    // The skin's bitmap of an id (0 gives none), made at once for the given density.
    static CSkinImage FromId(int id, qreal ratio, Prepare prepare = {});
    // A caller's image, shown as it is at every density.
    static CSkinImage Fixed(const QImage& image, Prepare prepare = {});

    bool IsNull() const { return m_image.isNull(); }
    int Id() const { return m_id; }
    // The image for a density: the one held when it was made for that density (or is fixed),
    // otherwise the id's bitmap made for it now.
    const QImage& At(qreal ratio) const;
    // The image as last made, whatever its density.
    const QImage& Held() const { return m_image; }
    qreal HeldRatio() const { return m_ratio; }
    QSize Size() const;
    int Width() const { return Size().width(); }
    int Height() const { return Size().height(); }

  private:
    int m_id = 0;
    Prepare m_prepare;
    mutable qreal m_ratio = 1.0;
    mutable QImage m_image;
};

}  // namespace qx
