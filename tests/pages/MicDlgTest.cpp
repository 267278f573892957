// The Microphone page: SYNC, the level label, the feedback list and scrolling over 20 bands
// (every row's field on either microphone: EveryPageRowTest).

#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>

#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Edit_Static.h"
#include "EqPageTestSupport.h"
#include "FontStatic.h"
#include "Mic_Dlg.h"
#include "PageGlobals.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ControlCase;

using MicDlgTest = test::EqPageTest<CMic_Dlg>;

TEST_F(MicDlgTest, LevelLabelAndFeedbackList) {
    for (auto [code, text] : {std::pair{0, "-10.0dB"}, {20, "0.0dB"}, {40, "10.0dB"}}) {
        test::Drive(B(), {3003, "Mic1.level", code});
        EXPECT_EQ(LabelText(3045), QString::fromUtf8(text));
    }
    auto* feedback = B().Get<CBitComboBox>(1053);
    ASSERT_EQ(feedback->count(), 5);
    EXPECT_EQ(feedback->itemText(0), QStringLiteral("OFF"));
    EXPECT_EQ(feedback->itemText(4), QStringLiteral("FB.EX4"));
    test::Drive(B(), {1053, "Mic1.feedback", 4});
    EXPECT_EQ(ParameterSet.program.Mic1.feedback, 4);
}

TEST_F(MicDlgTest, SyncEditsMic1AndUnlinkingCopiesItOntoMic2) {
    page->SelectChannel(kEqMic2);
    QTest::mouseClick(Button(CMic_Dlg::kSync), Qt::LeftButton);
    EXPECT_EQ(micEq, kEqMic1);
    EXPECT_FALSE(Button(CMic_Dlg::kMic2)->isEnabled());
    test::Drive(B(), {3007, "Mic1.limiter.level", 5});
    QTest::mouseClick(Button(CMic_Dlg::kSync), Qt::LeftButton);
    const auto& p = ParameterSet.program;
    EXPECT_EQ(p.MicLink, 0);
    EXPECT_EQ(std::memcmp(&p.Mic2, &p.Mic1, sizeof p.Mic1), 0);
    EXPECT_EQ(std::memcmp(&SentImage.program.Mic2, &p.Mic1, sizeof p.Mic1), 0);
    EXPECT_EQ(Button(CMic_Dlg::kMic1)->GetCheck(), 1);
    EXPECT_TRUE(Button(CMic_Dlg::kMic2)->isEnabled());
}

TEST_F(MicDlgTest, PickingBand17ScrollsToBands8To17) {
    emit Row().View()->PointSelected(kEqMic1, 16);
    EXPECT_EQ(Row().Trackbar()->value(), 7);
    EXPECT_EQ(micFirstBand, 7);
    EXPECT_EQ(micLastBand, 16);
    EXPECT_EQ(Row().Strip(9)->BandIndex(), 16);
    EXPECT_EQ(QApplication::focusWidget(), Row().Strip(9)->GainEdit());
    // H and L of a 20-band set are elements 20 and 21.
    Row().HighPass()->SetPassFreqCode(90);
    emit Row().View()->PointSelected(kEqMic1, 20);
    EXPECT_EQ(B().Get<CNumEdit>(3031)->GetValue(), 90);
    test::Drive(B(), {3024, "Mic1.lpf.slope", 3});
    EXPECT_EQ(Row().View()->SelectedIndex(), 21);
}

TEST_F(MicDlgTest, TheTrackbarBackAtItsPositionKeepsTheStrips) {
    Row().Trackbar()->setValue(10);
    EXPECT_EQ(Row().Strip(9)->BandIndex(), 19);
    emit Row().Strip(3)->BandChanged(13);
    Row().Trackbar()->setValue(10);
    EXPECT_EQ(Row().SelectedStrip(), 3) << "an unchanged position rebuilds nothing";
}

}  // namespace
}  // namespace qx
