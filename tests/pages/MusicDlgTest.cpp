// The Music page: SYNC, the key, filter edits, scrolling and picking on the curve (every
// row's field on either channel: EveryPageRowTest).

#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>

#include "ChannelPair.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Edit_Static.h"
#include "EqPageTestSupport.h"
#include "Filter.h"
#include "FontStatic.h"
#include "ImageModel.h"
#include "KTVEQ.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ControlCase;

using MusicDlgTest = test::EqPageTest<CMusicDlg>;

TEST_F(MusicDlgTest, FilterEditsMoveTheCurveAndTheirSlider) {
    page->SelectChannel(1);
    test::Drive(B(), {1023, "MusicRight.hpf.freqCode", 0, "200"});
    const int code = B().Read("MusicRight.hpf.freqCode");
    EXPECT_EQ(B().Get<CBitmapSlider>(1076)->GetPos(), code);
    EXPECT_EQ(Row().HighPass()->GetFreqCode(), code);
    EXPECT_EQ(Row().View()->SelectedIndex(), 15);  // H highlighted
    test::Drive(B(), {1054, "MusicRight.lpf.slope", 2});
    EXPECT_EQ(Row().LowPass()->GetSlopeCode(), 2);
    EXPECT_EQ(Row().View()->SelectedIndex(), 16);
}

TEST_F(MusicDlgTest, SyncLinksTheChannelsAndUnlinkingCopiesLeftOntoRightInBothImages) {
    page->SelectChannel(1);
    ASSERT_EQ(musicChannel, 1);
    QTest::mouseClick(Button(CMusicDlg::kSync), Qt::LeftButton);
    EXPECT_EQ(ParameterSet.program.MusicLink, 1);
    EXPECT_EQ(musicChannel, 0) << "linking while Right is chosen goes to the left channel";
    EXPECT_FALSE(Button(CMusicDlg::kLeft)->isEnabled());
    EXPECT_FALSE(Button(CMusicDlg::kRight)->isEnabled());
    EXPECT_EQ(Button(CMusicDlg::kSync)->GetCheck(), 1);
    EXPECT_EQ(B().FieldNameOf(1076), "MusicLeft.hpf.freqCode");
    EXPECT_EQ(Row().Strip(0)->EqNumber(), kEqMusicLeft);

    // Edit the left channel while linked, then unlink.
    test::Drive(B(), {1076, "MusicLeft.hpf.freqCode", 123});
    test::Drive(B(), {1025, "MusicLeft.lowExciter.harmonic", 4});
    const ParamImage sentBefore = SentImage;
    QTest::mouseClick(Button(CMusicDlg::kSync), Qt::LeftButton);
    EXPECT_EQ(ParameterSet.program.MusicLink, 0);
    const auto& p = ParameterSet.program;
    EXPECT_EQ(std::memcmp(&p.MusicRight, &p.MusicLeft, sizeof p.MusicLeft), 0);
    EXPECT_EQ(std::memcmp(&SentImage.program.MusicRight, &p.MusicLeft, sizeof p.MusicLeft), 0);
    // The sent copy of the left channel is untouched: its edits still go out.
    EXPECT_EQ(std::memcmp(&SentImage.program.MusicLeft, &sentBefore.program.MusicLeft,
                          sizeof p.MusicLeft),
              0);
    EXPECT_EQ(musicChannel, 0);
    EXPECT_TRUE(Button(CMusicDlg::kLeft)->isEnabled());
    EXPECT_TRUE(Button(CMusicDlg::kRight)->isEnabled());
    EXPECT_EQ(Button(CMusicDlg::kLeft)->GetCheck(), 1);
    EXPECT_EQ(Button(CMusicDlg::kRight)->GetCheck(), 0);
    EXPECT_EQ(Button(CMusicDlg::kSync)->GetCheck(), 0);
    // The right channel's curve set follows its copied records.
    EXPECT_EQ(CurveSetOf(kEqMusicRight)->GetHighPass()->GetFreqCode(), 123);
}

TEST_F(MusicDlgTest, ChannelButtonsWhileLinkedChangeNothing) {
    QTest::mouseClick(Button(CMusicDlg::kSync), Qt::LeftButton);
    page->SelectChannel(1);
    EXPECT_EQ(musicChannel, 0);
    EXPECT_EQ(B().FieldNameOf(1023), "MusicLeft.hpf.freqCode");
}

