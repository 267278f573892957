// qxctl fleet rollout: one program into many rooms, each room's kept fields left as they were.
// Per room: read it (the "before"), make the room's program from the file's and the kept
// fields, write it, and read it back. The program goes out as one frame (the current program)
// or as the room's whole bank with only one program changed, so a room that stops answering
// holds, program by program, either what it had or what was sent; the read-back says which.

#include <QTemporaryDir>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>

#include "CommandArgs.h"
#include "DeviceModes.h"
#include "FieldPattern.h"
#include "FleetCommand.h"
#include "FleetPool.h"
#include "ParamCatalogue.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace qx {

namespace {

// Copies the fields that match keep from one image into another (program fields only: the
// system block is never sent by a rollout).
void KeepFields(const std::vector<std::string>& keep, const ParamImage& from, ParamImage& into) {
    const uint8_t* source = CParamCatalogue::Bytes(from);
    uint8_t* target = CParamCatalogue::Bytes(into);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (f.IsSystem() || !CFieldPattern::MatchesAny(keep, f.name)) {
            continue;
        }
        const uint8_t mask = f.mask == 0 ? 0xFF : f.mask;
        for (int i = 0; i < f.width; ++i) {
            const auto at = static_cast<std::size_t>(f.offset + i);
            target[at] = static_cast<uint8_t>((target[at] & ~mask) | (source[at] & mask));
        }
    }
}

// The program-field differences between two loaded files (for a bank, of one program only).
std::vector<CQxctl::DiffLine> ProgramDifferences(const CQxctl::LoadedFile& a,
                                                 const CQxctl::LoadedFile& b, int slot) {
    std::vector<CQxctl::DiffLine> out;
    const std::string prefix =
        slot > 0 ? "Program[" + CDeviceModes::ProgramLabel(slot) + "]." : std::string();
    for (auto& d : CQxctl::Differences(a, b)) {
        // The program's check byte is made afresh by every write: it tells nothing here.
        if (d.name.size() >= 8 && d.name.compare(d.name.size() - 8, 8, "imageSum") == 0) {
            continue;
        }
        if (slot > 0 ? d.name.rfind(prefix, 0) == 0 : !CParamCatalogue::Find(d.name)->IsSystem()) {
            out.push_back(std::move(d));
        }
    }
    return out;
}

struct Plan {
    std::vector<std::string> keep;
    ProgramImage program{};  // what the file gives
    int slot = 0;            // 0: the current program; else the stored program 1..16
    bool dryRun = false;
    QString dir;
};

class CRolloutJob : public CFleetJob {
  public:
    enum class Outcome { NotStarted, Unchanged, NewProgram, AsItWas, Unknown, DryRun };

    CRolloutJob(FleetRoom room, const Plan& plan) : CFleetJob(std::move(room)), m_plan(plan) {
        const std::string base = m_plan.dir.toStdString() + "/" + Room().name;
        const char* ext = plan.slot > 0 ? ".dat" : ".dia";
        m_before = base + "-before" + ext;
        m_new = base + "-new" + ext;
        m_after = base + "-after" + ext;
    }

    bool Next(std::vector<std::string>& args, bool isInterrupted) override {
        const char* read = m_plan.slot > 0 ? "bank-pull" : "pull";
        switch (m_stage) {
            case 0:
                if (isInterrupted) {
                    return false;
                }
                m_stage = 1;
                args = {read, m_before};
                return true;
            case 1:
                // The write is the one step Ctrl+C may still prevent; once it has gone out,
                // the room is always read back.
                if (m_writeDue && !isInterrupted) {
                    m_stage = 2;
                    args = {m_plan.slot > 0 ? "bank-push" : "push", m_new};
                    CFleetCommand::NotifyWrite(
                        Room(), "rollout",
                        (m_plan.slot > 0 ? "program " + CDeviceModes::ProgramLabel(m_plan.slot)
                                         : std::string("current program")) +
                            ", " + std::to_string(changes.size()) + " fields");
                    return true;
                }
                if (m_writeDue) {
                    outcome = Outcome::AsItWas;
                    reason = Tr({"被中断，没有写入", "interrupted before the write"});
                }
                return false;
            case 2:
                m_stage = 3;
                args = {read, m_after};
                return true;
            default:
                return false;
        }
    }

    void Finished(int exitCode, const std::string&, const std::string& why) override {
        if (m_stage == 1) {
            if (exitCode != 0) {
                outcome = Outcome::AsItWas;
                reason = Tr({"无法读取：%1", "could not be read: %1"}, {why});
                return;
            }
            Prepare();
        } else if (m_stage == 2) {
            m_writeFailure = exitCode != 0 ? why : std::string();
        } else if (m_stage == 3) {
            Judge(exitCode, why);
        }
    }

