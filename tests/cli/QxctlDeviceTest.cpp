// qxctl's device commands against the virtual processor over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include <unistd.h>

#include "CliTestSupport.h"
#include "LinkState.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

ParamImage StartImage() {
    ResetParameters();
    ParamImage img;
    std::memcpy(&img, &ParameterSet, sizeof img);
    std::memcpy(img.system.block.systemPassword, "246810", 6);
    std::memcpy(img.program.name, "Device program      ", 20);
    return img;
}

class QxctlDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = clitest::FreshTestFolder("qxctl-dev-");
        sim = std::make_unique<CVirtualProcessor>(StartImage());
        server = std::make_unique<CPtyServer>(*sim);
        std::string error;
        ASSERT_TRUE(server->Start(&error)) << error;
        ResetParameters();
    }
    void TearDown() override {
        server.reset();
        sim.reset();
        online = false;
        linkChannel = 0;
        deviceBusy = false;
        storePermission = 0;
        fs::remove_all(dir);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    int Run(std::vector<std::string> args) {
        args.push_back("--port");
        args.push_back(server->Path());
        return clitest::RunQxctl(args, out, err, timing);
    }
    // Bank transfers move 21 images each way: the processor answers without pacing its
    // replies like the real line (the link suite covers that pace).
    void UnpacedLine() {
        SimOptions options = sim->Options();
        options.paceLine = false;
        sim->SetOptions(options);
    }
    static std::vector<uint8_t> Bytes(const std::string& path) { return clitest::ReadBytes(path); }
    // The processor's image as a program file holds it.
    std::vector<uint8_t> ProcessorFile() {
        const ParamImage img = sim->Image();
        EXPECT_TRUE(CProgramFile::WriteProgram(Path("processor.dia"), img).ok);
        return Bytes(Path("processor.dia"));
    }

    // The commands' link runs at the fast test timing; one test keeps the real one.
    LinkTiming timing = LinkTiming::Fast();
    fs::path dir;
    std::unique_ptr<CVirtualProcessor> sim;
    std::unique_ptr<CPtyServer> server;
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(QxctlDeviceTest, ProbePullAndPushLeaveProcessorAndFileEqual) {
    ASSERT_EQ(Run({"probe"}), 0) << err.str();
    const std::string name = CParamCatalogue::Display(CParamCatalogue::Bytes(sim->Image()),
                                                      *CParamCatalogue::Find("name"));
    EXPECT_NE(out.str().find(name), std::string::npos) << out.str() << name;
    EXPECT_NE(out.str().find("store allowed"), std::string::npos) << out.str();

    ASSERT_EQ(Run({"pull", Path("pulled")}), 0) << err.str();
    EXPECT_EQ(Bytes(Path("pulled.dia")), ProcessorFile());

    // Push a changed program: the processor takes the program and keeps its system block.
    const std::string edited = Path("edited.dia");
    {
        CQxctl cli(out, err);
        ASSERT_EQ(cli.Run({"to-json", Path("pulled.dia"), "-o", Path("p.json")}), 0);
        ASSERT_EQ(cli.Run({"from-json", Path("p.json"), edited}), 0);
        ASSERT_EQ(cli.Run({"set", "--file", edited, "Mic1.level=5dB", "name=Pushed",
                           "System.musicMax=10"}),
                  0)
            << err.str();
    }
    const SystemImage systemBefore = sim->Image().system;
    ASSERT_EQ(Run({"push", edited}), 0) << err.str();
    const ParamImage after = sim->Image();
    EXPECT_EQ(after.program.Mic1.level, 30);
    EXPECT_EQ(
        CParamCatalogue::Display(CParamCatalogue::Bytes(after), *CParamCatalogue::Find("name")),
        "\"Pushed\"");
    EXPECT_EQ(std::memcmp(&after.system, &systemBefore, sizeof systemBefore), 0);

    ASSERT_EQ(Run({"pull", Path("again.dia")}), 0) << err.str();
    EXPECT_EQ(Bytes(Path("again.dia")), ProcessorFile());

    // Files that cannot be pushed are refused before the processor is even probed.
    const int probes = sim->CountRequests(0x7F);
    EXPECT_EQ(Run({"push", Path("missing.dia")}), 1);
    EXPECT_EQ(Run({"bank-push", Path("processor.dia")}), 2);
    EXPECT_EQ(Run({"bank-push", Path("processor.dia.dat")}), 1);
    EXPECT_EQ(sim->CountRequests(0x7F), probes);
}

TEST_F(QxctlDeviceTest, SetChangesExactlyTheNamedFields) {
    const ParamImage before = sim->Image();
    ASSERT_EQ(Run({"set", "MusicLeft.bands[3].gainCode=-3dB", "System.musicMax=80",
                   "Scene[1].SUB.delay=12.5ms"}),
              0)
        << err.str();
    const ParamImage after = sim->Image();
    const uint8_t* a = CParamCatalogue::Bytes(before);
    const uint8_t* b = CParamCatalogue::Bytes(after);
    std::vector<std::string> changed;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (CParamCatalogue::RawText(a, f) != CParamCatalogue::RawText(b, f)) {
            changed.push_back(f.name + "=" + CParamCatalogue::Display(b, f));
        }
    }
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed,
              (std::vector<std::string>{"MusicLeft.bands[3].gainCode=-3.0dB",
                                        "Scene[1].SUB.delay=12.5ms", "System.musicMax=80"}));

    // Fields that are never sent one by one, bad values and unknown names change nothing.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"Scene[2].SUB.delay=1ms"},
                                                {"ReverbShadow.wetLevel=5%"},
                                                {"Mic1.level=99dB"},
                                                {"Nothing=1"}}) {
        EXPECT_EQ(Run(bad), 2) << bad[0];
        const std::string e = err.str();
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    }
    const ParamImage last = sim->Image();
    EXPECT_EQ(std::memcmp(&last, &after, sizeof last), 0);
}

