#pragma once
// The change synchroniser: turns the first difference between the ParameterSet and the
// SentImage into one parameter frame, in a fixed order, or builds the idle poll.

#include <cstdint>
#include <span>

#include "FrameRecord.h"
#include "ProgramImage.h"

namespace qx {

// How an item's bytes are compared and carried.
enum class SyncKind : uint8_t {
    Plain,      // every byte of the item
    LowNibble,  // the low nibble of one byte, sent as a value 0..15
    HighNibble  // the high nibble of one byte, sent as a value 0..15
};

// A byte of the frame derived from the item's bytes rather than copied.
enum class SyncDerived : uint8_t {
    None,
    GateEnable,    // 1 when the gate's threshold (item byte 0) is non-zero
    ExciterEnable  // 1 when harmonic or timbre (item bytes 2, 3) is non-zero
};

// One field or record that the synchroniser compares and sends.
struct SyncItem {
    uint8_t command;
    uint8_t count;    // frame count field
    int16_t index;    // data byte at offset 5, or -1 when the command carries none
    uint16_t offset;  // into ParamImage, or into the output scene when sceneRelative
    uint8_t length;   // bytes of the item
    uint8_t dataPos;  // frame offset of the item's first byte
    bool sceneRelative;
    SyncKind kind;
    SyncDerived derived;
    uint8_t derivedPos;  // frame offset of the derived byte
};

// Every item in the order the synchroniser visits them.
std::span<const SyncItem> SyncItems();

// The item a parameter frame with this command and index carries, or nullptr. The index is
// ignored for commands that carry none.
const SyncItem* FindSyncItem(uint8_t command, int index);

// Byte offset of the item inside a ParamImage when scene (1..3) is in force.
int SyncItemOffset(const SyncItem& item, int scene);

// Compares current with sent and builds one frame into out: the first difference, or the idle
// poll. Copies what it sends into sent. scene is the output scene in force (1..3).
void BuildParameterFrame(const ParamImage& current, ParamImage& sent, int scene, FrameRecord& out);

// The worker's call: BuildParameterFrame on the editor's images into TxFrame, with
// ParamLock held. Always builds a frame and returns true.
bool NextParameterFrame();

// The idle poll alternates 0x0C and 0x18, starting with 0x0C.
void ResetPollToggle();

constexpr uint8_t kPollA = 0x0C;
constexpr uint8_t kPollB = 0x18;

}  // namespace qx
