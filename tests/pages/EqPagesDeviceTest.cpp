// The Music and Microphone pages against the virtual processor: a change in each group of
// controls reaches the processor, and unlinking sends the link byte and nothing else.

#include <gtest/gtest.h>

#include <QTest>
#include <cstring>

#include "EQDlg.h"
#include "EqPageTestSupport.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "PagesTestSupport.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {
namespace {

using namespace qx::test;

bool SameProgram(const Sim& sim) {
    const ParamImage device = sim.processor.Image();
    return AtomicEqual(&device, &ParameterSet, sizeof device);
}

// Requests other than the status polls.
int ParameterRequests(const Sim& sim) {
    int n = 0;
    for (const auto& r : sim.processor.Requests()) {
        n += r.size() > 4 && r[4] != 0x0C && r[4] != 0x18 ? 1 : 0;
    }
    return n;
}

class EqPagesDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshPageState();
    }
};

TEST_F(EqPagesDeviceTest, AChangeInEveryGroupReachesTheProcessor) {
    Sim sim;
    ASSERT_TRUE(sim.started);
    Window w;
    ASSERT_TRUE(w.Connect(sim));
    CMusicDlg& music = *w->MusicPage();
    CMic_Dlg& mic = *w->MicPage();
    music.SelectChannel(1);
    mic.SelectChannel(kEqMic2);
    const ControlCase musicCases[] = {
        {1387, "System.key", 2},
        {1069, "MusicRight.mainHpf.freqCode", 40},
        {1053, "MusicRight.hpf.slope", 3},
        {1079, "MusicRight.lpf.freqCode", 320},
        {1047, "MusicLeft.noiseGate.threshold", 12},
        {1042, "MusicLeft.limiter.ratio", 9},
        {1084, "MusicRight.lowExciter.freqCode", 99},
        {1031, "MusicRight.highExciter.timbre", 5},
        {1068, "MusicRight.eqBypass", 1},
    };
    for (const ControlCase& c : musicCases) {
        Drive(music.Binding(), c);
    }
    const ControlCase micCases[] = {
        {3003, "Mic2.level", 30},        {1053, "Mic2.feedback", 2},
        {3001, "Mic2.hpf.freqCode", 60}, {3004, "Mic2.noiseGate.threshold", 20},
        {3010, "Mic2.limiter.ratio", 7}, {3022, "Mic2.highExciter.harmonic", 3},
    };
    for (const ControlCase& c : micCases) {
        Drive(mic.Binding(), c);
    }
    // A band gain typed in a strip of each page.
    for (CNumEdit* gain :
         {music.StripRow().Strip(2)->GainEdit(), mic.StripRow().Strip(7)->GainEdit()}) {
        gain->SetValue(150);
        emit gain->ValueCommitted(CEQDlg::kIdGainEdit);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ParameterSet.program.MusicRight.bands[2].gainCode, 150);
    EXPECT_EQ(ParameterSet.program.Mic2.bands[7].gainCode, 150);
    ASSERT_TRUE(WaitUntil([&] { return SameProgram(sim); }, 10000));
    const ParamImage device = sim.processor.Image();
    EXPECT_EQ(device.program.MusicRight.lpf.freqCode, 320);
    EXPECT_EQ(device.program.Mic2.limiter.ratio, 7);
    EXPECT_EQ(device.system.block.keyAndSensitivity >> 4, 2);

    // Linking sends the link byte; unlinking copies Mic 1 onto Mic 2 locally and sends only
    // the link byte again.
    sim.processor.ClearRequests();
    QTest::mouseClick(mic.Binding().Get<CBitButton>(CMic_Dlg::kSync), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return SameProgram(sim); }, 10000));
    EXPECT_EQ(ParameterRequests(sim), 1);
    sim.processor.ClearRequests();
    QTest::mouseClick(mic.Binding().Get<CBitButton>(CMic_Dlg::kSync), Qt::LeftButton);
    Pump(600);
    EXPECT_EQ(ParameterRequests(sim), 1);
    EXPECT_EQ(sim.processor.Image().program.MicLink, 0);
}

}  // namespace
}  // namespace qx
