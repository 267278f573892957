#include "EditHistory.h"

#include <memory>

#include "HistoryStep.h"
#include "ParameterSet.h"

namespace qx {

namespace {

const TextPair kUndoText{"撤销：%1", "Undo: %1"};
const TextPair kRedoText{"重做：%1", "Redo: %1"};
const TextPair kNothingToUndo{"没有可撤销的操作", "Nothing to undo"};
const TextPair kNothingToRedo{"没有可重做的操作", "Nothing to redo"};
const TextPair kWall{"无法撤销：之后的参数是从处理器读取的，之前的步骤只供查看",
                     "Cannot undo: the image was received from the processor after these steps; "
                     "earlier steps are listed only"};
const TextPair kBusy{"请先松开鼠标", "Release the mouse first"};

}  // namespace

CEditHistory::CEditHistory(CImageModel& model, QObject* parent) : QObject(parent), m_model(model) {
    connect(&m_model, &CImageModel::Changed, this, &CEditHistory::OnChanged);
    connect(&m_model, &CImageModel::StepBegun, this, &CEditHistory::OnStepBegun);
    connect(&m_model, &CImageModel::StepEnded, this, &CEditHistory::OnStepEnded);
    connect(&m_stack, &QUndoStack::indexChanged, this, &CEditHistory::OnIndexChanged);
    m_stepOpen = m_model.StepOpen();
}

CEditHistory::~CEditHistory() {
    disconnect(&m_stack, nullptr, this, nullptr);
    // Steps call back into the history while the stack clears; nothing is written then.
    m_applying = true;
    m_stack.clear();
}

const CHistoryStep* CEditHistory::StepAt(int index) const {
    if (index < 0 || index >= m_stack.count()) {
        return nullptr;
    }
    return static_cast<const CHistoryStep*>(m_stack.command(index));
}

bool CEditHistory::Inert(const CHistoryStep& step) const {
    return step.Sequence() <= m_wallSequence;
}

bool CEditHistory::CanUndo() const {
    return m_stack.index() > m_floor;
}

bool CEditHistory::CanRedo() const {
    return m_stack.canRedo();
}

bool CEditHistory::Undo() {
    // A change made this turn becomes its own step first, so undo takes that one back.
    m_model.Flush();
    if (m_stepOpen || !CanUndo()) {
        emit Refused(QString::fromStdString(
            m_stepOpen ? Tr(kBusy) : (m_stack.index() > 0 ? Tr(kWall) : Tr(kNothingToUndo))));
        return false;
    }
    m_stack.undo();
    return true;
}

bool CEditHistory::Redo() {
    m_model.Flush();
    if (m_stepOpen || !CanRedo()) {
        emit Refused(QString::fromStdString(m_stepOpen ? Tr(kBusy) : Tr(kNothingToRedo)));
        return false;
    }
    m_stack.redo();
    return true;
}

bool CEditHistory::GoTo(int index) {
    m_model.Flush();
    if (m_stepOpen) {
        emit Refused(QString::fromStdString(Tr(kBusy)));
        return false;
    }
    const bool refused = index < m_floor;
    m_stack.setIndex(std::max(index, m_floor));
    if (refused) {
        emit Refused(WallReason());
    }
    return !refused;
}

void CEditHistory::AddWall() {
    PushOpen();
    const uint64_t sequence = ++m_sequence;
    m_stack.push(new CHistoryStep(*this, sequence, {}, StepCaption::Received()));
    m_wallSequence = sequence;
    m_floor = m_stack.index();
    emit Moved();
}

QString CEditHistory::UndoText() const {
    if (!CanUndo()) {
        return QString::fromStdString(m_stack.index() > 0 ? Tr(kWall) : Tr(kNothingToUndo));
    }
    return QString::fromStdString(Tr(kUndoText, {m_stack.undoText().toStdString()}));
}

QString CEditHistory::RedoText() const {
    if (!CanRedo()) {
        return QString::fromStdString(Tr(kNothingToRedo));
    }
    return QString::fromStdString(Tr(kRedoText, {m_stack.redoText().toStdString()}));
}

QString CEditHistory::WallReason() const {
    return m_floor > 0 && m_stack.index() <= m_floor ? QString::fromStdString(Tr(kWall))
                                                     : QString();
}

void CEditHistory::ApplyLanguage() {
    for (int i = 0; i < m_stack.count(); ++i) {
        const_cast<CHistoryStep*>(StepAt(i))->ApplyLanguage(useChinese);
    }
    emit Moved();
}

std::size_t CEditHistory::MemoryUsed() const {
    std::size_t total = 0;
    for (int i = 0; i < m_stack.count(); ++i) {
        total += StepAt(i)->MemoryUsed();
    }
    return total;
}

void CEditHistory::Apply(const CHistoryStep& step, bool forward) {
    if (m_applying || Inert(step)) {
        return;
    }
    m_applying = true;
    const StepRuns& r = step.Runs();
    {
        // The step goes out whole: the worker does not compare it half-way through.
        ParamGuard guard(ParamLock);
        const ChangeOrigin origin = ChangeOrigin::FromHistory(step.text().toStdString());
        for (const StepRuns::Run& run : r.runs) {
            m_model.WriteBytes(run.offset, forward ? r.After(run) : r.Before(run), run.size,
                               origin);
        }
    }
    // The notice of these writes comes now, while it is known to be ours.
    m_model.Flush();
    m_applying = false;
}

void CEditHistory::OnChanged(const ImageNotice& notice) {
    if (m_applying) {
        return;
    }
    bool received = false;
    for (const ImageChange& c : notice.Changes()) {
        switch (c.origin.source) {
            case ChangeSource::History:
                break;
            case ChangeSource::Processor:
                received = true;
                break;
            default:
                m_open.Add(c.range.offset, c.before.data(), c.after.data(), c.range.size);
                break;
        }
    }
    if (received) {
        // What was edited up to now stays a step of its own below the wall.
        AddWall();
        return;
    }
    if (!m_stepOpen) {
        PushOpen();
    }
}

void CEditHistory::OnStepBegun(const std::string& label) {
    PushOpen();
    m_stepOpen = true;
    m_label = label;
    emit Moved();
}

void CEditHistory::OnStepEnded() {
    m_stepOpen = false;
    PushOpen();
    m_label.clear();
    emit Moved();
}

void CEditHistory::PushOpen() {
    if (m_open.Empty()) {
        return;
    }
    StepRuns runs = m_open.Runs();
    m_open.Clear();
    if (runs.Empty()) {
        return;  // a drag that ended where it began
    }
    auto after = std::make_unique<ParamImage>();
    AtomicCopy(after.get(), &m_model.Image(), sizeof(ParamImage));
    StepCaption caption = StepCaption::Of(runs, *after, m_label);
    m_stack.push(new CHistoryStep(*this, ++m_sequence, std::move(runs), std::move(caption)));
    emit Moved();
}

void CEditHistory::OnIndexChanged(int index) {
    if (index < m_floor && !m_snapping) {
        // Below a wall (a list click): the steps there wrote nothing; stand on the wall again.
        m_snapping = true;
        m_stack.setIndex(m_floor);
        m_snapping = false;
        emit Refused(WallReason());
    }
    emit Moved();
}

}  // namespace qx
