#include "FrameEncoder.h"

#include <algorithm>

namespace qxtest {

namespace {

unsigned SumFromCount(std::span<const uint8_t> frame) {
    unsigned sum = 0;
    for (std::size_t i = 2; i + 1 < frame.size(); ++i) {
        sum += frame[i];
    }
    return sum & 0xFF;
}

}  // namespace

std::vector<uint8_t> EncodeFrame(uint8_t cmd, const std::vector<uint8_t>& data, bool altHeader) {
    // Sized once and filled in place: growing a short vector by insert() makes GCC 12 warn
    // falsely (-Warray-bounds) at -O2 and above.
    const std::size_t count = data.size() + 2;  // command and checksum
    std::vector<uint8_t> f(data.size() + 6);
    f[0] = altHeader ? 0x03 : 0xFF;
    f[1] = altHeader ? 0xCC : 0x55;
    f[2] = static_cast<uint8_t>(count & 0xFF);
    f[3] = static_cast<uint8_t>(count >> 8);
    f[4] = cmd;
    std::copy(data.begin(), data.end(), f.begin() + 5);
    f.back() = static_cast<uint8_t>(SumFromCount(f));
    return f;
}

bool ChecksumOk(std::span<const uint8_t> frame) {
    return frame.size() >= 6 && SumFromCount(frame) == frame.back();
}

}  // namespace qxtest
