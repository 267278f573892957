// The Dynamic EQ page (every row's field on either side: EveryPageRowTest): the gain and
// threshold scales, EQ Reset keeping the dynamics, and the SYNC link it shares with the Music
// page.

#include <gtest/gtest.h>

#include <QTest>

#include "ChannelPair.h"
#include "DEQ_Dlg.h"
#include "EQCurveStatic.h"
#include "Edit_Static.h"
#include "EqPageTestSupport.h"
#include "Filter.h"
#include "FontStatic.h"
#include "KTVEQ.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ControlCase;

class DEQDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshPageState();
        page = std::make_unique<CDEQ_Dlg>();
        test::ShowActive(*page);
    }
    CFieldBinding& B() { return page->Binding(); }
    CBitButton* Button(int id) { return B().Get<CBitButton>(id); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

    std::unique_ptr<CDEQ_Dlg> page;
};

TEST_F(DEQDlgTest, GainSliderSpansTwelveDecibelsEitherWayAndTheCurveFollows) {
    auto* slider = B().Get<CBitmapSlider>(2071);
    auto* edit = B().Get<CNumEdit>(2051);
    // The thumb at the top of a vertical slider is its lowest position.
    emit slider->Tracking(2071, slider->GetRangeMin());
    EXPECT_EQ(ParameterSet.program.MusicLeft.deq[1].band.gainCode, 180);
    EXPECT_EQ(edit->text(), QStringLiteral("12.0"));
    EXPECT_EQ(CurveSetOf(kEqDynamicLeft)->GetAt(1)->GetGainCode(), 180);
    EXPECT_EQ(page->StripRow().View()->SelectedIndex(), 1);
    emit slider->Tracking(2071, slider->GetRangeMax());
    EXPECT_EQ(ParameterSet.program.MusicLeft.deq[1].band.gainCode, 60);
    EXPECT_EQ(edit->text(), QStringLiteral("-12.0"));
    // A typed gain beyond the range stops at its end and moves the slider.
    test::Drive(B(), {2050, "MusicLeft.deq[0].gainCode", 0, "20"});
    EXPECT_EQ(ParameterSet.program.MusicLeft.deq[0].band.gainCode, 180);
    EXPECT_EQ(B().Get<CBitmapSlider>(2070)->GetPosInverted(), 180);
}

TEST_F(DEQDlgTest, ThresholdShowsMinus48To12Dbv) {
    test::Drive(B(), {2102, "MusicLeft.deq[2].threshold", 0});
    EXPECT_EQ(B().Get<CEdit_Static>(2092)->Text(), QStringLiteral("-48dBV"));
    test::Drive(B(), {2102, "MusicLeft.deq[2].threshold", 60});
    EXPECT_EQ(B().Get<CEdit_Static>(2092)->Text(), QStringLiteral("12dBV"));
}

TEST_F(DEQDlgTest, EqResetOnTheRightChangesOnlyItsBandsParametricPart) {
    Click(CDEQ_Dlg::kRight);
    for (MusicChannel* m : {&ParameterSet.program.MusicLeft, &ParameterSet.program.MusicRight}) {
        for (DynamicEqBand& b : m->deq) {
            b.band.gainCode = 150;
            b.band.qCode = 40;
            b.band.type = 3;
            b.band.freqCode = 7;
            b.threshold = 33;
            b.attack = 4;
            b.release = 5;
            b.ratio = 6;
        }
    }
    page->RefreshFromParameters();
    const ParamImage before = ParameterSet;
    Click(CDEQ_Dlg::kEqReset);
    const auto& deq = ParameterSet.program.MusicRight.deq;
    const int first = static_cast<int>(offsetof(ParamImage, program.MusicRight.deq));
    for (int i : test::ChangedBytes(before, ParameterSet)) {
        const int inBand = (i - first) % 10;
        EXPECT_TRUE(i >= first && i < first + 30 && inBand <= 4) << "byte " << i;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(deq[i].band.gainCode, 120);
        EXPECT_EQ(deq[i].band.qCode, 10);
        EXPECT_EQ(deq[i].band.type, 1);
        EXPECT_EQ(deq[i].threshold, 33);
        EXPECT_EQ(deq[i].ratio, 6);
        EXPECT_EQ(B().Get<CNumEdit>(2050 + i)->GetValue(), 120);
        EXPECT_EQ(B().Get<CBitComboBox>(2040 + i)->currentIndex(), 1);
    }
    EXPECT_EQ(ParameterSet.program.MusicLeft.deq[0].band.gainCode, 150);
}

TEST_F(DEQDlgTest, SyncOffMakesTheRightChannelAnExactCopyWithoutFrames) {
    Click(CDEQ_Dlg::kRight);
    Click(CDEQ_Dlg::kSync);
    EXPECT_EQ(ParameterSet.program.MusicLink, 1);
    EXPECT_EQ(deqSide, kEqDynamicLeft) << "linking while Right is shown goes to the left";
    EXPECT_FALSE(Button(CDEQ_Dlg::kLeft)->isEnabled());
    EXPECT_FALSE(Button(CDEQ_Dlg::kRight)->isEnabled());
    EXPECT_EQ(Button(CDEQ_Dlg::kLeft)->GetCheck(), 0);
    EXPECT_EQ(page->StripRow().View()->EqNumber(), kEqDynamicLeft);
    EXPECT_EQ(B().FieldNameOf(2031), "MusicLeft.deq[1].freqCode");

    test::Drive(B(), {2101, "MusicLeft.deq[1].threshold", 11});
    test::Drive(B(), {2071, "MusicLeft.deq[1].gainCode", 100});
    ParameterSet.program.MusicLeft.bands[3].gainCode = 77;  // the Music page's EQ
    ParameterSet.program.MusicLeft.limiter.level = 9;
    Click(CDEQ_Dlg::kSync);
    const auto& p = ParameterSet.program;
    EXPECT_EQ(p.MusicLink, 0);
    EXPECT_EQ(std::memcmp(&p.MusicRight, &p.MusicLeft, sizeof p.MusicLeft), 0);
    EXPECT_EQ(std::memcmp(&SentImage.program.MusicRight, &p.MusicLeft, sizeof p.MusicLeft), 0);
    EXPECT_EQ(Button(CDEQ_Dlg::kLeft)->GetCheck(), 1);
    EXPECT_EQ(Button(CDEQ_Dlg::kRight)->GetCheck(), 0);
    EXPECT_TRUE(Button(CDEQ_Dlg::kRight)->isEnabled());
    EXPECT_EQ(CurveSetOf(kEqDynamicRight)->GetAt(1)->GetGainCode(), 240 - 100);
}

TEST_F(DEQDlgTest, APickOnTheCurveShowsThatBandsFrequencyGainAndQ) {
    CFilter* band = CurveSetOf(kEqDynamicLeft)->GetAt(2);
    band->SetFreqCode(250);  // what a drag of band 3's handle does
    band->SetGainCode(70);
    band->SetQCode(33);
    emit page->StripRow().View()->PointSelected(kEqDynamicLeft, 2);
    EXPECT_EQ(B().Get<CNumEdit>(2032)->GetValue(), 250);
    EXPECT_EQ(B().Get<CNumEdit>(2052)->GetValue(), 70);
    EXPECT_EQ(B().Get<CBitmapSlider>(2072)->GetPosInverted(), 70);
    EXPECT_EQ(B().Get<CNumEdit>(2062)->GetValue(), 33);
    EXPECT_NE(B().Get<CNumEdit>(2031)->GetValue(), 250);
}

}  // namespace
}  // namespace qx
