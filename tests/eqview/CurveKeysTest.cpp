// The curve view by keyboard: which element a key picks, what each key writes, and that the
// writes reach the image model as a drag's do.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "CurveSets.h"
#include "DataConver.h"
#include "EQCurveStatic.h"
#include "EqViewTestSupport.h"
#include "Filter.h"
#include "ImageModel.h"
#include "KTVEQ.h"
#include "ParameterSet.h"

namespace qx {
namespace {

using test::ChangedOffsets;
using test::OffsetOf;
using test::Snapshot;

class CurveKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        view = std::make_unique<CEQCurveStatic>();
        view->resize(test::kViewWidth, test::kViewHeight);
        view->InitPlot();
        view->SizeCurveSets(0);
        view->SizeCurveSets(4);
        view->ShowEq(kEqMusicLeft);
        QObject::connect(view.get(), &CEQCurveStatic::PointSelected,
                         [this](int, int index) { picked.push_back(index); });
    }
    CFilter* At(int index) const { return view->CurveSet()->GetAt(index); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(key), modifiers);
        QCoreApplication::sendPostedEvents();
    }

    std::unique_ptr<CEQCurveStatic> view;
    std::vector<int> picked;
};

TEST_F(CurveKeysTest, DigitsAndTabPickElementsAndReportThem) {
    Key(Qt::Key_4);
    EXPECT_EQ(view->CurrentFilter(), At(3));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked.back(), 3);
    Key(Qt::Key_Tab);
    EXPECT_EQ(view->CurrentFilter(), At(4));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(view->CurrentFilter(), At(2));
    // A digit past the last element picks nothing new.
    const int count = view->CurveSet()->GetSize();
    if (count < 9) {
        Key(Qt::Key_9);
        EXPECT_EQ(view->CurrentFilter(), At(2));
    }
}

TEST_F(CurveKeysTest, ArrowsAndPlusMinusWriteOnlyTheBandsCodesThroughTheModel) {
    int notices = 0;
    QObject::connect(&CImageModel::Editor(), &CImageModel::Changed, view.get(),
                     [&notices] { ++notices; });
    Key(Qt::Key_6);
    ASSERT_TRUE(At(5)->IsBand());
    CFilter* f = At(5);
    const int freq = f->GetFreqCode();
    const int gain = f->GetGainCode();
    const int q = f->BandRecord()->qCode;
    const auto before = Snapshot();

    Key(Qt::Key_Right);
    EXPECT_EQ(f->GetFreqCode(), freq + 3);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(f->GetFreqCode(), freq + 2);
    Key(Qt::Key_Up);
    EXPECT_EQ(f->GetGainCode(), gain + 5);  // 1 dB
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(f->GetGainCode(), gain + 4);  // less 0.2 dB
    Key(Qt::Key_Plus);
    EXPECT_EQ(f->BandRecord()->qCode, q + 2);
    Key(Qt::Key_Minus, Qt::ShiftModifier);
    EXPECT_EQ(f->BandRecord()->qCode, q + 1);
    EXPECT_GE(notices, 6);

    const size_t first = OffsetOf(f->BandRecord());
    for (size_t off : ChangedOffsets(before, Snapshot())) {
        EXPECT_TRUE(off >= first && off < first + sizeof(EqBand)) << "offset " << off;
    }

    // Held at the ends.
    for (int i = 0; i < 200; ++i) {
        Key(Qt::Key_Up);
    }
    EXPECT_EQ(f->GetGainCode(), GainToCode(12.0));
}

TEST_F(CurveKeysTest, OutputsInAutoCannotBeMovedByKeys) {
    ParameterSet.program.OutputMode = 0;
    view->ShowEq(kEqOutputFirst + 2);
    const auto before = Snapshot();
    Key(Qt::Key_4);
    Key(Qt::Key_Up);
    Key(Qt::Key_Right);
    Key(Qt::Key_Plus);
    EXPECT_TRUE(ChangedOffsets(before, Snapshot()).empty());
}

TEST(CurveLabels, CrowdedBandNumbersStepOffTheLineWithoutOverlapping) {
    // Six numbers 8 pixels apart, 14 wide: as crowded as the microphone's bands 15-20.
    std::vector<QRect> boxes;
    for (int i = 0; i < 6; ++i) {
        boxes.emplace_back(400 + i * 8, 100, 14, 12);
    }
    boxes.emplace_back(100, 100, 14, 12);  // far from the rest: stays on the line
    const std::vector<QRect> placed = CEQCurveStatic::SpreadLabels(boxes);
    ASSERT_EQ(placed.size(), boxes.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(placed[i].x(), boxes[i].x()) << i;  // only ever moved up or down
        for (std::size_t j = i + 1; j < placed.size(); ++j) {
            EXPECT_FALSE(placed[i].intersects(placed[j])) << i << " and " << j;
        }
    }
    EXPECT_EQ(placed[0], boxes[0]);
    EXPECT_EQ(placed.back(), boxes.back());
}

}  // namespace
}  // namespace qx
