// The Effect page: the stepped delays, the selector and the shared curve view (every row's
// field of each effect: EveryPageRowTest).

#include <gtest/gtest.h>

#include <QTest>

#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Echo_Dlg.h"
#include "Edit_Static.h"
#include "Effect_Dlg.h"
#include "EqPageTestSupport.h"
#include "Filter.h"
#include "FontStatic.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "Rev_Dlg.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ControlCase;

class EffectDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::FreshPageState();
        // Switches on, so that a click turns them off.
        for (EchoBlock* e : {&ParameterSet.program.EchoA, &ParameterSet.program.EchoB}) {
            e->wetSwitch = 1;
            e->drySwitch = 1;
        }
        ParameterSet.program.Reverb.wetSwitch = 1;
        ParameterSet.program.Reverb.drySwitch = 1;
        AdoptAsSent(false);
        page = std::make_unique<CEffect_Dlg>();
        test::ShowActive(*page);
    }
    CFieldBinding& Echo() { return page->EchoPage()->Binding(); }
    CFieldBinding& Rev() { return page->ReverbPage()->Binding(); }
    QString EchoLabel(int id) { return Echo().Get<CEdit_Static>(id)->Text(); }
    QString RevLabel(int id) { return Rev().Get<CEdit_Static>(id)->Text(); }
    CBitButton* Selector(int id) { return page->Binding().Get<CBitButton>(id); }

    std::unique_ptr<CEffect_Dlg> page;
};

TEST_F(EffectDlgTest, DelaysShowTheirStepRoundedDownAndStoreWholeStepsAgain) {
    EchoBlock& a = ParameterSet.program.EchoA;
    a.preDelay = 1237;  // from a device read: not a multiple of 10
    a.delay = 4039;
    ParameterSet.program.Reverb.preDelay = 1999;
    ParameterSet.program.Reverb.time = 49999;
    page->RefreshFromParameters();
    EXPECT_EQ(EchoLabel(3514), QStringLiteral("123ms"));
    EXPECT_EQ(Echo().Get<CBitmapSlider>(3604)->GetPos(), 123);
    EXPECT_EQ(EchoLabel(3523), QStringLiteral("402ms"));  // position 201, 2 ms each
    EXPECT_EQ(Echo().Get<CBitmapSlider>(3607)->GetPos(), 201);
    test::Drive(Echo(), {3604, "EchoA.preDelay", 124});
    EXPECT_EQ(static_cast<int>(a.preDelay), 1240);
    test::Drive(Echo(), {3607, "EchoA.delay", 200});
    EXPECT_EQ(static_cast<int>(a.delay), 4000);
    EXPECT_EQ(EchoLabel(3523), QStringLiteral("400ms"));

    QTest::mouseClick(Selector(CEffect_Dlg::kReverb), Qt::LeftButton);
    EXPECT_EQ(RevLabel(3545), QStringLiteral("198ms"));
    EXPECT_EQ(RevLabel(3548), QStringLiteral("4950ms"));
    test::Drive(Rev(), {3625, "Reverb.time", 100});
    EXPECT_EQ(RevLabel(3548), QStringLiteral("5000ms"));
    EXPECT_EQ(static_cast<int>(ParameterSet.program.Reverb.time), 50000);
    test::Drive(Rev(), {3624, "Reverb.preDelay", 0});
    EXPECT_EQ(RevLabel(3545), QStringLiteral("0ms"));
    EXPECT_EQ(static_cast<int>(ParameterSet.program.Reverb.preDelay), 0);
}

TEST_F(EffectDlgTest, RightChannelDelayShowsItsOffsetFromTheMiddle) {
    test::Drive(Echo(), {3608, "EchoA.rightDelay", 50});
    EXPECT_EQ(EchoLabel(3526), QStringLiteral("0%"));
    test::Drive(Echo(), {3608, "EchoA.rightDelay", 0});
    EXPECT_EQ(EchoLabel(3526), QStringLiteral("-50%"));
    test::Drive(Echo(), {3608, "EchoA.rightDelay", 100});
    EXPECT_EQ(EchoLabel(3526), QStringLiteral("50%"));
}

TEST_F(EffectDlgTest, SwitchingEchoAToEchoBClearsTheMarkAndShowsEchoB) {
    EchoBlock& b = ParameterSet.program.EchoB;
    b.wetLevel = 12;
    b.delay = 2000;
    b.hpf.freqCode = 55;
    b.lpf.slope = 9;
    b.bands[2].gainCode = 150;
    AdoptAsSent(false);
    CStripRow& row = page->EchoPage()->StripRow();
    emit row.Strip(3)->BandChanged(3);
    ASSERT_EQ(row.SelectedStrip(), 3);

    QTest::mouseClick(Selector(CEffect_Dlg::kEchoB), Qt::LeftButton);
    EXPECT_EQ(row.SelectedStrip(), -1);
    EXPECT_EQ(row.Strip(3)->Caption()->TextColor(), QColor(Qt::white));
    EXPECT_EQ(row.Strip(2)->EqNumber(), kEqEchoB);
    EXPECT_EQ(row.Strip(2)->GainEdit()->GetValue(), 150);
    EXPECT_EQ(EchoLabel(3501), QStringLiteral("12%"));
    EXPECT_EQ(EchoLabel(3523), QStringLiteral("200ms"));
    EXPECT_EQ(Echo().Get<CNumEdit>(3508)->GetValue(), 55);
    EXPECT_EQ(Echo().Get<CBitComboBox>(3506)->currentIndex(), 9);
    EXPECT_EQ(page->View()->EqNumber(), kEqEchoB);
    EXPECT_EQ(Selector(CEffect_Dlg::kEchoB)->GetCheck(), 1);
    EXPECT_EQ(Selector(CEffect_Dlg::kEchoA)->GetCheck(), 0);
    // The filter controls write through Echo B's curve set.
    test::Drive(Echo(), {3602, "EchoB.hpf.freqCode", 100});
    EXPECT_EQ(CurveSetOf(kEqEchoB)->GetHighPass()->GetFreqCode(), 100);
    EXPECT_EQ(page->View()->SelectedIndex(), 7);

    QTest::mouseClick(Selector(CEffect_Dlg::kReverb), Qt::LeftButton);
    EXPECT_TRUE(page->ReverbPage()->isVisible());
    EXPECT_FALSE(page->EchoPage()->isVisible());
    EXPECT_EQ(page->View()->EqNumber(), kEqReverb);
    EXPECT_EQ(Selector(CEffect_Dlg::kEchoB)->GetCheck(), 0);
    EXPECT_EQ(Selector(CEffect_Dlg::kReverb)->GetCheck(), 1);
}

