// The catalogue and the program files: showing a whole program, parsing typed values, and a
// program file written safely and read back.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "ProgramFile.h"

using namespace qx;

namespace {

void BM_ShowWholeProgram(benchmark::State& state) {
    ResetParameters();
    const uint8_t* bytes = CParamCatalogue::Bytes(ParameterSet);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const ParamField& f : CParamCatalogue::Fields()) {
            total += CParamCatalogue::Display(bytes, f).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["fields"] = static_cast<double>(CParamCatalogue::Fields().size());
}
BENCHMARK(BM_ShowWholeProgram);

void BM_ParseValue(benchmark::State& state, const char* name, const char* text) {
    const ParamField* f = CParamCatalogue::Find(name);
    ParsedValue v;
    std::string error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CParamCatalogue::Parse(*f, text, v, error));
    }
}
BENCHMARK_CAPTURE(BM_ParseValue, frequency_text, "MusicLeft.bands[3].freqCode", "1000Hz");
BENCHMARK_CAPTURE(BM_ParseValue, gain_value, "MusicLeft.bands[3].gainCode", "-3.2dB");
BENCHMARK_CAPTURE(BM_ParseValue, code, "Scene[2].SUB.delay", "125");

void BM_ProgramFileWriteRead(benchmark::State& state) {
    ResetParameters();
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("qx-bench-" + std::to_string(::getpid()) + ".dia"))
                                 .string();
    auto back = std::make_unique<ParamImage>();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CProgramFile::WriteProgram(path, ParameterSet).ok);
        benchmark::DoNotOptimize(CProgramFile::ReadProgram(path, *back).ok);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ProgramFileWriteRead);

}  // namespace
