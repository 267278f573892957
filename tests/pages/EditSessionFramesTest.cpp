// A scripted editing session in the main window against the virtual processor: connecting,
// a typed band gain, a curve drag, SYNC on and off, an EQ reset, a microphone level, an output
// mode button and a send level, a maximum below the master volume, and a master volume drag.
// The frames the processor receives (the idle polls left out) must stay exactly those recorded
// in data/edit-session-frames.txt: a change to how the editor is built inside must not change
// what it says on the line. QX_WRITE_FRAMES=1 records the file again after a deliberate change.

#include <gtest/gtest.h>

#include <QTest>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "EqPageTestSupport.h"
#include "MainDlg.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "PagesTestSupport.h"
#include "SysDlg.h"

namespace qx {
namespace {

using namespace qx::test;

const char* const kFramesFile = QX_TEST_DATA_DIR "/edit-session-frames.txt";

std::string Hex(const std::vector<uint8_t>& frame) {
    std::string text;
    char digits[4];
    for (uint8_t b : frame) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        text += text.empty() ? "" : " ";
        text += digits;
    }
    return text;
}

class EditSessionFramesTest : public ::testing::Test {
  protected:
    // The recording starts from a processor whose image is all zeros (a copy of the editor's
    // image would hold whatever the tests before this one left in it).
    void SetUp() override {
        FreshPageState();
        static const ParamImage zeros{};
        sim.emplace(zeros);
    }

    // Waits for the quiet point after a step: everything the step changed has been sent
    // (the image equals its sent copy) and the processor has since received an idle poll,
    // which the worker only sends when nothing else is waiting. Then logs what the processor
    // received since the last step, polls left out. Every step sends at least one frame.
    void Step(const char* name) {
        const auto isPoll = [](const std::vector<uint8_t>& r) {
            return r.size() > 4 && (r[4] == 0x0C || r[4] == 0x18);
        };
        ASSERT_TRUE(WaitUntil(
            [&] {
                const auto requests = sim->processor.Requests();
                bool sent = false;
                for (const auto& r : requests) {
                    sent = sent || !isPoll(r);
                }
                // The sent copy belongs to the worker: read it under its lock.
                ParamGuard guard(ParamLock);
                return sent && isPoll(requests.back()) &&
                       AtomicEqual(&SentImage, &ParameterSet, sizeof SentImage);
            },
            15000))
            << name;
        log << "# " << name << "\n";
        for (const auto& r : sim->processor.Requests()) {
            if (!isPoll(r)) {
                log << Hex(r) << "\n";
            }
        }
        sim->processor.ClearRequests();
    }

    std::optional<Sim> sim;
    std::ostringstream log;
};

TEST_F(EditSessionFramesTest, TheProcessorReceivesTheRecordedFrames) {
    ASSERT_TRUE(sim->started);
    Window w;
    ASSERT_TRUE(w.Connect(*sim));
    Step("connect");

    w->SelectTab(0);
    CMusicDlg& music = *w->MusicPage();
    CNumEdit* gain = music.StripRow().Strip(2)->GainEdit();
    gain->SetValue(150);
    emit gain->ValueCommitted(CEQDlg::kIdGainEdit);
    QCoreApplication::processEvents();
    Step("typed band gain");

    const Point h = CurveSetOf(kEqMusicLeft)->GetAt(2)->Handle().Center();
    DragFromTo(music.StripRow().View(), {h.x, h.y}, {h.x + 30, h.y - 25});
    Step("curve drag");

    QTest::mouseClick(music.Binding().Get<CBitButton>(CMusicDlg::kSync), Qt::LeftButton);
    Step("sync on");
    QTest::mouseClick(music.Binding().Get<CBitButton>(CMusicDlg::kSync), Qt::LeftButton);
    Step("sync off");
    QTest::mouseClick(music.Binding().Get<CBitButton>(CMusicDlg::kEqReset), Qt::LeftButton);
    QCoreApplication::processEvents();
    Step("eq reset");
    Drive(music.Binding(), {1047, "MusicLeft.noiseGate.threshold", 12});
    Step("noise gate");

    w->SelectTab(2);
    Drive(w->MicPage()->Binding(), {3003, "Mic1.level", 30});
    Step("mic level");

    w->SelectTab(4);
    CMainDlg& output = *w->OutputPage();
    QTest::mouseClick(output.Binding().Get<CBitButton>(CMainDlg::kModeAuto + 2), Qt::LeftButton);
    Step("output mode");
    Drive(output.Binding(), {CMainDlg::kMusicLevel, "", 17});
    Step("music send level");

    w->SelectTab(9);
    CFieldBinding& system = w->SystemPage()->Binding();
    Drive(system, {2572, "System.musicMax", 70});
    Step("music maximum");
    Drive(w->TopBar(), {CMivoDlg::kMusicSlider, "System.musicVolume", 60});
    Step("music volume");
    Drive(system, {2572, "System.musicMax", 40});
    QCoreApplication::processEvents();
    Step("music maximum below the volume");

    if (qEnvironmentVariableIsSet("QX_WRITE_FRAMES")) {
        std::ofstream(kFramesFile) << log.str();
        GTEST_SKIP() << "recorded " << kFramesFile;
    }
    std::ifstream in(kFramesFile);
    ASSERT_TRUE(in) << kFramesFile;
    std::stringstream recorded;
    recorded << in.rdbuf();
    // Line by line, so that a failure names the step and the frame.
    std::istringstream want(recorded.str()), got(log.str());
    std::string wantLine, gotLine, step;
    int line = 0;
    while (std::getline(want, wantLine)) {
        ++line;
        ASSERT_TRUE(std::getline(got, gotLine)) << "missing from line " << line << ": " << wantLine;
        if (wantLine.starts_with("# ")) {
            step = wantLine;
        }
        ASSERT_EQ(gotLine, wantLine) << "line " << line << " (" << step << ")";
    }
    EXPECT_FALSE(std::getline(got, gotLine)) << "more frames than recorded: " << gotLine;
}

}  // namespace
}  // namespace qx