TEST_F(EffectDlgTest, PressingTheActiveSelectorButtonDoesNothing) {
    CStripRow& row = page->EchoPage()->StripRow();
    emit row.Strip(1)->BandChanged(1);
    ParameterSet.program.EchoA.wetLevel = 77;  // not shown until a refresh
    QTest::mouseClick(Selector(CEffect_Dlg::kEchoA), Qt::LeftButton);
    EXPECT_EQ(row.SelectedStrip(), 1);
    EXPECT_NE(EchoLabel(3501), QStringLiteral("77%"));
    EXPECT_EQ(Selector(CEffect_Dlg::kEchoA)->GetCheck(), 1);
}

TEST_F(EffectDlgTest, PicksOnTheSharedCurveReachOnlyThePageShown) {
    CStripRow& echo = page->EchoPage()->StripRow();
    CStripRow& rev = page->ReverbPage()->StripRow();
    emit page->View()->PointSelected(kEqEchoA, 4);
    EXPECT_EQ(echo.SelectedStrip(), 4);
    EXPECT_EQ(rev.SelectedStrip(), -1);
    // H and L picks show the filter's frequency.
    CurveSetOf(kEqEchoA)->GetLowPass()->SetPassFreqCode(222);
    emit page->View()->PointSelected(kEqEchoA, 8);
    EXPECT_EQ(Echo().Get<CNumEdit>(3511)->GetValue(), 222);
    EXPECT_EQ(Echo().Get<CBitmapSlider>(3603)->GetPos(), 222);

    QTest::mouseClick(Selector(CEffect_Dlg::kReverb), Qt::LeftButton);
    emit page->View()->PointSelected(kEqReverb, 2);
    EXPECT_EQ(rev.SelectedStrip(), 2);
    EXPECT_EQ(echo.SelectedStrip(), 4) << "the echo page took the reverb's pick";
}

TEST_F(EffectDlgTest, EqResetRestoresOnlyTheShownEffectsBands) {
    QTest::mouseClick(Selector(CEffect_Dlg::kEchoB), Qt::LeftButton);
    ParameterSet.program.EchoB.bands[5].gainCode = 160;
    ParameterSet.program.EchoA.bands[5].gainCode = 160;
    ParameterSet.program.EchoB.hpf.freqCode = 60;
    const ParamImage before = ParameterSet;
    QTest::mouseClick(Echo().Get<CBitButton>(CEcho_Dlg::kEqReset), Qt::LeftButton);
    const int first = static_cast<int>(offsetof(ParamImage, program.EchoB.bands));
    const int end = first + static_cast<int>(sizeof ParameterSet.program.EchoB.bands);
    const auto changed = test::ChangedBytes(before, ParameterSet);
    EXPECT_FALSE(changed.empty());
    for (int i : changed) {
        EXPECT_TRUE(i >= first && i < end) << "byte " << i;
    }
    EXPECT_EQ(ParameterSet.program.EchoB.bands[5].gainCode, 120);
    EXPECT_EQ(page->EchoPage()->StripRow().Strip(5)->GainEdit()->GetValue(), 120);
}

TEST_F(EffectDlgTest, CaptionsFollowTheLanguageAndEqPassKeepsItsOwn) {
    useChinese = true;
    page->ApplyLanguage();
    EXPECT_EQ(Selector(CEffect_Dlg::kEchoA)->text(), QStringLiteral("回声A"));
    EXPECT_EQ(Echo().Get<CFontStatic>(3516)->Text(), QStringLiteral("右通道预延时"));
    EXPECT_EQ(Echo().Get<CBitButton>(CEcho_Dlg::kEqReset)->text(), QStringLiteral("EQ重置"));
    EXPECT_EQ(Echo().Get<CBitButton>(CEcho_Dlg::kEqPass)->text(), QStringLiteral("EQ pass"));
    EXPECT_EQ(Rev().Get<CBitButton>(CRev_Dlg::kEqPass)->text(), QStringLiteral("EQ pass"));
    EXPECT_EQ(Rev().Get<CFontStatic>(1403)->Text(), QStringLiteral("增益(dB)"));
    useChinese = false;
    page->ApplyLanguage();
    EXPECT_EQ(Rev().Get<CFontStatic>(3547)->Text(), QStringLiteral("Reverb Time"));
    EXPECT_EQ(Echo().Get<CBitButton>(CEcho_Dlg::kEqPass)->text(), QStringLiteral("EQ pass"));
}

}  // namespace
}  // namespace qx
