#include "SceneSelector.h"

namespace qx {

CSceneSelector SceneSelector;

void CSceneSelector::Attach(U8* outputMode) {
    m_mode = outputMode;
    m_remembered.store(1, std::memory_order_relaxed);
}

void CSceneSelector::SetMode(int mode) {
    if (mode < 0 || mode > 3 || m_mode == nullptr) {
        return;
    }
    *m_mode = static_cast<uint8_t>(mode);
    if (mode != 0) {
        m_remembered.store(mode, std::memory_order_relaxed);
    }
}

int CSceneSelector::SceneInForce() const {
    const int mode = m_mode != nullptr ? static_cast<int>(*m_mode) : 0;
    if (mode >= 1 && mode <= 3) {
        return mode;
    }
    return m_remembered.load(std::memory_order_relaxed);
}

}  // namespace qx
