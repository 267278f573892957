// The link against the virtual processor over a pseudo-terminal: how soon an edit reaches the
// processor, how many exchanges a second the line carries under continuous edits, and how long
// a connection takes until the last of the 24 read replies. Each is printed with its floor:
// the line time at 115200 baud plus the pauses the exchange loop must make.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "DeviceLink.h"
#include "LinkRig.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "VirtualProcessor.h"

using namespace qx;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kByteMs = 10.0 * 1000.0 / 115200.0;
constexpr double kTurnPauseMs = 20.0;  // one per turn: fetch, write, read
constexpr double kProcessingMs = 3.0;  // the virtual processor's own time

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

using Rig = bench::LinkRig;
using bench::Pump;

void BM_EditToArrival(benchmark::State& state) {
    Rig rig;
    if (!rig.Connect()) {
        state.SkipWithError("no connection");
        return;
    }
    std::mt19937 rng(1);
    std::vector<double> ms;
    for (auto _ : state) {
        // Start the edit at a random moment of the idle-poll cycle.
        std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 120));
        const uint8_t value = static_cast<uint8_t>(ParameterSet.system.block.musicVolume + 1);
        rig.processor.ClearRequests();
        const auto t0 = Clock::now();
        ParameterSet.system.block.musicVolume = value;
        Pump([&] { return rig.processor.Image().system.block.musicVolume == value; }, 5000);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    // An edit waits for the next fetch turn (idle polls follow each other every three
    // turns, the reply arriving within the pause after the write), then for the pause after
    // the fetch, then crosses the line.
    const double cycle = 3 * kTurnPauseMs;
    const double best = kTurnPauseMs + 12 * kByteMs;
    state.counters["median_ms"] = Percentile(ms, 0.5);
    state.counters["p95_ms"] = Percentile(ms, 0.95);
    state.counters["floor_best_ms"] = best;
    state.counters["floor_median_ms"] = best + cycle / 2;
    state.counters["floor_worst_ms"] = best + cycle;
}
BENCHMARK(BM_EditToArrival)->Iterations(40)->Unit(benchmark::kMillisecond);

void BM_ExchangesUnderContinuousEdits(benchmark::State& state) {
    Rig rig;
    if (!rig.Connect()) {
        state.SkipWithError("no connection");
        return;
    }
    std::mt19937 rng(2);
    double rate = 0;
    for (auto _ : state) {
        rig.processor.ClearRequests();
        const auto t0 = Clock::now();
        while (Clock::now() - t0 < std::chrono::seconds(3)) {
            ParameterSet.system.block.micVolume = static_cast<uint8_t>(rng());
            ParameterSet.program.Mic1.bands[rng() % 20].gainCode =
                static_cast<uint8_t>(rng() % 241);
            Pump([] { return false; }, 5);
        }
        const double secs = std::chrono::duration<double>(Clock::now() - t0).count();
        rate = static_cast<double>(rig.processor.Requests().size()) / secs;
    }
    state.counters["exchanges_per_s"] = rate;
    // Three turns per exchange; a short frame's reply arrives within the pause after the write.
    state.counters["ceiling_per_s"] =
        1000.0 / (2 * kTurnPauseMs + std::max(kTurnPauseMs, (12 + 7) * kByteMs + kProcessingMs));
}
BENCHMARK(BM_ExchangesUnderContinuousEdits)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ConnectToLastRead(benchmark::State& state) {
    Rig rig;
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!rig.Connect()) {
            state.SkipWithError("no connection");
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        rig.link.DisconnectDevice();
    }
    // Probe and 24 reads: each has a fetch pause and the pause after its write (or its line
    // time and processing, when longer); all but the last also a pause after the reply.
    auto exchange = [](double bytes) {
        return kTurnPauseMs + std::max(kTurnPauseMs, bytes * kByteMs + kProcessingMs);
    };
    const double floor = exchange(7 + 8) + 22 * exchange(7 + 27) + exchange(7 + 72) +
                         exchange(7 + 2719) + 24 * kTurnPauseMs;
    state.counters["median_ms"] = Percentile(ms, 0.5);
    state.counters["floor_ms"] = floor;
}
BENCHMARK(BM_ConnectToLastRead)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
