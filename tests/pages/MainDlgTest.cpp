// The Output page (every row's byte of the right record in every group, scene and side:
// EveryPageRowTest): the groups lay themselves out, Auto is read-only, and SYNC, the side and the
// mode buttons behave as installers rely on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ChangeSync.h"
#include "CurveSets.h"
#include "DataConver.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Edit_Static.h"
#include "Filter.h"
#include "FontStatic.h"
#include "KTVEQ.h"
#include "LabelRules.h"
#include "MainDlg.h"
#include "NumEdit.h"
#include "PagesTestSupport.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ChangedBytes;

ParamImage Snapshot() {
    ParamImage copy;
    std::memcpy(&copy, &ParameterSet, sizeof copy);
    return copy;
}

// Moves a control the way a person does: a slider reports its new position, a button is
// clicked, a combo item is chosen, an edit gets a typed value and Enter.
void Drive(CMainDlg& page, int id, int value) {
    QWidget* w = page.Binding().Widget(id);
    ASSERT_NE(w, nullptr) << id;
    if (auto* s = qobject_cast<CBitmapSlider*>(w)) {
        emit s->Changed(id, value);
    } else if (auto* b = qobject_cast<CBitButton*>(w)) {
        b->click();
    } else if (auto* c = qobject_cast<CBitComboBox*>(w)) {
        c->setCurrentIndex(value);
        emit c->activated(value);
    } else if (auto* e = qobject_cast<CNumEdit*>(w)) {
        // Typed as the frequency the code stands for, committed by leaving the field.
        e->selectAll();
        QTest::keyClicks(e, QString::fromStdString(FormatFrequency(CodeToFreq(value))));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e, &out);
    }
}

void Click(CMainDlg& page, int id) {
    page.Binding().Get<CBitButton>(id)->click();
}

bool Checked(const CMainDlg& page, int id) {
    return page.Binding().Get<CBitButton>(id)->GetCheck() != 0;
}

bool Shown(const CMainDlg& page, int id) {
    return !page.Binding().Widget(id)->isHidden();
}

QString CaptionOf(const CMainDlg& page, int id) {
    QWidget* w = page.Binding().Widget(id);
    if (auto* b = qobject_cast<CBitButton*>(w)) {
        return b->text();
    }
    return qobject_cast<CFontStatic*>(w)->Text();
}

class MainDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallCurveSets();
        ResetParameters();
        AdoptAsSent(true);
        useChinese = false;
    }

    // The page as the main window shows it on a tab.
    void Show(int group) {
        page.ShowChannelGroup(group);
        page.RefreshFromParameters();
    }

    CMainDlg page;
};

TEST_F(MainDlgTest, GroupsShowTheirControlsAndCaptions) {
    Show(CMainDlg::kGroupCenter);
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftDelayCaption), "Center Delay");
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftMute), "Mute");
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLimitTitle), "Center Limit");
    for (int id : {CMainDlg::kSync, CMainDlg::kLeftSide, CMainDlg::kRightSide, CMainDlg::kRightMute,
                   CMainDlg::kRightDelay, CMainDlg::kRightDelayCaption, CMainDlg::kRightDelayValue,
                   CMainDlg::kRightDistance}) {
        EXPECT_FALSE(Shown(page, id)) << id;
    }
    EXPECT_TRUE(Shown(page, CMainDlg::kLeftDelay));
    EXPECT_FALSE(page.Binding().Widget(CMainDlg::kLeftSide)->isEnabled());

    Show(CMainDlg::kGroupMain);
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftMute), "L Mute");
    EXPECT_EQ(CaptionOf(page, CMainDlg::kRightMute), "R Mute");
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftDelayCaption), "Left Delay");
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftSide), "Main L");
    for (int id : {CMainDlg::kSync, CMainDlg::kLeftSide, CMainDlg::kRightSide, CMainDlg::kRightMute,
                   CMainDlg::kRightDelay, CMainDlg::kRightDistance}) {
        EXPECT_TRUE(Shown(page, id)) << id;
    }

    // The group captions follow the language, in every group.
    useChinese = true;
    page.ApplyLanguage();
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLimitTitle), QString::fromUtf8("主输出压限"));
    EXPECT_EQ(CaptionOf(page, CMainDlg::kRightSide), QString::fromUtf8("主右"));
    EXPECT_EQ(CaptionOf(page, 1252), QString::fromUtf8("音乐电平"));
    Show(CMainDlg::kGroupSub);
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftDelayCaption), QString::fromUtf8("超低延时"));
    Show(CMainDlg::kGroupSurround);
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLeftSide), QString::fromUtf8("环绕左"));
    EXPECT_EQ(CaptionOf(page, CMainDlg::kLimitTitle), QString::fromUtf8("环绕输出压限"));
    EXPECT_EQ(CaptionOf(page, CMainDlg::kModeAuto + 2), QString::fromUtf8("热舞"));
}

