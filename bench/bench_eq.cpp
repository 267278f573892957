// Speed of the curve work done while the user drags a handle.
#include <benchmark/benchmark.h>

#include "KTVEQ.h"

using namespace qx;

namespace {

struct Mic {
    EqBand bands[20]{};
    PassFilter hpf{};
    PassFilter lpf{};
    CKTVEQ set;

    Mic() {
        for (int i = 0; i < 20; ++i) {
            bands[i].freqCode = static_cast<uint16_t>(10 + i * 17);
            bands[i].gainCode = static_cast<uint8_t>(100 + i * 2);
            bands[i].qCode = 10;
            bands[i].type = static_cast<uint8_t>(1 + i % 3);
        }
        hpf.freqCode = 40;
        hpf.slope = 11;
        lpf.kind = 1;
        lpf.freqCode = 330;
        lpf.slope = 12;
        set.BuildEq(20, bands, &hpf, &lpf);
        set.Resize(1000, 300);
        set.SumCurve();
    }
};

void BM_RecalcPeakingBand(benchmark::State& state) {
    Mic mic;
    CFilter& f = *mic.set.GetAt(0);
    for (auto _ : state) {
        f.Recalc();
        benchmark::DoNotOptimize(f.GetResponse().data());
    }
}
BENCHMARK(BM_RecalcPeakingBand);

void BM_Recalc36dBPassFilter(benchmark::State& state) {
    Mic mic;
    CFilter& f = *mic.set.GetHighPass();
    for (auto _ : state) {
        f.Recalc();
        benchmark::DoNotOptimize(f.GetResponse().data());
    }
}
BENCHMARK(BM_Recalc36dBPassFilter);

void BM_SumCurve22Filters(benchmark::State& state) {
    Mic mic;
    for (auto _ : state) {
        mic.set.SumCurve();
        benchmark::DoNotOptimize(mic.set.TotalCurve().data());
    }
}
BENCHMARK(BM_SumCurve22Filters);

// One pointer move of a band drag: new codes, the band's response and the total curve.
void BM_DragStep(benchmark::State& state) {
    Mic mic;
    CFilter& f = *mic.set.GetAt(5);
    f.BeginDrag(f.Handle().Center());
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 1000;
        f.DragBand({35 + x, 10 + (x * 3) % 300});
        mic.set.SumCurve();
        benchmark::DoNotOptimize(mic.set.TotalCurve().data());
    }
}
BENCHMARK(BM_DragStep);

}  // namespace
