// The A/B switch against the virtual processor at the processor's own timing: how long until
// the processor holds the other slot when 1, 20 or 300 fields differ, by the synchroniser's
// difference frames and by one whole-program write, each beside its floor (line time at
// 115200 baud plus the worker's pauses, as CSwitchCost estimates it). The program write also
// reports when the line is free again (after the processor's store pause). The editor picks
// the cheaper way per switch from the same estimate; the crossover is where the two floors
// meet.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "CommProtocol.h"
#include "DeviceLink.h"
#include "LinkRig.h"
#include "LinkState.h"
#include "LinkTiming.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "SwitchCost.h"
#include "VirtualProcessor.h"

using namespace qx;
using Clock = std::chrono::steady_clock;

namespace {

struct Rig : bench::LinkRig {
    bool Holds(const ProgramImage& p) const {
        const ParamImage device = processor.Image();
        return std::memcmp(&device.program, &p, sizeof(ProgramImage)) == 0;
    }
};
using bench::Pump;

// The other slot: `fields` gain or Q codes of equaliser bands differ, spread over the
// microphones, the music channels and the outputs of the scene in force.
std::unique_ptr<ProgramImage> OtherSlot(const ProgramImage& from, int fields, int salt) {
    auto p = std::make_unique<ProgramImage>();
    AtomicCopy(p.get(), &from, sizeof(ProgramImage));
    std::vector<EqBand*> bands;
    for (auto* ch : {&p->Mic1, &p->Mic2}) {
        for (auto& b : ch->bands) {
            bands.push_back(&b);
        }
    }
    for (auto* ch : {&p->MusicLeft, &p->MusicRight}) {
        for (auto& b : ch->bands) {
            bands.push_back(&b);
        }
    }
    for (auto& ch : p->scenes[SceneInForce() - 1].channels) {
        for (auto& b : ch.bands) {
            bands.push_back(&b);
        }
    }
    for (int k = 0; k < fields; ++k) {
        EqBand& b = *bands[static_cast<std::size_t>(k) % bands.size()];
        if (k < static_cast<int>(bands.size())) {
            b.gainCode = static_cast<uint8_t>(60 + (k * 7 + salt) % 120);
        } else {
            b.qCode = static_cast<uint8_t>(5 + (k + salt) % 60);
        }
    }
    return p;
}

LineCosts RealCosts() {
    const LinkTiming t = LinkTiming::Real();
    LineCosts c;
    c.turnPauseMs = t.turnPauseMs;
    c.storePauseMs = t.storePauseMs;
    c.bitsPerSecond = t.lineBitsPerSecond;
    return c;
}

void BM_AbSwitch(benchmark::State& state, bool programWrite) {
    const int fields = static_cast<int>(state.range(0));
    Rig rig;
    if (!rig.Connect()) {
        state.SkipWithError("no connection");
        return;
    }
    std::vector<double> held;
    std::vector<double> free;
    SwitchEstimate estimate;
    int salt = 0;
    for (auto _ : state) {
        auto current = std::make_unique<ProgramImage>();
        AtomicCopy(current.get(), &ParameterSet.program, sizeof(ProgramImage));
        auto target = OtherSlot(*current, fields, ++salt);
        {
            ParamGuard guard(ParamLock);
            estimate = programWrite ? CSwitchCost::ByProgramWrite(RealCosts())
                                    : CSwitchCost::ByDifferences(SentImage, *target, SceneInForce(),
                                                                 RealCosts());
        }
        const auto t0 = Clock::now();
        if (programWrite) {
            ParamGuard guard(ParamLock);
            AdoptProgram(target.get());
            rig.link.SendDeviceCommand(kCmdWriteProgram, 0);
        } else {
            AtomicCopy(&ParameterSet.program, target.get(), sizeof(ProgramImage));
        }
        if (!Pump([&] { return rig.Holds(*target); }, 60000)) {
            state.SkipWithError("the processor never held the slot");
            return;
        }
        held.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        Pump([] { return !deviceBusy.load(); }, 10000);
        // The line is free when the worker fetches again: the program write's reply comes
        // after the store pause.
        free.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(held.begin(), held.end());
    std::sort(free.begin(), free.end());
    state.counters["fields"] = fields;
    state.counters["frames"] = estimate.frames;
    state.counters["held_median_ms"] = held[held.size() / 2];
    state.counters["free_median_ms"] = free[free.size() / 2];
    state.counters["floor_ms"] = estimate.ms;
}

void BM_AbSwitchByDifferences(benchmark::State& state) {
    BM_AbSwitch(state, false);
}
void BM_AbSwitchByProgramWrite(benchmark::State& state) {
    BM_AbSwitch(state, true);
}
BENCHMARK(BM_AbSwitchByDifferences)
    ->Arg(1)
    ->Arg(20)
    ->Arg(300)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AbSwitchByProgramWrite)
    ->Arg(1)
    ->Arg(20)
    ->Arg(300)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Where the floors cross: the number of differing band gains from which one program write
// is cheaper than the difference frames, by the editor's own estimate.
void BM_AbCrossover(benchmark::State& state) {
    ResetParameters();
    AdoptAsSent(true);
    int crossover = 0;
    for (auto _ : state) {
        const double write = CSwitchCost::ByProgramWrite(RealCosts()).ms;
        for (int n = 1; n <= 300; ++n) {
            auto target = OtherSlot(ParameterSet.program, n, 1);
            if (CSwitchCost::ByDifferences(SentImage, *target, SceneInForce(), RealCosts()).ms >
                write) {
                crossover = n;
                break;
            }
        }
    }
    state.counters["crossover_fields"] = crossover;
    state.counters["program_write_ms"] = CSwitchCost::ByProgramWrite(RealCosts()).ms;
}
BENCHMARK(BM_AbCrossover)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
