#include "ByteField.h"

namespace qx {

void AtomicCopy(void* dst, const void* src, std::size_t n) {
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    for (std::size_t i = 0; i < n; ++i) {
        StoreByte(d[i], LoadByte(s[i]));
    }
}

void AtomicFill(void* dst, uint8_t value, std::size_t n) {
    auto* d = static_cast<uint8_t*>(dst);
    for (std::size_t i = 0; i < n; ++i) {
        StoreByte(d[i], value);
    }
}

bool AtomicEqual(const void* a, const void* b, std::size_t n) {
    const auto* x = static_cast<const uint8_t*>(a);
    const auto* y = static_cast<const uint8_t*>(b);
    for (std::size_t i = 0; i < n; ++i) {
        if (LoadByte(x[i]) != LoadByte(y[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace qx
