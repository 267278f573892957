#pragma once
// The edit history over an image model: every change the model announces becomes a step of a
// QUndoStack, and undo and redo write a step's old or new bytes back through the model (origin
// History), so the synchroniser sends the difference and the processor follows.
//
// - A step is everything announced between the model's StepBegun and StepEnded (a drag from
//   press to release, a SYNC copy, a file import); a notice outside a step is a step of its own
//   (a typed value, a key press on a slider).
// - A step keeps only the bytes it changed, each with its value before and after.
// - An image received from the processor is a wall: it is listed, but undo stops at it and
//   says why (Refused). Steps before it stay listed. AddWall adds one for other reasons.
// - The history never records its own writes.

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <string>

#include "ImageModel.h"
#include "StepBytes.h"
#include "TextPair.h"

namespace qx {

class CHistoryStep;

class CEditHistory : public QObject {
    Q_OBJECT
  public:
    explicit CEditHistory(CImageModel& model, QObject* parent = nullptr);
    ~CEditHistory() override;

    QUndoStack& Stack() { return m_stack; }
    CImageModel& Model() const { return m_model; }

    // Whether there is a step to undo above the last wall / a step to redo. Undo and Redo also
    // wait for a gesture under way to end.
    bool CanUndo() const;
    bool CanRedo() const;
    // One step back or forward; false (and Refused with the reason) when it cannot.
    bool Undo();
    bool Redo();
    // Goes back or forward to the stack index (the number of steps done), as the list does;
    // stops at the last wall.
    bool GoTo(int index);

    // A step that cannot be undone, for an image that came from outside the editor's edits.
    void AddWall();

    // "Undo: Music Left band 5 gain -3.0dB → +2.4dB", or why undo cannot go on; likewise redo.
    QString UndoText() const;
    QString RedoText() const;
    // Why undo stops here, or empty when it does not.
    QString WallReason() const;

    // The steps' captions in the language in force.
    void ApplyLanguage();
    // Bytes held by the steps (their records, changed bytes and texts).
    std::size_t MemoryUsed() const;

  signals:
    // Undo or redo could not move; the reason in the language in force.
    void Refused(const QString& why);
    // Steps were added, undone or redone: buttons and lists redraw.
    void Moved();

  private:
    friend class CHistoryStep;
    void Apply(const CHistoryStep& step, bool forward);
    bool Inert(const CHistoryStep& step) const;

    void OnChanged(const ImageNotice& notice);
    void OnStepBegun(const std::string& label);
    void OnStepEnded();
    void PushOpen();
    void OnIndexChanged(int index);
    const CHistoryStep* StepAt(int index) const;

    CImageModel& m_model;
    QUndoStack m_stack;
    CStepBytes m_open;    // the bytes of the step under way
    std::string m_label;  // its label
    bool m_stepOpen = false;
    bool m_applying = false;  // writing a step back: its notice is ours
    bool m_snapping = false;
    uint64_t m_sequence = 0;
    uint64_t m_wallSequence = 0;  // the last wall's sequence; 0: none
    int m_floor = 0;              // the stack index undo does not go below
};

}  // namespace qx