// How much a control stands out of the page: the mean lightness difference from the page colour
// of its pixels as drawn over the page.
double Contrast(QWidget* w) {
    const QColor pageColor(48, 64, 56);
    QImage image(w->size(), QImage::Format_ARGB32);
    image.fill(pageColor);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += std::abs(image.pixelColor(x, y).lightnessF() - pageColor.lightnessF());
        }
    }
    return sum / std::max(1, image.width() * image.height());
}

TEST_F(MainDlgTest, AutoGreysTheSceneControlsOut) {
    Show(CMainDlg::kGroupRear);
    const int ids[] = {CMainDlg::kMusicLevel, CMainDlg::kLimitLevel, CMainDlg::kHpfSlider,
                       CMainDlg::kHpfSlope, CMainDlg::kLpfSlope};
    Click(page, CMainDlg::kModeAuto + 1);
    std::vector<double> editable;
    for (int id : ids) {
        editable.push_back(Contrast(page.Binding().Widget(id)));
    }
    Click(page, CMainDlg::kModeAuto);
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        QWidget* w = page.Binding().Widget(ids[i]);
        // Out of the Tab chain and of Qt's input, and fading into the page.
        EXPECT_FALSE(w->isEnabled()) << ids[i];
        EXPECT_LT(Contrast(w), editable[i] - 0.005) << ids[i];
    }
    Click(page, CMainDlg::kModeAuto + 1);
    EXPECT_TRUE(page.Binding().Widget(CMainDlg::kMusicLevel)->isEnabled());
}

