#include "WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

#include "SkinColors.h"

namespace qx {

namespace {

// Small enough for any screen, large enough to hold the scroll bars and something between.
constexpr QSize kSmallest{320, 240};
// A title bar and borders the window manager adds around the client area.
constexpr QSize kFrame{16, 40};

}  // namespace

CWindowFit::CWindowFit(QWidget* window, QWidget* client)
    : QObject(window),
      m_window(window),
      m_client(client),
      m_hBar(new QScrollBar(Qt::Horizontal, window)),
      m_vBar(new QScrollBar(Qt::Vertical, window)) {
    m_window->setMinimumSize(kSmallest);
    m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Around a client smaller than the window: the skin's frame colour, never garbage.
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, skin::kTopBarColor);
    m_window->setPalette(palette);
    m_window->setAutoFillBackground(true);
    m_hBar->hide();
    m_vBar->hide();
    m_hBar->setSingleStep(16);
    m_vBar->setSingleStep(16);
    connect(m_hBar, &QAbstractSlider::valueChanged, this, &CWindowFit::Layout);
    connect(m_vBar, &QAbstractSlider::valueChanged, this, &CWindowFit::Layout);
    m_window->installEventFilter(this);
    m_window->resize(m_client->size());
    Layout();
}

QSize CWindowFit::FittedSize(QSize designed, QSize available, QSize frame) {
    const QSize room = (available - frame).expandedTo(kSmallest);
    return designed.boundedTo(room);
}

void CWindowFit::FitScreen() {
    const QScreen* screen = m_window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect free = screen->availableGeometry();
    const QSize size = FittedSize(m_window->size(), free.size(), kFrame);
    if (size != m_window->size()) {
        m_window->resize(size);
    }
    // Keep the whole frame on the screen.
    QPoint at = m_window->pos();
    at.setX(std::clamp(at.x(), free.left(), std::max(free.left(), free.right() - size.width())));
    at.setY(std::clamp(at.y(), free.top(),
                       std::max(free.top(), free.bottom() - size.height() - kFrame.height())));
    if (at != m_window->pos()) {
        m_window->move(at);
    }
}

void CWindowFit::Layout() {
    const QSize content = m_client->size();
    const QSize outer = m_window->size();
    const int barWidth = m_vBar->sizeHint().width();
    const int barHeight = m_hBar->sizeHint().height();
    // One bar takes room from the other direction, which may then need its own bar too.
    bool needH = outer.width() < content.width();
    bool needV = outer.height() < content.height();
    needH = needH || (needV && outer.width() - barWidth < content.width());
    needV = needV || (needH && outer.height() - barHeight < content.height());
    const int viewW = outer.width() - (needV ? barWidth : 0);
    const int viewH = outer.height() - (needH ? barHeight : 0);

    const QSignalBlocker hb(m_hBar);
    const QSignalBlocker vb(m_vBar);
    m_hBar->setRange(0, std::max(0, content.width() - viewW));
    m_hBar->setPageStep(std::max(1, viewW));
    m_vBar->setRange(0, std::max(0, content.height() - viewH));
    m_vBar->setPageStep(std::max(1, viewH));
    m_hBar->setVisible(needH);
    m_vBar->setVisible(needV);
    if (needH) {
        m_hBar->setGeometry(0, outer.height() - barHeight, viewW, barHeight);
        m_hBar->raise();
    }
    if (needV) {
        m_vBar->setGeometry(outer.width() - barWidth, 0, barWidth, viewH);
        m_vBar->raise();
    }
    m_client->move(-m_hBar->value(), -m_vBar->value());
}

bool CWindowFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        switch (event->type()) {
            case QEvent::Resize:
                Layout();
                break;
            case QEvent::Show:
                if (!m_fitted && m_window->isWindow()) {
                    m_fitted = true;
                    FitScreen();
                }
                break;
            default:
                break;
        }
    }
    return false;
}

}  // namespace qx
