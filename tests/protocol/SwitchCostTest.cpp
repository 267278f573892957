// The line cost of bringing the processor to another program: one parameter frame per
// differing item, a whole-program write when the frames would cost more or cannot carry a
// difference at all.

#include <gtest/gtest.h>

#include <memory>

#include "ParameterSet.h"
#include "SwitchCost.h"

namespace qx {
namespace {

struct Images {
    Images() {
        ResetParameters();
        AtomicCopy(sent.get(), &ParameterSet, sizeof(ParamImage));
        AtomicCopy(target.get(), &ParameterSet.program, sizeof(ProgramImage));
    }
    std::unique_ptr<ParamImage> sent = std::make_unique<ParamImage>();
    std::unique_ptr<ProgramImage> target = std::make_unique<ProgramImage>();
};

TEST(SwitchCostTest, FramesFollowTheDifferingItems) {
    Images im;
    const LineCosts costs;
    EXPECT_EQ(CSwitchCost::ByDifferences(*im.sent, *im.target, 1, costs).frames, 0);

    im.target->MusicLeft.bands[4].gainCode = 100;
    const SwitchEstimate one = CSwitchCost::ByDifferences(*im.sent, *im.target, 1, costs);
    EXPECT_EQ(one.frames, 1);
    EXPECT_TRUE(one.carriesAll);
    // Three turns of the worker at least; far below the store pause of a program write.
    EXPECT_GE(one.ms, 3 * costs.turnPauseMs);
    EXPECT_EQ(CSwitchCost::Choose(one, CSwitchCost::ByProgramWrite(costs)),
              CSwitchCost::Route::Differences);

    // Gain, frequency and Q of one band differ: still one frame per item the processor takes.
    im.target->MusicLeft.bands[4].qCode = 3;
    const int twoFields = CSwitchCost::ByDifferences(*im.sent, *im.target, 1, costs).frames;
    EXPECT_GE(twoFields, 1);
    EXPECT_LE(twoFields, 2);

    // The estimate never touches the images it was given.
    EXPECT_EQ(im.sent->program.MusicLeft.bands[4].gainCode,
              ParameterSet.program.MusicLeft.bands[4].gainCode);
}

TEST(SwitchCostTest, ManyDifferencesOrUncarriedBytesTakeTheProgramWrite) {
    Images im;
    const LineCosts costs;
    for (auto& band : im.target->Mic1.bands) {
        band.gainCode = 90;
        band.qCode = 20;
    }
    for (auto& band : im.target->Mic2.bands) {
        band.gainCode = 150;
    }
    for (auto& band : im.target->MusicRight.bands) {
        band.gainCode = 130;
    }
    const SwitchEstimate many = CSwitchCost::ByDifferences(*im.sent, *im.target, 1, costs);
    const SwitchEstimate write = CSwitchCost::ByProgramWrite(costs);
    EXPECT_GT(many.frames, 40);
    EXPECT_GT(many.ms, write.ms);
    EXPECT_EQ(CSwitchCost::Choose(many, write), CSwitchCost::Route::ProgramWrite);

    // An output of a scene not in force is carried by no parameter frame.
    Images other;
    other.target->scenes[2].channels[kSub].delay = 77;
    const SwitchEstimate hidden = CSwitchCost::ByDifferences(*other.sent, *other.target, 1, costs);
    EXPECT_FALSE(hidden.carriesAll);
    EXPECT_EQ(CSwitchCost::Choose(hidden, write), CSwitchCost::Route::ProgramWrite);
}

}  // namespace
}  // namespace qx