TEST_F(MusicDlgTest, ALinkedProgramLoadedWhileRightIsChosenIsEditedOnTheLeft) {
    page->SelectChannel(1);
    ParameterSet.program.MusicLink = 1;  // a program read from the processor or a file
    page->RefreshFromParameters();
    EXPECT_EQ(musicChannel, 0);
    EXPECT_EQ(B().FieldNameOf(1023), "MusicLeft.hpf.freqCode");
    EXPECT_EQ(Row().Strip(3)->EqNumber(), kEqMusicLeft);
    EXPECT_EQ(Row().View()->EqNumber(), kEqMusicLeft);
    EXPECT_FALSE(Button(CMusicDlg::kRight)->isEnabled());
}

TEST_F(MusicDlgTest, DynamicsStayOnTheLeftChannelWhileRightIsChosen) {
    ParameterSet.program.MusicLeft.noiseGate.threshold = 0;
    ParameterSet.program.MusicRight.noiseGate.threshold = 40;
    page->SelectChannel(1);
    EXPECT_EQ(LabelText(1046), QStringLiteral("OFF"));
    test::Drive(B(), {1047, "MusicLeft.noiseGate.threshold", 60});
    EXPECT_EQ(LabelText(1046), QStringLiteral("-18dBV"));
    EXPECT_EQ(ParameterSet.program.MusicRight.noiseGate.threshold, 40);
}

TEST_F(MusicDlgTest, KeyShowsValueMinusSevenAndKeepsTheSensitivityBits) {
    ParameterSet.system.block.keyAndSensitivity = 0x75;
    page->RefreshFromParameters();
    EXPECT_EQ(LabelText(1386), QStringLiteral("0"));
    test::Drive(B(), {1387, "System.key", 0});
    EXPECT_EQ(LabelText(1386), QStringLiteral("-7"));
    EXPECT_EQ(ParameterSet.system.block.keyAndSensitivity, 0x05);
    test::Drive(B(), {1387, "System.key", 14});
    EXPECT_EQ(LabelText(1386), QStringLiteral("7"));  // no plus sign
    EXPECT_EQ(ParameterSet.system.block.keyAndSensitivity, 0xE5);
}

TEST_F(MusicDlgTest, PickingABandBeyondTheStripsScrollsAndFocusesIt) {
    emit Row().View()->PointSelected(kEqMusicLeft, 12);  // band 13
    EXPECT_EQ(Row().Trackbar()->value(), 3);
    EXPECT_EQ(musicFirstBand, 3);
    EXPECT_EQ(musicLastBand, 12);
    EXPECT_EQ(Row().Strip(9)->BandIndex(), 12);
    EXPECT_EQ(Row().SelectedStrip(), 9);
    EXPECT_EQ(QApplication::focusWidget(), Row().Strip(9)->GainEdit());
    // A band already shown only moves the mark.
    emit Row().View()->PointSelected(kEqMusicLeft, 4);
    EXPECT_EQ(Row().Trackbar()->value(), 3);
    EXPECT_EQ(Row().SelectedStrip(), 1);
    // Band 1 scrolls back to the start.
    emit Row().View()->PointSelected(kEqMusicLeft, 0);
    EXPECT_EQ(Row().Trackbar()->value(), 0);
    EXPECT_EQ(Row().Strip(0)->BandIndex(), 0);
}

// Real mouse drags: a band handle on the curve and a page slider.
TEST_F(MusicDlgTest, DraggingBand13OnTheCurveScrollsItsStripIntoViewAndShowsTheGain) {
    ParameterSet.program.MusicLeft.bands[12].type = 1;  // peaking
    AdoptAsSent(false);
    page->RefreshFromParameters();
    const Point c = CurveSetOf(kEqMusicLeft)->GetAt(12)->Handle().Center();
    test::DragFromTo(Row().View(), {c.x, c.y}, {c.x, c.y - 40});
    const int gain = ParameterSet.program.MusicLeft.bands[12].gainCode;
    EXPECT_GT(gain, 120);
    EXPECT_EQ(Row().Trackbar()->value(), 3);
    EXPECT_EQ(Row().Strip(9)->GainEdit()->GetValue(), gain);
    EXPECT_EQ(Row().SelectedStrip(), 9);

    auto* slider = B().Get<CBitmapSlider>(1038);
    const int y = slider->height() / 2;
    test::DragFromTo(slider, {2, y}, {slider->width() - 2, y});
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 34);
    EXPECT_EQ(LabelText(1037), QStringLiteral("12dBV"));
}

