// Speed of the image model's write path: one field written and announced; a curve drag step
// announced to a whole editor window (every page's bound controls and the curve views look at
// the notice); and a received program, diffed against what was announced, with the curve sets
// attached again.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <memory>

#include "BenchWindow.h"
#include "CurveSets.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

void BM_FieldWriteAndNotice(benchmark::State& state) {
    CImageModel& model = CImageModel::Editor();
    const ParamField* field = CParamCatalogue::Find("MusicLeft.limiter.ratio");
    int value = 0;
    for (auto _ : state) {
        value ^= 1;
        model.WriteField(*field, value, ChangeOrigin::FromControl(1));
        model.Flush();
    }
}
BENCHMARK(BM_FieldWriteAndNotice);

void BM_DragStepNoticeToEditor(benchmark::State& state) {
    const auto window = bench::OpenWindow(0);
    CImageModel& model = CImageModel::Editor();
    CFilter* band = CurveSetOf(kEqMusicLeft)->GetAt(3);
    int gain = 100;
    for (auto _ : state) {
        gain = gain == 100 ? 140 : 100;
        band->SetGainCode(gain);
        model.Flush();
    }
}
BENCHMARK(BM_DragStepNoticeToEditor)->Unit(benchmark::kMicrosecond);

void BM_ReceivedProgramNotice(benchmark::State& state) {
    CImageModel& model = CImageModel::Editor();
    auto a = std::make_unique<ProgramImage>();
    auto b = std::make_unique<ProgramImage>();
    AtomicCopy(a.get(), &ParameterSet.program, sizeof(ProgramImage));
    AtomicCopy(b.get(), a.get(), sizeof(ProgramImage));
    for (int i = 0; i < 15; ++i) {  // every music band differs
        b->MusicLeft.bands[i].gainCode = 100;
        b->MusicRight.bands[i].gainCode = 140;
    }
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        AdoptProgram(flip ? b.get() : a.get());
        model.NoteProgramReceived();
    }
}
BENCHMARK(BM_ReceivedProgramNotice)->Unit(benchmark::kMicrosecond);

}  // namespace