TEST_F(QxctlDeviceTest, RecallAndStoreWithAndWithoutPermission) {
    sim->Modify([](ParamImage&, BankImage& bank) {
        std::memcpy(bank.programs[18].name, "Stored F3           ", 20);
        bank.programs[18].Mic2.level = 7;
    });
    ASSERT_EQ(Run({"recall", "F3"}), 0) << err.str();
    EXPECT_NE(out.str().find("F3 \"Stored F3\""), std::string::npos) << out.str();
    EXPECT_EQ(sim->Image().program.Mic2.level, 7);

    ASSERT_EQ(Run({"store", "4", "--name", "Evening"}), 0) << err.str();
    const ProgramImage stored = sim->StoredProgram(4);
    EXPECT_EQ(std::memcmp(stored.name, "Evening             ", 20), 0);
    // A store re-sends the system password unchanged, whatever the scratch held.
    EXPECT_EQ(std::memcmp(sim->Image().system.block.systemPassword, "246810", 6), 0);

    EXPECT_EQ(Run({"store", "F1", "--name", "x"}), 2);
    EXPECT_EQ(err.str(), "qxctl: store: expected one program number: 1..16\n");
    EXPECT_EQ(Run({"store", "4", "--name", "Caf\xc3\xa9"}), 2);
    EXPECT_NE(err.str().find("at most 20 bytes of printable ASCII"), std::string::npos);
    EXPECT_EQ(Run({"store", "4"}), 2);
    EXPECT_EQ(Run({"recall", "22"}), 2);

    SimOptions noPermission;
    noPermission.storePermission = 0;
    sim->SetOptions(noPermission);
    EXPECT_EQ(Run({"store", "5", "--name", "Nope"}), 1);  // refused by the processor
    EXPECT_NE(err.str().find("does not allow storing"), std::string::npos) << err.str();
    EXPECT_NE(std::memcmp(sim->StoredProgram(5).name, "Nope", 4), 0);
}

