#include "EqTextCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "CliAudit.h"
#include "CurveSets.h"
#include "DeviceSession.h"
#include "EqImportReport.h"
#include "EqTextImport.h"
#include "EqTextWriter.h"
#include "FilterTextReader.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "SceneSelector.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr std::size_t kMaxTextBytes = 1 << 20;  // far above any filter list

// The equaliser a command works on, and where: a program file or the processor.
struct EqTarget {
    int eq = 0;
    int scene = 0;  // 0: the scene in force
    std::string file;
    bool device = false;
};

// Reads --eq, --scene and the program file or --port; false after reporting bad usage.
bool ParseTarget(CQxctl& cli, const std::string& command, const CCommandArgs& a,
                 std::size_t filePosition, EqTarget& t) {
    if (!a.Has("--eq") || !CCommandArgs::ParseInt(a.Value("--eq"), 0, kEqNumberCount - 1, t.eq)) {
        cli.Fail(command,
                 Tr({"需要 --eq N，N 为 0 到 17（见 qxctl %1 --help）",
                     "--eq N is needed, N from 0 to 17 (see qxctl %1 --help)"},
                    {command}),
                 2);
        return false;
    }
    if (a.Has("--scene") && !CCommandArgs::ParseInt(a.Value("--scene"), 1, kSceneCount, t.scene)) {
        cli.Fail(command,
                 Tr({"--scene 为 1 (Sing)、2 (Disco) 或 3 (Decode)",
                     "--scene is 1 (Sing), 2 (Disco) or 3 (Decode)"}),
                 2);
        return false;
    }
    const auto& words = a.Positional();
    t.device = a.Has("--port");
    const std::size_t expected = filePosition + (t.device ? 0 : 1);
    if (words.size() != expected) {
        cli.Fail(
            command,
            t.device && words.size() > expected ? Tr({"给出程序文件或 --port，不能两者都给",
                                                      "give a program file or --port, not both"})
            : filePosition == 1
                ? Tr({"需要 FILTERS.txt 和程序文件 FILE.dia 或 --port PATH（见 qxctl %1 --help）",
                      "expected FILTERS.txt and a program file FILE.dia or --port PATH (see "
                      "qxctl %1 --help)"},
                     {command})
                : Tr({"需要程序文件 FILE.dia 或 --port PATH（见 qxctl %1 --help）",
                      "expected a program file FILE.dia or --port PATH (see qxctl %1 --help)"},
                     {command}),
            2);
        return false;
    }
    if (!t.device) {
        t.file = words[filePosition];
    }
    return true;
}

// The scene an output equaliser of image works on: the one asked for, else the one in force.
int SceneOf(const ProgramImage& image, int asked) {
    if (asked != 0) {
        return asked;
    }
    const int mode = image.OutputMode;
    return mode >= 1 && mode <= kSceneCount ? mode : 1;
}

