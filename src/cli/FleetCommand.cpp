#include "FleetCommand.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <map>
#include <memory>
#include <ostream>

#include "CommandArgs.h"
#include "FieldPattern.h"
#include "FleetPool.h"
#include "JsonImage.h"
#include "LinkTiming.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace qx {

namespace {

CFleetCommand::WriteHook writeHook;
bool interrupted = false;

const char* const kUsage =
    "Usage: qxctl fleet probe FLEET.json\n"
    "       qxctl fleet backup FLEET.json DIR\n"
    "       qxctl fleet diff FLEET.json REFERENCE.(dia|dat) [--fields PATTERN ...] [--json]\n"
    "       qxctl fleet rollout FLEET.json FILE (--program N | --current) [--keep PATTERN ...]\n"
    "                           [--dry-run]\n"
    "  every subcommand also takes:\n"
    "  --tag T     only the rooms tagged T\n"
    "  --jobs N    at most N rooms at a time (1..256, default 48); each room has its own line\n\n"
    "A fleet file lists the processors:\n"
    "  {\"rooms\": [{\"name\": \"A01\", \"port\": \"socket://dsp-a01.local:4001\", "
    "\"tags\": [\"small\"]}]}\n"
    "a port is a device path, socket://HOST:PORT or rfc2217://HOST:PORT.\n\n"
    "backup    reads every room's 21 programs and system block into DIR/<room>-<time>.dat\n"
    "diff      reads each room and lists the fields that differ from REFERENCE, as\n"
    "          'qxctl diff REFERENCE ROOM' would; --fields keeps only matching names\n"
    "rollout   writes FILE's program into each room: --current as the room's current program,\n"
    "          --program N into stored program N (1..16; from a .dat, its program N). Fields\n"
    "          that match a --keep pattern keep the room's own values (catalogue names with\n"
    "          wildcards: 'Mic*.level', 'Scene[*].*.mute'). Every room is read back after the\n"
    "          write; --dry-run prints what each room would change and writes nothing.\n"
    "          Ctrl+C starts no further write; each room ends as it was or with the new\n"
    "          program, and the report says which.\n"
    "Exit status: 0 every room succeeded (diff: and matched), 1 otherwise, 2 bad usage.\n";

std::string Pad(const std::string& s, std::size_t width) {
    return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

// One room's probe: a single `qxctl probe --json`.
class CProbeJob : public CFleetJob {
  public:
    using CFleetJob::CFleetJob;
    bool Next(std::vector<std::string>& args, bool isInterrupted) override {
        if (m_asked || isInterrupted) {
            return false;
        }
        m_asked = true;
        args = {"probe", "--json"};
        return true;
    }
    void Finished(int exitCode, const std::string& out, const std::string& reason) override {
        if (exitCode != 0) {
            state = reason;
            return;
        }
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
        ok = true;
        state = "online";
        program = o.value("label").toString().toStdString() + " " +
                  o.value("name").toString().toStdString();
        store = o.value("store").toBool() ? "yes" : "no";
    }
    bool ok = false;
    std::string state = "not reached (interrupted)";
    std::string program = "-";
    std::string store = "-";

  private:
    bool m_asked = false;
};

// One room's bank read into a file: `qxctl bank-pull FILE`.
class CReadJob : public CFleetJob {
  public:
    CReadJob(FleetRoom room, std::string path, bool bank)
        : CFleetJob(std::move(room)), path(std::move(path)), m_bank(bank) {}
    bool Next(std::vector<std::string>& args, bool isInterrupted) override {
        if (m_asked || isInterrupted) {
            return false;
        }
        m_asked = true;
        args = {m_bank ? "bank-pull" : "pull", path};
        return true;
    }
    void Finished(int exitCode, const std::string&, const std::string& why) override {
        ok = exitCode == 0;
        reason = why;
    }
    std::string path;
    bool ok = false;
    std::string reason = Tr({"被中断，没有读取", "interrupted before it was read"});

  private:
    bool m_bank;
    bool m_asked = false;
};

}  // namespace

void CFleetCommand::SetWriteHook(WriteHook hook) {
    writeHook = std::move(hook);
}

void CFleetCommand::NotifyWrite(const FleetRoom& room, const std::string& action,
                                const std::string& detail) {
    if (writeHook) {
        writeHook(room, action, detail);
    }
}

bool CFleetCommand::Interrupted() {
    return interrupted;
}

bool CFleetCommand::LoadRooms(CQxctl& cli, const std::string& command, const CCommandArgs& a,
                              std::vector<FleetRoom>& rooms) {
    std::string error;
    if (!CFleetFile::Load(a.Positional()[0], rooms, error)) {
        cli.Fail("fleet " + command, error, 2);
        return false;
    }
    if (a.Has("--tag")) {
        const std::string tag = a.Value("--tag");
        std::erase_if(rooms, [&tag](const FleetRoom& r) { return !r.HasTag(tag); });
        if (rooms.empty()) {
            cli.Fail("fleet " + command,
                     Tr({"没有带标签 %1 的房间", "no room is tagged %1"}, {tag}), 2);
            return false;
        }
    }
    return true;
}

void CFleetCommand::RunJobs(CQxctl& cli, const CCommandArgs& a, const std::vector<CFleetJob*>& jobs,
                            const std::function<std::string(CFleetJob&)>& line) {
    int workers = 48;
    if (a.Has("--jobs")) {
        CCommandArgs::ParseInt(a.Value("--jobs"), 1, 256, workers);
    }
    const bool fast = cli.Timing().turnPauseMs != LinkTiming::Real().turnPauseMs;
    CFleetPool pool(workers, CFleetPool::DefaultProgram(), fast);
    int finished = 0;
    const int total = static_cast<int>(jobs.size());
    pool.Run(jobs, [&](CFleetJob& job) {
        ++finished;
        cli.Out() << "[" << std::setw(static_cast<int>(std::to_string(total).size())) << finished
                  << "/" << total << "] " << job.Room().name << ": " << line(job) << " ("
                  << std::fixed << std::setprecision(1) << job.Seconds() << " s)\n"
                  << std::flush;
    });
    interrupted = pool.Interrupted();
    if (interrupted) {
        cli.Err() << "qxctl: fleet: "
                  << Tr({"已中断：没有开始新的房间", "interrupted: no further room was started"})
                  << "\n";
    }
}

int CFleetCommand::Run(CQxctl& cli, const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        cli.Out() << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string sub = args[0];
    std::vector<std::string> values = {"--tag", "--jobs"};
    std::vector<std::string> flags;
    std::size_t positional = 1;
    if (sub == "backup") {
        positional = 2;
    } else if (sub == "diff") {
        positional = 2;
        values.push_back("--fields");
        flags.push_back("--json");
    } else if (sub == "rollout") {
        positional = 2;
        values.insert(values.end(), {"--program", "--keep"});
        flags.insert(flags.end(), {"--current", "--dry-run"});
    } else if (sub != "probe") {
        return cli.Fail("fleet",
                        Tr({"未知的子命令“%1”（见 qxctl fleet --help）",
                            "unknown subcommand '%1' (see qxctl fleet --help)"},
                           {sub}),
                        2);
    }
    CCommandArgs a;
    std::string error;
    if (!a.Parse(std::vector<std::string>(args.begin() + 1, args.end()), values, flags, error)) {
        return cli.Fail("fleet " + sub, error + " (see qxctl fleet --help)", 2);
    }
    if (a.Has("--help")) {
        cli.Out() << kUsage;
        return 0;
    }
    int jobs = 0;
    if (a.Has("--jobs") && !CCommandArgs::ParseInt(a.Value("--jobs"), 1, 256, jobs)) {
        return cli.Fail("fleet " + sub, Tr({"--jobs 应为 1..256", "--jobs takes 1..256"}), 2);
    }
    if (a.Positional().size() != positional) {
        return cli.Fail("fleet " + sub,
                        Tr({"参数个数不对（见 qxctl fleet --help）",
                            "wrong number of arguments (see qxctl fleet --help)"}),
                        2);
    }
    if (sub == "probe") {
        return Probe(cli, a);
    }
    if (sub == "backup") {
        return Backup(cli, a);
    }
    if (sub == "diff") {
        return Diff(cli, a);
    }
    return FleetRollout(cli, a);
}

int CFleetCommand::Probe(CQxctl& cli, const CCommandArgs& a) {
    std::vector<FleetRoom> rooms;
    if (!LoadRooms(cli, "probe", a, rooms)) {
        return 2;
    }
    std::vector<std::unique_ptr<CProbeJob>> owned;
    std::vector<CFleetJob*> jobs;
    for (const FleetRoom& r : rooms) {
        owned.push_back(std::make_unique<CProbeJob>(r));
        jobs.push_back(owned.back().get());
    }
    RunJobs(cli, a, jobs, [](CFleetJob& j) { return static_cast<CProbeJob&>(j).state; });
    std::size_t nameWidth = 4;
    std::size_t portWidth = 7;
    for (const FleetRoom& r : rooms) {
        nameWidth = std::max(nameWidth, r.name.size());
        portWidth = std::max(portWidth, r.port.size());
    }
    cli.Out() << "\n"
              << Pad("ROOM", nameWidth + 1) << Pad("ADDRESS", portWidth + 1) << Pad("STORE", 6)
              << Pad("PROGRAM", 28) << "STATE\n";
    int failed = 0;
    for (const auto& job : owned) {
        cli.Out() << Pad(job->Room().name, nameWidth + 1) << Pad(job->Room().port, portWidth + 1)
                  << Pad(job->store, 6) << Pad(job->program, 28) << job->state << "\n";
        failed += job->ok ? 0 : 1;
    }
    cli.Out() << Tr({"%1 个房间：%2 个在线，%3 个不在线", "%1 rooms: %2 online, %3 not"},
                    {std::to_string(rooms.size()), std::to_string(rooms.size() - failed),
                     std::to_string(failed)})
              << "\n";
    return failed == 0 && !interrupted ? 0 : 1;
}

int CFleetCommand::Backup(CQxctl& cli, const CCommandArgs& a) {
    std::vector<FleetRoom> rooms;
    if (!LoadRooms(cli, "backup", a, rooms)) {
        return 2;
    }
    const std::string dir = a.Positional()[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec)) {
        return cli.Fail("fleet backup", Tr({"%1 不是文件夹", "%1 is not a folder"}, {dir}) +
                                            (ec ? " (" + ec.message() + ")" : std::string()));
    }
    // One time for the whole run, so the files of one backup sort together.
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    std::vector<std::unique_ptr<CReadJob>> owned;
    std::vector<CFleetJob*> jobs;
    for (const FleetRoom& r : rooms) {
        const std::string path =
            (std::filesystem::path(dir) / (r.name + "-" + stamp + ".dat")).string();
        owned.push_back(std::make_unique<CReadJob>(r, path, true));
        jobs.push_back(owned.back().get());
    }
    RunJobs(cli, a, jobs, [](CFleetJob& j) {
        auto& job = static_cast<CReadJob&>(j);
        return job.ok ? Tr({"已备份到 %1", "backed up to %1"}, {job.path})
                      : Tr({"失败：%1", "FAILED: %1"}, {job.reason});
    });
    int failed = 0;
    std::string names;
    for (const auto& job : owned) {
        if (!job->ok) {
            ++failed;
            names += (names.empty() ? "" : ", ") + job->Room().name;
        }
    }
    cli.Out() << Tr({"%1 个房间：%2 个已备份，%3 个失败", "%1 rooms: %2 backed up, %3 failed"},
                    {std::to_string(rooms.size()), std::to_string(rooms.size() - failed),
                     std::to_string(failed)})
              << (failed > 0 ? " (" + names + ")" : std::string()) << "\n";
    return failed == 0 ? 0 : 1;
}

