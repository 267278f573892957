#pragma once
// Byte-sized building blocks of the device's records.
//
// The user-interface thread stores single fields of the parameter image while the serial
// worker reads the same bytes (and, when a reply arrives, stores whole blocks). Every access
// to a record byte therefore goes through a relaxed atomic byte operation, which compiles to
// an ordinary load or store but keeps the two threads free of data races. Whole-record copies
// between threads use AtomicCopy; assigning a record copies it field by field, atomically too.

#include <atomic>
#include <cstddef>
#include <cstdint>

// The records are byte images: clearing or copying one with memset or memcpy (a local copy, or
// a shared one under ParamLock) is the byte work they are made for. Their assignment is atomic,
// hence not trivial, which GCC's class-memaccess check would report at every such call.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wclass-memaccess"
#endif

namespace qx {

inline uint8_t LoadByte(const uint8_t& b) {
    return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(b)).load(std::memory_order_relaxed);
}
inline void StoreByte(uint8_t& b, uint8_t v) {
    std::atomic_ref<uint8_t>(b).store(v, std::memory_order_relaxed);
}

// Copies n bytes with relaxed atomic byte accesses on both sides.
void AtomicCopy(void* dst, const void* src, std::size_t n);
// Fills n bytes with relaxed atomic byte stores.
void AtomicFill(void* dst, uint8_t value, std::size_t n);
// True when the n bytes are equal, read with relaxed atomic loads.
bool AtomicEqual(const void* a, const void* b, std::size_t n);

// One unsigned byte of a device record.
struct U8 {
    uint8_t raw;

    U8() = default;
    U8(const U8&) = default;  // a new record (a local copy) is nobody else's yet
    operator uint8_t() const { return LoadByte(raw); }
    U8& operator=(uint8_t v) {
        StoreByte(raw, v);
        return *this;
    }
    // Atomic like every other access, so a field copied from another field, and the
    // member-wise assignment of a whole record, never race a lock-free edit.
    U8& operator=(const U8& other) {
        StoreByte(raw, LoadByte(other.raw));
        return *this;
    }
};
static_assert(sizeof(U8) == 1 && alignof(U8) == 1);

// An unaligned little-endian 16-bit field. Its two bytes are stored one after the other; a
// reader racing the store may see one byte new and one old, sends that, and sends the settled
// value on its next pass (the sent copy always holds what went out).
struct U16LE {
    uint8_t lo;
    uint8_t hi;

    U16LE() = default;
    U16LE(const U16LE&) = default;

    uint16_t get() const { return static_cast<uint16_t>(LoadByte(lo) | (LoadByte(hi) << 8)); }
    void set(uint16_t v) {
        StoreByte(lo, static_cast<uint8_t>(v & 0xFF));
        StoreByte(hi, static_cast<uint8_t>(v >> 8));
    }
    operator uint16_t() const { return get(); }
    U16LE& operator=(uint16_t v) {
        set(v);
        return *this;
    }
    U16LE& operator=(const U16LE& other) {  // atomic, as for U8
        StoreByte(lo, LoadByte(other.lo));
        StoreByte(hi, LoadByte(other.hi));
        return *this;
    }
};
static_assert(sizeof(U16LE) == 2 && alignof(U16LE) == 1);

// The object representation of a record, for byte-offset work.
template <class T>
uint8_t* BytesOf(T& record) {
    return reinterpret_cast<uint8_t*>(&record);
}
template <class T>
const uint8_t* BytesOf(const T& record) {
    return reinterpret_cast<const uint8_t*>(&record);
}

}  // namespace qx
