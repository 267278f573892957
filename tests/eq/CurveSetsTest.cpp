#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "CurveSets.h"
#include "ParameterSet.h"
#include "SceneSelector.h"

using namespace qx;

namespace {

class CurveSetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallCurveSets();
        ResetParameters();
    }
    void TearDown() override { SetCurveSetHooks({}); }
};

}  // namespace

TEST_F(CurveSetsTest, StartUpBuildsEveryEqualiser) {
    const int sizes[kEqNumberCount] = {17, 17, 22, 22, 9,  9,  9,  9, 12,
                                       12, 12, 12, 12, 12, 12, 12, 3, 3};
    for (int eq = 0; eq < kEqNumberCount; ++eq) {
        ASSERT_NE(CurveSetOf(eq), nullptr) << eq;
        EXPECT_EQ(CurveSetOf(eq)->GetSize(), sizes[eq]) << eq;
    }
    EXPECT_EQ(CurveSetOf(-1), nullptr);
    EXPECT_EQ(CurveSetOf(kEqNumberCount), nullptr);
    EXPECT_EQ(CurveSetOf(kEqDynamicLeft)->GetHighPass(), nullptr);
    EXPECT_EQ(CurveSetOf(kEqDynamicLeft)->GetAt(0)->GetGainLimit(), 1);

    ProgramImage& p = ParameterSet.program;
    EXPECT_EQ(CurveSetOf(kEqMic2)->GetAt(19)->BandRecord(), &p.Mic2.bands[19]);
    EXPECT_EQ(CurveSetOf(kEqReverb)->GetLowPass()->PassRecord(), &p.Reverb.lpf);
    EXPECT_EQ(CurveSetOf(kEqDynamicRight)->GetAt(2)->BandRecord(), &p.MusicRight.deq[2].band);
    // The default image draws flat.
    for (double v : CurveSetOf(kEqMusicLeft)->TotalResponse()) {
        ASSERT_NEAR(v, 0.0, 1e-9);
    }
}

TEST_F(CurveSetsTest, OutputNumbersFollowTheSceneInForce) {
    CKTVEQ* sing = CurveSetOf(kEqOutputFirst + kCenter, 1);
    CKTVEQ* disco = CurveSetOf(kEqOutputFirst + kCenter, 2);
    CKTVEQ* decode = CurveSetOf(kEqOutputFirst + kCenter, 3);
    EXPECT_NE(sing, disco);
    EXPECT_NE(disco, decode);
    EXPECT_EQ(disco->GetAt(0)->BandRecord(),
              &ParameterSet.program.scenes[1].channels[kCenter].bands[0]);
    SceneSelector.SetMode(2);
    EXPECT_EQ(CurveSetOf(kEqOutputFirst + kCenter), disco);
    SceneSelector.SetMode(0);  // Auto keeps the scene last chosen
    EXPECT_EQ(CurveSetOf(kEqOutputFirst + kCenter), disco);
    SceneSelector.SetMode(3);
    EXPECT_EQ(CurveSetOf(kEqOutputFirst + kCenter), decode);
}

TEST_F(CurveSetsTest, ReplacedRecordsAreAttachedAgain) {
    CFilter* before = CurveSetOf(kEqMusicLeft)->GetAt(0);
    ResetParameters();  // a second reset keeps the filters the views point at
    EXPECT_EQ(CurveSetOf(kEqMusicLeft)->GetAt(0), before);

    EqBand& band = ParameterSet.program.MusicLeft.bands[0];
    band.freqCode = 204;
    band.gainCode = 180;
    band.type = 1;
    AdoptAsSent(false);
    EXPECT_NEAR(before->GetResponse()[239], 12.0, 1e-9);

    EqBand& mic = ParameterSet.program.Mic1.bands[3];
    mic.freqCode = 204;
    mic.gainCode = 60;
    mic.type = 1;
    LinkMic(true);
    EXPECT_NEAR(CurveSetOf(kEqMic2)->GetAt(3)->GetResponse()[239], -12.0, 1e-9);

    ParameterSet.program.scenes[2].channels[kMainL].hpf.slope = 3;
    LinkOutputPair(kEqOutputFirst + kMainR);
    CFilter* h = CurveSetOf(kEqOutputFirst + kMainR, 3)->GetHighPass();
    EXPECT_EQ(h->GetSlopeCode(), 3);
}

TEST_F(CurveSetsTest, TotalResponseOfAnImage) {
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
    EqBand& band = image->program.EchoB.bands[2];
    band.freqCode = 204;
    band.gainCode = 180;
    band.qCode = 200;  // out of range: read as the last Q, and left as it is in the image
    band.type = 1;
    image->program.scenes[1].channels[kSub].bands[0] = band;
    image->program.OutputMode = 2;
    auto before = std::make_unique<ParamImage>();
    std::memcpy(before.get(), image.get(), sizeof(ParamImage));

    const auto echo = EqTotalResponse(*image, kEqEchoB);
    ASSERT_EQ(echo.size(), static_cast<size_t>(kGridPoints));
    EXPECT_DOUBLE_EQ(echo[239].first, 1000.0);
    EXPECT_NEAR(echo[239].second, 12.0, 1e-9);
    EXPECT_DOUBLE_EQ(echo[0].first, 10.0);
    EXPECT_DOUBLE_EQ(echo[419].first, 32000.0);

    // The image's own output mode picks the scene.
    EXPECT_NEAR(EqTotalResponse(*image, kEqOutputFirst + kSub)[239].second, 12.0, 1e-9);
    EXPECT_NEAR(EqTotalResponse(*image, kEqOutputFirst + kSub, 1)[239].second, 0.0, 1e-9);

    EXPECT_TRUE(EqTotalResponse(*image, 18).empty());
    EXPECT_TRUE(EqTotalResponse(*image, -1).empty());
    EXPECT_EQ(std::memcmp(before.get(), image.get(), sizeof(ParamImage)), 0);
}

TEST_F(CurveSetsTest, BypassBytesShownByTheView) {
    ProgramImage& p = ParameterSet.program;
    EXPECT_EQ(EqBypassByte(p, kEqMusicLeft), &p.MusicLeft.eqBypass);
    EXPECT_EQ(EqBypassByte(p, kEqReverbShadow), &p.ReverbShadow.eqBypass);
    EXPECT_EQ(EqBypassByte(p, kEqDynamicLeft), nullptr);
    EXPECT_EQ(EqBypassByte(p, 18), nullptr);
    p.OutputMode = 3;
    EXPECT_EQ(EqBypassByte(p, kEqOutputFirst + kRearR), &p.scenes[2].channels[kRearR].eqBypass);
    p.OutputMode = 0;
    EXPECT_EQ(EqBypassByte(p, kEqOutputFirst), nullptr);
    p.OutputMode = 7;  // only a damaged image holds this
    EXPECT_EQ(EqBypassByte(p, kEqOutputFirst), nullptr);
}
