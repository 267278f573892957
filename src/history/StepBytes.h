#pragma once
// The bytes one undo step changed: for every byte, what it held before the step's first write
// and after its last one. A drag that passes a field through a thousand values keeps two bytes
// per byte of the field; bytes that end as they began are dropped.

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace qx {

// A step's bytes in their compact form: runs of changed bytes, their old and new bytes side by
// side in one buffer (run k's before bytes, then its after bytes).
struct StepRuns {
    struct Run {
        uint32_t offset = 0;
        uint32_t size = 0;
        uint32_t at = 0;  // where its before bytes begin in `bytes`; after bytes follow
    };
    std::vector<Run> runs;
    std::vector<uint8_t> bytes;

    bool Empty() const { return runs.empty(); }
    const uint8_t* Before(const Run& r) const { return bytes.data() + r.at; }
    const uint8_t* After(const Run& r) const { return bytes.data() + r.at + r.size; }
    std::size_t MemoryUsed() const { return runs.capacity() * sizeof(Run) + bytes.capacity(); }
};

class CStepBytes {
  public:
    // One change of `size` bytes at `offset`: the first before of each byte and its last after
    // are kept.
    void Add(std::size_t offset, const uint8_t* before, const uint8_t* after, std::size_t size);
    bool Empty() const { return m_bytes.empty(); }
    void Clear() { m_bytes.clear(); }
    // The runs of bytes whose after differs from their before, in image order.
    StepRuns Runs() const;

  private:
    std::map<std::size_t, std::pair<uint8_t, uint8_t>> m_bytes;  // offset: before, after
};

}  // namespace qx