TEST_F(MainDlgTest, AutoLeavesOnlyTheModeAndSideButtonsUsable) {
    Show(CMainDlg::kGroupRear);
    Click(page, CMainDlg::kModeAuto);
    EXPECT_EQ(ParameterSet.program.OutputMode, 0);
    EXPECT_EQ(SceneInForce(), 1);  // the scene remembered at reset, shown read-only
    EXPECT_TRUE(Checked(page, CMainDlg::kModeAuto));
    for (int id = CMainDlg::kMusicLevel; id <= CMainDlg::kLpfSlider; ++id) {
        if (auto* s = page.Binding().Get<CBitmapSlider>(id)) {
            EXPECT_FALSE(s->IsEnabledLook()) << id;
        }
    }
    for (int id : {CMainDlg::kSync, CMainDlg::kEqReset, CMainDlg::kEqPass, CMainDlg::kLeftMute,
                   CMainDlg::kRightMute, CMainDlg::kMusicToggle, CMainDlg::kMusicToggle + 4}) {
        EXPECT_FALSE(page.Binding().Widget(id)->isEnabled()) << id;
    }
    for (int id = CMainDlg::kModeAuto; id <= CMainDlg::kModeAuto + 3; ++id) {
        EXPECT_TRUE(page.Binding().Widget(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(page.Binding().Widget(CMainDlg::kLeftSide)->isEnabled());
    EXPECT_TRUE(page.Binding().Widget(CMainDlg::kRightSide)->isEnabled());

    // A person cannot change anything but the view; a slider that still reported a move
    // would change nothing either, since it takes no input while disabled.
    const ParamImage before = Snapshot();
    Click(page, CMainDlg::kRightSide);
    Click(page, CMainDlg::kLeftMute);
    Click(page, CMainDlg::kSync);
    EXPECT_EQ(page.EditedEq(), page.RightEq());
    EXPECT_TRUE(ChangedBytes(before, ParameterSet).empty());

    // Back to a scene: everything is editable again.
    Click(page, CMainDlg::kModeAuto + 3);
    EXPECT_TRUE(page.Binding().Get<CBitmapSlider>(CMainDlg::kMusicLevel)->IsEnabledLook());
    EXPECT_TRUE(page.Binding().Widget(CMainDlg::kSync)->isEnabled());
    EXPECT_FALSE(Checked(page, CMainDlg::kModeAuto));
    EXPECT_TRUE(Checked(page, CMainDlg::kModeAuto + 3));
}

TEST_F(MainDlgTest, ModeButtonsWriteTheModeByteAndTheActiveOneSendsNothing) {
    Show(CMainDlg::kGroupMain);
    ASSERT_TRUE(Checked(page, CMainDlg::kModeAuto + 1));
    const ParamImage before = Snapshot();
    Click(page, CMainDlg::kModeAuto + 1);  // Sing is already in force
    EXPECT_TRUE(ChangedBytes(before, ParameterSet).empty());
    NextParameterFrame();
    EXPECT_TRUE(TxFrame.bytes[4] == kPollA || TxFrame.bytes[4] == kPollB);
    EXPECT_TRUE(Checked(page, CMainDlg::kModeAuto + 1));

    Click(page, CMainDlg::kModeAuto + 2);
    EXPECT_EQ(ChangedBytes(before, ParameterSet),
              std::vector<int>{static_cast<int>(offsetof(ProgramImage, OutputMode))});
    EXPECT_EQ(SceneSelector.RememberedScene(), 1) << "the buttons write the byte only";
    EXPECT_EQ(page.Binding().FieldNameOf(CMainDlg::kMusicLevel), "Scene[2].MainL.send.Music.level");
    int checkedButtons = 0;
    for (int m = 0; m < 4; ++m) {
        checkedButtons += Checked(page, CMainDlg::kModeAuto + m) ? 1 : 0;
    }
    EXPECT_EQ(checkedButtons, 1);
}

// A mode byte no button sets (from a file or the device) is shown like Auto: read-only, on a
// scene that exists, with no mode button pressed; any mode button repairs it.
TEST_F(MainDlgTest, AnUnknownModeByteIsReadOnlyAndAddressesAnExistingScene) {
    ParameterSet.program.OutputMode = 7;
    Show(CMainDlg::kGroupSurround);
    EXPECT_EQ(page.Binding().FieldNameOf(CMainDlg::kLimitLevel),
              "Scene[1].SurroundL.limiter.level");
    EXPECT_TRUE(page.Binding().Unresolved().empty());
    EXPECT_FALSE(page.Binding().Get<CBitmapSlider>(CMainDlg::kLeftDelay)->IsEnabledLook());
    for (int m = 0; m < 4; ++m) {
        EXPECT_FALSE(Checked(page, CMainDlg::kModeAuto + m)) << m;
    }
    Click(page, CMainDlg::kModeAuto + 3);
    EXPECT_EQ(ParameterSet.program.OutputMode, 3);
    EXPECT_TRUE(page.Binding().Get<CBitmapSlider>(CMainDlg::kLeftDelay)->IsEnabledLook());
}

TEST_F(MainDlgTest, LimiterAndLeftDelayFollowTheLeftRecordWhileTheRightIsEdited) {
    Show(CMainDlg::kGroupMain);
    Click(page, CMainDlg::kRightSide);
    EXPECT_TRUE(Checked(page, CMainDlg::kRightSide));
    EXPECT_FALSE(Checked(page, CMainDlg::kLeftSide));
    Drive(page, CMainDlg::kLimitLevel, 0);
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(1269)->Text(), "-22dB");
    Drive(page, CMainDlg::kLimitLevel, 34);
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(1269)->Text(), "12dB");
    EXPECT_EQ(ParameterSet.program.scenes[0].channels[kMainL].limiter.level, 34);
    EXPECT_EQ(ParameterSet.program.scenes[0].channels[kMainR].limiter.level, 0);

    Drive(page, CMainDlg::kLeftDelay, 1500);
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(CMainDlg::kLeftDelayValue)->Text(), "150.0ms");
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(CMainDlg::kLeftDistance)->Text(), "51.000m");
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(CMainDlg::kRightDelayValue)->Text(), "0.0ms");
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(CMainDlg::kRightDistance)->Text(), "0.000m");
    EXPECT_EQ(static_cast<int>(ParameterSet.program.scenes[0].channels[kMainL].delay), 1500);

    // The levels show the edited (right) record.
    ParameterSet.program.scenes[0].channels[kMainR].sends[kSrcEchoB].level = 150;
    page.RefreshFromParameters();
    EXPECT_EQ(page.Binding().Get<CBitmapSlider>(CMainDlg::kMusicLevel + 3)->GetPos(), 150);
    EXPECT_EQ(page.Binding().Get<CEdit_Static>(CMainDlg::kMusicLevelValue + 9)->Text(), "150%");
}

