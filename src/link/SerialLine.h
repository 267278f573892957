#pragma once
// The byte line under the serial worker: a real port (CQtSerialLine) or a scripted fake in
// tests. All calls come from the worker thread while it runs, from the opening thread
// otherwise.

#include <QString>
#include <cstdint>

namespace qx {

class CSerialLine {
  public:
    virtual ~CSerialLine() = default;

    // Writes all bytes, waiting up to timeoutMs for them to leave. False when the bytes could
    // not be handed over within that time (the line may still be fine: see Lost).
    virtual bool Write(const uint8_t* bytes, int count, int timeoutMs) = 0;
    // Waits up to timeoutMs for received bytes; true when some are waiting.
    virtual bool WaitForInput(int timeoutMs) = 0;
    // Bytes waiting to be read (looks at the device without blocking).
    virtual int BytesAvailable() = 0;
    virtual int Read(uint8_t* buffer, int max) = 0;
    // Drops everything received and not yet sent.
    virtual void Purge() = 0;
    // Drops everything received; what was written still goes out.
    virtual void PurgeInput() { Purge(); }
    // Clears the line's error state.
    virtual void ClearError() = 0;
    // True once the device has gone (adapter unplugged, terminal closed).
    virtual bool Lost() = 0;
    // Text of the last error, for error boxes.
    virtual QString ErrorText() = 0;

    // Hand the line to the worker thread and back (Qt objects live in one thread).
    virtual void MoveToWorker(void* thread) { (void)thread; }
    virtual void ReturnFromWorker() {}
};

}  // namespace qx