// Reads a whole filter text; a file far larger than any filter list is refused unread.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = std::string(kReadError) + ": " + path + ": " + ec.message();
        return false;
    }
    if (size > kMaxTextBytes) {
        error = Tr({"%1 太大，不是滤波器列表", "%1 is too large to be a filter list"}, {path});
        return false;
    }
    text.assign(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) {
        error = std::string(kReadError) + ": " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string Fixed(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Prints what the plan does; refusals go to the error stream, one per line.
int Report(CQxctl& cli, const std::string& path, const EqImportPlan& plan) {
    std::ostream& out = cli.Out();
    if (!plan.Ok()) {
        for (const TextProblem& p : plan.errors) {
            cli.Fail("eq-import",
                     p.line > 0 ? path + " " + LinePrefix(p.line) + p.message : p.message);
        }
        return cli.Fail("eq-import", Tr({"未做任何更改", "nothing was changed"}));
    }
    out << Tr({"%1（均衡器 %2），%3 个频段：", "%1 (equaliser %2), %3 bands:"},
              {EqName(plan.eqNumber), std::to_string(plan.eqNumber),
               std::to_string(plan.bandCount)})
        << "\n";
    int used = 0;
    for (const EqImportStep& s : plan.steps) {
        out << Tr({"  第 %1 行：  ", "  line %1:  "}, {std::to_string(s.filter.line)})
            << CEqTextImport::Describe(s) << "\n";
        if (s.target == EqImportStep::Target::Band) {
            used = std::max(used, s.band + 1);
        }
    }
    if (used < plan.bandCount) {
        out << Tr({"  频段 %1..%2 已旁通", "  bands %1..%2 bypassed"},
                  {std::to_string(used + 1), std::to_string(plan.bandCount)})
            << "\n";
    }
    for (const TextProblem& n : plan.notes) {
        out << NoteLine(n) << "\n";
    }
    out << Tr({"与文本响应的最大偏差：%1 dB，在 %2 Hz",
               "largest deviation from the text's response: %1 dB at %2 Hz"},
              {Fixed("%.2f", plan.maxDeviationDb),
               Fixed(plan.deviationHz < 101.0 ? "%.1f" : "%.0f", plan.deviationHz)})
        << "\n";
    return 0;
}

// The byte ranges an import writes, inside the ParamImage, for the sent check.
bool PlanIsSent(const EqImportPlan& plan, int scene) {
    const EqElements e = EqElementsOf(ParameterSet.program, plan.eqNumber, plan.scene);
    const uint8_t* base = reinterpret_cast<const uint8_t*>(&ParameterSet);
    const auto bits = SentBits(scene);
    auto sent = [&](const void* record, std::size_t n) {
        return record == nullptr ||
               RangeIsSent(
                   bits, static_cast<std::size_t>(reinterpret_cast<const uint8_t*>(record) - base),
                   n);
    };
    for (int b = 0; b < e.count; ++b) {
        if (!sent(e.Band(b), sizeof(EqBand))) {
            return false;
        }
    }
    return sent(e.hpf, sizeof(PassFilter)) && sent(e.lpf, sizeof(PassFilter));
}

bool PlanMatchesSent(const EqImportPlan& plan) {
    EqElements now = EqElementsOf(ParameterSet.program, plan.eqNumber, plan.scene);
    EqElements sent = EqElementsOf(SentImage.program, plan.eqNumber, plan.scene);
    for (int b = 0; b < now.count; ++b) {
        if (!AtomicEqual(now.Band(b), sent.Band(b), sizeof(EqBand))) {
            return false;
        }
    }
    return (now.hpf == nullptr || AtomicEqual(now.hpf, sent.hpf, sizeof(PassFilter))) &&
           (now.lpf == nullptr || AtomicEqual(now.lpf, sent.lpf, sizeof(PassFilter)));
}

int ImportToDevice(CQxctl& cli, const CCommandArgs& a, const EqTarget& t, const FilterText& text,
                   const std::string& path) {
    CDeviceSession s(cli, "eq-import", a);
    if (!s.Connect()) {
        return 1;
    }
    CCliAudit audit(s.PortName().toStdString());
    EqImportPlan plan;
    {
        ParamGuard guard(ParamLock);
        const int inForce = SceneInForce();
        if (t.eq >= kEqOutputFirst && t.eq <= kEqOutputLast && t.scene != 0 && t.scene != inForce) {
            return cli.Fail("eq-import",
                            Tr({"只有当前的输出场景 (%1) 逐个频段发送；请导入到程序文件再推送",
                                "only the output scene in force (%1) is sent band by band; "
                                "import into a program file and push it"},
                               {std::to_string(inForce)}),
                            2);
        }
        plan = CEqTextImport::Plan(text, ParameterSet.program, t.eq, inForce);
        if (!PlanIsSent(plan, inForce)) {
            return cli.Fail("eq-import",
                            Tr({"%1 不逐个频段发送；请导入到程序文件再推送",
                                "%1 is not sent band by band; import into a program file and "
                                "push it"},
                               {EqName(t.eq)}),
                            2);
        }
        if (const int r = Report(cli, path, plan); r != 0) {
            return r;
        }
        if (a.Has("--dry-run")) {
            cli.Out() << Tr({"试运行：处理器没有改变", "dry run: the processor was not changed"})
                      << "\n";
            return 0;
        }
        audit.Before();
        CEqTextImport::Apply(plan, ParameterSet.program);
    }
    const bool settled = s.Settle(kSettleMs);
    const AuditCause filterImport = AuditCause::FilterImport;
    audit.After(ChangeOrigin::FromFile(path), settled, &filterImport);
    if (!settled) {
        s.Failed(Tr({"处理器没有确认每个频段", "the processor did not acknowledge every band"}));
        return 1;
    }
    ParamGuard guard(ParamLock);
    if (!PlanMatchesSent(plan)) {
        return cli.Fail("eq-import", Tr({"并非每个频段都已发送", "not every band was sent"}));
    }
    return 0;
}

}  // namespace

int CEqTextCommands::Import(CQxctl& cli, const CCommandArgs& a) {
    EqTarget t;
    if (!ParseTarget(cli, "eq-import", a, 1, t)) {
        return 2;
    }
    const std::string path = a.Positional()[0];
    std::string content;
    std::string error;
    if (!ReadTextFile(path, content, error)) {
        return cli.Fail("eq-import", error);
    }
    const FilterText text = CFilterTextReader::Read(content);
    // A text that cannot be read is reported before any port or program file is touched.
    if (!text.problems.empty()) {
        EqImportPlan unread;
        unread.errors = text.problems;
        return Report(cli, path, unread);
    }
    if (text.filters.empty()) {
        return cli.Fail("eq-import", Tr({"%1 中没有滤波器；未做任何更改",
                                         "%1 holds no filters; nothing was changed"},
                                        {path}));
    }
    if (t.device) {
        return ImportToDevice(cli, a, t, text, path);
    }
    auto image = std::make_unique<ParamImage>();
    const FileResult r = CProgramFile::ReadProgram(t.file, *image);
    if (!r.ok) {
        return cli.Fail("eq-import", r.error);
    }
    const EqImportPlan plan =
        CEqTextImport::Plan(text, image->program, t.eq, SceneOf(image->program, t.scene));
    if (const int rc = Report(cli, path, plan); rc != 0) {
        return rc;
    }
    if (a.Has("--dry-run")) {
        cli.Out() << Tr({"试运行：%1 没有改变", "dry run: %1 was not changed"}, {t.file}) << "\n";
        return 0;
    }
    CEqTextImport::Apply(plan, image->program);
    const FileResult w = CProgramFile::WriteProgram(t.file, *image);
    return w.ok ? 0 : cli.Fail("eq-import", w.error);
}

int CEqTextCommands::Export(CQxctl& cli, const CCommandArgs& a) {
    EqTarget t;
    if (!ParseTarget(cli, "eq-export", a, 0, t)) {
        return 2;
    }
    std::string text;
    if (t.device) {
        CDeviceSession s(cli, "eq-export", a);
        if (!s.Connect()) {
            return 1;
        }
        ParamGuard guard(ParamLock);
        text = CEqTextWriter::Write(ParameterSet.program, t.eq,
                                    t.scene != 0 ? t.scene : SceneInForce());
    } else {
        auto image = std::make_unique<ParamImage>();
        const FileResult r = CProgramFile::ReadProgram(t.file, *image);
        if (!r.ok) {
            return cli.Fail("eq-export", r.error);
        }
        text = CEqTextWriter::Write(image->program, t.eq, SceneOf(image->program, t.scene));
    }
    if (!a.Has("-o")) {
        cli.Out() << text;
        return 0;
    }
    const FileResult w = CProgramFile::WriteBytes(a.Value("-o"), text.data(), text.size());
    return w.ok ? 0 : cli.Fail("eq-export", w.error);
}

}  // namespace qx
