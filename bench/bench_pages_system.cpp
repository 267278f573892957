// Speed of the System page: a whole refresh from the parameter image (settings, mode list,
// permission, password groups) with its repaint; one monitor reply as the idle poll delivers
// it, from the new levels to the repainted lamps; and drawing the background picture.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "CurveSets.h"
#include "LinkState.h"
#include "MonitorBlocks.h"
#include "MonitorPicture.h"
#include "ParameterSet.h"
#include "SLamp.h"
#include "SysDlg.h"

namespace {

using namespace qx;

void BM_SystemPageRefresh(benchmark::State& state) {
    CSysDlg page;
    page.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        page.RefreshFromParameters();
        page.repaint();
    }
}
BENCHMARK(BM_SystemPageRefresh)->Unit(benchmark::kMillisecond);

// Every reply moves every lamp: levels climb and fall by a segment at a time.
void BM_SystemMonitorReply(benchmark::State& state) {
    CSysDlg page;
    page.show();
    QCoreApplication::processEvents();
    online = true;
    int tick = 0;
    for (auto _ : state) {
        for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
            MonitorBlockA[i] = static_cast<uint8_t>(110 + 6 * ((tick + i) % 16));
        }
        page.ShowMonitor(0x0C);
        for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
            page.Monitor(i)->repaint();
        }
        ++tick;
    }
    online = false;
}
BENCHMARK(BM_SystemMonitorReply)->Unit(benchmark::kMicrosecond);

void BM_MonitorPictureDraw(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(CMonitorPicture::Draw(false));
    }
}
BENCHMARK(BM_MonitorPictureDraw)->Unit(benchmark::kMillisecond);

}  // namespace
