// Many rooms at once: `qxctl fleet backup` of 1, 40 and (through ser2net) 8 virtual processors
// on pseudo-terminals, and a rollout of one program to 40 rooms with read-back. qxctl runs as
// the installer runs it, a program of its own at the processor's own timing, each processor
// pacing its replies like the 115200-baud line. The floor is one processor alone: the bytes
// and pauses its line needs; with one worker per line the fleet should stay near it (a ratio
// under 1.5). The memory of qxctl (the fleet process and its workers together) is sampled
// through the run.

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Ser2netBridge.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Room {
    std::unique_ptr<CVirtualProcessor> sim;
    std::unique_ptr<CPtyServer> server;
};

std::vector<Room> StartRooms(int n) {
    ResetParameters();
    ParamImage img;
    std::memcpy(&img, &ParameterSet, sizeof img);
    std::vector<Room> rooms(static_cast<std::size_t>(n));
    for (Room& r : rooms) {
        r.sim = std::make_unique<CVirtualProcessor>(img);
        r.server = std::make_unique<CPtyServer>(*r.sim);
        r.server->Start();
    }
    return rooms;
}

std::string WriteFleet(const std::string& path, const std::vector<std::string>& ports) {
    std::ofstream out(path);
    out << "{\"rooms\": [";
    for (std::size_t i = 0; i < ports.size(); ++i) {
        out << (i == 0 ? "\n" : ",\n") << "{\"name\": \"R" << (i + 1) << "\", \"port\": \""
            << ports[i] << "\"}";
    }
    out << "\n]}\n";
    return path;
}

long RssKb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (in >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            in >> kb;
            return kb;
        }
        in.ignore(1 << 16, '\n');
    }
    return 0;
}

// The resident memory of pid and its children together.
long TreeRssKb(pid_t pid) {
    long total = RssKb(pid);
    DIR* d = ::opendir("/proc");
    while (dirent* e = d != nullptr ? ::readdir(d) : nullptr) {
        const pid_t child = static_cast<pid_t>(std::atol(e->d_name));
        if (child <= 0) {
            continue;
        }
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string line;
        std::getline(stat, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == pid) {
            total += RssKb(child);
        }
    }
    if (d != nullptr) {
        ::closedir(d);
    }
    return total;
}

struct RunResult {
    double seconds = 0;
    int exitCode = -1;
    long peakFleetKb = 0;  // the fleet process alone
    long peakTotalKb = 0;  // with its workers
};

RunResult RunQxctl(const std::vector<std::string>& args) {
    RunResult r;
    // Everything the child needs is made before fork: the pty servers' threads may hold the
    // allocator's lock at that moment.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(QXCTL_PROGRAM));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    ::setenv("QXCTL_PROGRAM", QXCTL_PROGRAM, 1);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(QXCTL_PROGRAM, argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        r.peakFleetKb = std::max(r.peakFleetKb, RssKb(pid));
        r.peakTotalKb = std::max(r.peakTotalKb, TreeRssKb(pid));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return r;
}

fs::path Scratch(const std::string& name) {
    const fs::path dir =
        fs::temp_directory_path() / ("qx-bench-fleet-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

double oneRoomSeconds = 0;
double oneRolloutSeconds = 0;

void Backup(benchmark::State& state, int rooms, bool throughServer) {
    std::vector<Room> sims = StartRooms(rooms);
    const fs::path dir = Scratch("backup" + std::to_string(rooms));
    std::vector<std::string> ports;
    CSer2netBridge bridge;
    if (throughServer) {
        std::vector<CSer2netBridge::Line> lines;
        for (std::size_t i = 0; i < sims.size(); ++i) {
            lines.push_back({sims[i].server->Path(), i % 2 == 1});
        }
        std::string error;
        if (!bridge.Start(lines, dir.string(), error)) {
            state.SkipWithError(("ser2net: " + error).c_str());
            return;
        }
        for (const auto& l : bridge.Lines()) {
            ports.push_back(l.Address());
        }
    } else {
        for (const Room& r : sims) {
            ports.push_back(r.server->Path());
        }
    }
    const std::string fleet = WriteFleet((dir / "fleet.json").string(), ports);
    RunResult r;
    for (auto _ : state) {
        fs::remove_all(dir / "out");
        r = RunQxctl({"fleet", "backup", fleet, (dir / "out").string()});
        state.SetIterationTime(r.seconds);
        if (r.exitCode != 0) {
            state.SkipWithError("a room failed");
            break;
        }
    }
    if (rooms == 1 && !throughServer) {
        oneRoomSeconds = r.seconds;
    }
    state.counters["seconds"] = r.seconds;
    state.counters["floor_s"] = oneRoomSeconds;
    state.counters["ratio"] = oneRoomSeconds > 0 ? r.seconds / oneRoomSeconds : 0;
    state.counters["qxctl_fleet_MB"] = static_cast<double>(r.peakFleetKb) / 1024.0;
    state.counters["qxctl_all_MB"] = static_cast<double>(r.peakTotalKb) / 1024.0;
    fs::remove_all(dir);
}

void BM_FleetBackupOneRoom(benchmark::State& state) {
    Backup(state, 1, false);
}
void BM_FleetBackup40Rooms(benchmark::State& state) {
    Backup(state, 40, false);
}
void BM_FleetBackup8RoomsThroughSer2net(benchmark::State& state) {
    Backup(state, 8, true);
}

void Rollout(benchmark::State& state, int rooms) {
    std::vector<Room> sims = StartRooms(rooms);
    const fs::path dir = Scratch("rollout" + std::to_string(rooms));
    std::vector<std::string> ports;
    for (const Room& r : sims) {
        ports.push_back(r.server->Path());
    }
    const std::string fleet = WriteFleet((dir / "fleet.json").string(), ports);
    ParamImage img = sims[0].sim->Image();
    std::memcpy(img.program.name, "Rolled out          ", 20);
    img.program.Mic2.level = static_cast<uint8_t>(img.program.Mic2.level + 1);
    const std::string file = (dir / "program.dia").string();
    CProgramFile::WriteProgram(file, img);
    RunResult r;
    for (auto _ : state) {
        r = RunQxctl({"fleet", "rollout", fleet, file, "--current", "--keep", "Mic1.level"});
        state.SetIterationTime(r.seconds);
        if (r.exitCode != 0) {
            state.SkipWithError("a room failed");
            break;
        }
    }
    if (rooms == 1) {
        oneRolloutSeconds = r.seconds;
    }
    state.counters["seconds"] = r.seconds;
    state.counters["floor_s"] = oneRolloutSeconds;
    state.counters["ratio"] = oneRolloutSeconds > 0 ? r.seconds / oneRolloutSeconds : 0;
    state.counters["qxctl_all_MB"] = static_cast<double>(r.peakTotalKb) / 1024.0;
    fs::remove_all(dir);
}

void BM_FleetRolloutOneRoom(benchmark::State& state) {
    Rollout(state, 1);
}
void BM_FleetRollout40Rooms(benchmark::State& state) {
    Rollout(state, 40);
}

}  // namespace

// One iteration each: every run lasts seconds, set by the line, not by the machine.
BENCHMARK(BM_FleetBackupOneRoom)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FleetBackup40Rooms)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FleetBackup8RoomsThroughSer2net)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_FleetRolloutOneRoom)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FleetRollout40Rooms)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
