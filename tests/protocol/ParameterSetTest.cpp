#include <gtest/gtest.h>

#include <cstring>

#include "ChangeSync.h"
#include "DataConver.h"
#include "FrameRecord.h"
#include "ParameterSet.h"
#include "SceneSelector.h"

using namespace qx;

namespace {

template <class T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

class ParameterSetTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetParameters(); }
    ProgramImage& P() { return ParameterSet.program; }
};

}  // namespace

TEST_F(ParameterSetTest, StartupCopiesEqualTheirSources) {
    EXPECT_TRUE(SameBytes(P().MusicLeft, P().MusicRight));
    EXPECT_TRUE(SameBytes(P().Mic1, P().Mic2));
    EXPECT_TRUE(SameBytes(P().EchoA, P().EchoB));
    EXPECT_TRUE(SameBytes(P().Reverb, P().ReverbShadow));
    for (int s = 0; s < kSceneCount; ++s) {
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            EXPECT_TRUE(SameBytes(P().scenes[0].channels[0], P().scenes[s].channels[ch]))
                << "scene " << s << " channel " << ch;
        }
    }
}

TEST_F(ParameterSetTest, StartupBandsAndFilters) {
    const int music[15] = {2, 25, 49, 73, 96, 120, 144, 167, 187, 215, 238, 262, 287, 309, 333};
    for (int i = 0; i < 15; ++i) {
        const EqBand& b = P().MusicLeft.bands[i];
        EXPECT_EQ(b.freqCode, music[i]) << i;
        EXPECT_EQ(b.gainCode, 120);
        EXPECT_EQ(b.qCode, 10);
        EXPECT_EQ(b.type, 0);
    }
    const int mic[20] = {2,   25,  49,  73,  96,  120, 144, 167, 187, 215,
                         238, 262, 287, 299, 313, 323, 333, 343, 353, 360};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(P().Mic1.bands[i].freqCode, mic[i]) << i;
    }
    const int effect[7] = {2, 50, 100, 150, 200, 250, 300};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(P().EchoA.bands[i].freqCode, effect[i]);
        EXPECT_EQ(P().Reverb.bands[i].freqCode, effect[i]);
    }
    const int out[10] = {2, 32, 62, 92, 122, 152, 182, 212, 242, 272};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(P().scenes[2].channels[7].bands[i].freqCode, out[i]);
    }
    const int deq[3] = {20, 129, 279};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(P().MusicRight.deq[i].band.freqCode, deq[i]);
        EXPECT_EQ(P().MusicRight.deq[i].reserved, 1);
    }
    for (const EqBand& b : P().Mic2.extraBands) {
        EXPECT_EQ(b.freqCode, 204);
        EXPECT_EQ(b.type, 0);
    }
    EXPECT_EQ(P().MusicLeft.lpf.kind, 1);
    EXPECT_EQ(P().MusicLeft.lpf.freqCode, 361);
    EXPECT_EQ(P().MusicLeft.hpf.slope, 0);
    EXPECT_EQ(P().MusicLeft.mainHpf.slope, 1);
    EXPECT_EQ(P().Mic1.lowExciter.freqCode, 361);
    EXPECT_EQ(P().EchoB.lpf.freqCode, 361);
    EXPECT_EQ(P().scenes[1].channels[3].lpf.kind, 1);
}

TEST_F(ParameterSetTest, StartupSystemAndFlags) {
    const SystemBlock& s = ParameterSet.system.block;
    EXPECT_EQ(s.currentProgram, 0);
    EXPECT_EQ(s.effectMax, 70);
    EXPECT_EQ(s.micMax, 84);
    EXPECT_EQ(s.musicMax, 84);
    EXPECT_EQ(s.keyAndSensitivity >> 4, 14);
    EXPECT_EQ(P().OutputMode, 1);
    EXPECT_EQ(ProgramBank.bankValid, 0);
    for (U8 c : P().name) {
        EXPECT_EQ(c, 0);
    }
    const uint8_t* scratch = BytesOf(PasswordScratch);
    for (std::size_t i = 0; i < sizeof PasswordScratch; ++i) {
        EXPECT_EQ(scratch[i], ' ');
    }
}

TEST_F(ParameterSetTest, SceneInForceFollowsModeAndMemory) {
    EXPECT_EQ(SceneInForce(), 1);
    SceneSelector.SetMode(3);
    EXPECT_EQ(P().OutputMode, 3);
    SceneSelector.SetMode(0);
    EXPECT_EQ(P().OutputMode, 0);
    EXPECT_EQ(SceneInForce(), 3);
    SceneSelector.SetMode(7);  // ignored
    EXPECT_EQ(P().OutputMode, 0);

    ResetParameters();
    P().OutputMode = 0;
    EXPECT_EQ(SceneInForce(), 1);

    // A mode beyond the three scenes, as a file or the device may bring, falls back to the
    // remembered scene.
    SceneSelector.SetMode(2);
    P().OutputMode = 9;
    EXPECT_EQ(SceneInForce(), 2);
    P().OutputMode = 255;
    EXPECT_EQ(SceneInForce(), 2);
    const EqBandSpan span = EqBandsOf(P(), kEqOutputFirst + 3);
    EXPECT_EQ(span.bands, P().scenes[1].channels[3].bands);
}

