// The edit history: an undo or redo from the key press to the repainted page, the memory of
// 10 000 drag steps, and a drag of 1000 mouse moves recorded as one step of a few bytes.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchWindow.h"
#include "EditHistory.h"
#include "HistoryBar.h"
#include "HistoryStep.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "MusicDlg.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_UndoRedoKeyToRepaintedPage(benchmark::State& state) {
    const auto shown = bench::OpenWindow(0);
    CMivoDlg& window = *shown;
    CMusicDlg* page = window.MusicPage();
    page->setFocus();
    // One step to go back and forth over: a typed band gain.
    // (Each run of the benchmark finds the image the last one left.)
    page->Binding().ControlChanged(
        1069, page->Binding().Read("MusicLeft.mainHpf.freqCode") == 60 ? 61 : 60);
    QCoreApplication::processEvents();
    CEditHistory& history = window.findChild<CHistoryBar*>()->History();
    int moved = 0;
    QObject::connect(&history.Stack(), &QUndoStack::indexChanged, [&moved] { ++moved; });
    std::vector<double> times;
    bool undo = true;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent press(QEvent::KeyPress, undo ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
        QApplication::sendEvent(page, &press);
        QCoreApplication::processEvents();  // the notice, the controls' updates and the paint
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds);
        undo = !undo;
    }
    // Every key press moved the history (none was refused or lost).
    state.counters["steps"] = history.Stack().count();
    state.counters["moved_per_key"] = times.empty() ? 0 : static_cast<double>(moved) / times.size();
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times.empty() ? 0 : times[times.size() / 2] * 1e3;
}
BENCHMARK(BM_UndoRedoKeyToRepaintedPage)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Each step: a press, 50 moves of one band's gain over as many turns, a release.
void DragSteps(CImageModel& model, const ParamField& field, int steps, int moves) {
    for (int s = 0; s < steps; ++s) {
        model.BeginStep();
        for (int m = 0; m < moves; ++m) {
            model.WriteField(field, (s + m) % 200, ChangeOrigin::FromControl(1));
            model.Flush();
        }
        model.EndStep();
        // The model's own end-of-turn calls, queued by each write, as the event loop runs them.
        QCoreApplication::processEvents();
    }
}

void BM_HistoryOf10000DragSteps(benchmark::State& state) {
    const ParamField* field = CParamCatalogue::Find("MusicLeft.bands[3].gainCode");
    for (auto _ : state) {
        auto image = std::make_unique<ParamImage>();
        std::memset(image.get(), 0, sizeof(ParamImage));
        CImageModel model(*image);
        const std::size_t heap = HeapInUse();
        auto history = std::make_unique<CEditHistory>(model);
        DragSteps(model, *field, 10000, 50);
        state.counters["steps"] = history->Stack().count();
        state.counters["heap_MB"] = static_cast<double>(HeapInUse() - heap) / 1e6;
        state.counters["counted_MB"] = static_cast<double>(history->MemoryUsed()) / 1e6;
        history.reset();
    }
}
BENCHMARK(BM_HistoryOf10000DragSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DragOf1000MovesIsOneStep(benchmark::State& state) {
    const ParamField* field = CParamCatalogue::Find("MusicLeft.bands[3].freqCode");
    for (auto _ : state) {
        auto image = std::make_unique<ParamImage>();
        std::memset(image.get(), 0, sizeof(ParamImage));
        CImageModel model(*image);
        CEditHistory history(model);
        DragSteps(model, *field, 1, 1000);
        const auto* step = static_cast<const CHistoryStep*>(history.Stack().command(0));
        state.counters["steps"] = history.Stack().count();
        state.counters["changed_bytes"] = step != nullptr ? step->Runs().bytes.size() / 2 : 0;
        state.counters["step_bytes"] = static_cast<double>(history.MemoryUsed());
    }
}
BENCHMARK(BM_DragOf1000MovesIsOneStep)->Unit(benchmark::kMillisecond);

}  // namespace
