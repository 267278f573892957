#pragma once
// One step of the edit history on the QUndoStack: the bytes it changed, its caption, and
// whether it is a wall (an image received from the processor) that undo does not cross.
// Undo and redo hand the step back to its history, which writes the bytes through the image
// model.

#include <QUndoCommand>
#include <cstdint>

#include "StepBytes.h"
#include "StepCaption.h"

namespace qx {

class CEditHistory;

class CHistoryStep : public QUndoCommand {
  public:
    CHistoryStep(CEditHistory& history, uint64_t sequence, StepRuns runs, StepCaption caption);

    void undo() override;
    void redo() override;

    uint64_t Sequence() const { return m_sequence; }
    bool IsWall() const { return m_caption.kind == StepCaption::Kind::Received; }
    const StepRuns& Runs() const { return m_runs; }
    const StepCaption& Caption() const { return m_caption; }
    // Sets the text in the language asked for.
    void ApplyLanguage(bool chinese);
    std::size_t MemoryUsed() const;

  private:
    CEditHistory& m_history;
    uint64_t m_sequence;
    StepRuns m_runs;
    StepCaption m_caption;
    bool m_done = true;  // pushed after its change was made: the first redo writes nothing
};

}  // namespace qx