    Outcome outcome = Outcome::NotStarted;
    std::string reason;
    std::vector<CQxctl::DiffLine> changes;

  private:
    void Prepare() {
        auto before = std::make_unique<CQxctl::LoadedFile>();
        std::string error;
        if (!CQxctl::LoadAnyFile(m_before, *before, error)) {
            outcome = Outcome::AsItWas;
            reason = error;
            return;
        }
        auto made = std::make_unique<CQxctl::LoadedFile>(*before);
        // The room's own program and the file's program as whole images, so the catalogue's
        // offsets apply to both.
        auto own = std::make_unique<ParamImage>();
        auto next = std::make_unique<ParamImage>();
        const ProgramImage& current =
            m_plan.slot > 0 ? before->bank.programs[m_plan.slot - 1] : before->program.program;
        std::memcpy(&own->program, &current, sizeof(ProgramImage));
        std::memcpy(&next->program, &m_plan.program, sizeof(ProgramImage));
        KeepFields(m_plan.keep, *own, *next);
        if (m_plan.slot > 0) {
            std::memcpy(&made->bank.programs[m_plan.slot - 1], &next->program,
                        sizeof(ProgramImage));
        } else {
            std::memcpy(&made->program.program, &next->program, sizeof(ProgramImage));
        }
        changes = ProgramDifferences(*before, *made, m_plan.slot);
        if (m_plan.dryRun) {
            outcome = Outcome::DryRun;
            return;
        }
        if (changes.empty()) {
            outcome = Outcome::Unchanged;
            return;
        }
        const FileResult w = m_plan.slot > 0 ? CProgramFile::WriteBank(m_new, made->bank)
                                             : CProgramFile::WriteProgram(m_new, made->program);
        if (!w.ok) {
            outcome = Outcome::AsItWas;
            reason = w.error;
            return;
        }
        m_made = std::move(made);
        m_beforeFile = std::move(before);
        m_writeDue = true;
    }

    void Judge(int exitCode, const std::string& why) {
        auto after = std::make_unique<CQxctl::LoadedFile>();
        std::string error;
        if (exitCode != 0 || !CQxctl::LoadAnyFile(m_after, *after, error)) {
            outcome = Outcome::Unknown;
            reason = Tr(
                {"无法回读（%1）%2", "could not be read back (%1)%2"},
                {exitCode != 0 ? why : error, m_writeFailure.empty() ? "" : "; " + m_writeFailure});
            return;
        }
        const auto missing = ProgramDifferences(*m_made, *after, m_plan.slot);
        if (missing.empty()) {
            outcome = Outcome::NewProgram;
            return;
        }
        if (ProgramDifferences(*m_beforeFile, *after, m_plan.slot).empty()) {
            outcome = Outcome::AsItWas;
            reason =
                m_writeFailure.empty()
                    ? Tr({"处理器没有保留发送的程序", "the processor did not keep the program"})
                    : m_writeFailure;
            return;
        }
        outcome = Outcome::Unknown;
        reason = Tr({"回读时有 %1 个字段与发送的不同，例如 %2",
                     "%1 fields read back differ from what was sent, e.g. %2"},
                    {std::to_string(missing.size()), missing.front().name});
    }

    const Plan& m_plan;
    int m_stage = 0;
    bool m_writeDue = false;
    std::string m_writeFailure;
    std::string m_before;
    std::string m_new;
    std::string m_after;
    std::unique_ptr<CQxctl::LoadedFile> m_made;
    std::unique_ptr<CQxctl::LoadedFile> m_beforeFile;
};

std::string OutcomeText(const CRolloutJob& job) {
    using O = CRolloutJob::Outcome;
    switch (job.outcome) {
        case O::NotStarted:
            return Tr({"原样（被中断，没有开始）", "as it was (interrupted before it started)"});
        case O::Unchanged:
            return Tr({"已有此程序，没有写入", "already holds the program; nothing written"});
        case O::NewProgram:
            return Tr({"新程序（%1 个字段，已回读确认）", "new program (%1 fields, read back)"},
                      {std::to_string(job.changes.size())});
        case O::AsItWas:
            return Tr({"失败，原样：%1", "FAILED, as it was: %1"}, {job.reason});
        case O::DryRun:
            return Tr({"将改变 %1 个字段", "would change %1 fields"},
                      {std::to_string(job.changes.size())});
        case O::Unknown:
        default:
            return Tr({"失败，状态不明：%1", "FAILED, state unknown: %1"}, {job.reason});
    }
}

}  // namespace

