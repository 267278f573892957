#pragma once
// The fixed record one frame lives in, with the link's control trailer at its end. Queued
// frames are moved into TxFrame by copying the whole record, so a frame carries its control
// bytes with it.

#include <cstddef>
#include <cstdint>

#include "ByteField.h"

namespace qx {

constexpr int kFrameArea = 4206;  // bytes 0..4205 may hold a frame
constexpr int kFrameRecordSize = 4230;
constexpr uint8_t kHeader1 = 0xFF;
constexpr uint8_t kHeader2 = 0x55;
constexpr uint8_t kAltHeader1 = 0x03;  // accepted on receive in place of FF 55
constexpr uint8_t kAltHeader2 = 0xCC;

struct FrameRecord {
    uint8_t bytes[kFrameArea];  // FF 55, count (u16), command, data, checksum
    uint8_t checksumCopy;       // written by the checksum routine; received checksum on receive
    uint8_t pad4207[2];
    uint8_t inFrame;     // receive: header seen
    uint8_t replyError;  // receive: bad checksum or failing acknowledgement
    uint8_t written;     // send: written, a reply is awaited
    uint8_t pad4212[2];
    uint8_t startGuard;  // receive: always 0; a 0x55 starts a frame only while it is 0
    uint8_t clearsBusy;  // send: a valid reply clears deviceBusy
    uint8_t storeDelay;  // send: pause 3000 ms after writing
    uint8_t pad4217;
    uint8_t reserved4218;
    uint8_t pad4219;
    uint8_t retries;          // receive: resends of the current frame
    uint8_t notifyOnFailure;  // send: what the link failure reports if this frame fails
    uint8_t progressStep;     // send: progress position once written (0 = none)
    uint8_t pad4223;
    U16LE rxIndex;      // receive: next store position
    U16LE rxCount;      // receive: count read from bytes 2..3
    uint8_t slowReply;  // send: pause 1000 ms after writing, wait 2000 ms for the reply
    uint8_t idlePolls;  // receive: empty polls since last cleared

    // Count field (bytes 2..3): command + data + checksum.
    int Count() const { return bytes[2] | (bytes[3] << 8); }
    void SetCount(int count) {
        bytes[2] = static_cast<uint8_t>(count & 0xFF);
        bytes[3] = static_cast<uint8_t>((count >> 8) & 0xFF);
    }
    uint8_t Command() const { return bytes[4]; }
    // Whole frame length on the line: count + 4.
    int Length() const { return Count() + 4; }
};
static_assert(sizeof(FrameRecord) == kFrameRecordSize);
static_assert(offsetof(FrameRecord, bytes) == 0);
static_assert(offsetof(FrameRecord, checksumCopy) == 4206);
static_assert(offsetof(FrameRecord, inFrame) == 4209);
static_assert(offsetof(FrameRecord, replyError) == 4210);
static_assert(offsetof(FrameRecord, written) == 4211);
static_assert(offsetof(FrameRecord, startGuard) == 4214);
static_assert(offsetof(FrameRecord, clearsBusy) == 4215);
static_assert(offsetof(FrameRecord, storeDelay) == 4216);
static_assert(offsetof(FrameRecord, reserved4218) == 4218);
static_assert(offsetof(FrameRecord, retries) == 4220);
static_assert(offsetof(FrameRecord, notifyOnFailure) == 4221);
static_assert(offsetof(FrameRecord, progressStep) == 4222);
static_assert(offsetof(FrameRecord, rxIndex) == 4224);
static_assert(offsetof(FrameRecord, rxCount) == 4226);
static_assert(offsetof(FrameRecord, slowReply) == 4228);
static_assert(offsetof(FrameRecord, idlePolls) == 4229);

// The largest count whose frame still fits the frame area.
constexpr int kMaxCount = kFrameArea - 4;

// Zeroes the record and writes the FF 55 header.
void InitFrame(FrameRecord& rec);

// Low 8 bits of the sum of bytes 2 .. count + 2.
uint8_t FrameChecksum(const FrameRecord& rec);

// Computes the checksum of the frame described by its count field and stores it at
// count + 3 and in checksumCopy. Returns false (and writes nothing) for a count that does
// not describe a frame inside the frame area.
bool FinishFrame(FrameRecord& rec);

// The send record the worker writes to the line and the receive record it assembles replies
// in. Used by the serial worker under ParamLock.
extern FrameRecord TxFrame;
extern FrameRecord RxFrame;

}  // namespace qx
