// The change synchroniser's cost per call, against a plain memcmp of the two images as the
// floor, and the heap allocations it makes per call (counted by a replaced operator new).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ChangeSync.h"
#include "ParameterSet.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
// The replaced operator new allocates with malloc, so free is the matching release.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

void Prepare() {
    qx::ResetParameters();
    qx::AdoptAsSent(true);
    qx::NextParameterFrame();  // builds the item table outside the timed loop
}

void Report(benchmark::State& state, long before) {
    state.counters["allocs/call"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations()));
}

void BM_NextFrame_EqualImages(benchmark::State& state) {
    Prepare();
    const long before = allocations.load();
    for (auto _ : state) {
        qx::NextParameterFrame();
        benchmark::DoNotOptimize(qx::TxFrame.bytes[4]);
    }
    Report(state, before);
}
BENCHMARK(BM_NextFrame_EqualImages);

// The only difference lies in the last sub-pass (the output mode), so the whole comparison
// runs before the frame is built.
void BM_NextFrame_DifferenceInLastSubPass(benchmark::State& state) {
    Prepare();
    const long before = allocations.load();
    for (auto _ : state) {
        qx::SentImage.program.OutputMode = 9;
        qx::NextParameterFrame();
        benchmark::DoNotOptimize(qx::TxFrame.bytes[4]);
    }
    Report(state, before);
}
BENCHMARK(BM_NextFrame_DifferenceInLastSubPass);

void BM_MemcmpFloor(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        int r = std::memcmp(&qx::ParameterSet, &qx::SentImage, sizeof(qx::ParamImage));
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcmpFloor);

}  // namespace