int FleetRollout(CQxctl& cli, const CCommandArgs& a) {
    const std::string command = "fleet rollout";
    if (a.Has("--program") == a.Has("--current")) {
        return cli.Fail(command,
                        Tr({"需要 --program N 或 --current 之一",
                            "one of --program N and --current is needed"}),
                        2);
    }
    auto plan = std::make_unique<Plan>();
    if (a.Has("--program")) {
        plan->slot = CDeviceModes::ParseProgramLabel(a.Value("--program"));
        if (plan->slot < 1 || plan->slot > kStorablePrograms) {
            return cli.Fail(command, Tr({"--program 应为 1..16", "--program takes 1..16"}), 2);
        }
    }
    plan->keep = a.Values("--keep");
    for (const std::string& p : plan->keep) {
        if (!CFieldPattern::MatchesSomeField(p)) {
            return cli.Fail(command,
                            Tr({"--keep %1 不匹配任何字段", "--keep %1 matches no field"}, {p}), 2);
        }
    }
    plan->dryRun = a.Has("--dry-run");
    std::vector<FleetRoom> rooms;
    if (!CFleetCommand::LoadRooms(cli, "rollout", a, rooms)) {
        return 2;
    }
    auto file = std::make_unique<CQxctl::LoadedFile>();
    std::string error;
    if (!CQxctl::LoadAnyFile(a.Positional()[1], *file, error)) {
        return cli.Fail(command, error, 2);
    }
    // What push would refuse in every room is refused once, before any room is read.
    if (CQxctl::OutOfRangeFields(*file, true) > 0) {
        return cli.Fail(command,
                        Tr({"%1：有字段超出范围（qxctl show %1 会标出）",
                            "%1: fields are out of range (qxctl show %1 marks them)"},
                           {a.Positional()[1]}),
                        2);
    }
    if (file->isBank) {
        const int n =
            plan->slot > 0
                ? plan->slot
                : CDeviceModes::BankProgramFor(file->bank.BankSystemBlock.block.currentProgram);
        plan->program = file->bank.programs[n - 1];
    } else {
        plan->program = file->program.program;
    }
    QTemporaryDir temp;
    if (!temp.isValid()) {
        return cli.Fail(command, temp.errorString().toStdString());
    }
    plan->dir = temp.path();
    std::vector<std::unique_ptr<CRolloutJob>> owned;
    std::vector<CFleetJob*> jobs;
    for (const FleetRoom& r : rooms) {
        owned.push_back(std::make_unique<CRolloutJob>(r, *plan));
        jobs.push_back(owned.back().get());
    }
    CFleetCommand::RunJobs(cli, a, jobs,
                           [](CFleetJob& j) { return OutcomeText(static_cast<CRolloutJob&>(j)); });
    std::map<CRolloutJob::Outcome, int> counts;
    for (const auto& job : owned) {
        ++counts[job->outcome];
        if (plan->dryRun && !job->changes.empty()) {
            cli.Out() << "\n== " << job->Room().name << " (" << job->Room().port << ")\n";
            for (const auto& d : job->changes) {
                cli.Out() << d.name << ": " << d.from << " -> " << d.to << "\n";
            }
        }
    }
    using O = CRolloutJob::Outcome;
    const int good = counts[O::NewProgram] + counts[O::Unchanged] + counts[O::DryRun];
    cli.Out() << "\n";
    if (plan->dryRun) {
        int changing = 0;
        for (const auto& job : owned) {
            changing += job->outcome == O::DryRun && !job->changes.empty() ? 1 : 0;
        }
        cli.Out() << Tr({"%1 个房间：%2 个已读取（%3 个将改变，没有写入），%4 个无法读取",
                         "%1 rooms: %2 read (%3 would change; nothing written), %4 not read"},
                        {std::to_string(rooms.size()), std::to_string(good),
                         std::to_string(changing), std::to_string(rooms.size() - good)})
                  << "\n";
        return good == static_cast<int>(rooms.size()) ? 0 : 1;
    }
    cli.Out() << Tr({"%1 个房间：%2 个成功（%3 个写入新程序），%4 个失败后原样，%5 个状态不明，"
                     "%6 个未开始",
                     "%1 rooms: %2 succeeded (%3 took the new program), %4 failed and are as "
                     "they were, %5 failed in an unknown state, %6 not started"},
                    {std::to_string(rooms.size()), std::to_string(good),
                     std::to_string(counts[O::NewProgram]), std::to_string(counts[O::AsItWas]),
                     std::to_string(counts[O::Unknown]), std::to_string(counts[O::NotStarted])})
              << "\n";
    return good == static_cast<int>(rooms.size()) ? 0 : 1;
}

}  // namespace qx
