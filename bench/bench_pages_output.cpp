// Speed of the Output page's reload: what a person waits for after choosing another output
// tab (the group changes) and after pressing another mode button (the scene changes). Both
// rebuild every control, the ten strips and the curve view from the image.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "CurveSets.h"
#include "MainDlg.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

// A page at the size the main window gives it, with the outputs' bands spread out so the
// curves are real curves.
struct ShownPage {
    CMainDlg page;

    ShownPage() {
        for (OutputScene& scene : ParameterSet.program.scenes) {
            for (OutputChannelRecord& ch : scene.channels) {
                for (int b = 0; b < 10; ++b) {
                    ch.bands[b].gainCode = static_cast<uint8_t>(90 + 6 * b);
                    ch.bands[b].type = 1;
                }
                ch.hpf.slope = 4;
                ch.lpf.slope = 9;
            }
        }
        page.resize(page.DesignSize());
        page.show();
        page.ShowChannelGroup(0);
        page.RefreshFromParameters();
    }
};

void BM_OutputRefreshOnGroupChange(benchmark::State& state) {
    ShownPage shown;
    int group = 0;
    for (auto _ : state) {
        group = (group + 1) % CMainDlg::kGroups;
        shown.page.ShowChannelGroup(group);
        shown.page.RefreshFromParameters();
    }
}
BENCHMARK(BM_OutputRefreshOnGroupChange)->Unit(benchmark::kMillisecond);

void BM_OutputRefreshOnSceneChange(benchmark::State& state) {
    ShownPage shown;
    int mode = 1;
    for (auto _ : state) {
        mode = mode % 3 + 1;
        ParameterSet.program.OutputMode = static_cast<uint8_t>(mode);
        shown.page.RefreshFromParameters();
    }
    ParameterSet.program.OutputMode = 1;
}
BENCHMARK(BM_OutputRefreshOnSceneChange)->Unit(benchmark::kMillisecond);

}  // namespace
