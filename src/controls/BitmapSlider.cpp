#include "BitmapSlider.h"
#include "FocusMark.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "ControlId.h"
#include "SkinBitmaps.h"

namespace qx {

namespace {

// What a slider does to each image before drawing it: the transparent colour made clear, or
// a format that draws fast.
CSkinImage::Prepare Preparation(bool transparent, quint32 transparentColor, int pixelX,
                                int pixelY) {
    if (transparent) {
        return [=](const QImage& image) {
            return MaskTransparent(image, transparentColor, pixelX, pixelY);
        };
    }
    return [](const QImage& image) {
        QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        out.setDevicePixelRatio(image.devicePixelRatio());
        return out;
    };
}

// A source rectangle in logical pixels as the image's own pixels.
QRectF Source(const QImage& image, const QRect& logical) {
    const qreal r = image.devicePixelRatio();
    return QRectF(logical.x() * r, logical.y() * r, logical.width() * r, logical.height() * r);
}

}  // namespace

CBitmapSlider::CBitmapSlider(QWidget* parent, int controlId) : QWidget(parent) {
    SetControlId(this, controlId);
    // Reached by Tab as well as by a click: the arrows move it.
    setFocusPolicy(Qt::StrongFocus);
}

bool CBitmapSlider::SetBitmapChannel(int channelId, int activeId, bool transparent,
                                     quint32 transparentColor, int pixelX, int pixelY) {
    m_hasChannel = false;
    m_hasActiveChannel = false;
    m_transparentChannel = false;
    const CSkinImage::Prepare prepare = Preparation(transparent, transparentColor, pixelX, pixelY);
    m_channel = CSkinImage::FromId(channelId, devicePixelRatioF(), prepare);
    m_activeChannel = CSkinImage::FromId(activeId, devicePixelRatioF(), prepare);
    const bool loaded = !m_channel.IsNull() && (activeId == 0 || !m_activeChannel.IsNull());
    if (channelId == 0 || !loaded) {
        m_channel = CSkinImage();
        m_activeChannel = CSkinImage();
        update();
        return channelId == 0;
    }
    TakeChannel(transparent);
    return true;
}

bool CBitmapSlider::SetChannelImages(const QImage& channel, const QImage& active, bool transparent,
                                     quint32 transparentColor, int pixelX, int pixelY) {
    m_hasChannel = false;
    m_hasActiveChannel = false;
    m_transparentChannel = false;
    if (channel.isNull()) {
        m_channel = CSkinImage();
        m_activeChannel = CSkinImage();
        update();
        return active.isNull();
    }
    const CSkinImage::Prepare prepare = Preparation(transparent, transparentColor, pixelX, pixelY);
    m_channel = CSkinImage::Fixed(channel, prepare);
    m_activeChannel = CSkinImage::Fixed(active, prepare);
    TakeChannel(transparent);
    return true;
}

void CBitmapSlider::TakeChannel(bool transparent) {
    m_transparentChannel = transparent;
    m_hasChannel = true;
    m_hasActiveChannel = !m_activeChannel.IsNull();
    m_width = m_channel.Width();
    m_height = m_channel.Height();
    resize(m_width, m_height);
    update();
}

bool CBitmapSlider::SetBitmapThumb(int thumbId, int activeId, bool transparent,
                                   quint32 transparentColor, int pixelX, int pixelY) {
    const CSkinImage::Prepare prepare = Preparation(transparent, transparentColor, pixelX, pixelY);
    CSkinImage thumb = CSkinImage::FromId(thumbId, devicePixelRatioF(), prepare);
    CSkinImage active = CSkinImage::FromId(activeId, devicePixelRatioF(), prepare);
    const bool loaded = !thumb.IsNull() && (activeId == 0 || !active.IsNull());
    if (thumbId == 0 || !loaded) {
        TakeThumb(CSkinImage(), CSkinImage(), false);
        return thumbId == 0;
    }
    TakeThumb(thumb, active, transparent);
    return true;
}

bool CBitmapSlider::SetThumbImages(const QImage& thumb, const QImage& active, bool transparent,
                                   quint32 transparentColor, int pixelX, int pixelY) {
    if (thumb.isNull()) {
        TakeThumb(CSkinImage(), CSkinImage(), false);
        return active.isNull();
    }
    const CSkinImage::Prepare prepare = Preparation(transparent, transparentColor, pixelX, pixelY);
    TakeThumb(CSkinImage::Fixed(thumb, prepare), CSkinImage::Fixed(active, prepare), transparent);
    return true;
}

void CBitmapSlider::TakeThumb(const CSkinImage& thumb, const CSkinImage& active, bool transparent) {
    m_thumb = thumb;
    m_activeThumb = active;
    m_hasThumb = !thumb.IsNull();
    m_hasActiveThumb = m_hasThumb && !active.IsNull();
    m_transparentThumb = m_hasThumb && transparent;
    m_thumbWidth = m_hasThumb ? thumb.Width() : 0;
    m_thumbHeight = m_hasThumb ? thumb.Height() : 0;
    if (m_hasThumb && !m_hasChannel) {
        m_width = width();
        m_height = height();
    }
    update();
}

void CBitmapSlider::SetMargin(int left, int top, int right, int bottom) {
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
    update();
}

void CBitmapSlider::SetRange(int minimum, int maximum, bool redraw) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = m_minimum;
    if (redraw) {
        update();
    }
}

