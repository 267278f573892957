#include "CommProtocol.h"

#include <cstring>

#include "ParameterSet.h"

namespace qx {

CCommProtocol* CommProtocol = nullptr;

CCommProtocol::CCommProtocol() {
    CommProtocol = this;
}

CCommProtocol::~CCommProtocol() {
    if (CommProtocol == this) {
        CommProtocol = nullptr;
    }
}

void CCommProtocol::AddFrame(std::unique_ptr<CSendData> frame) {
    ParamGuard guard(ParamLock);
    m_queue.Append(std::move(frame));
}

bool CCommProtocol::HasFrames() {
    ParamGuard guard(ParamLock);
    return !m_queue.Empty();
}

int CCommProtocol::FrameCount() {
    ParamGuard guard(ParamLock);
    return m_queue.Size();
}

bool CCommProtocol::PopFrame(FrameRecord& target) {
    ParamGuard guard(ParamLock);
    if (m_queue.Empty()) {
        return false;
    }
    std::memcpy(&target, &m_queue.Front().Record(), sizeof(FrameRecord));
    m_queue.RemoveFront();
    return true;
}

void CCommProtocol::ClearQueue() {
    ParamGuard guard(ParamLock);
    m_queue.Clear();
}

int CCommProtocol::NumberQueuedFrames() {
    ParamGuard guard(ParamLock);
    const int n = m_queue.Size();
    for (int i = 0; i < n; ++i) {
        m_queue.At(i).Record().progressStep = static_cast<uint8_t>(i + 1);
    }
    return n;
}

}  // namespace qx
