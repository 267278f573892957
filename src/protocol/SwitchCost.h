#pragma once
// What it costs on the line to bring the processor from what it holds to another whole
// program, by either lawful way: the synchroniser's parameter frames, one per differing item,
// or one whole-program write (the program import's frame, followed by the processor's store
// pause). The A/B switch asks before each switch and takes the cheaper way; the estimate is a
// floor (line time at the line's rate plus the worker's pauses), the benchmark measures both.

#include "ProgramImage.h"

namespace qx {

// The worker's timing that bounds an exchange; the editor fills it from its link timing.
struct LineCosts {
    int turnPauseMs = 20;     // the worker's pause after every turn
    int storePauseMs = 3000;  // after a frame that makes the processor store
    int bitsPerSecond = 115200;
    int processingMs = 3;  // the processor's own time to answer a frame

    double ByteMs() const { return 10.0 * 1000.0 / bitsPerSecond; }
};

struct SwitchEstimate {
    int frames = 0;          // frames on the line
    int lineBytes = 0;       // their bytes and the replies'
    double ms = 0;           // until the processor holds the program and the line is free again
    bool carriesAll = true;  // false: bytes differ that no parameter frame carries
};

class CSwitchCost {
  public:
    enum class Route { Differences, ProgramWrite };

    // The parameter frames that bring `sent` (what the processor holds) to `target`, with the
    // output scene in force, as the synchroniser would build them one by one.
    static SwitchEstimate ByDifferences(const ParamImage& sent, const ProgramImage& target,
                                        int scene, const LineCosts& costs);
    // One whole-program write.
    static SwitchEstimate ByProgramWrite(const LineCosts& costs);
    // The cheaper way; the whole-program write whenever the frames cannot carry every
    // difference (another scene's outputs, the name).
    static Route Choose(const SwitchEstimate& differences, const SwitchEstimate& programWrite);

    static constexpr int kAckBytes = 7;
};

}  // namespace qx
