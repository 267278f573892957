// The user-interface thread stores fields without a lock while the worker builds frames from
// the same bytes. Under ThreadSanitizer this must be race-free, and once the edits stop the
// processor's copy, rebuilt from the frames alone, must equal the editor's image.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "FrameDecoder.h"
#include "FrameEncoder.h"
#include "FrameRecord.h"
#include "LinkState.h"
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
        // Runs while edits go on, then until two polls in a row, both after the last edit,
        // show the images agree.
        for (;;) {
            if (editing.load()) {
                quietPolls = 0;
            } else if (quietPolls >= 2) {
                break;
            }
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

// The processor answers recalls with whole images while the user keeps editing. Each received
// image replaces the editor's image and counts as sent; an edit that lands while an image is
// being taken in must stay a difference and reach the processor, never be counted as sent.
TEST(SyncStressTest, EditsDuringReceivedImagesAreNeverCountedAsSent) {
    ResetParameters();
    AdoptAsSent(true);
    linkChannel = 1;
    CCommProtocol proto;
    ParamImage device;
    std::memcpy(&device, &SentImage, sizeof device);
    const std::vector<int> editable = qxtest::EditableOffsets();
    std::vector<int> programOffsets;
    for (int off : editable) {
        if (off < static_cast<int>(sizeof(ProgramImage))) {
            programOffsets.push_back(off);
        }
    }

#if defined(__SANITIZE_THREAD__)
    constexpr int kImages = 300;  // the race checker slows every copy down a hundredfold
#else
    constexpr int kImages = 3000;
#endif
    std::atomic<int> images{0};
    std::atomic<bool> editing{true};
    std::string failure;
    int countedAsSent = 0;

    std::thread worker([&] {
        std::mt19937 rng(11);
        int quietPolls = 0;
        for (;;) {
            const bool stillEditing = editing.load();
            if (stillEditing) {
                quietPolls = 0;
            } else if (quietPolls >= 2) {
                break;
            }
            std::lock_guard<std::recursive_mutex> guard(ParamLock);
            if (stillEditing && images.load() < kImages) {
                // The processor changes its program (a recall) and sends the whole image.
                for (int i = 0; i < 8; ++i) {
                    BytesOf(device)[programOffsets[rng() % programOffsets.size()]] =
                        static_cast<uint8_t>(rng());
                }
                std::vector<uint8_t> data(1 + sizeof(ProgramImage));
                data[0] = 3;
                std::copy(BytesOf(device.program), BytesOf(device.program) + sizeof(ProgramImage),
                          data.begin() + 1);
                const std::vector<uint8_t> reply = qxtest::EncodeFrame(0x85, data);
                InitFrame(TxFrame);  // the recall awaiting its answer
                TxFrame.SetCount(3);
                TxFrame.bytes[4] = 0x85;
                TxFrame.bytes[5] = 3;
                FinishFrame(TxFrame);
                TxFrame.written = 1;
                if (!proto.FeedBytes(1, reply.data(), static_cast<int>(reply.size())) &&
                    failure.empty()) {
                    failure = "image reply refused";
                }
                // The sent copy is what the processor has, even for edits made meanwhile.
                for (int off : programOffsets) {
                    if (!qxtest::InOtherScene(off, 1) &&
                        LoadByte(BytesOf(SentImage)[off]) != BytesOf(device)[off]) {
                        ++countedAsSent;
                    }
                }
                images.fetch_add(1);
            }
            NextParameterFrame();
            const uint8_t cmd = TxFrame.Command();
            if (cmd == kPollA || cmd == kPollB) {
                ++quietPolls;
                continue;
            }
            quietPolls = 0;
            const std::string err = qxtest::ApplyParameterFrame(device, 1, TxFrame.bytes);
            if (!err.empty() && failure.empty()) {
                failure = err;
            }
        }
    });

    std::mt19937 rng(5);
    uint8_t* img = BytesOf(ParameterSet);
    // Edits go on while the images arrive, so many of them land while one is taken in.
    while (images.load() < kImages) {
        StoreByte(img[programOffsets[rng() % programOffsets.size()]], static_cast<uint8_t>(rng()));
    }
    editing = false;
    worker.join();
    linkChannel = 0;

    EXPECT_EQ(failure, "");
    EXPECT_EQ(countedAsSent, 0) << "bytes the sent copy holds but the processor never got";
    ASSERT_EQ(SceneInForce(), 1);
    const uint8_t* sent = BytesOf(SentImage);
    int lost = 0;
    for (int off : editable) {
        if (qxtest::InOtherScene(off, 1)) {
            continue;
        }
        EXPECT_EQ(sent[off], img[off]) << "sent copy, offset " << off;
        lost += BytesOf(device)[off] != img[off] ? 1 : 0;
    }
    EXPECT_EQ(lost, 0) << "edits counted as sent but never put on the line";
}

// Assigning one record or field to another is atomic byte by byte like every other access, so
// copying a block while the user edits its source is free of data races (checked under
// ThreadSanitizer) and never tears a byte.
TEST(SyncStressTest, RecordAssignmentNeverRacesAnEdit) {
    ResetParameters();
    ProgramImage& p = ParameterSet.program;
    std::atomic<bool> editing{true};
    std::thread editor([&] {
        uint8_t v = 0;
        while (editing.load()) {
            p.EchoA.bands[2].gainCode = v;
            p.EchoA.delay = static_cast<uint16_t>(v * 257);
            ++v;
        }
    });
    for (int i = 0; i < 20000; ++i) {
        p.EchoB.bands[2] = p.EchoA.bands[2];
        p.EchoB.delay = p.EchoA.delay;
        p.Mic2.limiter = p.Mic1.limiter;
    }
    editing = false;
    editor.join();
    p.EchoB = p.EchoA;
    EXPECT_EQ(p.EchoB.bands[2].gainCode, p.EchoA.bands[2].gainCode);
    EXPECT_EQ(p.EchoB.delay, p.EchoA.delay);
}