TEST_F(MainDlgTest, LinkingWhileTheRightSideIsEditedSwitchesToTheLeft) {
    Show(CMainDlg::kGroupMain);
    Click(page, CMainDlg::kRightSide);
    ASSERT_EQ(page.EditedEq(), 9);
    Click(page, CMainDlg::kSync);
    EXPECT_EQ(ParameterSet.program.OutputLinks[0], 1);
    EXPECT_EQ(page.EditedEq(), 8);
    EXPECT_TRUE(Checked(page, CMainDlg::kSync));
    EXPECT_FALSE(Checked(page, CMainDlg::kLeftSide));
    EXPECT_FALSE(Checked(page, CMainDlg::kRightSide));
    EXPECT_FALSE(page.Binding().Widget(CMainDlg::kLeftSide)->isEnabled());
    EXPECT_FALSE(page.Binding().Widget(CMainDlg::kRightSide)->isEnabled());
    EXPECT_EQ(page.Binding().FieldNameOf(CMainDlg::kMusicLevel), "Scene[1].MainL.send.Music.level");
    // Rear and Surround keep their own links and sides.
    Show(CMainDlg::kGroupRear);
    EXPECT_FALSE(Checked(page, CMainDlg::kSync));
    EXPECT_TRUE(page.Binding().Widget(CMainDlg::kRightSide)->isEnabled());
}

// Unlinking copies the left channel onto the right in all three scenes, keeps the right
// channel's own mute and delay, and leaves nothing of the copy for the synchroniser to send.
TEST_F(MainDlgTest, UnlinkingCopiesLeftOntoRightInEveryScene) {
    for (int group : {CMainDlg::kGroupMain, CMainDlg::kGroupRear, CMainDlg::kGroupSurround}) {
        SCOPED_TRACE(group);
        ResetParameters();
        Show(group);
        const int left = page.LeftEq() - 8;
        const int right = page.RightEq() - 8;
        for (int s = 0; s < 3; ++s) {
            OutputChannelRecord& l = ParameterSet.program.scenes[s].channels[left];
            OutputChannelRecord& r = ParameterSet.program.scenes[s].channels[right];
            l.mute = 1;
            l.sends[kSrcMic].level = static_cast<uint8_t>(10 + s);
            l.bands[4].gainCode = static_cast<uint8_t>(130 + s);
            l.limiter.ratio = static_cast<uint8_t>(5 + s);
            l.hpf.slope = 3;
            l.delay = static_cast<uint16_t>(100 + s);
            r.mute = 0;
            r.sends[kSrcMic].level = 190;
            r.delay = static_cast<uint16_t>(900 + s);
        }
        AdoptAsSent(true);
        page.RefreshFromParameters();
        Click(page, CMainDlg::kSync);
        while (NextParameterFrame() && TxFrame.bytes[4] != kPollA && TxFrame.bytes[4] != kPollB) {
        }
        Click(page, CMainDlg::kSync);
        EXPECT_FALSE(Checked(page, CMainDlg::kSync));
        EXPECT_TRUE(Checked(page, CMainDlg::kLeftSide));
        EXPECT_TRUE(page.Binding().Widget(CMainDlg::kRightSide)->isEnabled());
        for (int s = 0; s < 3; ++s) {
            const OutputChannelRecord& l = ParameterSet.program.scenes[s].channels[left];
            const OutputChannelRecord& r = ParameterSet.program.scenes[s].channels[right];
            EXPECT_EQ(r.mute, 0);
            EXPECT_EQ(static_cast<int>(r.delay), 900 + s);
            OutputChannelRecord expected = l;
            expected.mute = r.mute;
            expected.delay = r.delay;
            EXPECT_EQ(std::memcmp(&expected, &r, sizeof r), 0) << "scene " << s + 1;
            // The right curve set reads the copied band.
            EXPECT_EQ(CurveSetOf(page.RightEq(), s + 1)->GetAt(4)->BandRecord(), &r.bands[4]);
        }
        // Only the link byte differs from what was sent.
        EXPECT_EQ(ChangedBytes(SentImage, ParameterSet),
                  std::vector<int>{static_cast<int>(offsetof(ProgramImage, OutputLinks)) +
                                   (group == CMainDlg::kGroupMain ? 0 : group - 1)});
    }
}