TEST_F(MusicDlgTest, PickingHOrLShowsItsFrequency) {
    Row().HighPass()->SetPassFreqCode(77);  // what a drag of the H handle does
    Row().LowPass()->SetPassFreqCode(301);
    emit Row().View()->PointSelected(kEqMusicLeft, 15);
    EXPECT_EQ(B().Get<CNumEdit>(1023)->GetValue(), 77);
    EXPECT_EQ(B().Get<CBitmapSlider>(1076)->GetPos(), 77);
    EXPECT_NE(B().Get<CBitmapSlider>(1079)->GetPos(), 301);
    emit Row().View()->PointSelected(kEqMusicLeft, 16);
    EXPECT_EQ(B().Get<CNumEdit>(1024)->GetValue(), 301);
    EXPECT_EQ(B().Get<CBitmapSlider>(1079)->GetPos(), 301);
}

TEST_F(MusicDlgTest, ScrollingClearsTheMarkAndTheNextChangeMarksAgain) {
    emit Row().Strip(2)->BandChanged(2);
    EXPECT_EQ(Row().SelectedStrip(), 2);
    EXPECT_EQ(Row().Strip(2)->Caption()->TextColor(), QColor(255, 0, 0));
    Row().Trackbar()->setValue(2);
    EXPECT_EQ(Row().SelectedStrip(), -1);
    EXPECT_EQ(Row().Strip(2)->Caption()->TextColor(), QColor(Qt::white));
    EXPECT_EQ(Row().Strip(0)->BandIndex(), 2);
    emit Row().Strip(4)->BandChanged(6);
    EXPECT_EQ(Row().SelectedStrip(), 4);
    // The page comes back where it was.
    page = std::make_unique<CMusicDlg>();
    EXPECT_EQ(page->StripRow().Strip(0)->BandIndex(), 2);
    EXPECT_EQ(page->StripRow().Trackbar()->value(), 2);
}

TEST_F(MusicDlgTest, EqResetRestoresOnlyTheChannelsBands) {
    page->SelectChannel(1);
    test::Drive(B(), {1076, "MusicRight.hpf.freqCode", 100});
    ParameterSet.program.MusicRight.bands[4].gainCode = 150;
    ParameterSet.program.MusicLeft.bands[4].gainCode = 150;
    const ParamImage before = ParameterSet;
    QTest::mouseClick(Button(CMusicDlg::kEqReset), Qt::LeftButton);
    const int first = static_cast<int>(offsetof(ParamImage, program.MusicRight.bands));
    const int end = first + static_cast<int>(sizeof ParameterSet.program.MusicRight.bands);
    for (int i : test::ChangedBytes(before, ParameterSet)) {
        EXPECT_TRUE(i >= first && i < end) << "byte " << i;
    }
    EXPECT_EQ(ParameterSet.program.MusicRight.bands[4].gainCode, 120);
    EXPECT_EQ(ParameterSet.program.MusicLeft.bands[4].gainCode, 150);
    EXPECT_EQ(Row().Strip(4)->GainEdit()->GetValue(), 120);
}

// Bands written by others (an imported filter text, undo, A/B) show in their strips; before,
// the strips kept the old values over the new curve until the page was shown again.
TEST_F(MusicDlgTest, StripsShowBandsThatOthersWrite) {
    CImageModel& model = CImageModel::Editor();
    EqBand band = ParameterSet.program.MusicLeft.bands[1];
    band.type = kTypePeaking;
    band.gainCode = 90;
    band.freqCode = 150;
    band.qCode = 40;
    model.WriteRecord(ParameterSet.program.MusicLeft.bands[1], band,
                      ChangeOrigin::FromFile("filter import"));
    QCoreApplication::processEvents();
    CEQDlg* strip = Row().Strip(1);
    EXPECT_EQ(strip->TypeList()->currentIndex(), kTypePeaking);
    EXPECT_EQ(strip->GainEdit()->GetValue(), 90);
    EXPECT_EQ(strip->GainSlider()->GetPosInverted(), 90);
    EXPECT_EQ(strip->FreqEdit()->GetValue(), 150);
    EXPECT_EQ(strip->QEdit()->GetValue(), 40);
    // The other strips are left as they were.
    EXPECT_EQ(Row().Strip(2)->GainEdit()->GetValue(), 120);

    // A hidden page catches up when it is shown.
    page->hide();
    band.gainCode = 160;
    model.WriteRecord(ParameterSet.program.MusicLeft.bands[1], band,
                      ChangeOrigin::FromFile("filter import"));
    QCoreApplication::processEvents();
    page->show();
    page->RefreshFromParameters();
    EXPECT_EQ(strip->GainEdit()->GetValue(), 160);
}

}  // namespace
}  // namespace qx
