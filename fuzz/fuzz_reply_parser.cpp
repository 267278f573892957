// The reply parser fed whatever a line can deliver. The input's first three bytes describe the
// frame awaiting its reply (its command, its first data byte, and whether a valid reply clears
// the busy flag plus a seed for the chunk sizes); the rest arrives in chunks of 1..64 bytes, as
// the serial worker hands over what each read returns. A rejected frame is cleared now and then,
// as the worker's quiet-period resend does.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "CommProtocol.h"
#include "FrameRecord.h"
#include "FuzzCheck.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ReplySink.h"

using namespace qx;

namespace {

struct QuietSink : CReplySink {
    void DeviceFound() override {}
    void SystemReceived() override {}
    void ParametersReceived() override {}
    void ModesReceived() override {}
    void SystemDataReceived(uint8_t) override {}
    bool TakeMonitorRequest() override { return (++requests & 1) != 0; }
    void WrongProgramNumber() override {}
    unsigned requests = 0;
};

void AwaitReply(uint8_t command, uint8_t firstData, bool clearsBusy) {
    InitFrame(TxFrame);
    TxFrame.SetCount(3);
    TxFrame.bytes[4] = command;
    TxFrame.bytes[5] = firstData;
    FinishFrame(TxFrame);
    TxFrame.written = 1;
    TxFrame.clearsBusy = clearsBusy ? 1 : 0;
}

bool AllZero(const uint8_t* p, std::size_t n) {
    return std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static QuietSink sink;
    static CCommProtocol* protocol = [] {
        ResetParameters();
        auto* p = new CCommProtocol;
        p->SetReplySink(&sink);
        return p;
    }();
    if (size < 3) {
        return 0;
    }
    const uint8_t command = data[0];
    const uint8_t firstData = data[1];
    const bool clearsBusy = (data[2] & 1) != 0;
    uint32_t seed = data[2] | 0x100u;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };

    linkChannel = 1;
    protocol->ClearFrames(1, true);
    AwaitReply(command, firstData, clearsBusy);

    std::size_t pos = 3;
    while (pos < size) {
        const std::size_t chunk = std::min<std::size_t>(size - pos, 1 + next() % 64);
        deviceBusy = true;
        const bool accepted = protocol->FeedBytes(1, data + pos, static_cast<int>(chunk));
        pos += chunk;
        const FrameRecord& rx = RxFrame;
        if (accepted) {
            // An accepted reply leaves both records empty for the next exchange.
            QX_FUZZ_CHECK(AllZero(reinterpret_cast<const uint8_t*>(&RxFrame), sizeof RxFrame));
            QX_FUZZ_CHECK(
                AllZero(reinterpret_cast<const uint8_t*>(&TxFrame) + 4, sizeof TxFrame - 4));
            QX_FUZZ_CHECK(deviceBusy == !clearsBusy);
            AwaitReply(command, firstData, clearsBusy);
            continue;
        }
        // Whatever arrived, the receiver never writes past its frame area.
        QX_FUZZ_CHECK(rx.rxIndex <= kFrameArea + 1);
        QX_FUZZ_CHECK(rx.inFrame <= 1 && rx.replyError <= 1);
        if (rx.replyError != 0 && next() % 4 == 0) {
            protocol->ClearFrames(1, false);  // the quiet-period resend
        }
    }
    linkChannel = 0;
    return 0;
}
