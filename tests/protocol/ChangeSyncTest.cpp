#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ChangeSync.h"
#include "FrameDecoder.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "SyncedBytes.h"

using namespace qx;

namespace {

std::vector<uint8_t> Frame(const FrameRecord& r) {
    return std::vector<uint8_t>(r.bytes, r.bytes + r.Length());
}

std::vector<uint8_t> Next() {
    NextParameterFrame();
    return Frame(TxFrame);
}

bool IsPoll(const std::vector<uint8_t>& f) {
    return f[4] == kPollA || f[4] == kPollB;
}

class ChangeSyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        AdoptAsSent(true);
    }
    ProgramImage& P() { return ParameterSet.program; }
    SystemBlock& S() { return ParameterSet.system.block; }
};

using Bytes = std::vector<uint8_t>;

}  // namespace

TEST_F(ChangeSyncTest, IdlePollsAlternateAndCarryOutputMode) {
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x03, 0x00, 0x0C, 0x01, 0x10}));
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x03, 0x00, 0x18, 0x01, 0x1C}));
    EXPECT_EQ(Next()[4], 0x0C);
    EXPECT_EQ(TxFrame.checksumCopy, 0x10);
}

TEST_F(ChangeSyncTest, ExampleFramesAreByteExact) {
    EqBand& b = P().MusicLeft.bands[0];
    b.freqCode = 2;
    b.gainCode = 120;
    b.qCode = 10;
    b.type = 0;
    SentImage.program.MusicLeft.bands[0].type = 1;  // force a difference
    EXPECT_EQ(Next(),
              (Bytes{0xFF, 0x55, 0x08, 0x00, 0x03, 0x00, 0x02, 0x00, 0x78, 0x0A, 0x00, 0x8F}));

    S().musicVolume = 0x85;
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x04, 0x00, 0x01, 0x00, 0x85, 0x8A}));

    P().MusicRight.bands[2].freqCode = 361;  // 16-bit codes go out low byte first
    const Bytes f = Next();
    EXPECT_EQ(f[5], 22);
    EXPECT_EQ(f[6], 0x69);
    EXPECT_EQ(f[7], 0x01);
    EXPECT_TRUE(IsPoll(Next()));
}

TEST_F(ChangeSyncTest, RecordItemsCarryTheWholeRecord) {
    P().Mic1.limiter.attack = 7;
    const Bytes f = Next();
    const Limiter& l = P().Mic1.limiter;
    EXPECT_EQ(
        f, (Bytes{0xFF, 0x55, 0x07, 0x00, 0x07, 0x00, l.level, 7, l.release, l.ratio,
                  static_cast<uint8_t>(0x07 + 0x07 + 0x00 + l.level + 7 + l.release + l.ratio)}));
    EXPECT_TRUE(IsPoll(Next()));
}

TEST_F(ChangeSyncTest, EarlierSubPassesGoFirst) {
    P().MusicLeft.bands[5].gainCode = 130;
    S().musicVolume = 20;
    EXPECT_EQ(Next()[4], 0x01);
    EXPECT_EQ(Next()[4], 0x03);
    EXPECT_TRUE(IsPoll(Next()));

    // Reverse order of writing does not matter: the fixed order decides.
    S().irRemote = 1;
    P().EchoA.repeat = 30;
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x04, 0x00, 0x02, 0x00, 30, 36}));
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x03, 0x00, 0x8B, 0x01, 0x8F}));
}

TEST_F(ChangeSyncTest, OnlyTheSceneInForceIsSent) {
    SceneSelector.SetMode(2);
    AdoptAsSent(true);
    P().scenes[0].channels[kMainL].bands[0].gainCode = 99;  // Sing, not in force
    EXPECT_TRUE(IsPoll(Next()));
    P().scenes[1].channels[kMainL].bands[0].gainCode = 98;  // Disco, in force
    Bytes f = Next();
    EXPECT_EQ(f[4], 0x03);
    EXPECT_EQ(f[5], 111);
    EXPECT_EQ(f[8], 98);
    EXPECT_TRUE(IsPoll(Next()));

    // Switching to Sing: its pending difference goes out before the mode itself.
    SceneSelector.SetMode(1);
    f = Next();
    EXPECT_EQ(f[4], 0x03);
    EXPECT_EQ(f[8], 99);
    f = Next();
    EXPECT_EQ(f, (Bytes{0xFF, 0x55, 0x03, 0x00, 0x8E, 0x01, 0x92}));
    EXPECT_TRUE(IsPoll(Next()));
}

