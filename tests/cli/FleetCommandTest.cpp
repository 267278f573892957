// qxctl fleet against several virtual processors on pseudo-terminals, each room served by a
// qxctl of its own: backup, diff and rollout, with rooms that fail among them.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include <csignal>

#include <unistd.h>

#include "CliTestSupport.h"
#include "FleetCommand.h"
#include "FleetPool.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "TextPair.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

struct Room {
    std::unique_ptr<CVirtualProcessor> sim;
    std::unique_ptr<CPtyServer> server;
};

class FleetCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("QXCTL_PROGRAM", QXCTL_PROGRAM, 1);
        ::setenv("LANG", "C", 1);
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        dir = clitest::FreshTestFolder("qxctl-fleet-");
        ResetParameters();
    }
    void TearDown() override {
        CFleetPool::SimulateInterrupt(false);
        rooms.clear();
        fs::remove_all(dir);
    }

    // A room whose program differs from the others in its microphone level and name.
    Room& AddRoom(int micLevel, int storePermission = 1) {
        ResetParameters();
        ParamImage img;
        std::memcpy(&img, &ParameterSet, sizeof img);
        img.program.Mic1.level = static_cast<uint8_t>(micLevel);
        std::memcpy(img.program.name, "Room program        ", 20);
        SimOptions options;
        options.paceLine = false;  // bank transfers: the link suite covers the line's pace
        options.storePermission = storePermission;
        Room r;
        r.sim = std::make_unique<CVirtualProcessor>(img, options);
        r.server = std::make_unique<CPtyServer>(*r.sim);
        std::string error;
        EXPECT_TRUE(r.server->Start(&error)) << error;
        rooms.push_back(std::move(r));
        return rooms.back();
    }
    // The fleet file: rooms R1..Rn, then extra entries as given.
    std::string FleetFile(const std::string& extra = "") {
        std::string text = "{\"rooms\": [";
        for (std::size_t i = 0; i < rooms.size(); ++i) {
            text += (i == 0 ? "\n" : ",\n") + std::string("{\"name\": \"R") +
                    std::to_string(i + 1) + "\", \"port\": \"" + rooms[i].server->Path() +
                    "\", \"tags\": [\"" + (i % 2 == 0 ? "odd" : "even") + "\"]}";
        }
        text += extra + "\n]}\n";
        const std::string path = (dir / "fleet.json").string();
        std::ofstream(path) << text;
        return path;
    }
    int Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"fleet"};
        all.insert(all.end(), args.begin(), args.end());
        return clitest::RunQxctl(all, out, err);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    // A program file holding the room's program with the given name and level.
    std::string ProgramFile(const std::string& name, int micLevel, int mic2Level) {
        ParamImage img = rooms[0].sim->Image();
        std::memset(img.program.name, ' ', 20);
        std::memcpy(img.program.name, name.data(), name.size());
        img.program.Mic1.level = static_cast<uint8_t>(micLevel);
        img.program.Mic2.level = static_cast<uint8_t>(mic2Level);
        const std::string path = Path(name + ".dia");
        EXPECT_TRUE(CProgramFile::WriteProgram(path, img).ok);
        return path;
    }
    static bool Same(const ProgramImage& a, const ProgramImage& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }
    static std::string Name(const ProgramImage& p) {
        return std::string(reinterpret_cast<const char*>(p.name), 20);
    }

    std::vector<Room> rooms;
    fs::path dir;
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(FleetCommandTest, BackupEveryRoomAndReportTheOneThatFails) {
    AddRoom(10);
    AddRoom(20);
    AddRoom(30);
    // A fourth room whose server refuses: reported, and the others still backed up.
    const std::string fleet =
        FleetFile(",\n{\"name\": \"GONE\", \"port\": \"socket://127.0.0.1:1\"}");
    EXPECT_EQ(Run({"backup", fleet, Path("backup"), "--jobs", "2"}), 1) << err.str();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(Path("backup"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(entry.file_size(), sizeof(BankImage)) << name;
        EXPECT_EQ(name.rfind("R", 0), 0U) << name;
        EXPECT_EQ(name.size(), std::string("R1-20261209-203000.dat").size()) << name;
        auto bank = std::make_unique<BankImage>();
        ASSERT_TRUE(CProgramFile::ReadBank(entry.path().string(), *bank).ok);
        const int room = name[1] - '1';
        EXPECT_TRUE(
            Same(bank->programs[4], rooms[static_cast<std::size_t>(room)].sim->StoredProgram(5)))
            << name;
        ++files;
    }
    EXPECT_EQ(files, 3);
    const std::string text = out.str();
    EXPECT_NE(text.find("GONE: FAILED: socket://127.0.0.1:1: the server refused"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("4 rooms: 3 backed up, 1 failed (GONE)"), std::string::npos) << text;
    EXPECT_NE(text.find("[4/4]"), std::string::npos) << text;

    // Probe lists every room with its program and store permission.
    EXPECT_EQ(Run({"probe", fleet, "--tag", "even"}), 0) << err.str() << out.str();
    EXPECT_NE(out.str().find("R2 "), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("R1 "), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("online"), std::string::npos) << out.str();
}

TEST_F(FleetCommandTest, DiffListsPerRoomTheFieldsThatDifferFromTheReference) {
    AddRoom(10);
    AddRoom(20);
    const std::string fleet = FleetFile();
    // The reference is room R1 as qxctl pull reads it.
    const std::string reference = Path("reference.dia");
    {
        CQxctl cli(out, err);
        cli.SetLinkTiming(LinkTiming::Fast());
        ASSERT_EQ(cli.Run({"pull", reference, "--port", rooms[0].server->Path()}), 0) << err.str();
    }
    EXPECT_EQ(Run({"diff", fleet, reference}), 1) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(text.find("== R1"), std::string::npos) << text;
    EXPECT_NE(text.find("== R2"), std::string::npos) << text;
    EXPECT_NE(text.find("Mic1.level: "), std::string::npos) << text;
    EXPECT_NE(text.find("2 rooms: 1 same as the reference, 1 differ, 0 failed"), std::string::npos)
        << text;

    // Only the fields asked for; machines get JSON.
    EXPECT_EQ(Run({"diff", fleet, reference, "--fields", "Mic2*"}), 0) << out.str();
    EXPECT_EQ(Run({"diff", fleet, reference, "--json"}), 1);
    const std::string json = out.str();
    const std::size_t start = json.find("{\"reference\"");
    ASSERT_NE(start, std::string::npos) << json;
    const QJsonObject o =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.substr(start))).object();
    const QJsonArray list = o.value("rooms").toArray();
    ASSERT_EQ(list.size(), 2) << json;
    EXPECT_TRUE(list[0].toObject().value("differences").toArray().isEmpty());
    const QJsonArray second = list[1].toObject().value("differences").toArray();
    ASSERT_EQ(second.size(), 1) << json;
    EXPECT_EQ(second[0].toObject().value("field").toString(), QStringLiteral("Mic1.level"));

    EXPECT_EQ(Run({"diff", fleet, reference, "--fields", "Mci*"}), 2);
}