int CFleetCommand::Diff(CQxctl& cli, const CCommandArgs& a) {
    std::vector<FleetRoom> rooms;
    if (!LoadRooms(cli, "diff", a, rooms)) {
        return 2;
    }
    auto reference = std::make_unique<CQxctl::LoadedFile>();
    std::string error;
    if (!CQxctl::LoadAnyFile(a.Positional()[1], *reference, error)) {
        return cli.Fail("fleet diff", error, 2);
    }
    const std::vector<std::string> patterns = a.Values("--fields");
    for (const std::string& p : patterns) {
        if (!CFieldPattern::MatchesSomeField(p) && p.find("Program[") == std::string::npos) {
            return cli.Fail("fleet diff",
                            Tr({"--fields %1 不匹配任何字段", "--fields %1 matches no field"}, {p}),
                            2);
        }
    }
    QTemporaryDir temp;
    std::vector<std::unique_ptr<CReadJob>> owned;
    std::vector<CFleetJob*> jobs;
    for (const FleetRoom& r : rooms) {
        const std::string path = temp.filePath(QString::fromStdString(r.name)).toStdString() +
                                 (reference->isBank ? ".dat" : ".dia");
        owned.push_back(std::make_unique<CReadJob>(r, path, reference->isBank));
        jobs.push_back(owned.back().get());
    }
    struct RoomResult {
        bool ok = false;
        std::string reason;
        std::vector<CQxctl::DiffLine> differences;
    };
    std::map<const CFleetJob*, RoomResult> results;
    const bool json = a.Has("--json");
    RunJobs(cli, a, jobs, [&](CFleetJob& j) {
        auto& job = static_cast<CReadJob&>(j);
        RoomResult& result = results[&j];
        auto room = std::make_unique<CQxctl::LoadedFile>();
        std::string why;
        if (!job.ok) {
            result.reason = job.reason;
        } else if (!CQxctl::LoadAnyFile(job.path, *room, why)) {
            result.reason = why;
        } else {
            result.ok = true;
            for (auto& d : CQxctl::Differences(*reference, *room)) {
                if (patterns.empty() || CFieldPattern::MatchesAny(patterns, d.name)) {
                    result.differences.push_back(std::move(d));
                }
            }
        }
        std::error_code ec;
        std::filesystem::remove(job.path, ec);
        return !result.ok                   ? Tr({"失败：%1", "FAILED: %1"}, {result.reason})
               : result.differences.empty() ? Tr({"与参考相同", "same as the reference"})
                                            : Tr({"%1 个字段不同", "%1 fields differ"},
                                                 {std::to_string(result.differences.size())});
    });
    int differing = 0;
    int failed = 0;
    if (json) {
        cli.Out() << "{\"reference\": " << CJsonImage::Quote(a.Positional()[1]) << ", \"rooms\": [";
    }
    bool first = true;
    for (const auto& job : owned) {
        const RoomResult& r = results[job.get()];
        failed += r.ok ? 0 : 1;
        differing += r.ok && !r.differences.empty() ? 1 : 0;
        if (json) {
            cli.Out() << (first ? "\n  " : ",\n  ")
                      << "{\"room\": " << CJsonImage::Quote(job->Room().name)
                      << ", \"port\": " << CJsonImage::Quote(job->Room().port)
                      << ", \"ok\": " << (r.ok ? "true" : "false");
            if (!r.ok) {
                cli.Out() << ", \"error\": " << CJsonImage::Quote(r.reason);
            }
            cli.Out() << ", \"differences\": [";
            for (std::size_t i = 0; i < r.differences.size(); ++i) {
                cli.Out() << (i == 0 ? "" : ", ")
                          << "{\"field\": " << CJsonImage::Quote(r.differences[i].name)
                          << ", \"reference\": " << CJsonImage::Quote(r.differences[i].from)
                          << ", \"room\": " << CJsonImage::Quote(r.differences[i].to) << "}";
            }
            cli.Out() << "]}";
            first = false;
            continue;
        }
        if (!r.ok || r.differences.empty()) {
            continue;
        }
        cli.Out() << "\n== " << job->Room().name << " (" << job->Room().port << ")\n";
        for (const auto& d : r.differences) {
            cli.Out() << d.name << ": " << d.from << " -> " << d.to << "\n";
        }
    }
    if (json) {
        cli.Out() << "\n]}\n";
    } else {
        cli.Out() << "\n"
                  << Tr({"%1 个房间：%2 个与参考相同，%3 个不同，%4 个失败",
                         "%1 rooms: %2 same as the reference, %3 differ, %4 failed"},
                        {std::to_string(rooms.size()),
                         std::to_string(rooms.size() - differing - failed),
                         std::to_string(differing), std::to_string(failed)})
                  << "\n";
    }
    return differing == 0 && failed == 0 ? 0 : 1;
}

}  // namespace qx
