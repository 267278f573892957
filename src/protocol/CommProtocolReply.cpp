// The receiver of the processor's replies: assembles frames in RxFrame, checks them, stores what
// they carry into the editor's data and announces it through the reply sink.

#include <cstddef>
#include <cstring>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "LinkState.h"
#include "MonitorBlocks.h"
#include "ParameterSet.h"
#include "ReplySink.h"

namespace qx {

namespace {

struct MonitorStart {
    MonitorStart(U8* block, uint8_t value) { AtomicFill(block, value, kMonitorBytes); }
};

// Smallest count of a reply that carries everything its row stores.
constexpr int kMonitorCount = 14;       // command, 12 bytes, checksum
constexpr int kProbeCount = 4;          // command, 0, permission, checksum
constexpr int kNameCount = 23;          // command, number, 20 bytes, checksum
constexpr int kSystemCount = 68;        // command, 66 bytes, checksum
constexpr int kImageReplyCount = 2715;  // command, number, 2712 bytes, checksum

bool IsHeaderByte(uint8_t b) {
    return b == kHeader1 || b == kHeader2 || b == kAltHeader1 || b == kAltHeader2;
}

}  // namespace

U8 MonitorBlockA[kMonitorBytes];
U8 MonitorBlockB[kMonitorBytes];
static const MonitorStart monitorStartA(MonitorBlockA, 200);
static const MonitorStart monitorStartB(MonitorBlockB, 100);

namespace {

// Stores the levels an idle-poll answer carries; false when the frame is too short for them.
bool StoreMonitorLevels(const FrameRecord& rx) {
    if (rx.rxCount < kMonitorCount) {
        return false;
    }
    AtomicCopy(rx.bytes[4] == kPollA ? MonitorBlockA : MonitorBlockB, rx.bytes + 5, kMonitorBytes);
    return true;
}

}  // namespace

void CCommProtocol::ClearFrames(int channel, bool alsoSendFrame) {
    if (channel != 1) {
        return;
    }
    std::memset(&RxFrame, 0, sizeof RxFrame);
    if (alsoSendFrame) {
        std::memset(reinterpret_cast<uint8_t*>(&TxFrame) + 4, 0, sizeof TxFrame - 4);
    }
}

bool CCommProtocol::FeedBytes(int channel, const uint8_t* bytes, int count) {
    if (channel != linkChannel.load() || channel != 1 || bytes == nullptr) {
        return false;
    }
    FrameRecord& rx = RxFrame;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        const int index = rx.rxIndex;
        if (rx.inFrame == 0) {
            if (!IsHeaderByte(b)) {
                continue;
            }
            if (index >= kFrameArea) {
                // A run of header bytes longer than any frame: give the frame up; the quiet
                // period resends and clears the record.
                rx.inFrame = 1;
                rx.replyError = 1;
                continue;
            }
            rx.bytes[index] = b;
            rx.rxIndex = static_cast<uint16_t>(index + 1);
            if ((b == kHeader2 && rx.startGuard == 0) || b == kAltHeader2) {
                rx.inFrame = 1;
            }
            continue;
        }
        // A rejected or oversized frame takes no further bytes: nothing can complete it.
        if (rx.replyError != 0) {
            continue;
        }
        if (index >= kFrameArea) {
            rx.replyError = 1;
            continue;
        }
        rx.bytes[index] = b;
        if (index == 2) {
            rx.rxCount.lo = b;
        } else if (index == 3) {
            rx.rxCount.hi = b;
        }
        rx.rxIndex = static_cast<uint16_t>(index + 1);
        const int expected = rx.rxCount + 4;
        if (index == 3 && expected > kFrameArea) {
            rx.replyError = 1;  // would not fit the frame area
            continue;
        }
        if (index + 1 == expected) {
            rx.checksumCopy = b;
            rx.rxIndex = static_cast<uint16_t>(index + 2);
            const FrameVerdict verdict = AcceptFrame();
            if (verdict == FrameVerdict::kAccepted) {
                return true;  // the rest of the chunk is dropped
            }
            if (verdict == FrameVerdict::kNotAwaited) {
                RestartSearch();  // like a stray byte: the awaited reply may still follow
            }
        }
    }
    return false;
}

void CCommProtocol::RestartSearch() {
    FrameRecord& rx = RxFrame;
    rx.inFrame = 0;
    rx.replyError = 0;
    rx.rxIndex = 0;
    rx.rxCount = 0;
    rx.checksumCopy = 0;
}

