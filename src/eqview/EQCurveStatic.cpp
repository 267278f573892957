#include "EQCurveStatic.h"
#include "FocusMark.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <cmath>

#include "ControlId.h"
#include "CurveSets.h"
#include "ImageModel.h"
#include "KTVEQ.h"
#include "ParameterSet.h"
#include "RoomOverlay.h"
#include "RoomTuning.h"
#include "SkinFonts.h"
#include "TuneMenu.h"

namespace qx {

namespace {

constexpr double kLineFrequencies[CEQCurveStatic::kFrequencyLines] = {
    10,  20,  30,  40,   50,   60,   70,   80,   90,   100,  200,  300,  400,   500,   600,
    700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000, 30000};
// Indexes into the frequency lines.
constexpr int kLine20 = 1;
constexpr int kLine50 = 4;
constexpr int kLine100 = 9;
constexpr int kLine200 = 10;
constexpr int kLine500 = 13;
constexpr int kLine1K = 18;
constexpr int kLine2K = 19;
constexpr int kLine5K = 22;
constexpr int kLine10K = 27;
constexpr int kLine20K = 28;
constexpr int kLine30K = 29;

const QColor kAxisColor(100, 100, 100);
const QColor kPlotBorder(0, 180, 0);
const QColor kGridColor(21, 100, 21);
const QColor kHighlightFill(68, 86, 98);
const QColor kCurveColor(255, 49, 68, 255);
const QColor kBypassStroke(94, 104, 116, 32);
const QColor kBypassFill(155, 155, 155);
const QColor kHandleFrame(255, 0, 0);

constexpr int kLabelFontPixels = 12;
constexpr int kBypassFontPixels = 48;

QRect ToQRect(const Rect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

// A rectangle outlined one pixel wide inside its edges, as a GDI rectangle is drawn.
void FramedRect(QPainter& p, const QRect& r, const QColor& frame, const QColor& fill) {
    p.fillRect(r, frame);
    p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

// "EQ BYPASS" as an outline whose horizontal centre and top are at the origin.
const QPainterPath& BypassPath() {
    static const QPainterPath path = [] {
        QFont font = CSkinFonts::Arial(kBypassFontPixels);
        font.setPixelSize(kBypassFontPixels);
        const QString text = QStringLiteral("EQ BYPASS");
        const QFontMetricsF metrics(font);
        QPainterPath outline;
        outline.addText(-metrics.horizontalAdvance(text) / 2.0, metrics.ascent(), font, text);
        return outline;
    }();
    return path;
}

}  // namespace

CEQCurveStatic::CEQCurveStatic(QWidget* parent, int controlId) : QWidget(parent) {
    SetControlId(this, controlId);
    setMouseTracking(true);
    // Reached by Tab too: the keyboard picks and moves bands.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitPlot();
    // Whoever changes the shown equaliser's records (a strip, a link copy, an EQ reset, a
    // received image), the curve follows.
    connect(&CImageModel::Editor(), &CImageModel::Changed, this, &CEQCurveStatic::OnImageChanged);
    // A room measurement or target of the shown equaliser is drawn with it.
    connect(&CRoomTuning::Instance(), &CRoomTuning::Changed, this, [this](int eqNumber) {
        if (eqNumber == m_eqNumber) {
            Redraw();
        }
    });
}

void CEQCurveStatic::OnImageChanged(const ImageNotice& notice) {
    if (m_set == nullptr || !isVisible()) {
        return;  // ShowEq draws afresh
    }
    std::vector<ByteSpan> spans = EqRecordSpans(m_eqNumber);
    const CImageModel& model = CImageModel::Editor();
    if (const U8* bypass = EqBypassByte(ParameterSet.program, m_eqNumber)) {
        spans.push_back({model.OffsetOf(bypass), 1});
    }
    spans.push_back({model.OffsetOf(&ParameterSet.program.OutputMode), 1});
    for (const ImageChange& c : notice.Changes()) {
        if (c.throughFilter) {
            continue;  // a drag or a strip redraws the view as it goes
        }
        for (const ByteSpan& span : spans) {
            if (c.range.Overlaps(span.offset, span.size)) {
                Redraw();
                update();
                return;
            }
        }
    }
}

void CEQCurveStatic::InitPlot() {
    m_client = {0, 0, width(), height()};
    // A view smaller than its margins has an empty plot, never a negative one.
    m_plotRect = {m_client.left + kMarginLeft, m_client.top + kMarginTop,
                  std::max(m_client.right - kMarginRight, m_client.left + kMarginLeft),
                  std::max(m_client.bottom - kMarginBottom, m_client.top + kMarginTop)};
    const int w = m_plotRect.Width();
    for (int i = 0; i < kFrequencyLines; ++i) {
        m_freqLines[i] = Trunc(FreqToX(kLineFrequencies[i], w) + kPlotLeft);
    }
    m_axes = QImage();  // drawn again for the new size when next needed
}

void CEQCurveStatic::SizeCurveSets(int group) {
    auto resize = [this](int eq, int scene = 0) {
        if (CKTVEQ* set = CurveSetOf(eq, scene)) {
            set->Resize(m_plotRect);
        }
    };
    switch (group) {
        case 0:
            resize(kEqMusicLeft);
            resize(kEqMusicRight);
            break;
        case 1:
            resize(kEqDynamicLeft);
            resize(kEqDynamicRight);
            break;
        case 2:
            resize(kEqMic1);
            resize(kEqMic2);
            break;
        case 3:
            for (int eq = kEqEchoA; eq <= kEqReverbShadow; ++eq) {
                resize(eq);
            }
            break;
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            for (int scene = 1; scene <= kSceneCount; ++scene) {
                for (int eq = kEqOutputFirst; eq <= kEqOutputLast; ++eq) {
                    resize(eq, scene);
                }
            }
            break;
        default:
            return;
    }
    m_sizedGroup = group;
}

void CEQCurveStatic::ShowEq(int eqNumber) {
    CKTVEQ* set = CurveSetOf(eqNumber);
    if (set == nullptr) {
        // A number that names no equaliser would report points of one set under another
        // set's number; keep the number and the set together.
        return;
    }
    m_eqNumber = eqNumber;
    ForgetCurrent();
    m_set = set;
    m_selected = -1;
    Redraw();
}

void CEQCurveStatic::SelectBand(int index, int forget) {
    m_selected = index;
    if (forget != 0) {
        ForgetCurrent();
    }
    Redraw();
}

CFilter* CEQCurveStatic::HighlightedFilter() const {
    if (m_set == nullptr) {
        return nullptr;
    }
    return m_selected >= 0 ? m_set->GetAt(m_selected) : m_current;
}

bool CEQCurveStatic::IsReadOnly() const {
    return m_eqNumber >= kEqOutputFirst && m_eqNumber <= kEqOutputLast &&
           static_cast<int>(ParameterSet.program.OutputMode) == 0;
}

void CEQCurveStatic::ForgetCurrent() {
    if (m_current != nullptr) {
        // A filter left with a drag flag would follow the bare pointer the next time it
        // becomes current, writing values nobody asked for.
        m_current->leftDrag = false;
        m_current->rightDrag = false;
        m_current->hover = false;
    }
    m_current = nullptr;
}

// ---- drawing ----------------------------------------------------------------------------

void CEQCurveStatic::DrawAxes() {
    const qreal dpr = devicePixelRatioF();
    const QSize size(std::max(m_client.Width(), 1), std::max(m_client.Height(), 1));
    m_axes = QImage(size * dpr, QImage::Format_RGB32);
    m_axes.setDevicePixelRatio(dpr);
    QPainter p(&m_axes);
    FramedRect(p, QRect(QPoint(0, 0), size), kAxisColor, Qt::black);
    p.setPen(kAxisColor);
    p.setFont(CSkinFonts::Arial(kLabelFontPixels));
    auto text = [&p](int x, int y, const char* s) {
        p.drawText(QRect(x, y, 200, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   QString::fromLatin1(s));
    };
    const int h = m_plotRect.Height();
    const int s = h / 12;
    text(6, m_client.top + 5, "+12");
    text(6, 2 * s + 3, "+6");
    text(6, 4 * s + 3, "0");
    text(6, 6 * s + 5, "-6dB");
    text(6, 8 * s + 9, "-12");
    text(6, 10 * s + 9, "-18");
    text(6, h, "-24");
    const int y = m_plotRect.bottom;
    const struct {
        int line;
        int shift;
        const char* label;
    } freqs[] = {{kLine20, -8, "20"},    {kLine50, -8, "50"},    {kLine100, -10, "100"},
                 {kLine200, -10, "200"}, {kLine500, -10, "500"}, {kLine1K, -8, "1K"},
                 {kLine2K, -8, "2K"},    {kLine5K, -8, "5K"},    {kLine10K, -10, "10K"},
                 {kLine20K, -15, "20K"}, {kLine30K, -15, "30K"}};
    text(30, y, "10");
    for (const auto& f : freqs) {
        text(m_freqLines[f.line] + f.shift, y, f.label);
    }
}

void CEQCurveStatic::Redraw() {
    if (!isVisible()) {
        // A view on a page that is not shown keeps no off-screen images (a few megabytes on
        // every page); its next paint, or Frame(), draws them again.
        FreeImages();
        return;
    }
    Draw();
    update();
}

void CEQCurveStatic::FreeImages() {
    m_axes = QImage();
    m_frame = QImage();
}

const QImage& CEQCurveStatic::Frame() const {
    if (m_frame.isNull()) {
        const_cast<CEQCurveStatic*>(this)->Draw();
    }
    return m_frame;
}

void CEQCurveStatic::Draw() {
    const qreal dpr = devicePixelRatioF();
    if (m_axes.isNull() || m_axes.devicePixelRatio() != dpr) {
        DrawAxes();
    }
    if (m_frame.size() != m_axes.size() || m_frame.devicePixelRatio() != dpr) {
        m_frame = QImage(m_axes.size(), QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(dpr);
    }
    {
        QPainter p(&m_frame);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, m_axes);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        DrawPlot(p);
    }
}

void CEQCurveStatic::DrawPlot(QPainter& p) {
    const QRect plot = ToQRect(m_plotRect);
    if (plot.width() <= 0 || plot.height() <= 0) {
        return;
    }
    FramedRect(p, plot, kPlotBorder, Qt::black);

    CFilter* highlighted = HighlightedFilter();
    if (highlighted != nullptr) {
        const auto& points = highlighted->CurvePoints();
        QPolygon polygon(kCurvePoints);
        for (int i = 0; i < kCurvePoints; ++i) {
            polygon.setPoint(i, points[i].x, points[i].y);
        }
        p.setPen(kHighlightFill);
        p.setBrush(kHighlightFill);
        p.drawPolygon(polygon);
        p.setBrush(Qt::NoBrush);
    }

    for (int i = 1; i < kFrequencyLines - 1; ++i) {
        p.fillRect(QRect(m_freqLines[i], plot.top(), 1, plot.height()), kGridColor);
    }
    const int h = m_plotRect.Height();
    for (int k = 1; k <= 12; ++k) {
        const int y = m_plotRect.top + static_cast<int>(h / 12.0 * k);
        p.fillRect(QRect(plot.left(), y, plot.width(), 1), kGridColor);
    }

    if (m_set == nullptr) {
        return;
    }
    if (const RoomState* room = CRoomTuning::Instance().State(m_eqNumber)) {
        DrawRoomOverlay(p, m_plotRect, *room, m_set);
    }
    m_set->SumCurve();
    {
        const auto& total = m_set->TotalCurve();
        std::array<QPointF, kGridPoints> points;
        for (int i = 0; i < kGridPoints; ++i) {
            points[i] = QPointF(total[i].x, total[i].y);
        }
        p.save();
        p.setClipRect(plot);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kCurveColor, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPolyline(points.data(), kGridPoints);
        p.restore();
    }

    if (ShowsBypass()) {
        DrawBypassCaption(p);
    }
    DrawBandTexts(p);
    if (highlighted != nullptr) {
        DrawHighlight(p, *highlighted);
    }
}

bool CEQCurveStatic::ShowsBypass() const {
    if (m_eqNumber == kEqDynamicLeft || m_eqNumber == kEqDynamicRight) {
        return false;
    }
    const U8* bypass = EqBypassByte(ParameterSet.program, m_eqNumber);
    return bypass != nullptr && static_cast<int>(*bypass) != 0;
}

void CEQCurveStatic::DrawBypassCaption(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(m_plotRect.Width() / 2, m_plotRect.Height() / 3);
    const QPainterPath& path = BypassPath();
    p.setBrush(Qt::NoBrush);
    for (int width = 1; width <= 7; ++width) {
        p.setPen(QPen(kBypassStroke, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.fillPath(path, kBypassFill);
    p.restore();
}

void CEQCurveStatic::DrawBandTexts(QPainter& p) {
    p.setFont(CSkinFonts::Arial(kLabelFontPixels));
    p.setPen(Qt::white);
    const int plotRight = m_plotRect.right;
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    const int count = m_set->GetSize();
    std::vector<QRect> boxes(static_cast<std::size_t>(count));
    std::vector<int> aligns(static_cast<std::size_t>(count));
    std::vector<QString> texts(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CFilter* f = m_set->GetAt(i);
        const auto k = static_cast<std::size_t>(i);
        int align = Qt::AlignHCenter;
        if (f->Handle().right == plotRight) {
            align = Qt::AlignLeft;
        } else if (f->GetFreqCode() <= 20) {
            align = Qt::AlignRight;
        }
        aligns[k] = align;
        texts[k] = QString::fromStdString(f->GetNumberText());
        boxes[k] = p.boundingRect(ToQRect(f->Handle()), align | flags, texts[k]);
    }
    // Numbers of bands close in frequency would run together: they step off the line.
    const std::vector<QRect> placed = SpreadLabels(boxes);
    for (int i = count - 1; i >= 0; --i) {
        const auto k = static_cast<std::size_t>(i);
        p.drawText(placed[k], aligns[k] | flags, texts[k]);
    }
}

std::vector<QRect> CEQCurveStatic::SpreadLabels(const std::vector<QRect>& boxes) {
    std::vector<QRect> placed;
    placed.reserve(boxes.size());
    for (const QRect& box : boxes) {
        const int h = std::max(1, box.height() - 2);
        QRect at = box;
        // The line itself first, then one text height above, below, two above, ...
        for (int step = 0; step < 8; ++step) {
            const int shift = step == 0 ? 0 : ((step + 1) / 2) * h * (step % 2 == 1 ? -1 : 1);
            at = box.translated(0, shift);
            const bool clear = std::none_of(placed.begin(), placed.end(), [&](const QRect& other) {
                return other.adjusted(-1, 0, 1, 0).intersects(at);
            });
            if (clear) {
                break;
            }
        }
        placed.push_back(at);
    }
    return placed;
}

void CEQCurveStatic::DrawHighlight(QPainter& p, CFilter& filter) {
    const QRect handle = ToQRect(filter.Handle());
    FramedRect(p, handle, kHandleFrame, kHighlightFill);
    p.setPen(Qt::white);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    p.drawText(handle, Qt::AlignHCenter | flags, QString::fromStdString(filter.GetNumberText()));
    p.drawText(ToQRect(filter.LabelRect()),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
               QString::fromStdString(filter.GetLabel()));
}

void CEQCurveStatic::paintEvent(QPaintEvent*) {
    if (m_frame.isNull() || m_frame.devicePixelRatio() != devicePixelRatioF() ||
        m_frame.size() != size() * devicePixelRatioF()) {
        DrawAxes();
        Draw();
    }
    QPainter p(this);
    p.drawImage(0, 0, m_frame);
    DrawFocusMarkIfFocused(p, *this);
}

void CEQCurveStatic::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FreeImages();
}

void CEQCurveStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    InitPlot();
    if (m_sizedGroup >= 0) {
        SizeCurveSets(m_sizedGroup);
    }
    Redraw();
}

// ---- mouse ------------------------------------------------------------------------------

namespace {

Point PointerOf(const QMouseEvent* event) {
    const QPointF at = event->position();
    return {static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
}

}  // namespace

void CEQCurveStatic::RedrawSelectingCurrent() {
    m_selected = -1;
    Redraw();
}

void CEQCurveStatic::PostPointSelected() {
    const int eq = m_eqNumber;
    const int index = m_currentIndex;
    // Queued on the view itself: dropped with it if it goes before the event loop runs.
    QMetaObject::invokeMethod(
        this, [this, eq, index] { emit PointSelected(eq, index); }, Qt::QueuedConnection);
}

void CEQCurveStatic::mouseMoveEvent(QMouseEvent* event) {
    if (m_set == nullptr || IsReadOnly()) {
        return;
    }
    const Point p = PointerOf(event);
    CFilter* c = m_current;
    if (c != nullptr && !c->IsBand()) {
        const bool on = c->Handle().Contains(p);
        if (c->leftDrag) {
            m_dragResult = c->DragPassFilter(p);
            m_notifyPending = m_notifyPending || m_dragResult != 0;
            RedrawSelectingCurrent();
            m_hover = true;
        } else if (on) {
            // As for bands: a handle just released under the pointer can be taken again
            // without leaving it first.
            c->hover = true;
            m_hover = true;
        } else {
            ForgetCurrent();
            m_hover = false;
        }
    } else if (c != nullptr && (c->rightDrag || c->leftDrag)) {
        m_dragResult = c->rightDrag ? c->DragQ(p.x) : c->DragBand(p);
        m_notifyPending = m_notifyPending || m_dragResult != 0;
        RedrawSelectingCurrent();
        if (c->Handle().Contains(p)) {
            c->hover = true;
            m_hover = true;
        } else {
            m_hover = false;
        }
    } else if (c != nullptr && c->Handle().Contains(p)) {
        c->hover = true;
        m_hover = true;
    } else {
        m_hover = false;
        for (int i = 0; i < m_set->GetSize(); ++i) {
            CFilter* f = m_set->GetAt(i);
            if (f->Handle().Contains(p)) {
                m_current = f;
                f->hover = true;
                m_currentIndex = i;
                RedrawSelectingCurrent();
                m_hover = true;
                break;
            }
        }
    }
    if (m_notifyPending) {
        m_notifyPending = false;
        PostPointSelected();
    }
    UpdateCursor();
}

void CEQCurveStatic::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The press grabs the mouse until the last button comes up.
    setFocus(Qt::MouseFocusReason);
    const Point p = PointerOf(event);
    const bool startDrag = m_hover && m_current != nullptr && m_current->hover && !IsReadOnly();
    if (button == Qt::LeftButton) {
        if (startDrag) {
            m_current->leftDrag = true;
            m_current->BeginDrag(p);
        }
        m_notifyPending = false;
        PostPointSelected();
    } else if (startDrag) {
        m_current->rightDrag = true;
        m_current->MarkQStart();
        m_current->BeginDrag(p);
    }
    event->accept();
}

void CEQCurveStatic::mouseReleaseEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_current != nullptr) {
        m_current->leftDrag = false;
        m_current->rightDrag = false;
        m_current->hover = false;
    }
    m_hover = false;
    UpdateCursor();
    event->accept();
}

void CEQCurveStatic::UpdateCursor() {
    if (m_hover && m_current != nullptr) {
        setCursor(m_current->IsBand() ? Qt::SizeAllCursor : Qt::SizeHorCursor);
    } else {
        unsetCursor();
    }
}

}  // namespace qx

namespace qx {

void CEQCurveStatic::contextMenuEvent(QContextMenuEvent* event) {
    // The right button drags a band's Q: over a handle, or during a drag, there is no menu.
    if (m_set == nullptr || m_hover || (m_current != nullptr && m_current->rightDrag)) {
        return;
    }
    ShowTuneMenu(*this, event->globalPos());
}

}  // namespace qx
