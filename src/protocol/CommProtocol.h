#pragma once
// The outgoing frame queue and the bulk commands that fill it.
// All queue operations take ParamLock (it is recursive, so callers that already hold it while
// they queue several commands keep the queue consistent as a whole).

#include <cstdint>
#include <memory>

#include "SendDataQueue.h"
#include "TransferStop.h"

namespace qx {

class CReplySink;

// Bulk command codes.
enum BulkCommand : uint8_t {
    kCmdProbe = 0x7F,
    kCmdReadName = 0x80,
    kCmdReadSystem = 0x81,
    kCmdReadProgram = 0x82,
    kCmdWriteSystem = 0x83,
    kCmdWriteProgram = 0x84,
    kCmdRecall = 0x85,
    kCmdStore = 0x86,
    kCmdSystemPassword = 0x8C,
    kCmdPanelPassword = 0x8D,
};

constexpr int kNameFrames = 22;  // names of the current program and of programs 1..21

class CCommProtocol {
  public:
    CCommProtocol();
    virtual ~CCommProtocol();
    CCommProtocol(const CCommProtocol&) = delete;
    CCommProtocol& operator=(const CCommProtocol&) = delete;

    // Appends a frame; the queue owns it from now on.
    void AddFrame(std::unique_ptr<CSendData> frame);
    bool HasFrames();
    int FrameCount();
    // Copies the whole record of the first frame into target and drops the frame.
    bool PopFrame(FrameRecord& target);
    void ClearQueue();
    // Numbers the queued frames 1..n in their progressStep bytes; returns n.
    int NumberQueuedFrames();

    // The kind of the long transfer among the numbered (progress) frames queued: what a person
    // may stop while it runs; kNone when there is none.
    TransferKind QueuedTransfer();
    // Stops the long transfer the numbered frames belong to: drops its queued frames, except
    // those of the program on the line (TxFrame, which always finishes with its reply), so no
    // program and no system block is moved in part. What was moved and what was not is in the
    // result; nothing changes when nothing of the transfer is left in the queue.
    TransferStop DropTransfer();
    // After a stopped bank write: reads back what the processor now holds (names, system block,
    // current program), after whatever is queued (a recall stays), and keeps deviceBusy set
    // until the last of these reads is answered, so that the wait form covers all of it.
    void QueueReadBack();

    // Builds and appends the frames of one bulk command; other codes queue nothing.
    // Sets deviceBusy for the commands that make the processor store or recall.
    bool QueueCommand(uint8_t command, uint8_t argument);

    // The queue itself, for inspection with ParamLock held.
    CSendDataQueue& Queue() { return m_queue; }

    // Receiver of the processor's replies (the serial worker calls it with ParamLock held).
    // Assembles bytes of channel 1 in RxFrame; returns true when a complete, valid reply to the
    // frame awaiting it (same command as TxFrame) has been handled, RxFrame and TxFrame bytes
    // 4.. then cleared. A valid frame with another command is dropped like a stray byte and the
    // search goes on. Bytes of another channel than linkChannel are ignored.
    bool FeedBytes(int channel, const uint8_t* bytes, int count);
    // Channel 1 only: zeroes RxFrame and, with alsoSendFrame, TxFrame from byte 4 on.
    void ClearFrames(int channel, bool alsoSendFrame);
    // Where replies are announced; null announces nothing.
    void SetReplySink(CReplySink* sink) { m_sink = sink; }
    CReplySink* ReplySink() const { return m_sink; }

  private:
    enum class FrameVerdict { kAccepted, kRejected, kNotAwaited };
    FrameVerdict AcceptFrame();
    // Back to looking for a header; resend bookkeeping (retries, idlePolls) stays.
    void RestartSearch();
    void Dispatch();
    void StoreCurrentProgram(const uint8_t* image);

    CSendDataQueue m_queue;
    CReplySink* m_sink = nullptr;
};

// The one protocol object of the program; set by CCommProtocol's constructor.
extern CCommProtocol* CommProtocol;

}  // namespace qx