TEST_F(ParameterSetTest, LinkCopiesWriteBothImagesAndKeepMuteAndDelay) {
    P().MusicLeft.bands[4].gainCode = 150;
    P().MusicRight.limiter.level = 9;
    LinkMusic(false);
    EXPECT_TRUE(SameBytes(P().MusicLeft, P().MusicRight));
    EXPECT_TRUE(SameBytes(SentImage.program.MusicRight, P().MusicRight));

    P().Mic1.level = 33;
    LinkMic(false);
    EXPECT_EQ(P().Mic2.level, 33);
    EXPECT_EQ(SentImage.program.Mic2.level, 33);

    for (int s = 0; s < kSceneCount; ++s) {
        OutputScene& sc = P().scenes[s];
        sc.channels[kMainL].bands[0].gainCode = static_cast<uint8_t>(100 + s);
        sc.channels[kMainL].mute = 1;
        sc.channels[kMainL].delay = 100;
        sc.channels[kMainR].mute = 0;
        sc.channels[kMainR].delay = static_cast<uint16_t>(500 + s);
    }
    AdoptAsSent(true);
    // A mute and a delay of Main R edited and not sent yet (scene 1 is in force).
    P().scenes[0].channels[kMainR].mute = 1;
    P().scenes[0].channels[kMainR].delay = 700;
    LinkOutputPair(kEqOutputFirst + kMainR);
    for (int s = 0; s < kSceneCount; ++s) {
        const OutputChannelRecord& r = P().scenes[s].channels[kMainR];
        const OutputChannelRecord& sent = SentImage.program.scenes[s].channels[kMainR];
        EXPECT_EQ(r.bands[0].gainCode, 100 + s);
        EXPECT_EQ(r.mute, s == 0 ? 1 : 0);
        EXPECT_EQ(r.delay, s == 0 ? 700 : 500 + s);
        // The sent copy takes the copied part and keeps the mute and delay the device has.
        EXPECT_EQ(sent.bands[0].gainCode, 100 + s);
        EXPECT_EQ(sent.mute, 0);
        EXPECT_EQ(sent.delay, 500 + s);
    }
    // So the pending edits still go out: the delay (command 0x05), then the mute (0x08).
    NextParameterFrame();
    EXPECT_EQ(TxFrame.Command(), 0x05);
    NextParameterFrame();
    EXPECT_EQ(TxFrame.Command(), 0x08);
    NextParameterFrame();
    EXPECT_EQ(TxFrame.Command(), kPollA);
    // Only right channels can be linked onto.
    const ParamImage before = ParameterSet;
    LinkOutputPair(kEqOutputFirst + kMainL);
    EXPECT_TRUE(SameBytes(before, ParameterSet));
}

TEST_F(ParameterSetTest, ResetEqBandsTouchesOnlyTheMainBands) {
    P().MusicLeft.bands[3].gainCode = 10;
    P().MusicLeft.extraBands[1].gainCode = 11;
    ResetEqBands(kEqMusicLeft);
    for (const EqBand& b : P().MusicLeft.bands) {
        EXPECT_EQ(b.type, 1);
        EXPECT_EQ(b.gainCode, 120);
    }
    EXPECT_EQ(P().MusicLeft.bands[3].freqCode, 73);
    EXPECT_EQ(P().MusicLeft.extraBands[1].gainCode, 11);
    EXPECT_EQ(P().MusicLeft.extraBands[1].type, 0);

    P().MusicRight.deq[1].threshold = 17;
    P().MusicRight.deq[1].band.gainCode = 60;
    ResetEqBands(kEqDynamicRight);
    EXPECT_EQ(P().MusicRight.deq[1].band.gainCode, 120);
    EXPECT_EQ(P().MusicRight.deq[1].band.type, 1);
    EXPECT_EQ(P().MusicRight.deq[1].threshold, 17);

    SceneSelector.SetMode(2);
    P().scenes[1].channels[5].bands[9].freqCode = 5;
    ResetEqBands(kEqOutputFirst + 5);
    EXPECT_EQ(P().scenes[1].channels[5].bands[9].freqCode, 272);
    EXPECT_EQ(P().scenes[0].channels[5].bands[9].type, 0);  // other scenes untouched
}

TEST_F(ParameterSetTest, AdoptAsSentCopiesProgramAndOptionallySystem) {
    P().EchoA.repeat = 44;
    ParameterSet.system.block.micVolume = 12;
    AdoptAsSent(false);
    EXPECT_TRUE(SameBytes(SentImage.program, P()));
    EXPECT_NE(SentImage.system.block.micVolume, 12);
    AdoptAsSent(true);
    EXPECT_TRUE(SameBytes(SentImage, ParameterSet));
}

namespace {
int attachedEq = -1;
int attachedScenes = 0;
int attachAllCalls = 0;
}  // namespace

TEST_F(ParameterSetTest, CurveSetHooksAreCalledForReplacedRecords) {
    CurveSetHooks h;
    h.attach = [](int eq, int scene) {
        attachedEq = eq;
        attachedScenes |= 1 << scene;
    };
    h.attachAll = [] { ++attachAllCalls; };
    SetCurveSetHooks(h);
    LinkOutputPair(kEqOutputFirst + kSurroundR);
    EXPECT_EQ(attachedEq, kEqOutputFirst + kSurroundR);
    EXPECT_EQ(attachedScenes, 0b1110);
    AdoptAsSent(true);
    EXPECT_EQ(attachAllCalls, 0);
    AdoptAsSent(false);
    EXPECT_EQ(attachAllCalls, 1);
    SetCurveSetHooks({});
}
