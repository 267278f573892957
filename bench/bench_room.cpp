// Speed and quality of the room fit. A measurement of 1/48-octave points from 10 Hz to 24 kHz,
// of synthetic rooms: axial modes as peaks and dips over a slope. Counters: the RMS deviation
// from the target over the range before the fit, after it (in the processor's codes), and of
// the free optimum before it was taken to codes.
#include <benchmark/benchmark.h>

#include <cmath>

#include "MeasurementReader.h"
#include "RoomCurve.h"
#include "RoomFit.h"

using namespace qx;

namespace {

struct Mode {
    double hz;
    double db;
    double widthOct;
};

// 1/48-octave points of a room: modes on a slope of dB per decade.
Measurement Room(std::initializer_list<Mode> modes, double slopePerDecade) {
    Measurement m;
    for (double f = 10.0; f <= 24000.0; f *= std::pow(2.0, 1.0 / 48)) {
        double db = 78.0 + slopePerDecade * std::log10(f / 20.0);
        for (const Mode& md : modes) {
            const double x = std::log2(f / md.hz) / md.widthOct;
            db += md.db / (1.0 + x * x);
        }
        // A small comb of reflections above the modal region.
        db += f > 400.0 ? 1.2 * std::sin(std::log2(f) * 17.0) : 0.0;
        m.hz.push_back(f);
        m.db.push_back(db);
    }
    return m;
}

Measurement RoomOf(int which) {
    switch (which) {
        case 0:  // a small living room
            return Room({{38, 10, 0.06},
                         {57, -8, 0.05},
                         {76, 7, 0.08},
                         {115, -6, 0.06},
                         {160, 5, 0.1},
                         {230, -4, 0.12},
                         {3500, 3, 0.5}},
                        -1.0);
        case 1:  // a karaoke booth: few strong modes high up
            return Room({{72, 12, 0.05},
                         {96, -10, 0.04},
                         {144, 9, 0.06},
                         {190, -7, 0.05},
                         {288, 6, 0.08},
                         {1200, -3, 0.6}},
                        -2.0);
        default:  // a hall: many mild modes and a strong slope
            return Room({{25, 6, 0.1},
                         {31, -5, 0.08},
                         {44, 6, 0.07},
                         {52, -4, 0.1},
                         {63, 5, 0.06},
                         {88, -5, 0.08},
                         {125, 4, 0.1},
                         {250, -3, 0.2},
                         {8000, -4, 0.8}},
                        -3.0);
    }
}

FitInput InputOf(int room, int bands) {
    FitInput in;
    in.measurement = CRoomCurve::FromMeasurement(RoomOf(room), 0);
    in.target = RoomTarget{}.OnGrid();
    in.current.assign(static_cast<std::size_t>(bands), FitBand{});
    return in;
}

void Fit(benchmark::State& state, int bands, double lowHz, double highHz) {
    const FitInput in = InputOf(static_cast<int>(state.range(0)), bands);
    FitOptions o;
    o.lowHz = lowHz;
    o.highHz = highHz;
    o.maxBoostDb = 6.0;
    FitResult r;
    for (auto _ : state) {
        r = CRoomFit::Run(in, o);
        benchmark::DoNotOptimize(r.bands.data());
    }
    state.counters["before_rms_dB"] = r.before.rmsDb;
    state.counters["after_rms_dB"] = r.after.rmsDb;
    state.counters["free_optimum_rms_dB"] = r.continuousRmsDb;
    state.counters["after_worst_dB"] = std::fabs(r.after.worstDb);
}

void BM_Fit15BandsFullRange(benchmark::State& state) {
    Fit(state, 15, 20.0, 20000.0);
}
BENCHMARK(BM_Fit15BandsFullRange)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_Fit5Bands20To500(benchmark::State& state) {
    Fit(state, 5, 20.0, 500.0);
}
BENCHMARK(BM_Fit5Bands20To500)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_MeasurementOnGrid(benchmark::State& state) {
    const Measurement m = RoomOf(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CRoomCurve::FromMeasurement(m, 6).data());
    }
}
BENCHMARK(BM_MeasurementOnGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
