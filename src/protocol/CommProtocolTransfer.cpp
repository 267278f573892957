// Stopping a long transfer between two of its frames, and reading back what it left.

#include "CommProtocol.h"
#include "LinkState.h"
#include "ParameterSet.h"

namespace qx {

TransferKind CCommProtocol::QueuedTransfer() {
    ParamGuard guard(ParamLock);
    for (int i = 0; i < m_queue.Size(); ++i) {
        const FrameRecord& r = m_queue.At(i).Record();
        const TransferKind kind = TransferKindOf(r);
        if (r.progressStep != 0 && kind != TransferKind::kNone) {
            return kind;
        }
    }
    return TransferKind::kNone;
}

TransferStop CCommProtocol::DropTransfer() {
    ParamGuard guard(ParamLock);
    TransferStop stop;
    // The frame taken from the queue is written (or being answered): it finishes, and so do
    // further frames of the same program, should one ever span several.
    const uint8_t lineCommand = TxFrame.bytes[4];
    const uint8_t lineArgument = TxFrame.bytes[5];
    if (lineCommand != 0) {
        stop.kind = TransferKindOf(TxFrame);
    }
    bool dropped[kProgramCount + 1] = {};
    m_queue.RemoveIf([&](CSendData& frame) {
        const FrameRecord& r = frame.Record();
        const TransferKind kind = TransferKindOf(r);
        if (r.progressStep == 0 || kind == TransferKind::kNone) {
            return false;  // not the transfer on the form: a recall after it stays
        }
        if (stop.kind == TransferKind::kNone) {
            stop.kind = kind;
        }
        if (kind != stop.kind || (r.bytes[4] == lineCommand && r.bytes[5] == lineArgument)) {
            return false;
        }
        if (r.bytes[4] == kCmdWriteSystem) {
            stop.systemDropped = true;
        } else {
            dropped[r.bytes[5]] = true;
        }
        return true;
    });
    for (int p = 1; p <= kProgramCount; ++p) {
        (dropped[p] ? stop.dropped : stop.done).push_back(p);
    }
    if (!stop.Stopped()) {
        stop.done.clear();
    }
    return stop;
}

void CCommProtocol::QueueReadBack() {
    ParamGuard guard(ParamLock);
    // Only the last read ends the wait: a recall queued earlier no longer clears it.
    for (int i = 0; i < m_queue.Size(); ++i) {
        m_queue.At(i).Record().clearsBusy = 0;
    }
    QueueCommand(kCmdReadName, 0);
    QueueCommand(kCmdReadSystem, 0);
    QueueCommand(kCmdReadProgram, 0);
    m_queue.At(m_queue.Size() - 1).Record().clearsBusy = 1;
    deviceBusy = true;
}

}  // namespace qx
