#include "SendData.h"

namespace qx {

CSendData::CSendData() : m_record(std::make_unique<FrameRecord>()) {
    InitFrame(*m_record);
}

CSendData::~CSendData() = default;

}  // namespace qx
