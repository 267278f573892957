#pragma once
// Every pause and time-out of the serial worker in one record. The editor and qxctl use the
// processor's own timing (Real); tests use a fast profile (Fast) that keeps the proportions
// that matter (a reply wait longer than the turn, a slow-reply wait longer than the ordinary
// one) at a fraction of the time, and keep one test per behaviour at the real timing. The
// number of resends is behaviour, not timing, and stays fixed.

namespace qx {

struct LinkTiming {
    int turnPauseMs = 20;         // after every turn of the worker
    int idleWaitMs = 1000;        // the wait for work while no frame awaits a reply
    int replyWaitMs = 500;        // the wait for the first byte of a reply
    int slowReplyWaitMs = 2000;   // the same for a frame marked slow-reply
    int quietPollMs = 100;        // one empty poll while a reply is awaited
    int quietPolls = 5;           // a further empty poll ends the wait
    int slowReplyPauseMs = 1000;  // after writing a slow-reply frame
    int storePauseMs = 3000;      // after writing a frame that makes the processor store
    int writeTimeoutMs = 1000;    // for the bytes of one frame to leave
    // A reply that keeps arriving gets its own time on the line at this rate plus the margin,
    // counted from its first byte; then it counts as lost like silence.
    int replyMarginMs = 2000;
    int lineBitsPerSecond = 115200;

    // The processor's timing: what the editor and qxctl use.
    static constexpr LinkTiming Real() { return LinkTiming{}; }

    // For tests: short pauses and a reply wait that still covers a program image paced like
    // the real line (about 240 ms) with room for a busy machine. The line rate stays, so a
    // virtual processor that paces its replies still fits in the reply allowance.
    static constexpr LinkTiming Fast() {
        LinkTiming t;
        t.turnPauseMs = 2;
        t.idleWaitMs = 100;
        t.replyWaitMs = 300;
        t.slowReplyWaitMs = 600;
        t.quietPollMs = 40;
        t.slowReplyPauseMs = 100;
        t.storePauseMs = 300;
        t.replyMarginMs = 1000;
        return t;
    }

    // Milliseconds that `bytes` take on the line (start, 8 data and stop bits each).
    constexpr int LineTimeMs(int bytes) const {
        constexpr int kBitsPerByte = 10;
        return (bytes * kBitsPerByte * 1000 + lineBitsPerSecond - 1) / lineBitsPerSecond;
    }
};

}  // namespace qx