TEST_F(FleetCommandTest, RolloutKeepsEachRoomsOwnFieldsAndReadsEveryRoomBack) {
    AddRoom(10);
    AddRoom(20);
    AddRoom(30, /*storePermission=*/0);
    const std::string fleet = FleetFile();
    const std::string file = ProgramFile("Rolled", 25, 5);
    const ParamImage locked = rooms[2].sim->Image();

    // A dry run lists what would change and changes nothing.
    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--keep", "Mic1.level", "--dry-run"}), 0)
        << err.str() << out.str();
    EXPECT_NE(out.str().find("Mic2.level: "), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("3 rooms: 3 read (3 would change; nothing written), 0 not read"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("Mic1.level: "), std::string::npos) << out.str();
    EXPECT_NE(rooms[0].sim->Image().program.Mic2.level, 5);

    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--keep", "Mic1.level"}), 1)
        << err.str() << out.str();
    const std::string text = out.str();
    for (int i = 0; i < 2; ++i) {
        const ParamImage now = rooms[static_cast<std::size_t>(i)].sim->Image();
        EXPECT_EQ(Name(now.program).substr(0, 6), "Rolled") << i;
        EXPECT_EQ(now.program.Mic1.level, 10 * (i + 1)) << i;  // kept
        EXPECT_EQ(now.program.Mic2.level, 5) << i;
    }
    // The room that may not store is as it was, and the report says so.
    EXPECT_TRUE(Same(rooms[2].sim->Image().program, locked.program));
    EXPECT_NE(text.find("R3: FAILED, as it was"), std::string::npos) << text;
    EXPECT_NE(text.find("R1: new program"), std::string::npos) << text;
    EXPECT_NE(text.find("3 rooms: 2 succeeded (2 took the new program), 1 failed and are as they "
                        "were, 0 failed in an unknown state, 0 not started"),
              std::string::npos)
        << text;

    // Again: the rooms that have it already are not written.
    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--keep", "Mic1.level", "--tag", "odd",
                   "--jobs", "1"}),
              1);
    EXPECT_NE(out.str().find("R1: already holds the program"), std::string::npos) << out.str();
}

TEST_F(FleetCommandTest, RolloutIntoAStoredProgramChangesThatProgramOnly) {
    AddRoom(10);
    AddRoom(20);
    const std::string fleet = FleetFile();
    const std::string file = ProgramFile("Slot seven", 25, 5);
    const ProgramImage otherBefore = rooms[1].sim->StoredProgram(6);
    EXPECT_EQ(Run({"rollout", fleet, file, "--program", "7", "--keep", "Mic*.level"}), 0)
        << err.str() << out.str();
    for (std::size_t i = 0; i < 2; ++i) {
        const ProgramImage seven = rooms[i].sim->StoredProgram(7);
        EXPECT_EQ(Name(seven).substr(0, 10), "Slot seven") << i;
        EXPECT_NE(seven.Mic2.level, 5) << i;  // kept: the room's own stored level
    }
    EXPECT_TRUE(Same(rooms[1].sim->StoredProgram(6), otherBefore));
}

