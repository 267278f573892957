// The user-interface thread stores fields without a lock while the worker builds frames from
// the same bytes. Under ThreadSanitizer this must be race-free, and once the edits stop the
// processor's copy, rebuilt from the frames alone, must equal the editor's image.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>

#include "ChangeSync.h"
#include "FrameDecoder.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "SyncedBytes.h"

using namespace qx;

TEST(SyncStressTest, ConcurrentEditsConvergeOnTheProcessorCopy) {
    ResetParameters();
    AdoptAsSent(true);
    ParamImage device;
    std::memcpy(&device, &SentImage, sizeof device);
    const std::vector<int> editable = qxtest::EditableOffsets();

    std::atomic<bool> editing{true};
    std::atomic<int> frames{0};
    std::string decodeError;

    std::thread worker([&] {
        int quietPolls = 0;
        // Runs while edits go on, then until two polls in a row show the images agree.
        while (editing.load() || quietPolls < 2) {
            NextParameterFrame();
            const uint8_t cmd = TxFrame.Command();
            if (cmd == kPollA || cmd == kPollB) {
                ++quietPolls;
                std::this_thread::yield();
                continue;
            }
            quietPolls = 0;
            frames.fetch_add(1);
            const std::string err = qxtest::ApplyParameterFrame(device, 1, TxFrame.bytes);
            if (!err.empty() && decodeError.empty()) {
                decodeError = err;
            }
        }
    });

    std::mt19937 rng(7);
    uint8_t* img = BytesOf(ParameterSet);
    // Edits go on until the worker has built plenty of frames from them.
    for (int i = 0; i < 20000 || (frames.load() < 3000 && i < 5000000); ++i) {
        // Mostly a few hot fields (a dragged slider), sometimes anywhere.
        const int off = rng() % 4 != 0 ? editable[rng() % 16] : editable[rng() % editable.size()];
        StoreByte(img[off], static_cast<uint8_t>(rng()));
        if (i % 64 == 0) {
            std::this_thread::yield();
        }
    }
    editing = false;
    worker.join();

    EXPECT_EQ(decodeError, "");
    EXPECT_GT(frames.load(), 0);
    ASSERT_EQ(SceneInForce(), 1);
    const uint8_t* sent = BytesOf(SentImage);
    for (int off : editable) {
        if (!qxtest::InOtherScene(off, 1)) {
            ASSERT_EQ(BytesOf(device)[off], img[off]) << "offset " << off;
            ASSERT_EQ(sent[off], img[off]) << "sent copy, offset " << off;
        }
    }
}
