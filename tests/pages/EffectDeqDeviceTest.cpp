// The Effect and Dynamic EQ pages against the virtual processor: a change made on each of the
// echo, reverb, selector-shown curve and dynamic EQ controls reaches the processor.

#include <gtest/gtest.h>

#include <QTest>

#include "DEQ_Dlg.h"
#include "Echo_Dlg.h"
#include "Effect_Dlg.h"
#include "EqPageTestSupport.h"
#include "PageGlobals.h"
#include "PagesTestSupport.h"
#include "Rev_Dlg.h"

namespace qx {
namespace {

using test::Sim;
using test::WaitUntil;
using test::Window;

TEST(EffectDeqDeviceTest, AChangeOnEachEffectAndDynamicEqControlGroupReachesTheProcessor) {
    test::EnsureCurveSets();
    ResetParameters();
    ResetPageGlobals();
    Sim sim;
    ASSERT_TRUE(sim.started);
    Window w;
    ASSERT_TRUE(w.Connect(sim));

    w->SelectTab(3);
    CEffect_Dlg* effect = w->EffectPage();
    CFieldBinding& selector = effect->Binding();
    CFieldBinding& echo = effect->EchoPage()->Binding();
    CFieldBinding& rev = effect->ReverbPage()->Binding();
    test::Drive(echo, {3607, "EchoA.delay", 125});  // 250 ms
    test::Drive(echo, {3600, "EchoA.wetLevel", 44});
    selector.Get<CBitButton>(CEffect_Dlg::kEchoB)->click();
    test::Drive(echo, {3602, "EchoB.hpf.freqCode", 150});
    test::Drive(echo, {3606, "EchoB.repeat", 70});
    selector.Get<CBitButton>(CEffect_Dlg::kReverb)->click();
    test::Drive(rev, {3625, "Reverb.time", 60});
    test::Drive(rev, {3541, "Reverb.lpf.slope", 8});

    w->SelectTab(1);
    CFieldBinding& deq = w->DeqPage()->Binding();
    deq.Get<CBitButton>(CDEQ_Dlg::kRight)->click();
    test::Drive(deq, {2072, "MusicRight.deq[2].gainCode", 90});  // code 150
    test::Drive(deq, {2191, "MusicRight.deq[1].ratio", 12});
    test::Drive(deq, {2040, "MusicRight.deq[0].type", 2});

    const bool reached = WaitUntil(
        [&] {
            const ProgramImage d = sim.processor.Image().program;
            return d.EchoA.delay == 2500 && d.EchoA.wetLevel == 44 && d.EchoB.hpf.freqCode == 150 &&
                   d.EchoB.repeat == 70 && d.Reverb.time == 30000 && d.Reverb.lpf.slope == 8 &&
                   d.MusicRight.deq[2].band.gainCode == 150 && d.MusicRight.deq[1].ratio == 12 &&
                   d.MusicRight.deq[0].band.type == 2;
        },
        10000);
    EXPECT_TRUE(reached);
    // Everything the pages changed went out, and nothing else differs.
    EXPECT_TRUE(WaitUntil(
        [&] {
            const ParamImage d = sim.processor.Image();
            return std::memcmp(&d.program, &ParameterSet.program, sizeof d.program) == 0;
        },
        5000));
    EXPECT_TRUE(w.boxes.empty());
}

}  // namespace
}  // namespace qx
