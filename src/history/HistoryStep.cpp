#include "HistoryStep.h"

#include "EditHistory.h"

namespace qx {

CHistoryStep::CHistoryStep(CEditHistory& history, uint64_t sequence, StepRuns runs,
                           StepCaption caption)
    : m_history(history),
      m_sequence(sequence),
      m_runs(std::move(runs)),
      m_caption(std::move(caption)) {
    ApplyLanguage(useChinese);
}

void CHistoryStep::undo() {
    m_history.Apply(*this, false);
    m_done = false;
}

void CHistoryStep::redo() {
    if (m_done) {
        return;  // QUndoStack::push redoes a step whose change is already in the image
    }
    m_history.Apply(*this, true);
    m_done = true;
}

void CHistoryStep::ApplyLanguage(bool chinese) {
    setText(QString::fromStdString(m_caption.Text(chinese)));
}

std::size_t CHistoryStep::MemoryUsed() const {
    return sizeof(*this) + m_runs.MemoryUsed() + m_caption.label.capacity() +
           static_cast<std::size_t>(text().capacity()) * sizeof(QChar);
}

}  // namespace qx
