#pragma once
// What stopping a long transfer left behind: which of the bank's programs were moved whole and
// which were not, and whether the bank's system block went out. Filled by
// CCommProtocol::DropTransfer; its text tells a person what the processor now holds.

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

struct FrameRecord;

// The transfers a person may stop: reading the whole bank, and writing it.
enum class TransferKind : uint8_t { kNone, kBankRead, kBankWrite };

// The kind of transfer a frame belongs to: a stored program read or written whole, or the
// bank's system block written; kNone for every other frame (probe, names, current program,
// recall, store, passwords, parameters).
TransferKind TransferKindOf(const FrameRecord& frame);

struct TransferStop {
    TransferKind kind = TransferKind::kNone;
    std::vector<int> done;       // programs read or written whole (the one on the line included)
    std::vector<int> dropped;    // programs that will not be moved
    bool systemDropped = false;  // the bank's system block (and its passwords) was not written

    // True when frames were dropped; false when the transfer was already finishing (its last
    // frame on the line) or there was none.
    bool Stopped() const { return !dropped.empty() || systemDropped; }
};

// "1-7", "8-16, F1-F5": programs by their labels, consecutive ones as ranges.
std::string ProgramRanges(const std::vector<int>& programs);

// What the person is told after a stop, in the language in force; empty when nothing stopped.
std::string TransferStopText(const TransferStop& stop);

}  // namespace qx