TEST_F(FleetCommandTest, CtrlCBeforeTheWritesLeavesEveryRoomAsItWas) {
    AddRoom(10);
    const std::string fleet = FleetFile();
    const std::string file = ProgramFile("Rolled", 25, 5);
    const ParamImage before = rooms[0].sim->Image();
    CFleetPool::SimulateInterrupt(true);
    EXPECT_EQ(Run({"rollout", fleet, file, "--current"}), 1);
    EXPECT_NE(out.str().find("1 not started"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("interrupted"), std::string::npos) << err.str();
    EXPECT_TRUE(Same(rooms[0].sim->Image().program, before.program));
}

TEST_F(FleetCommandTest, CtrlCDuringARolloutLetsTheRoomInHandFinishAndStartsNoOther) {
    AddRoom(10);
    AddRoom(20);
    const std::string fleet = FleetFile();
    const std::string file = ProgramFile("Rolled", 25, 5);
    const ParamImage second = rooms[1].sim->Image();
    // Outside the pool's run a stray SIGINT must not end the test program.
    struct sigaction ignore {};
    struct sigaction old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &old);
    std::thread ctrlC([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        ::kill(::getpid(), SIGINT);
    });
    const int code = Run({"rollout", fleet, file, "--current", "--jobs", "1"});
    ctrlC.join();
    sigaction(SIGINT, &old, nullptr);
    EXPECT_EQ(code, 1);
    const std::string text = out.str();
    // The first room ends whole: with the new program, or as it was, as the report says.
    const bool took = rooms[0].sim->Image().program.Mic2.level == 5;
    EXPECT_NE(text.find(took ? "R1: new program" : "R1: FAILED, as it was"), std::string::npos)
        << text;
    EXPECT_NE(text.find("1 not started"), std::string::npos) << text;
    EXPECT_TRUE(Same(rooms[1].sim->Image().program, second.program));
}

TEST_F(FleetCommandTest, RoomsThatGoSilentEndAsTheyWereAndTheReportSaysSo) {
    AddRoom(10);
    AddRoom(20);
    AddRoom(30);
    // R2 answers reads but never the program write; R3 answers nothing at all.
    SimOptions options = rooms[1].sim->Options();
    options.silentCommand = 0x84;
    rooms[1].sim->SetOptions(options);
    options = rooms[2].sim->Options();
    options.silent = true;
    rooms[2].sim->SetOptions(options);
    const ParamImage second = rooms[1].sim->Image();
    const ParamImage third = rooms[2].sim->Image();
    const std::string fleet = FleetFile();
    EXPECT_EQ(Run({"rollout", fleet, ProgramFile("Rolled", 25, 5), "--current"}), 1);
    const std::string text = out.str();
    EXPECT_NE(text.find("R1: new program"), std::string::npos) << text;
    EXPECT_NE(text.find("R2: FAILED, as it was: "), std::string::npos) << text;
    EXPECT_NE(text.find("R3: FAILED, as it was: could not be read: "), std::string::npos) << text;
    EXPECT_TRUE(Same(rooms[1].sim->Image().program, second.program));
    EXPECT_TRUE(Same(rooms[2].sim->Image().program, third.program));
    EXPECT_EQ(rooms[2].sim->CountRequests(0x84), 0);  // nothing written to a room not read
}

TEST_F(FleetCommandTest, BadUsageIsRefusedBeforeAnyRoomIsTouched) {
    AddRoom(10);
    const std::string fleet = FleetFile();
    const std::string file = ProgramFile("Rolled", 25, 5);
    EXPECT_EQ(Run({"rollout", fleet, file}), 2);
    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--program", "3"}), 2);
    EXPECT_EQ(Run({"rollout", fleet, file, "--program", "F2"}), 2);
    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--keep", "Nothing*"}), 2);
    EXPECT_EQ(Run({"rollout", fleet, file, "--current", "--tag", "none"}), 2);
    EXPECT_EQ(Run({"backup", fleet}), 2);
    EXPECT_EQ(Run({"teleport", fleet}), 2);
    std::ofstream(Path("dup.json")) << "{\"rooms\": [\n{\"name\": \"A\", \"port\": \"/dev/a\"},\n"
                                       "{\"name\": \"A\", \"port\": \"/dev/b\"}]}";
    EXPECT_EQ(Run({"probe", Path("dup.json")}), 2);
    EXPECT_NE(err.str().find("dup.json:3: duplicate room name A"), std::string::npos) << err.str();
    EXPECT_EQ(rooms[0].sim->CountRequests(0x7F), 0);
}
