// A room fit on an equaliser of a program image: what it starts from and what it writes back.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "CurveSets.h"
#include "DataConver.h"
#include "ParameterSet.h"
#include "RoomFitImage.h"

using namespace qx;

namespace {

GridCurve Flat(double level) {
    GridCurve c;
    c.fill(level);
    return c;
}

std::unique_ptr<ParamImage> FreshImage() {
    ResetParameters();
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
    return image;
}

}  // namespace

TEST(RoomFitImageTest, TheInputHoldsTheBandsThePassFiltersAndTheDynamicGainLimits) {
    auto image = FreshImage();
    EqBand& b = image->program.Mic1.bands[3];
    b.type = kTypeLowShelf;
    b.freqCode = 100;
    b.gainCode = 130;
    b.qCode = 12;
    image->program.Mic1.bands[4].type = 9;  // a damaged type
    image->program.Mic1.hpf.slope = 8;
    image->program.Mic1.hpf.freqCode = 60;
    const FitInput in = CRoomFitImage::Input(image->program, kEqMic1, 1, Flat(70.0), Flat(0.0));
    const EqElements e = EqElementsOf(image->program, kEqMic1, 1);
    ASSERT_EQ(static_cast<int>(in.current.size()), e.count);
    EXPECT_EQ(in.current[3], (FitBand{kTypeLowShelf, 100, 130, 12}));
    EXPECT_EQ(in.current[4].type, kTypeBypass) << "a damaged type is neither kept nor read";
    EXPECT_LT(in.fixed[kGridCodeOffset + 10], -20.0) << "the high-pass stays in what is fixed";
    EXPECT_NEAR(in.fixed[kGridCodeOffset + 200], 0.0, 0.1);
    EXPECT_EQ(in.lowestGainCode, 0);
    EXPECT_EQ(in.highestGainCode, kMaxGainCode);

    const FitInput dyn = CRoomFitImage::Input(image->program, kEqDynamicLeft, 1, Flat(0), Flat(0));
    EXPECT_EQ(dyn.current.size(), 3u);
    EXPECT_EQ(dyn.lowestGainCode, 60);
    EXPECT_EQ(dyn.highestGainCode, 180);

    EXPECT_TRUE(CRoomFitImage::Input(image->program, 99, 1, Flat(0), Flat(0)).current.empty());
}

TEST(RoomFitImageTest, ApplyWritesEveryBandAndOnlyThatEqualiser) {
    auto image = FreshImage();
    const auto before = std::make_unique<ParamImage>(*image);
    const std::size_t count =
        static_cast<std::size_t>(EqElementsOf(image->program, kEqMusicLeft, 1).count);
    FitResult r;
    r.bands.assign(count, FitBand{});
    r.fitted.assign(count, false);
    r.bands[0] = {kTypePeaking, 50, 100, 40};
    r.fitted[0] = true;
    image->program.MusicLeft.bands[1].type = kTypePeaking;
    image->program.MusicLeft.bands[1].freqCode = 222;
    ASSERT_TRUE(CRoomFitImage::Apply(r, image->program, kEqMusicLeft, 1));
    const EqBand& b0 = image->program.MusicLeft.bands[0];
    EXPECT_EQ(b0.type, kTypePeaking);
    EXPECT_EQ(b0.freqCode, 50);
    EXPECT_EQ(b0.gainCode, 100);
    EXPECT_EQ(b0.qCode, 40);
    const EqBand& b1 = image->program.MusicLeft.bands[1];
    EXPECT_EQ(b1.type, kTypeBypass) << "a band the fit left free is switched off";
    EXPECT_EQ(b1.freqCode, 222) << "and keeps its frequency";
    EXPECT_EQ(std::memcmp(&image->program.MusicRight, &before->program.MusicRight,
                          sizeof image->program.MusicRight),
              0);

    // A result for another band count writes nothing.
    const auto kept = std::make_unique<ParamImage>(*image);
    r.bands.resize(count - 1);
    EXPECT_FALSE(CRoomFitImage::Apply(r, image->program, kEqMusicLeft, 1));
    EXPECT_EQ(std::memcmp(image.get(), kept.get(), sizeof(ParamImage)), 0);
}

TEST(RoomFitImageTest, TheDeviationIgnoresTheRoomsLevelAndFollowsTheTarget) {
    auto image = FreshImage();
    GridCurve room;
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        const double x = std::log2(grid[g].hz / 80.0) / 0.08;
        room[g] = 8.0 / (1 + x * x);
    }
    FitOptions o;
    FitInput quiet = CRoomFitImage::Input(image->program, kEqMusicLeft, 1, room, Flat(0.0));
    GridCurve loud = room;
    for (double& v : loud) {
        v += 40.0;
    }
    FitInput shifted = CRoomFitImage::Input(image->program, kEqMusicLeft, 1, loud, Flat(0.0));
    const FitResult a = CRoomFit::Run(quiet, o);
    const FitResult b = CRoomFit::Run(shifted, o);
    ASSERT_TRUE(a.Ok());
    EXPECT_EQ(a.bands, b.bands) << "40 dB louder is the same room";
    EXPECT_NEAR(a.after.rmsDb, b.after.rmsDb, 1e-9);

    // A target that is the room itself needs no band at all.
    FitInput same = CRoomFitImage::Input(image->program, kEqMusicLeft, 1, room, room);
    const FitResult none = CRoomFit::Run(same, o);
    ASSERT_TRUE(none.Ok());
    EXPECT_LT(none.before.rmsDb, 1e-9);
    for (bool f : none.fitted) {
        EXPECT_FALSE(f);
    }
}
