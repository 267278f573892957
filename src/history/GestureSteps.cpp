#include "GestureSteps.h"
#include "ThreadHandOff.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "ImageModel.h"

namespace qx {

CGestureSteps::CGestureSteps(CImageModel& model, QWidget* window)
    : QObject(window), m_model(model), m_window(window) {
    qApp->installEventFilter(this);
}

CGestureSteps::~CGestureSteps() {
    qApp->removeEventFilter(this);
    End();
}

bool CGestureSteps::InWindow(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || m_window == nullptr) {
        return false;
    }
    if (widget != m_window && !m_window->isAncestorOf(widget)) {
        return false;
    }
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (w->property(kNoStepProperty).toBool()) {
            return false;
        }
    }
    return true;
}

bool CGestureSteps::eventFilter(QObject* watched, QEvent* event) {
    // Application-wide: the serial worker's calls pass here too; take them over first.
    TakeOver(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool gestureButton =
                mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton;
            if (gestureButton && !m_open && InWindow(watched)) {
                Begin();
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_open && (mouse->buttons() & (Qt::LeftButton | Qt::RightButton)) == 0) {
                // The release is handled after this filter, and what it posts after that.
                EndLater(m_gesture, 2);
            }
            break;
        }
        case QEvent::ApplicationDeactivate:
            End();  // a release we will never see
            break;
        default:
            break;
    }
    return false;
}

void CGestureSteps::Begin() {
    m_open = true;
    ++m_gesture;
    m_model.BeginStep();
}

void CGestureSteps::End() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_model.EndStep();
}

void CGestureSteps::EndLater(uint64_t gesture, int rounds) {
    QMetaObject::invokeMethod(
        this,
        [this, gesture, rounds] {
            if (gesture != m_gesture) {
                return;  // a later gesture took over
            }
            if (rounds > 1) {
                EndLater(gesture, rounds - 1);
            } else {
                End();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace qx