void CBitmapSlider::SetVertical(bool vertical) {
    m_vertical = vertical;
    update();
}

void CBitmapSlider::Enable(bool enable) {
    m_enabled = enable;
    if (!enable && m_dragging) {
        // Ends the drag; the mouse grab of the press is ignored from here on.
        m_dragging = false;
        m_moved = false;
        m_clickStepped = false;
        StopTimer();
    }
    update();
}

void CBitmapSlider::SetFocusLook(bool focused) {
    if (m_focusLook != focused) {
        m_focusLook = focused;
        update();
    }
}

void CBitmapSlider::SetPos(int value) {
    m_position = std::clamp(value, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
    update();
}

void CBitmapSlider::SetPosInverted(int value) {
    // Clamped like SetPos: a value outside the range would put the thumb beside the channel.
    SetPos(m_maximum + m_minimum - value);
    RedrawInParent();
}

int CBitmapSlider::GetPosInverted() const {
    return m_maximum + m_minimum - m_position;
}

int CBitmapSlider::Length() const {
    const int length = m_vertical ? m_height - m_marginTop - m_marginBottom - m_thumbHeight
                                  : m_width - m_marginLeft - m_marginRight - m_thumbWidth;
    return std::max(length, 0);
}

int CBitmapSlider::LowestCentre() const {
    return m_vertical ? m_marginTop + m_thumbHeight / 2 : m_marginLeft + m_thumbWidth / 2;
}

int CBitmapSlider::CentreOf(int position) const {
    const long long range = static_cast<long long>(m_maximum) - m_minimum;
    if (range == 0) {
        return LowestCentre();
    }
    const long long offset = static_cast<long long>(Length()) * (position - m_minimum) / range;
    return static_cast<int>(offset) + LowestCentre();
}

int CBitmapSlider::PositionOf(int centre) const {
    const int length = Length();
    if (length == 0) {
        return m_minimum;
    }
    const double fraction = static_cast<double>(centre - LowestCentre()) / length;
    return static_cast<int>(m_minimum + fraction * (static_cast<double>(m_maximum) - m_minimum));
}

int CBitmapSlider::AxisCoordinate(const QPointF& point) const {
    return static_cast<int>(m_vertical ? point.y() : point.x());
}

QSize CBitmapSlider::sizeHint() const {
    if (m_hasChannel) {
        return m_channel.Size();
    }
    return m_vertical ? QSize(20, 100) : QSize(100, 20);
}

bool CBitmapSlider::event(QEvent* event) {
    // Moved to a screen of another density: the next paint makes the images for it.
    if (event->type() == QEvent::ScreenChangeInternal) {
        update();
    }
    return QWidget::event(event);
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    // Qt composes the widget over its parent, so a transparent channel (or none) shows the
    // page below without copying the screen first, and nothing has to be saved under the thumb.
    // Every image is taken at the density the slider is shown at, made again if it changed.
    const qreal ratio = devicePixelRatioF();
    QPainter p(this);
    if (m_hasChannel) {
        const QImage& channel = m_channel.At(ratio);
        if (!m_enabled) {
            // Read-only: the channel faded into the page, no thumb to take.
            p.setOpacity(kDisabledOpacity);
            p.drawImage(QRect(0, 0, m_width, m_height), channel);
            p.setOpacity(1.0);
        } else if (!m_hasActiveChannel) {
            p.drawImage(QRect(0, 0, m_width, m_height), channel);
        } else {
            const QImage& active = m_activeChannel.At(ratio);
            const int centre = CentreOf(m_position);
            const QRect lit =
                m_vertical ? QRect(0, 0, m_width, centre) : QRect(0, 0, centre, m_height);
            const QRect rest = m_vertical ? QRect(0, centre, m_width, m_height - centre)
                                          : QRect(centre, 0, m_width - centre, m_height);
            p.drawImage(lit, active, Source(active, lit));
            p.drawImage(rest, channel, Source(channel, rest));
        }
    }
    if (m_hasThumb && m_enabled) {
        const bool active = m_hasActiveThumb && (m_dragging || m_focusLook);
        const QImage& thumb = active ? m_activeThumb.At(ratio) : m_thumb.At(ratio);
        const int centre = CentreOf(m_position);
        const QPoint at = m_vertical ? QPoint(m_marginLeft, centre - m_thumbHeight / 2)
                                     : QPoint(centre - m_thumbWidth / 2, m_marginTop);
        p.drawImage(QRect(at, QSize(m_thumbWidth, m_thumbHeight)), thumb);
    }
    DrawFocusMarkIfFocused(p, *this);
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!m_enabled) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    m_clickStepped = false;
    const int point = AxisCoordinate(event->position());
    const int centre = CentreOf(m_position);
    const int half = (m_vertical ? m_thumbHeight : m_thumbWidth) / 2;
    m_mouseOffset = std::abs(point - centre) <= half ? point - centre : 0;
    const int target = std::clamp(point - m_mouseOffset, LowestCentre(), LowestCentre() + Length());
    if (target != centre) {
        // A press on the channel beside the thumb steps once towards the point.
        const int step = PositionOf(target) >= m_position ? 1 : -1;
        SetPos(m_position + step);
        m_dragging = false;
        m_moved = true;
        m_clickStepped = true;
    }
    m_timer.start(kTimerPeriodMs, this);
    update();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !m_enabled) {
        return;
    }
    const int lowest = LowestCentre();
    const int centre =
        std::clamp(AxisCoordinate(event->position()) - m_mouseOffset, lowest, lowest + Length());
    if (centre == lowest && m_position != m_minimum) {
        SetPos(m_minimum);
        m_moved = true;
    } else if (centre != CentreOf(m_position)) {
        SetPos(PositionOf(centre));
        m_moved = true;
    }
}

