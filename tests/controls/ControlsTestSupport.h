#pragma once
// A window that records the signals its controls emit, in order, and small helpers to drive
// and render widgets.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "BitmapSlider.h"
#include "NumEdit.h"

namespace qx::test {

// The signal recorded: the slider's Tracking and Changed, the edit's ValueCommitted.
enum class Report { Tracking, Changed, Committed };

struct Recorded {
    Report report;
    int id;
    int value;  // the slider's position; 0 for an edit
};

class CSignalRecorder : public QWidget {
  public:
    CSignalRecorder() { resize(400, 300); }

    void Watch(CBitmapSlider* slider) {
        connect(slider, &CBitmapSlider::Tracking, this, [this](int id, int pos) {
            m_reports.push_back({Report::Tracking, id, pos});
        });
        connect(slider, &CBitmapSlider::Changed, this, [this](int id, int pos) {
            m_reports.push_back({Report::Changed, id, pos});
        });
    }
    void Watch(CNumEdit* edit) {
        connect(edit, &CNumEdit::ValueCommitted, this, [this](int id) {
            m_reports.push_back({Report::Committed, id, 0});
        });
    }

    // Delivers what is queued, then hands over and forgets what arrived.
    std::vector<Recorded> Take() {
        QCoreApplication::sendPostedEvents();
        std::vector<Recorded> out;
        out.swap(m_reports);
        return out;
    }
    int Count(Report report) {
        QCoreApplication::sendPostedEvents();
        int n = 0;
        for (const Recorded& r : m_reports) {
            n += r.report == report ? 1 : 0;
        }
        return n;
    }

  private:
    std::vector<Recorded> m_reports;
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
