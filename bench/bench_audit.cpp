// The audit log's cost to whoever appends (the user-interface thread, a fleet worker) and the
// cost of turning a whole imported program into field records.

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "AuditLog.h"
#include "NoticeAudit.h"
#include "ParamCatalogue.h"

namespace qx {
namespace {

// Append as the editor calls it: the record is made into its line here, the disk is the
// writer's. The queue is emptied between rounds so no line is dropped.
void BM_AuditAppend(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("qx-bench-audit-" + std::to_string(::getpid())))
            .string();
    CAuditLog::Limits limits;
    limits.maxBytes = 64u * 1024u * 1024u;
    limits.maxQueued = 1u << 20;
    {
        CAuditLog log(path, limits);
        AuditRecord r;
        r.action = "field";
        r.port = "socket://dsp-a01.local:4001";
        r.room = "A01";
        r.program = 3;
        r.field = "MusicLeft.bands[3].gainCode";
        r.caption = r.field;
        r.hasCodes = true;
        r.oldCode = 120;
        r.newCode = 135;
        r.oldLabel = "0.0dB";
        r.newLabel = "+3.0dB";
        int n = 0;
        for (auto _ : state) {
            log.Append(r);
            if (++n % 4096 == 0) {
                state.PauseTiming();
                log.Flush(10000);
                state.ResumeTiming();
            }
        }
        log.Flush(10000);
        state.counters["lost"] = static_cast<double>(log.LostLines());
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AuditAppend);

// A program file replacing every field of the program: the records the log gets.
void BM_AuditWholeProgramImport(benchmark::State& state) {
    auto before = std::make_unique<ParamImage>();
    auto after = std::make_unique<ParamImage>();
    std::memset(before.get(), 0, sizeof(ParamImage));
    std::memset(after.get(), 1, sizeof(ParamImage));
    ImageChange change;
    change.range = {0, sizeof(ProgramImage)};
    change.before.assign(CParamCatalogue::Bytes(*before),
                         CParamCatalogue::Bytes(*before) + sizeof(ProgramImage));
    change.after.assign(CParamCatalogue::Bytes(*after),
                        CParamCatalogue::Bytes(*after) + sizeof(ProgramImage));
    change.origin = ChangeOrigin::FromFile("room.dia");
    ImageNotice notice;
    notice.Add(change);
    std::size_t records = 0;
    for (auto _ : state) {
        const auto out = CNoticeAudit::Records(notice, {"/dev/ttyUSB0", "A01", 1});
        records = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_AuditWholeProgramImport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qx