TEST_F(QxctlDeviceTest, BankPullAndPushRoundTrip) {
    UnpacedLine();
    sim->Modify([](ParamImage&, BankImage& bank) {
        for (int k = 0; k < kProgramCount; ++k) {
            bank.programs[k].Mic1.level = static_cast<uint8_t>(k);
        }
    });
    ASSERT_EQ(Run({"bank-pull", Path("all")}), 0) << err.str();
    auto bank = std::make_unique<BankImage>();
    ASSERT_TRUE(CProgramFile::ReadBank(Path("all.dat"), *bank).ok);
    for (int k = 0; k < kProgramCount; ++k) {
        const ProgramImage p = sim->StoredProgram(k + 1);
        EXPECT_EQ(std::memcmp(&bank->programs[k], &p, sizeof p), 0) << k;
    }
    const ParamImage now = sim->Image();
    EXPECT_EQ(std::memcmp(&bank->BankSystemBlock, &now.system, 66), 0);

    // Change one stored program in the file and write the whole bank back.
    bank->programs[9].Mic1.level = 33;
    ASSERT_TRUE(CProgramFile::WriteBank(Path("changed.dat"), *bank).ok);
    ASSERT_EQ(Run({"bank-push", Path("changed.dat")}), 0) << err.str();
    EXPECT_EQ(sim->StoredProgram(10).Mic1.level, 33);
    for (int k = 0; k < kProgramCount; ++k) {
        const ProgramImage p = sim->StoredProgram(k + 1);
        EXPECT_EQ(std::memcmp(&bank->programs[k], &p, sizeof p), 0) << k;
    }
    const ParamImage pushed = sim->Image();
    EXPECT_EQ(std::memcmp(&bank->BankSystemBlock, &pushed.system, 66), 0);
    EXPECT_EQ(Run({"bank-push", Path("changed.dia")}), 2);
}

TEST_F(QxctlDeviceTest, NoProcessorIsOneClearError) {
    SimOptions silent;
    silent.silent = true;
    sim->SetOptions(silent);
    EXPECT_EQ(Run({"probe"}), 1);
    EXPECT_NE(err.str().find(server->Path() + ": no processor answered"), std::string::npos)
        << err.str();
    const std::string e = err.str();
    EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    EXPECT_FALSE(online);
}

namespace {

// Runs qxctl with exactly these words (no --port added).
int RunPlain(std::vector<std::string> args, std::ostringstream& out, std::ostringstream& err) {
    return clitest::RunQxctl(args, out, err);
}

}  // namespace

TEST_F(QxctlDeviceTest, PushRefusesOutOfRangeFieldsUnlessForced) {
    ResetParameters();
    auto image = std::make_unique<ParamImage>();
    std::memcpy(image.get(), &ParameterSet, sizeof *image);
    image->program.MusicLeft.bands[0].gainCode = 241;
    ASSERT_TRUE(CProgramFile::WriteProgram(Path("odd.dia"), *image).ok);
    const int probes = sim->CountRequests(0x7F);
    EXPECT_EQ(Run({"push", Path("odd.dia")}), 1);
    EXPECT_EQ(err.str(), "qxctl: push: " + Path("odd.dia") +
                             ": 1 fields are out of range (qxctl show " + Path("odd.dia") +
                             " marks them); --force writes the file anyway\n");
    EXPECT_EQ(sim->CountRequests(0x7F), probes);  // refused before any port was opened
    EXPECT_NE(sim->Image().program.MusicLeft.bands[0].gainCode, 241);

    ASSERT_EQ(Run({"push", Path("odd.dia"), "--force"}), 0) << err.str();
    EXPECT_EQ(sim->Image().program.MusicLeft.bands[0].gainCode, 241);

    // push sends no system block, so the file's system fields do not count.
    image->program.MusicLeft.bands[0].gainCode = 120;
    image->system.block.musicMax = 200;
    ASSERT_TRUE(CProgramFile::WriteProgram(Path("system.dia"), *image).ok);
    EXPECT_EQ(Run({"push", Path("system.dia")}), 0) << err.str();

    auto bank = std::make_unique<BankImage>();
    std::memset(bank.get(), 0, sizeof *bank);
    bank->programs[3].Mic1.level = 99;
    bank->bankValid = 1;
    ASSERT_TRUE(CProgramFile::WriteBank(Path("odd.dat"), *bank).ok);
    EXPECT_EQ(Run({"bank-push", Path("odd.dat")}), 1);
    EXPECT_NE(err.str().find("1 fields are out of range"), std::string::npos) << err.str();
    EXPECT_EQ(sim->CountRequests(0x7F), probes + 2);
}

