#pragma once
// A parent window that records the messages its controls post or send, and small helpers to
// drive and render widgets.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "MessageMap.h"
#include "Messages.h"

namespace qx::test {

struct Recorded {
    int message;
    WParam wParam;
    LParam lParam;
};

class CMessageRecorder : public QWidget {
  public:
    CMessageRecorder() : m_map(new CMessageMap(this)) {
        for (int message : {WM_SLIDER_TRACKING, WM_SLIDER_CHANGED, WM_NUMEDIT_CHANGED}) {
            m_map->On(message, [this, message](WParam w, LParam l) {
                m_messages.push_back({message, w, l});
            });
        }
        resize(400, 300);
    }

    // Delivers what is queued, then hands over and forgets what arrived.
    std::vector<Recorded> Take() {
        QCoreApplication::sendPostedEvents();
        std::vector<Recorded> out;
        out.swap(m_messages);
        return out;
    }
    int Count(int message) {
        QCoreApplication::sendPostedEvents();
        int n = 0;
        for (const Recorded& r : m_messages) {
            n += r.message == message ? 1 : 0;
        }
        return n;
    }

  private:
    CMessageMap* m_map;
    std::vector<Recorded> m_messages;
};

// A mouse move with the left button held (QTest::mouseMove cannot carry a button).
inline void DragTo(QWidget* widget, QPoint local) {
    QMouseEvent move(QEvent::MouseMove, QPointF(local), widget->mapToGlobal(QPointF(local)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

inline void Wheel(QWidget* widget, int delta) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// The widget alone, over transparent black.
inline QImage Render(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace qx::test