// The strips and the curve always work on the edited channel of the scene in force, also when
// the mode byte changed behind the page's back (a device read, a recall, a file).
TEST_F(MainDlgTest, StripsAndCurveFollowTheEditedChannelOfTheSceneInForce) {
    Show(CMainDlg::kGroupMain);
    CStripRow& row = page.StripRow();
    const auto bandOf = [&](int strip) { return row.Strip(strip)->Filter()->BandRecord(); };
    auto& scenes = ParameterSet.program.scenes;
    EXPECT_EQ(bandOf(0), &scenes[0].channels[kMainL].bands[0]);
    EXPECT_EQ(row.View()->CurveSet(), CurveSetOf(8, 1));

    Click(page, CMainDlg::kModeAuto + 2);
    Click(page, CMainDlg::kRightSide);
    EXPECT_EQ(bandOf(9), &scenes[1].channels[kMainR].bands[9]);
    EXPECT_EQ(row.View()->CurveSet(), CurveSetOf(9, 2));
    EXPECT_EQ(row.View()->EqNumber(), 9);

    ParameterSet.program.OutputMode = 3;  // a device read brought the Decode scene
    page.RefreshFromParameters();
    EXPECT_EQ(bandOf(4), &scenes[2].channels[kMainR].bands[4]);
    EXPECT_EQ(row.View()->CurveSet(), CurveSetOf(9, 3));

    Show(CMainDlg::kGroupSub);
    EXPECT_EQ(bandOf(0), &scenes[2].channels[kSub].bands[0]);
    EXPECT_EQ(row.View()->EqNumber(), 11);

    // A band moved on a strip lands in that record and marks the strip.
    row.Strip(3)->GainSlider()->SetPosInverted(50);
    emit row.Strip(3)->GainSlider()->Changed(CEQDlg::kIdGainSlider, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(scenes[2].channels[kSub].bands[3].gainCode, 50);
    EXPECT_EQ(scenes[0].channels[kSub].bands[3].gainCode, 120);
    EXPECT_EQ(row.SelectedStrip(), 3);
    page.RefreshFromParameters();
    EXPECT_EQ(row.SelectedStrip(), -1);
}

TEST_F(MainDlgTest, FiltersWriteThroughTheCurveAndFollowPicks) {
    Show(CMainDlg::kGroupRear);
    Click(page, CMainDlg::kRightSide);
    OutputChannelRecord& rr = ParameterSet.program.scenes[0].channels[kRearR];
    Drive(page, CMainDlg::kHpfSlope, 4);
    EXPECT_EQ(rr.hpf.slope, 4);
    EXPECT_EQ(page.StripRow().HighPass()->PassRecord(), &rr.hpf);
    Drive(page, CMainDlg::kLpfEdit, 300);
    EXPECT_EQ(static_cast<int>(rr.lpf.freqCode), 300);
    EXPECT_EQ(page.Binding().Get<CBitmapSlider>(CMainDlg::kLpfSlider)->GetPos(), 300);
    EXPECT_EQ(page.StripRow().View()->SelectedIndex(), 11);

    // A handle dragged on the curve shows its frequency in the filter's edit and slider.
    rr.hpf.freqCode = 77;
    emit page.StripRow().View()->PointSelected(13, 10);
    EXPECT_EQ(page.Binding().Get<CNumEdit>(CMainDlg::kHpfEdit)->GetValue(), 77);
    EXPECT_EQ(page.Binding().Get<CBitmapSlider>(CMainDlg::kHpfSlider)->GetPos(), 77);
}

TEST_F(MainDlgTest, EqResetActsOnTheEditedChannelOfTheSceneInForceOnly) {
    auto& scenes = ParameterSet.program.scenes;
    for (OutputScene& scene : scenes) {
        scene.channels[kSurroundL].bands[3].gainCode = 200;
        scene.channels[kSurroundR].bands[3].gainCode = 200;
    }
    Show(CMainDlg::kGroupSurround);
    Click(page, CMainDlg::kModeAuto + 3);
    Click(page, CMainDlg::kEqReset);
    EXPECT_EQ(scenes[2].channels[kSurroundL].bands[3].gainCode, 120);
    EXPECT_EQ(scenes[2].channels[kSurroundL].bands[3].type, 1);
    EXPECT_EQ(scenes[2].channels[kSurroundR].bands[3].gainCode, 200);
    EXPECT_EQ(scenes[0].channels[kSurroundL].bands[3].gainCode, 200);
    EXPECT_EQ(page.StripRow().Strip(3)->GainSlider()->GetPosInverted(), 120);
}

}  // namespace
}  // namespace qx

