#include "SwitchCost.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ByteField.h"
#include "ChangeSync.h"
#include "FrameRecord.h"

namespace qx {

namespace {

bool ItemDiffers(const SyncItem& item, const uint8_t* cur, const uint8_t* sent) {
    switch (item.kind) {
        case SyncKind::LowNibble:
            return ((cur[0] ^ sent[0]) & 0x0F) != 0;
        case SyncKind::HighNibble:
            return ((cur[0] ^ sent[0]) & 0xF0) != 0;
        case SyncKind::Plain:
            break;
    }
    return std::memcmp(cur, sent, item.length) != 0;
}

bool AnyItemDiffers(const ParamImage& current, const ParamImage& sent, int scene) {
    const auto* cur = reinterpret_cast<const uint8_t*>(&current);
    const auto* snt = reinterpret_cast<const uint8_t*>(&sent);
    for (const SyncItem& item : SyncItems()) {
        const int off = SyncItemOffset(item, scene);
        if (ItemDiffers(item, cur + off, snt + off)) {
            return true;
        }
    }
    return false;
}

// One exchange: the turn that fetches the frame, the write and its reply, and the turn after
// the reply. A short frame's reply arrives within the turn's pause; a storing frame's bytes
// leave first, then the worker pauses for the store before it reads the reply.
double ExchangeMs(int lineBytes, const LineCosts& c, int storePauseMs) {
    const double line = lineBytes * c.ByteMs() + c.processingMs;
    if (storePauseMs > 0) {
        return 2.0 * c.turnPauseMs + line + storePauseMs;
    }
    return 2.0 * c.turnPauseMs + std::max<double>(c.turnPauseMs, line);
}

}  // namespace

SwitchEstimate CSwitchCost::ByDifferences(const ParamImage& sent, const ProgramImage& target,
                                          int scene, const LineCosts& costs) {
    // Plain copies: the estimate runs on snapshots, never on the editor's images.
    auto current = std::make_unique<ParamImage>();
    auto after = std::make_unique<ParamImage>();
    AtomicCopy(current.get(), &sent, sizeof(ParamImage));
    AtomicCopy(&current->program, &target, sizeof(ProgramImage));
    AtomicCopy(after.get(), &sent, sizeof(ParamImage));
    auto frame = std::make_unique<FrameRecord>();

    SwitchEstimate e;
    // Each frame carries the first differing item and counts it as sent, so the loop ends
    // after at most one frame per item.
    while (AnyItemDiffers(*current, *after, scene)) {
        BuildParameterFrame(*current, *after, scene, *frame);
        const int bytes = frame->Length() + kAckBytes;
        ++e.frames;
        e.lineBytes += bytes;
        e.ms += ExchangeMs(bytes, costs, 0);
    }
    e.carriesAll = std::memcmp(&after->program, &current->program, sizeof(ProgramImage)) == 0;
    return e;
}

SwitchEstimate CSwitchCost::ByProgramWrite(const LineCosts& costs) {
    SwitchEstimate e;
    e.frames = 1;
    // Header, count, command, program number, the program, checksum.
    e.lineBytes = 2 + 2 + 1 + 1 + static_cast<int>(sizeof(ProgramImage)) + 1 + kAckBytes;
    e.ms = ExchangeMs(e.lineBytes, costs, costs.storePauseMs);
    return e;
}

CSwitchCost::Route CSwitchCost::Choose(const SwitchEstimate& differences,
                                       const SwitchEstimate& programWrite) {
    if (!differences.carriesAll || differences.ms > programWrite.ms) {
        return Route::ProgramWrite;
    }
    return Route::Differences;
}

}  // namespace qx