TEST_F(ChangeSyncTest, KeyAndSensitivityAreTwoItems) {
    S().keyAndSensitivity = 0xE0;
    AdoptAsSent(true);
    S().keyAndSensitivity = 0x71;
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x04, 0x00, 0x13, 0x00, 0x01, 0x18}));
    EXPECT_EQ(SentImage.system.block.keyAndSensitivity, 0xE1);
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x05, 0x00, 0x09, 0x07, 0x00, 0x00, 0x15}));
    EXPECT_EQ(SentImage.system.block.keyAndSensitivity, 0x71);
    EXPECT_TRUE(IsPoll(Next()));
}

TEST_F(ChangeSyncTest, DerivedEnableBytesAndPadding) {
    P().Mic2.noiseGate.threshold = 5;
    Bytes f = Next();
    EXPECT_EQ(f[4], 0x0A);
    EXPECT_EQ(f[5], 1);
    EXPECT_EQ(f[9], 1);
    P().Mic2.noiseGate.threshold = 0;
    f = Next();
    EXPECT_EQ(f[9], 0);

    P().Mic1.lowExciter.timbre = 3;
    f = Next();
    EXPECT_EQ(f.size(), 17u);
    EXPECT_EQ(f[4], 0x12);
    EXPECT_EQ(f[5], 6);
    EXPECT_EQ(f[6], 1);
    EXPECT_EQ(f[10], 3);
    for (int i = 11; i <= 15; ++i) {
        EXPECT_EQ(f[i], 0);
    }

    P().Mic2.feedback = 3;
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x05, 0x00, 0x06, 0x01, 0x00, 0x03, 0x0F}));
    P().scenes[0].channels[kRearR].mute = 1;
    EXPECT_EQ(Next(), (Bytes{0xFF, 0x55, 0x05, 0x00, 0x08, 0x05, 0x01, 0x00, 0x13}));
}

TEST_F(ChangeSyncTest, ItemsThatNeverTakePartProduceNoFrame) {
    P().MusicRight.limiter.level = 3;
    P().MusicRight.noiseGate.threshold = 3;
    P().ReverbShadow.bands[2].gainCode = 3;
    P().name[0] = 'A';
    P().imageSum = 9;
    P().Mic1.reserved[2] = 4;
    P().MusicLeft.reserved[0] = 4;
    P().scenes[0].channels[kMainR].limiter.level = 5;
    P().scenes[0].channels[kRearR].limiter.level = 5;
    P().scenes[0].channels[kSurroundR].limiter.level = 5;
    S().currentProgram = 3;
    S().panelPassword[0] = 'x';
    S().systemPassword[5] = 'x';
    S().reserved[38] = 1;
    ParameterSet.system.extraWord = 0x1234;
    EXPECT_TRUE(IsPoll(Next()));
    EXPECT_TRUE(IsPoll(Next()));
}

TEST_F(ChangeSyncTest, MixSendIndicesFollowTheDeviceOrder) {
    P().scenes[0].channels[kMainR].sends[kSrcReverb].toggle = 1;
    Bytes f = Next();
    EXPECT_EQ(f[4], 0x0B);
    EXPECT_EQ(f[5], 47);  // 5 * 5 + 18 + 4
    P().scenes[0].channels[kSurroundL].sends[kSrcMusic].level = 100;
    f = Next();
    EXPECT_EQ(f[4], 0x02);
    EXPECT_EQ(f[5], 28);
}

