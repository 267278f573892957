// The curve view by keyboard: Tab or 1-9 picks an element, the arrows move its frequency and
// gain, + and - change its Q, Shift makes every step the smallest. The changes go through
// the filters' setters, as a drag's do, so the image model and the processor see them.

#include <QKeyEvent>
#include <algorithm>

#include "DataConver.h"
#include "EQCurveStatic.h"
#include "Filter.h"
#include "KTVEQ.h"

namespace qx {

namespace {

// Codes per key press: frequency codes are about a 36th of an octave, gain codes 0.2 dB.
constexpr int kFreqStep = 3;
constexpr int kGainStep = 5;
constexpr int kQStep = 2;

}  // namespace

void CEQCurveStatic::PickElement(int index) {
    if (m_set == nullptr || index < 0 || index >= m_set->GetSize()) {
        return;
    }
    if (m_current != nullptr && m_current != m_set->GetAt(index)) {
        ForgetCurrent();
    }
    m_current = m_set->GetAt(index);
    m_currentIndex = index;
    RedrawSelectingCurrent();
    PostPointSelected();
}

bool CEQCurveStatic::focusNextPrevChild(bool next) {
    // Tab walks the elements; past the last (or before the first) the focus moves on.
    if (m_set != nullptr) {
        const int count = m_set->GetSize();
        const int at = m_current != nullptr ? m_currentIndex : (next ? -1 : count);
        const int to = at + (next ? 1 : -1);
        if (to >= 0 && to < count) {
            PickElement(to);
            return true;
        }
        ForgetCurrent();
        RedrawSelectingCurrent();
    }
    return QWidget::focusNextPrevChild(next);
}

void CEQCurveStatic::keyPressEvent(QKeyEvent* event) {
    if (m_set == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && (event->modifiers() & Qt::ControlModifier) == 0) {
        PickElement(key - Qt::Key_1);
        event->accept();
        return;
    }
    CFilter* f = m_current;
    const bool fine = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (f == nullptr || IsReadOnly()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int freqStep = fine ? 1 : kFreqStep;
    const int gainStep = fine ? 1 : kGainStep;
    const int qStep = fine ? 1 : kQStep;
    bool changed = true;
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int to = std::clamp(
                f->GetFreqCode() + (key == Qt::Key_Right ? freqStep : -freqStep), 0, kMaxFreqCode);
            if (f->IsBand()) {
                f->SetFreqCode(to);
            } else {
                f->SetPassFreqCode(to);
            }
            break;
        }
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (f->IsBand()) {
                const int lowest = f->GetGainLimit() == 1 ? int{GainToCode(-12.0)} : 0;
                const int highest = GainToCode(12.0);
                f->SetGainCode(
                    std::clamp(f->GetGainCode() + (key == Qt::Key_Up ? gainStep : -gainStep),
                               lowest, highest));
                if (f->LinkedSlider() != nullptr) {
                    f->LinkedSlider()->SetPosInverted(f->GetGainCode());
                }
            }
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
        case Qt::Key_Minus:
            if (f->IsBand() && f->BandRecord() != nullptr) {
                const int q = f->BandRecord()->qCode;
                f->SetQCode(std::clamp(q + (key == Qt::Key_Minus ? -qStep : qStep), 0, kMaxQCode));
            }
            break;
        default:
            changed = false;
            break;
    }
    if (!changed) {
        QWidget::keyPressEvent(event);
        return;
    }
    RedrawSelectingCurrent();
    PostPointSelected();
    event->accept();
}

}  // namespace qx
