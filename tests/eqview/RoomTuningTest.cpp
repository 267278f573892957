// Tuning a room in the curve view: the overlay drawn from the session's measurement, the fit
// and a filter import applied as one undo step each, and the room file beside a program.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "CurveSets.h"
#include "DataConver.h"
#include "EQCurveStatic.h"
#include "EqTextImport.h"
#include "EqViewTestSupport.h"
#include "FilterTextReader.h"
#include "FitDialog.h"
#include "ImageModel.h"
#include "KTVEQ.h"
#include "ParameterSet.h"
#include "RoomFitImage.h"
#include "RoomTuning.h"
#include "SceneSelector.h"
#include "TuneMenu.h"

namespace qx {
namespace {

Measurement ModalRoom() {
    Measurement m;
    for (double f = 15.0; f < 20000.0; f *= std::pow(2.0, 1.0 / 24)) {
        const double x = std::log2(f / 63.0) / 0.06;
        const double y = std::log2(f / 140.0) / 0.08;
        m.hz.push_back(f);
        m.db.push_back(75.0 + 9.0 / (1 + x * x) - 6.0 / (1 + y * y));
    }
    return m;
}

// Counts the undo steps the model reports and keeps their labels.
struct StepCounter {
    explicit StepCounter(CImageModel& model) {
        QObject::connect(&model, &CImageModel::StepBegun, &context,
                         [this](const std::string& label) { labels.push_back(label); });
        QObject::connect(&model, &CImageModel::StepEnded, &context, [this] { ++ended; });
    }
    QObject context;
    std::vector<std::string> labels;
    int ended = 0;
};

class RoomTuningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        CImageModel::Editor().Resynchronise();
        CRoomTuning::Instance().Clear(0);
    }
    void TearDown() override {
        CRoomTuning::Instance().Clear(0);
        ResetParameters();
        CImageModel::Editor().Resynchronise();
    }
};

// Pixels of the measurement's orange, its antialiased edges included.
int CountOrange(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 180 && c.green() > 100 && c.green() < 190 && c.blue() < 90 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(RoomTuningTest, TheOverlayFollowsTheSessionAndTheLevelFollowsTheMeasurement) {
    CEQCurveStatic view;
    view.resize(test::kViewWidth, test::kViewHeight);
    view.InitPlot();
    view.SizeCurveSets(0);
    view.ShowEq(0);
    view.show();
    // A band that lifts the middle parts the predicted result from the measurement.
    CFilter* band = view.CurveSet()->GetAt(0);
    band->SetType(kTypePeaking);
    band->SetFreqCode(FreqToCode(1000.0));
    band->SetQCode(QToCode(0.5));
    band->SetGainCode(GainToCode(9.0));
    view.Redraw();
    const QImage plain = view.Frame();
    auto& tuning = CRoomTuning::Instance();
    tuning.SetMeasurement(0, ModalRoom(), "room.txt");
    const RoomState* s = tuning.State(0);
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(s->offsetDb, 75.0, 1.5) << "the measurement sits around 0 dB";
    const QImage withRoom = view.Frame();
    EXPECT_NE(withRoom, plain) << "the view redrew with the measurement";
    EXPECT_GT(CountOrange(withRoom), 600) << "the measurement shows beside the prediction";
    EXPECT_EQ(CountOrange(plain), 0);

    tuning.SetOffset(0, 60.0);
    EXPECT_DOUBLE_EQ(tuning.State(0)->offsetDb, 60.0);
    tuning.SetSmoothing(0, 6);
    EXPECT_DOUBLE_EQ(tuning.State(0)->offsetDb, 60.0) << "a level set by hand stays";
    tuning.SetOffset(0, std::nan(""));
    EXPECT_NEAR(tuning.State(0)->offsetDb, 75.0, 1.5);

    tuning.Clear(0);
    EXPECT_EQ(view.Frame(), plain);
}

TEST_F(RoomTuningTest, AFitIsAppliedAsOneStepExactlyAsPreviewed) {
    CRoomTuning::Instance().SetMeasurement(0, ModalRoom(), "room.txt");
    CFitDialog dialog(0, 1, *CRoomTuning::Instance().State(0));
    FitOptions o = dialog.Options();
    o.maxBands = 3;
    o.maxBoostDb = 0.0;
    dialog.SetOptions(o);
    const auto before = test::Snapshot();
    ASSERT_TRUE(dialog.RunFit());
    EXPECT_EQ(test::Snapshot(), before) << "the preview changes nothing";
    const FitResult r = dialog.Result();
    EXPECT_LT(r.after.rmsDb, r.before.rmsDb);

    StepCounter steps(CImageModel::Editor());
    ASSERT_TRUE(dialog.ApplyFit());
    QCoreApplication::processEvents();
    ASSERT_EQ(steps.labels.size(), 1u);
    EXPECT_EQ(steps.labels[0], "room fit");
    EXPECT_EQ(steps.ended, 1);
    for (std::size_t b = 0; b < r.bands.size(); ++b) {
        const EqBand& band = ParameterSet.program.MusicLeft.bands[b];
        EXPECT_EQ(band.type, r.bands[b].type) << b;
        EXPECT_EQ(band.gainCode, r.bands[b].gainCode) << b;
        EXPECT_LE(band.gainCode, kZeroGainCode) << "cuts only";
        if (band.type != kTypeBypass) {
            EXPECT_EQ(band.freqCode, r.bands[b].freqCode) << b;
            EXPECT_EQ(band.qCode, r.bands[b].qCode) << b;
        }
    }
    // The curve set shows what was written.
    const FitError shown = CRoomFit::Evaluate(
        CRoomFitImage::Input(ParameterSet.program, 0, 1, CRoomTuning::Instance().State(0)->curve,
                             RoomTarget{}.OnGrid()),
        r.bands, o);
    EXPECT_DOUBLE_EQ(shown.rmsDb, r.after.rmsDb);
}

TEST_F(RoomTuningTest, AFilterImportIsOneStepAndARefusedOneChangesNothing) {
    const FilterText text = CFilterTextReader::Read(
        "Filter 1: ON PK Fc 63 Hz Gain -5 dB Q 4\nFilter 2: ON LS Fc 105 Hz Gain 3 dB\n");
    const EqImportPlan plan = CEqTextImport::Plan(text, ParameterSet.program, 2, 1);
    ASSERT_TRUE(plan.Ok());
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &ParameterSet.program, sizeof(ProgramImage));
    ASSERT_TRUE(CEqTextImport::Apply(plan, *copy));
    StepCounter steps(CImageModel::Editor());
    WriteEqualiser(2, 1, *copy, "filter import");
    QCoreApplication::processEvents();
    ASSERT_EQ(steps.labels.size(), 1u);
    EXPECT_EQ(steps.ended, 1);
    EXPECT_EQ(ParameterSet.program.Mic1.bands[0].type, kTypePeaking);
    EXPECT_EQ(ParameterSet.program.Mic1.bands[1].type, kTypeLowShelf);
    EXPECT_EQ(static_cast<int>(ParameterSet.program.Mic1.bands[0].gainCode), GainToCode(-5.0));
    EXPECT_EQ(CurveSetOf(2)->GetAt(0)->GetGainCode(), GainToCode(-5.0))
        << "the curve follows the import";
}