namespace qx {
namespace {

// Through the main window to the virtual processor: the mode chosen on the page, then a band
// of the new scene, reach the processor, and the band lands in the processor's matching scene.
TEST(MainDlgEndToEnd, ModeThenBandReachTheProcessorsScene) {
    InstallCurveSets();
    ResetParameters();
    useChinese = false;
    test::Sim sim;
    ASSERT_TRUE(sim.started);
    test::Window w;
    ASSERT_TRUE(w.Connect(sim));
    w->SelectTab(7);  // Rear
    CMainDlg* page = w->OutputPage();
    ASSERT_EQ(page->ChannelGroup(), CMainDlg::kGroupRear);
    page->Binding().Get<CBitButton>(CMainDlg::kModeAuto + 3)->click();  // Decode
    // The mode goes out after differences of the scene in force, so a person's next move,
    // which comes after it reached the processor, is what lands in the new scene.
    ASSERT_TRUE(
        test::WaitUntil([&] { return sim.processor.Image().program.OutputMode == 3; }, 5000));
    page->Binding().Get<CBitButton>(CMainDlg::kRightSide)->click();
    CEQDlg* strip = page->StripRow().Strip(2);
    strip->GainSlider()->SetPosInverted(160);
    emit strip->GainSlider()->Changed(CEQDlg::kIdGainSlider, 160);
    page->Binding().ControlChanged(CMainDlg::kMusicLevel + 1, 77);  // Mic send of Rear R
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const ParamImage device = sim.processor.Image();
            const OutputChannelRecord& rr = device.program.scenes[2].channels[kRearR];
            return rr.bands[2].gainCode == 160 && rr.sends[kSrcMic].level == 77;
        },
        5000));
    const ParamImage device = sim.processor.Image();
    EXPECT_EQ(device.program.scenes[0].channels[kRearR].bands[2].gainCode, 120);
    EXPECT_EQ(device.program.scenes[2].channels[kRearL].bands[2].gainCode, 120);
}

}  // namespace
}  // namespace qx
