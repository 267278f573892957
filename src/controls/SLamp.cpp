#include "SLamp.h"

#include <QPainter>
#include <algorithm>

#include "ControlId.h"
#include "SkinColors.h"

namespace qx {

CSLamp::CSLamp(QWidget* parent, int controlId) : QWidget(parent) {
    SetControlId(this, controlId);
    Layout();
}

QColor CSLamp::SegmentColor(int segment) {
    if (segment == kMarkSegment) {
        return QColor(255, 165, 0);
    }
    if (segment == kFullSegment) {
        return QColor(255, 255, 0);
    }
    return QColor(0, 176, 80);
}

void CSLamp::Layout() {
    // All 18 segments share the height, so the limit mark at the top is inside the control.
    const QRect client = rect();
    const int h = client.height() / kSegments;
    const int gap = std::min(6, h / 2);
    const int bottom = client.bottom() + 1;
    for (int i = 0; i < kSegments; ++i) {
        const int top = bottom - (i + 1) * h;
        m_segments[i] = QRect(client.left(), top + gap, client.width(), h - gap);
    }
}

bool CSLamp::IsOn(int segment) const {
    return segment >= 0 && segment < kSegments && m_on[segment];
}

QRect CSLamp::SegmentRect(int segment) const {
    return segment >= 0 && segment < kSegments ? m_segments[segment] : QRect();
}

void CSLamp::SetLevel(int value) {
    value = std::min(value, 200);
    for (int i = 0; i <= kFullSegment; ++i) {
        m_on[i] = false;
    }
    if (value >= 110) {
        const int last = (value - 110) / 6;
        for (int i = 0; i <= last && i < kFullSegment; ++i) {
            m_on[i] = true;
        }
        if (value >= 200) {
            m_on[kFullSegment] = true;
        }
    }
    RepaintIfChanged();
}

void CSLamp::SetMark(int value) {
    m_on[kMarkSegment] = value < 200;
    RepaintIfChanged();
}

void CSLamp::AllOff() {
    m_on.fill(false);
    m_repaintNeeded = true;
    ++m_repaints;
    update();
}

void CSLamp::RepaintIfChanged() {
    if (m_on != m_painted) {
        m_repaintNeeded = true;
        ++m_repaints;
        update();
    }
}

void CSLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), skin::kLampOff);
    for (int i = 0; i < kSegments; ++i) {
        if (m_on[i]) {
            p.fillRect(m_segments[i], SegmentColor(i));
        }
    }
    m_painted = m_on;
    m_repaintNeeded = false;
}

void CSLamp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

}  // namespace qx