TEST_F(QxctlDeviceTest, PortErrorsNameThePathAndTheReason) {
    EXPECT_EQ(RunPlain({"probe", "--port", "/dev/null"}, out, err), 1);
    EXPECT_EQ(err.str(), "qxctl: probe: /dev/null: not a serial port\n");
    EXPECT_EQ(RunPlain({"pull", Path("x.dia"), "--port", Path("nonexistent")}, out, err), 1);
    EXPECT_EQ(err.str(), "qxctl: pull: " + Path("nonexistent") + ": no such file\n");
    EXPECT_FALSE(fs::exists(Path("x.dia")));

    // Every port tried is accounted for, on one line.
    SimOptions silent;
    silent.silent = true;
    sim->SetOptions(silent);
    EXPECT_EQ(RunPlain({"probe", "--port", "/dev/null", "--port", server->Path()}, out, err), 1);
    EXPECT_EQ(err.str(), "qxctl: probe: /dev/null: not a serial port; " + server->Path() +
                             ": no processor answered\n");
    // A port the user may not open: ProgramsTest, which can run qxctl as another user.
}

TEST_F(QxctlDeviceTest, ProbeShowsNamesAsShowDoes) {
    timing = LinkTiming::Real();  // what qxctl itself uses, once
    sim->Modify([](ParamImage& image, BankImage&) {
        std::memcpy(image.program.name, "Bell\x07 \"quoted\"      ", 20);
    });
    ASSERT_EQ(Run({"probe"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              server->Path() + ": program 1 \"Bell\\x07 \\\"quoted\\\"\", store allowed\n");
}

TEST_F(QxctlDeviceTest, AFailedReadSaysWhichStepFailed) {
    // The processor answers the probe and the names but never the current program.
    SimOptions noProgram;
    noProgram.silentCommand = 0x82;
    sim->SetOptions(noProgram);
    EXPECT_EQ(Run({"probe"}), 1);
    EXPECT_EQ(err.str(),
              "qxctl: probe: reading the current program: no complete reply after 3 tries\n");
    EXPECT_EQ(sim->CountRequests(0x82), 3);

    noProgram.silentCommand = 0x81;
    sim->SetOptions(noProgram);
    EXPECT_EQ(Run({"pull", Path("x.dia")}), 1);
    EXPECT_EQ(err.str(),
              "qxctl: pull: reading the system block: no complete reply after 3 tries\n");
}

TEST_F(QxctlDeviceTest, BankTransfersLabelEachPhaseOfTheirBars) {
    auto run = [&](std::vector<std::string> args) {
        args.push_back("--port");
        args.push_back(server->Path());
        out.str("");
        err.str("");
        CQxctl cli(out, err);
        cli.SetLinkTiming(timing);
        cli.ForceProgress(true);
        return cli.Run(args);
    };
    UnpacedLine();
    ASSERT_EQ(run({"bank-pull", Path("all.dat")}), 0) << err.str();
    std::string bars = err.str();
    EXPECT_NE(bars.find("reading names 12/24"), std::string::npos);
    EXPECT_NE(bars.find("reading the system block 23/24"), std::string::npos);
    EXPECT_NE(bars.find("reading the current program 24/24"), std::string::npos);
    EXPECT_NE(bars.find("reading programs 5/21"), std::string::npos);
    EXPECT_NE(bars.find("reading programs 21/21"), std::string::npos);

    ASSERT_EQ(run({"bank-push", Path("all.dat")}), 0) << err.str();
    bars = err.str();
    EXPECT_NE(bars.find("writing programs 5/22"), std::string::npos);
    EXPECT_NE(bars.find("writing the system block 22/22"), std::string::npos);
}

TEST_F(QxctlDeviceTest, EqImportChangesExactlyThatEqualiserOnTheProcessor) {
    const std::string text =
        "Filter Settings file\r\nRoom EQ V5.20.13\r\nMic 1 at the stage\r\n"
        "Filter 1: ON PK Fc 180 Hz Gain -4.5 dB Q 2.2\r\n"
        "Filter 2: ON HSC Fc 9000 Hz Gain 2.0 dB Q 0.71\r\n"
        "Filter 3: ON HP Fc 90 Hz\r\n";
    std::ofstream(Path("mic.txt"), std::ios::binary) << text;
    const ParamImage before = sim->Image();

    // What the file import makes of the same text is what the processor must end up with.
    std::ostringstream fileOut;
    auto offline = [&](const std::vector<std::string>& args) {
        fileOut.str("");
        CQxctl cli(fileOut, err);
        return cli.Run(args);
    };
    ASSERT_TRUE(CProgramFile::WriteProgram(Path("expected.dia"), before).ok);
    ASSERT_EQ(offline({"eq-import", Path("mic.txt"), "--eq", "2", Path("expected.dia")}), 0)
        << err.str();
    auto expected = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(Path("expected.dia"), *expected).ok);

    ASSERT_EQ(Run({"eq-import", Path("mic.txt"), "--eq", "2"}), 0) << err.str();
    EXPECT_NE(out.str().find("band 1  PK  Fc 180 Hz"), std::string::npos) << out.str();
    const ParamImage after = sim->Image();
    const uint8_t* a = CParamCatalogue::Bytes(before);
    const uint8_t* b = CParamCatalogue::Bytes(after);
    const uint8_t* x = CParamCatalogue::Bytes(*expected);
    int changed = 0;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        const bool ours = f.name.rfind("Mic1.bands[", 0) == 0 || f.name.rfind("Mic1.hpf.", 0) == 0;
        if (CParamCatalogue::RawText(a, f) != CParamCatalogue::RawText(b, f)) {
            ++changed;
            EXPECT_TRUE(ours) << f.name << " changed";
        }
        if (ours) {
            EXPECT_EQ(CParamCatalogue::RawText(b, f), CParamCatalogue::RawText(x, f)) << f.name;
        }
    }
    EXPECT_GE(changed, 9);  // three bands of three fields and more, and the high-pass

    // Reading it back from the processor gives the text the file gives.
    ASSERT_EQ(Run({"eq-export", "--eq", "2"}), 0) << err.str();
    ASSERT_EQ(offline({"eq-export", Path("expected.dia"), "--eq", "2"}), 0);
    EXPECT_EQ(out.str(), fileOut.str());

    // An equaliser that is never sent band by band, and a dry run, leave the processor alone.
    EXPECT_EQ(Run({"eq-import", Path("mic.txt"), "--eq", "7"}), 2);
    EXPECT_NE(err.str().find("not sent band by band"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"eq-import", Path("mic.txt"), "--eq", "3", "--dry-run"}), 0) << err.str();
    const ParamImage last = sim->Image();
    EXPECT_EQ(std::memcmp(&last, &after, sizeof last), 0);
}