CCommProtocol::FrameVerdict CCommProtocol::AcceptFrame() {
    FrameRecord& rx = RxFrame;
    const int count = rx.rxCount;
    unsigned sum = 0;
    for (int i = 2; i <= count + 2 && i < kFrameArea; ++i) {
        sum += rx.bytes[i];
    }
    if (static_cast<uint8_t>(sum) != rx.checksumCopy) {
        rx.replyError = 1;
        return FrameVerdict::kRejected;
    }
    const uint8_t command = rx.bytes[4];
    if (command != TxFrame.bytes[4]) {
        // A late answer to an earlier frame (after a resend, say) says nothing about the frame
        // awaiting its reply. Only the levels of a late idle-poll answer are worth keeping.
        if (command == kPollA || command == kPollB) {
            StoreMonitorLevels(rx);
        }
        return FrameVerdict::kNotAwaited;
    }
    if (count == 3) {
        const uint8_t status = rx.bytes[5];
        if (status >= 1 && status <= 3) {
            rx.replyError = 1;
            return FrameVerdict::kRejected;
        }
    } else {
        Dispatch();
    }
    if (TxFrame.clearsBusy != 0) {
        deviceBusy = false;
    }
    ClearFrames(1, true);
    return FrameVerdict::kAccepted;
}

// A received current program replaces the editor's, counts as sent, and is announced.
void CCommProtocol::StoreCurrentProgram(const uint8_t* image) {
    AdoptProgram(image);
    if (m_sink != nullptr) {
        m_sink->ParametersReceived();
    }
}

void CCommProtocol::Dispatch() {
    const FrameRecord& rx = RxFrame;
    const int count = rx.rxCount;
    const uint8_t command = rx.bytes[4];
    // Rows store only what the frame really carries; a shorter reply ends the exchange but
    // changes nothing.
    switch (command) {
        case kPollA:
        case kPollB: {
            if (!StoreMonitorLevels(rx)) {
                return;
            }
            if (m_sink != nullptr && m_sink->TakeMonitorRequest()) {
                m_sink->SystemDataReceived(command);
            }
            return;
        }
        case kCmdProbe:
            if (count < kProbeCount) {
                return;
            }
            storePermission = rx.bytes[6];
            if (m_sink != nullptr) {
                m_sink->DeviceFound();
            }
            return;
        case kCmdReadName: {
            if (count < kNameCount) {
                return;
            }
            const int p = rx.bytes[5];
            if (p == 0) {
                AtomicCopy(ParameterSet.program.name, rx.bytes + 6, kNameLength);
            } else if (p <= kProgramCount) {
                AtomicCopy(ProgramBank.programs[p - 1].name, rx.bytes + 6, kNameLength);
            }
            return;
        }
        case kCmdReadSystem: {
            if (count < kSystemCount) {
                return;
            }
            const uint8_t* block = rx.bytes + 5;
            AdoptSystem(block);
            // The typed new passwords start as the device's own, so a password command
            // sent without typing leaves both unchanged.
            AtomicCopy(PasswordScratch.newPanel, block + offsetof(SystemBlock, panelPassword),
                       sizeof PasswordScratch.newPanel);
            AtomicCopy(PasswordScratch.newSystem, block + offsetof(SystemBlock, systemPassword),
                       sizeof PasswordScratch.newSystem);
            if (m_sink != nullptr) {
                m_sink->SystemReceived();
            }
            return;
        }
        case kCmdReadProgram: {
            if (count < kImageReplyCount) {
                return;
            }
            const int p = rx.bytes[5];
            if (p == 0) {
                StoreCurrentProgram(rx.bytes + 6);
                return;
            }
            const int requested = TxFrame.bytes[5];
            if (p != requested && m_sink != nullptr) {
                m_sink->WrongProgramNumber();
            }
            if (requested >= 1 && requested <= kProgramCount) {
                AtomicCopy(&ProgramBank.programs[requested - 1], rx.bytes + 6,
                           sizeof(ProgramImage));
            }
            if (p == kProgramCount && m_sink != nullptr) {
                m_sink->ModesReceived();
            }
            return;
        }
        case kCmdRecall:
            if (count < kImageReplyCount) {
                return;
            }
            StoreCurrentProgram(rx.bytes + 6);
            return;
        default:
            return;
    }
}

}  // namespace qx