// Random edits in random batches; every frame decoded independently and applied to a copy of
// the processor's image must bring it level with the editor on every field that takes part.
TEST_F(ChangeSyncTest, RandomEditsAllReachTheDecodedCopy) {
    std::mt19937 rng(20261209);
    ParamImage device;
    std::memcpy(&device, &SentImage, sizeof device);

    const std::vector<int> editable = qxtest::EditableOffsets();
    const std::vector<int> fixed = qxtest::FixedOffsets();
    const std::vector<uint8_t> untouched(BytesOf(device), BytesOf(device) + sizeof device);

    int edits = 0;
    int frames = 0;
    uint8_t* img = BytesOf(ParameterSet);
    while (edits < 12000) {
        const int batch = 1 + static_cast<int>(rng() % 40);
        for (int e = 0; e < batch; ++e, ++edits) {
            if (rng() % 200 == 0) {
                SceneSelector.SetMode(static_cast<int>(rng() % 4));
                continue;
            }
            const int off = editable[rng() % editable.size()];
            StoreByte(img[off], static_cast<uint8_t>(rng()));
        }
        for (int guard = 0;; ++guard) {
            ASSERT_LT(guard, 2000) << "synchroniser never settled";
            NextParameterFrame();
            if (TxFrame.Command() == kPollA || TxFrame.Command() == kPollB) {
                break;
            }
            ++frames;
            const std::string err =
                qxtest::ApplyParameterFrame(device, SceneInForce(), TxFrame.bytes);
            ASSERT_EQ(err, "");
        }
        // The decoded copy matches the editor on every compared byte of the scene in force.
        for (int off : editable) {
            if (!qxtest::InOtherScene(off, SceneInForce())) {
                ASSERT_EQ(BytesOf(device)[off], img[off]) << "offset " << off;
            }
        }
        ASSERT_EQ(device.program.OutputMode, P().OutputMode);
    }
    // No frame touched a byte that never takes part.
    for (int off : fixed) {
        if (off != static_cast<int>(offsetof(ProgramImage, OutputMode))) {
            EXPECT_EQ(BytesOf(device)[off], untouched[static_cast<std::size_t>(off)])
                << "offset " << off;
        }
    }
    EXPECT_GT(frames, 5000);
}

namespace {

// The first item, in the order the synchroniser visits them, whose bytes differ between the
// two images: what the next frame must carry.
const SyncItem* FirstDifferingItem(int scene) {
    const uint8_t* cur = BytesOf(ParameterSet);
    const uint8_t* sent = BytesOf(SentImage);
    for (const SyncItem& item : SyncItems()) {
        const int off = SyncItemOffset(item, scene);
        const uint8_t mask = item.kind == SyncKind::LowNibble    ? 0x0F
                             : item.kind == SyncKind::HighNibble ? 0xF0
                                                                 : 0xFF;
        for (int i = 0; i < item.length; ++i) {
            if (((cur[off + i] ^ sent[off + i]) & mask) != 0) {
                return &item;
            }
        }
    }
    return nullptr;
}

}  // namespace

// Many edits at once, spread over the whole image (items visited early often lie late in it):
// each frame carries the first differing item in visiting order and marks only its bytes sent.
TEST_F(ChangeSyncTest, FramesFollowTheVisitingOrderWhateverTheLayout) {
    std::mt19937 rng(7);
    const std::vector<int> editable = qxtest::EditableOffsets();
    uint8_t* img = BytesOf(ParameterSet);
    int frames = 0;
    for (int round = 0; round < 200; ++round) {
        SceneSelector.SetMode(static_cast<int>(rng() % 4));
        for (int e = 0; e < 1 + static_cast<int>(rng() % 12); ++e) {
            StoreByte(img[editable[rng() % editable.size()]], static_cast<uint8_t>(rng()));
        }
        for (int guard = 0;; ++guard) {
            ASSERT_LT(guard, 100) << "synchroniser never settled";
            const int scene = SceneInForce();
            const SyncItem* expected = FirstDifferingItem(scene);
            const ParamImage before = SentImage;
            NextParameterFrame();
            if (expected == nullptr) {
                ASSERT_TRUE(TxFrame.Command() == kPollA || TxFrame.Command() == kPollB);
                break;
            }
            ++frames;
            ASSERT_EQ(TxFrame.Command(), expected->command);
            const int off = SyncItemOffset(*expected, scene);
            for (int b = 0; b < static_cast<int>(sizeof(ParamImage)); ++b) {
                if (b < off || b >= off + expected->length) {
                    ASSERT_EQ(BytesOf(SentImage)[b], BytesOf(before)[b]) << "offset " << b;
                }
            }
            ASSERT_NE(FirstDifferingItem(scene), expected);
        }
    }
    EXPECT_GT(frames, 500);
}
