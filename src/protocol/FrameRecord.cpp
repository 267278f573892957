#include "FrameRecord.h"

#include <cstring>

namespace qx {

FrameRecord TxFrame;
FrameRecord RxFrame;

void InitFrame(FrameRecord& rec) {
    std::memset(&rec, 0, sizeof rec);
    rec.bytes[0] = kHeader1;
    rec.bytes[1] = kHeader2;
}

uint8_t FrameChecksum(const FrameRecord& rec) {
    const int end = rec.Count() + 2;
    unsigned sum = 0;
    for (int i = 2; i <= end && i < kFrameArea; ++i) {
        sum += rec.bytes[i];
    }
    return static_cast<uint8_t>(sum & 0xFF);
}

bool FinishFrame(FrameRecord& rec) {
    const int count = rec.Count();
    if (count < 2 || count > kMaxCount) {
        return false;
    }
    const uint8_t sum = FrameChecksum(rec);
    rec.bytes[count + 3] = sum;
    rec.checksumCopy = sum;
    return true;
}

}  // namespace qx
