// The Cancel of a long transfer (see CDeviceLink::CancelTransfer).

#include "DeviceLink.h"
#include "LinkState.h"
#include "ParameterSet.h"

namespace qx {

TransferStop CDeviceLink::CancelTransfer() {
    if (!online) {
        return {};
    }
    TransferStop stop;
    {
        // Held only for the queue's own work: the worker, between two turns, takes it next.
        ParamGuard guard(ParamLock);
        stop = m_protocol.DropTransfer();
        if (!stop.Stopped()) {
            return stop;
        }
        // Part of it is the processor's, part is not: the bank counts as not read.
        ProgramBank.bankValid = 0;
        if (stop.kind == TransferKind::kBankWrite) {
            m_protocol.QueueReadBack();
        }
    }
    m_lastStop = stop;
    emit transferStopped();
    return stop;
}

}  // namespace qx