void CBitmapSlider::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (m_moved) {
        Notify(false);
        m_moved = false;
    }
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_enabled) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // A step made by a press on the channel is reported too, even when the button comes up
    // before the first timer tick, so the parent never misses a position it shows.
    if (m_dragging || m_clickStepped) {
        Notify(true);
    }
    m_dragging = false;
    m_moved = false;
    m_clickStepped = false;
    StopTimer();
    RedrawInParent();
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    if (!m_enabled) {
        QWidget::keyPressEvent(event);
        return;
    }
    int position = m_position;
    // Up, Right and Page Up raise the value, whichever way the slider lies; a vertical
    // slider shows its maximum at the top, where positions are smallest.
    const int raise = m_vertical ? -1 : 1;
    switch (event->key()) {
        case Qt::Key_PageUp:
            position += raise * m_page;
            break;
        case Qt::Key_PageDown:
            position -= raise * m_page;
            break;
        case Qt::Key_End:
            position = m_maximum;
            break;
        case Qt::Key_Home:
            position = m_minimum;
            break;
        case Qt::Key_Up:
        case Qt::Key_Right:
            position += raise;
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            position -= raise;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    SetPos(position);
    Notify(true);
    event->accept();
}

void CBitmapSlider::wheelEvent(QWheelEvent* event) {
    event->accept();
    // A disabled slider stands for a setting that cannot be changed now; the wheel must not
    // change it either.
    if (!m_enabled) {
        return;
    }
    const int delta =
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    m_wheel = static_cast<qint16>(std::clamp(m_wheel + delta, -120, 120));
    // A notch away from the user (+120) moves a vertical thumb up and a horizontal one right.
    const int direction = m_vertical ? -1 : 1;
    bool stepped = false;
    if (m_wheel <= -120) {
        SetPos(m_position - direction);
        m_wheel = 0;
        stepped = true;
    } else if (m_wheel >= 120) {
        SetPos(m_position + direction);
        m_wheel = 0;
        stepped = true;
    }
    if (m_vertical || stepped) {
        Notify(true);
    }
    RedrawInParent();
}

void CBitmapSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_focusLook = true;
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_focusLook = false;
    update();
}

void CBitmapSlider::Notify(bool final) {
    const int id = ControlId(this);
    const int position = m_position;
    // Queued on the slider itself: dropped with it if it goes before the event loop runs.
    QMetaObject::invokeMethod(
        this,
        [this, final, id, position] {
            if (final) {
                emit Changed(id, position);
            } else {
                emit Tracking(id, position);
            }
        },
        Qt::QueuedConnection);
}

void CBitmapSlider::StopTimer() {
    m_timer.stop();
}

void CBitmapSlider::RedrawInParent() {
    update();
}

}  // namespace qx
