#pragma once
// One queued frame: owns its heap FrameRecord, zeroed with the FF 55 header.

#include <memory>

#include "FrameRecord.h"

namespace qx {

class CSendData {
  public:
    CSendData();
    virtual ~CSendData();
    CSendData(const CSendData&) = delete;
    CSendData& operator=(const CSendData&) = delete;

    FrameRecord& Record() { return *m_record; }
    const FrameRecord& Record() const { return *m_record; }

  private:
    std::unique_ptr<FrameRecord> m_record;
};

}  // namespace qx
