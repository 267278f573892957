#pragma once
// The skinned slider of every page: a channel image, an optional active channel that fills
// up to the thumb, a thumb and an optional active thumb. It reports its position with the
// signals Tracking (every 50 ms while dragged, when it moved) and Changed (release, navigation
// keys, wheel steps), both with the control id and the position. Both are "posted": they are
// emitted from the event loop after the event that caused them, with the position of that
// moment, whoever listens and whatever widget the slider sits in.

#include <QBasicTimer>
#include <QImage>
#include <QWidget>

#include "LinkedSlider.h"
#include "SkinImage.h"

namespace qx {

// A transparent colour as the resource tools write it: 0x00BBGGRR.
constexpr quint32 MakeColorRef(int red, int green, int blue) {
    return static_cast<quint32>(red & 0xFF) | (static_cast<quint32>(green & 0xFF) << 8) |
           (static_cast<quint32>(blue & 0xFF) << 16);
}

class CBitmapSlider : public QWidget, public ILinkedSlider {
    Q_OBJECT
  public:
    // The transparent colour that stands for "the colour of the given pixel".
    static constexpr quint32 kPixelColor = 0xFF000000u;
    static constexpr int kTimerPeriodMs = 50;
    // How much of a disabled slider's channel shows over the page.
    static constexpr qreal kDisabledOpacity = 0.4;

    explicit CBitmapSlider(QWidget* parent = nullptr, int controlId = 0);

    bool SetBitmapChannel(int channelId, int activeId = 0, bool transparent = false,
                          quint32 transparentColor = kPixelColor, int pixelX = 0, int pixelY = 0);
    bool SetBitmapThumb(int thumbId, int activeId = 0, bool transparent = false,
                        quint32 transparentColor = kPixelColor, int pixelX = 0, int pixelY = 0);
    // The same with images instead of resource ids (a null image fails to load).
    bool SetChannelImages(const QImage& channel, const QImage& active, bool transparent,
                          quint32 transparentColor, int pixelX, int pixelY);
    bool SetThumbImages(const QImage& thumb, const QImage& active, bool transparent,
                        quint32 transparentColor, int pixelX, int pixelY);

    void SetMargin(int left, int top, int right, int bottom);
    void SetRange(int minimum, int maximum, bool redraw = false);
    int GetRangeMin() const { return m_minimum; }
    int GetRangeMax() const { return m_maximum; }
    void SetPageSize(int page) { m_page = page; }
    int GetPageSize() const { return m_page; }
    void SetVertical(bool vertical);
    bool IsVertical() const { return m_vertical; }
    void Enable(bool enable);
    bool IsEnabledLook() const { return m_enabled; }
    void SetFocusLook(bool focused);
    bool GetFocusLook() const { return m_focusLook; }

    void SetPos(int value);
    int GetPos() const { return m_position; }
    void SetPosInverted(int value) override;
    int GetPosInverted() const override;

    bool IsDragging() const { return m_dragging; }
    // Thumb centre of a position along the slider's axis, and the position of a centre.
    int CentreOf(int position) const;
    int PositionOf(int centre) const;

    QSize sizeHint() const override;

    // The images as drawn now, at the density they were last made for.
    const QImage& ChannelImage() const { return m_channel.Held(); }
    const QImage& ThumbImage() const { return m_thumb.Held(); }

  signals:
    void Tracking(int controlId, int position);
    void Changed(int controlId, int position);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    int Length() const;  // usable length of centres
    int LowestCentre() const;
    int AxisCoordinate(const QPointF& point) const;
    // Emits Changed (final) or Tracking from the event loop.
    void Notify(bool final);
    void StopTimer();
    void RedrawInParent();
    void TakeChannel(bool transparent);
    void TakeThumb(const CSkinImage& thumb, const CSkinImage& active, bool transparent);

    int m_maximum = 100;
    int m_minimum = 0;
    int m_position = 0;
    int m_page = 10;
    int m_width = 0;
    int m_height = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    int m_mouseOffset = 0;
    bool m_moved = false;
    bool m_vertical = false;
    bool m_hasActiveChannel = false;
    bool m_hasActiveThumb = false;
    bool m_transparentChannel = false;
    bool m_transparentThumb = false;
    bool m_hasThumb = false;
    bool m_hasChannel = false;
    bool m_dragging = false;
    bool m_clickStepped = false;  // a press on the channel stepped the position
    bool m_focusLook = false;
    bool m_enabled = true;
    // Transparent images keep their transparent pixels as alpha 0; drawing them composes over
    // what lies below, as the mask-and-image pair of a GDI blit does. Skin images are made for
    // the slider's pixel density and made again when it changes; sizes stay logical.
    CSkinImage m_channel;
    CSkinImage m_activeChannel;
    CSkinImage m_thumb;
    CSkinImage m_activeThumb;
    qint16 m_wheel = 0;
    QBasicTimer m_timer;
};

// An image with every pixel of the transparent colour made fully transparent. kPixelColor
// picks the colour of the pixel at (pixelX, pixelY), in logical pixels: on an image made for
// a denser screen the pixel the position covers there. The image keeps its pixel density.
QImage MaskTransparent(const QImage& image, quint32 transparentColor, int pixelX, int pixelY);

}  // namespace qx
