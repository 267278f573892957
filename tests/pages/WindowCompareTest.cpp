// A/B compare, the differences view and "Copy to..." in the main window against the virtual
// processor: after every switch the processor holds the chosen slot, whichever way the switch
// took; the view lists exactly the fields that differ; a copy changes exactly what its preview
// listed, as one step.

#include <gtest/gtest.h>

#include <QTableWidget>
#include <memory>
#include <set>

#include "CompareBar.h"
#include "CopyToDlg.h"
#include "DifferencesDlg.h"
#include "EqPageTestSupport.h"
#include "ImageModel.h"
#include "PagesTestSupport.h"
#include "ProgramFile.h"

namespace qx {
namespace {

using namespace qx::test;

std::unique_ptr<ProgramImage> EditorProgram() {
    auto p = std::make_unique<ProgramImage>();
    ParamGuard guard(ParamLock);
    AtomicCopy(p.get(), &ParameterSet.program, sizeof(ProgramImage));
    return p;
}

bool ProcessorHolds(const Sim& sim, const ProgramImage& program) {
    const ParamImage device = sim.processor.Image();
    return std::memcmp(&device.program, &program, sizeof(ProgramImage)) == 0;
}

class WindowCompareTest : public ::testing::Test {
  protected:
    void SetUp() override { FreshPageState(); }
};

TEST_F(WindowCompareTest, EverySwitchLeavesTheProcessorWithTheChosenSlot) {
    Sim sim;
    ASSERT_TRUE(sim.started);
    Window w;
    ASSERT_TRUE(w.Connect(sim));
    CAbCompare& ab = w->CompareBar()->Compare();
    CImageModel& model = CImageModel::Editor();

    ab.Press();  // B: a copy of A
    EXPECT_EQ(w->CompareBar()->SlotText(), "B");
    model.WriteField("Mic1.bands[4].gainCode", 150, ChangeOrigin::FromControl(1));
    const auto b = EditorProgram();
    ASSERT_TRUE(WaitUntil([&] { return ProcessorHolds(sim, *b); }, 10000));

    // One differing field: the difference frame.
    EXPECT_EQ(ab.Press(), CSwitchCost::Route::Differences);
    EXPECT_EQ(w->CompareBar()->SlotText(), "A");
    const auto a = EditorProgram();
    EXPECT_NE(a->Mic1.bands[4].gainCode, 150);
    ASSERT_TRUE(WaitUntil([&] { return ProcessorHolds(sim, *a); }, 10000));

    // Back in B, many edits: the switch to A is one whole-program write.
    EXPECT_EQ(ab.Press(), CSwitchCost::Route::Differences);
    for (int i = 0; i < 20; ++i) {
        model.WriteField("Mic2.bands[" + std::to_string(i) + "].gainCode", 100 + i,
                         ChangeOrigin::FromControl(2));
        model.WriteField("Mic1.bands[" + std::to_string(i) + "].qCode", 30 + i,
                         ChangeOrigin::FromControl(3));
        model.WriteField("MusicRight.bands[" + std::to_string(i % 15) + "].gainCode", 90 + i,
                         ChangeOrigin::FromControl(4));
    }
    const auto edited = EditorProgram();
    ASSERT_TRUE(WaitUntil([&] { return ProcessorHolds(sim, *edited); }, 20000));
    EXPECT_EQ(ab.Press(), CSwitchCost::Route::ProgramWrite);
    const auto backToA = EditorProgram();
    EXPECT_EQ(backToA->Mic2.bands[3].gainCode, a->Mic2.bands[3].gainCode);
    ASSERT_TRUE(WaitUntil([&] { return ProcessorHolds(sim, *backToA) && !deviceBusy; }, 15000));

    // The differences view lists the fields of the two slots that differ, A's values first.
    CDifferencesDlg view(&ab, w.dlg.get());
    ASSERT_TRUE(view.CompareWith(CDifferencesDlg::kAB));
    const auto diff = ab.Differences();
    ASSERT_EQ(view.Rows(), static_cast<int>(diff.size()));
    std::set<std::string> names;
    for (const FieldDifference& d : diff) {
        names.insert(d.field->name);
    }
    EXPECT_TRUE(names.count("Mic1.bands[4].gainCode"));
    EXPECT_TRUE(names.count("Mic2.bands[19].gainCode"));
    EXPECT_TRUE(names.count("MusicRight.bands[14].gainCode"));
    // A went out as a whole program and carries its sum byte, as an imported program does.
    EXPECT_TRUE(names.count("imageSum"));
    EXPECT_EQ(names.size(), 1u + 20u + 20u + 15u + 1u);
    EXPECT_EQ(view.Table()->item(0, 1)->text().toStdString(), diff[0].beforeText);

    // QX_COMPARE_SHOTS=folder keeps pictures of the view and of the window with its A/B bar.
    const QString shots = qEnvironmentVariable("QX_COMPARE_SHOTS");
    if (!shots.isEmpty()) {
        view.show();
        WaitUntil([] { return false; }, 200);
        view.grab().save(shots + "/compare-differences-ab.png");
        w.dlg->grab().save(shots + "/compare-window-ab.png");
    }
}

TEST_F(WindowCompareTest, DifferencesWithAProgramFileAndTheStoredPrograms) {
    Window w;
    auto file = std::make_unique<ParamImage>();
    AtomicCopy(file.get(), &ParameterSet, sizeof(ParamImage));
    file->program.Mic2.level = 7;
    file->program.scenes[1].channels[kRearL].delay = 33;
    const std::string path = ::testing::TempDir() + "/compare-file.dia";
    ASSERT_TRUE(CProgramFile::WriteProgram(path, *file).ok);

    CDifferencesDlg view(&w->CompareBar()->Compare(), w.dlg.get());
    EXPECT_FALSE(view.CompareWith(CDifferencesDlg::kAB));  // not started yet
    EXPECT_EQ(view.Rows(), 0);
    ASSERT_TRUE(view.CompareWith(CDifferencesDlg::kFile, path));
    EXPECT_EQ(view.Rows(), 2);
    EXPECT_FALSE(view.CompareWith(CDifferencesDlg::kFile, path + ".missing"));
    EXPECT_EQ(view.Rows(), 0);

    ProgramBank.bankValid = 0;
    EXPECT_FALSE(view.CompareWith(CDifferencesDlg::kStoredFirst + 2));
    for (auto& p : ProgramBank.programs) {
        AtomicCopy(&p, &ParameterSet.program, sizeof(ProgramImage));
    }
    ProgramBank.programs[2].Mic1.feedback = 2;
    ProgramBank.bankValid = 1;
    ASSERT_TRUE(view.CompareWith(CDifferencesDlg::kStoredFirst + 2));
    ASSERT_EQ(view.Rows(), 1);
    EXPECT_TRUE(view.CompareWith(CDifferencesDlg::kStoredFirst + 1));
    EXPECT_EQ(view.Rows(), 0);
    ProgramBank.bankValid = 0;
}

// The dialog's copy writes exactly the previewed fields, as one step that a single undo of the
// step's bytes takes back whole.
TEST_F(WindowCompareTest, CopyChangesWhatThePreviewListsInOneStep) {
    Window w;
    CImageModel& model = CImageModel::Editor();
    for (int i = 0; i < 10; ++i) {
        model.WriteField("Scene[1].MainL.bands[" + std::to_string(i) + "].gainCode", 80 + 5 * i,
                         ChangeOrigin::FromControl(1));
    }
    model.WriteField("Scene[1].MainL.delay", 50, ChangeOrigin::FromControl(1));
    model.Flush();
    auto before = std::make_unique<ParamImage>();
    AtomicCopy(before.get(), &ParameterSet, sizeof(ParamImage));

    CCopyToDlg dlg(model, {CopyKind::Output, kMainL, 1}, w.dlg.get());
    dlg.Choose(CCopyToDlg::kAllOutputs);
    const auto preview = CCopyPlan::Preview(*before, dlg.Plan());
    EXPECT_EQ(dlg.PreviewRows(), static_cast<int>(preview.size()));
    if (const QString shots = qEnvironmentVariable("QX_COMPARE_SHOTS"); !shots.isEmpty()) {
        dlg.show();
        WaitUntil([] { return false; }, 200);
        dlg.grab().save(shots + "/compare-copy-to.png");
    }
    int steps = 0;
    // Tied to the dialog: the editor's model outlives this test and its counter.
    QObject::connect(&model, &CImageModel::StepBegun, &dlg, [&](const std::string&) { ++steps; });
    EXPECT_EQ(dlg.Apply(), preview.size());
    EXPECT_EQ(steps, 1);
    const auto changed = CImageDiff::Compare(*before, ParameterSet, true);
    ASSERT_EQ(changed.size(), preview.size());
    for (std::size_t i = 0; i < changed.size(); ++i) {
        EXPECT_EQ(changed[i].field, preview[i].field);
        EXPECT_EQ(changed[i].afterText, preview[i].afterText);
    }
    // Delays were not chosen.
    EXPECT_EQ(ParameterSet.program.scenes[0].channels[kSub].delay,
              before->program.scenes[0].channels[kSub].delay);
    EXPECT_EQ(ParameterSet.program.scenes[0].channels[kSub].bands[3].gainCode, 95);
}

}  // namespace
}  // namespace qx