TEST_F(RoomTuningTest, TheRoomFileBesideAProgramReadsBackTheSameSession) {
    auto& tuning = CRoomTuning::Instance();
    tuning.SetMeasurement(0, ModalRoom(), "room.txt");
    tuning.SetSmoothing(0, 12);
    RoomTarget t;
    t.kind = RoomTarget::Kind::House;
    t.house.hz = {20.0, 200.0, 20000.0};
    t.house.db = {4.0, 0.0, -3.5};
    tuning.SetTarget(0, t);
    tuning.SetOffset(0, 70.25);
    const std::string program =
        (std::filesystem::temp_directory_path() / ("room-" + std::to_string(::getpid()) + ".dia"))
            .string();
    EXPECT_EQ(CRoomTuning::BesidePath("/x/live.dia"), "/x/live.room");
    std::string error;
    ASSERT_TRUE(tuning.SaveBeside(program, error)) << error;
    const RoomState saved = *tuning.State(0);
    tuning.Clear(0);
    ASSERT_TRUE(tuning.LoadBeside(program, error)) << error;
    const RoomState* loaded = tuning.State(0);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->measurement.hz, saved.measurement.hz);
    EXPECT_EQ(loaded->measurement.db, saved.measurement.db);
    EXPECT_EQ(loaded->smoothing, 12);
    EXPECT_EQ(loaded->target.house.db, t.house.db);
    EXPECT_DOUBLE_EQ(loaded->offsetDb, 70.25);
    EXPECT_FALSE(loaded->autoOffset);

    // A damaged file leaves the session as it was.
    std::filesystem::resize_file(CRoomTuning::BesidePath(program), 200);
    EXPECT_FALSE(tuning.LoadBeside(program, error));
    EXPECT_NE(tuning.State(0), nullptr);
    std::filesystem::remove(CRoomTuning::BesidePath(program));
}

}  // namespace
}  // namespace qx
