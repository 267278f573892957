// Prints the frames the editor would send to bring a processor holding an all-zero image to
// the editor's start-up defaults, one line per frame, in the order they would go out.

#include <cstdio>
#include <cstring>

#include "ChangeSync.h"
#include "ParameterSet.h"
#include "SceneSelector.h"

int main() {
    using namespace qx;
    ResetParameters();
    std::memset(&SentImage, 0, sizeof SentImage);
    int frames = 0;
    for (;;) {
        BuildParameterFrame(ParameterSet, SentImage, SceneInForce(), TxFrame);
        const uint8_t cmd = TxFrame.Command();
        if (cmd == kPollA || cmd == kPollB) {
            break;
        }
        ++frames;
        std::printf("%4d  cmd %02X  ", frames, cmd);
        for (int i = 0; i < TxFrame.Length(); ++i) {
            std::printf("%02X ", TxFrame.bytes[i]);
        }
        std::printf("\n");
    }
    std::printf("%d frames, then the idle poll\n", frames);
    return 0;
}
