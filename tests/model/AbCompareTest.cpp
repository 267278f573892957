// A/B compare without a processor: the first press fills the other slot with the program as
// it is, edits stay with the slot in use, every switch is one step of the history, and the
// whole-program way is taken only when the link can carry it.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstring>
#include <memory>

#include "AbCompare.h"
#include "ParameterSet.h"

namespace qx {
namespace {

class AbCompareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
        AtomicCopy(sent.get(), &ParameterSet, sizeof(ParamImage));
        model = std::make_unique<CImageModel>(*image);
        QObject::connect(model.get(), &CImageModel::StepBegun,
                         [this](const std::string&) { ++steps; });
    }
    ProgramImage Program() const {
        ProgramImage p;
        AtomicCopy(&p, &image->program, sizeof p);
        return p;
    }

    std::unique_ptr<ParamImage> image = std::make_unique<ParamImage>();
    std::unique_ptr<ParamImage> sent = std::make_unique<ParamImage>();
    std::unique_ptr<CImageModel> model;
    int steps = 0;
};

TEST_F(AbCompareTest, EditsStayWithTheirSlot) {
    CAbCompare ab(*model, *sent);
    EXPECT_FALSE(ab.Started());
    EXPECT_TRUE(ab.Differences().empty());

    const uint8_t original = image->program.Mic1.bands[2].gainCode;
    EXPECT_EQ(ab.Press(), CSwitchCost::Route::Differences);  // A copied into B, B in use
    EXPECT_TRUE(ab.Started());
    EXPECT_EQ(ab.Active(), CAbCompare::kB);
    EXPECT_TRUE(ab.Differences().empty());

    model->WriteField("Mic1.bands[2].gainCode", 140, ChangeOrigin::FromControl(1));
    model->WriteField("Scene[1].SUB.delay", 25, ChangeOrigin::FromControl(2));
    const auto diff = ab.Differences();
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(diff[0].field->name, "Mic1.bands[2].gainCode");
    EXPECT_EQ(diff[0].before, original);  // A's value first
    EXPECT_EQ(diff[0].after, 140u);

    ab.Press();  // back to A: the edits leave the image
    EXPECT_EQ(ab.Active(), CAbCompare::kA);
    EXPECT_EQ(image->program.Mic1.bands[2].gainCode, original);
    EXPECT_EQ(ab.Differences().size(), 2u);

    ab.Press();  // and B brings them back
    EXPECT_EQ(image->program.Mic1.bands[2].gainCode, 140);
    EXPECT_EQ(image->program.scenes[0].channels[kSub].delay, 25);
    EXPECT_EQ(steps, 3);
}

TEST_F(AbCompareTest, ProgramWriteOnlyWhenTheLinkCanTakeIt) {
    CAbCompare ab(*model, *sent);
    int writes = 0;
    bool linkUp = false;
    ab.SetProgramWriter([&] { return linkUp; }, [&] { ++writes; });
    const uint16_t delay = image->program.scenes[2].channels[kSub].delay;
    ab.Press();
    // B differs from what the processor holds in an output of a scene not in force: only a
    // whole-program write carries it, and offline there is none.
    model->WriteField("Scene[3].SUB.delay", delay + 40, ChangeOrigin::FromControl(3));
    ab.Press();
    ab.Press();
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(image->program.scenes[2].channels[kSub].delay, delay + 40);

    linkUp = true;
    AtomicCopy(sent.get(), image.get(), sizeof(ParamImage));  // the processor holds B
    EXPECT_EQ(ab.Press(), CSwitchCost::Route::ProgramWrite);  // to A
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(image->program.scenes[2].channels[kSub].delay, delay);
    EXPECT_EQ(ab.Active(), CAbCompare::kA);
}

// Undoing a switch writes the slot it left back into the image (as the history does, with its
// own origin): that slot is in use again, and the next press must not save it over the other.
// A program that comes from the processor or a file ends the comparison.
TEST_F(AbCompareTest, UndoOfASwitchAndAReceivedProgramKeepTheSlotsRight) {
    CAbCompare ab(*model, *sent);
    ab.Press();  // B in use
    model->WriteField("Mic2.level", 9, ChangeOrigin::FromControl(1));
    model->Flush();
    const ProgramImage b = Program();
    ab.Press();  // A in use
    model->Flush();
    const ProgramImage a = Program();
    ASSERT_NE(a.Mic2.level, 9);

    // The history takes the switch back: B's bytes return.
    model->WriteBytes(0, &b, sizeof(ProgramImage), ChangeOrigin::FromHistory("undo"));
    model->Flush();
    EXPECT_EQ(ab.Active(), CAbCompare::kB);
    ab.Press();  // to A again: B was kept, not overwritten with A
    EXPECT_EQ(image->program.Mic2.level, a.Mic2.level);
    ab.Press();
    EXPECT_EQ(image->program.Mic2.level, 9);

    auto received = std::make_unique<ProgramImage>();
    AtomicCopy(received.get(), &image->program, sizeof(ProgramImage));
    received->Mic1.level = 3;
    model->WriteBytes(0, received.get(), sizeof(ProgramImage), ChangeOrigin::FromProcessor());
    model->Flush();
    EXPECT_FALSE(ab.Started());
    EXPECT_TRUE(ab.Differences().empty());
}

TEST_F(AbCompareTest, SettingsPutAsideWaitInBForTheNextProgramThatComesIn) {
    CAbCompare ab(*model, *sent);
    int asides = 0;
    QObject::connect(&ab, &CAbCompare::AsideInB, [&] { ++asides; });
    ab.Press();  // a compare under way: its slots give way to the recall
    model->WriteField("Mic2.level", 9, ChangeOrigin::FromControl(1));
    model->Flush();
    ab.PutAside();
    // Edits of the person do not count as the program that replaces the settings.
    model->WriteField("Mic2.level", 10, ChangeOrigin::FromControl(1));
    model->Flush();
    EXPECT_EQ(asides, 0);

    auto recalled = std::make_unique<ProgramImage>();
    AtomicCopy(recalled.get(), &image->program, sizeof(ProgramImage));
    recalled->Mic2.level = 2;
    model->WriteBytes(0, recalled.get(), sizeof(ProgramImage), ChangeOrigin::FromProcessor());
    model->Flush();
    EXPECT_EQ(asides, 1);
    ASSERT_TRUE(ab.Started());
    EXPECT_EQ(ab.Active(), CAbCompare::kA);
    const auto diff = ab.Differences();
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(diff[0].before, 2u);
    EXPECT_EQ(diff[0].after, 9u);  // as the image was when put aside

    const int stepsBefore = steps;
    ab.Press();
    EXPECT_EQ(image->program.Mic2.level, 9);
    EXPECT_EQ(steps, stepsBefore + 1);
    ab.Press();
    EXPECT_EQ(image->program.Mic2.level, 2);

    // Put aside once: the program after that starts nothing.
    recalled->Mic2.level = 4;
    model->WriteBytes(0, recalled.get(), sizeof(ProgramImage), ChangeOrigin::FromFile("x.dia"));
    model->Flush();
    EXPECT_FALSE(ab.Started());
    EXPECT_EQ(asides, 1);
}

}  // namespace
}  // namespace qx
