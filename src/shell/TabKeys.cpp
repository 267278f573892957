#include "TabKeys.h"
#include "ThreadHandOff.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace qx {

CTabKeys::CTabKeys(QWidget* window, std::function<void(int)> step)
    : QObject(window), m_window(window), m_step(std::move(step)) {
    qApp->installEventFilter(this);
}

CTabKeys::~CTabKeys() {
    qApp->removeEventFilter(this);
}

int CTabKeys::StepOf(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & Qt::ControlModifier) == 0 || (modifiers & Qt::AltModifier) != 0) {
        return 0;
    }
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    switch (key) {
        case Qt::Key_Tab:
            return shift ? -1 : 1;
        case Qt::Key_Backtab:
            return -1;
        case Qt::Key_PageDown:
            return shift ? 0 : 1;
        case Qt::Key_PageUp:
            return shift ? 0 : -1;
        default:
            return 0;
    }
}

bool CTabKeys::eventFilter(QObject* watched, QEvent* event) {
    // Application-wide: the serial worker's calls pass here too; take them over first.
    TakeOver(event);
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != m_window && !m_window->isAncestorOf(widget))) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const int step = StepOf(key->key(), key->modifiers());
    if (step == 0) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Ask for the key press itself; a line edit would otherwise take Ctrl+PgUp.
        event->accept();
        return true;
    }
    m_step(step);
    return true;
}

}  // namespace qx
