// qxctl through Debian's ser2net bridging virtual processors on pseudo-terminals, raw TCP and
// RFC 2217, on 127.0.0.1: the same commands and results as on a local port, a refused server
// named with its reason, and a server that goes away in the middle of a bank read.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include <unistd.h>

#include "CliTestSupport.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "Ser2netBridge.h"
#include "TextPair.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

class Ser2netTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (CSer2netBridge::Program().empty()) {
            GTEST_SKIP() << "ser2net is not installed (apt-get install ser2net): the tests "
                            "through a serial device server are skipped";
        }
        ::setenv("QXCTL_PROGRAM", QXCTL_PROGRAM, 1);
        useChinese = false;
        dir = clitest::FreshTestFolder("qxctl-ser2net-");
        ResetParameters();
        SimOptions options;
        options.paceLine = false;
        // One processor per line: a server refuses a second client on a line in use.
        std::string error;
        for (int i = 0; i < 2; ++i) {
            sims.push_back(std::make_unique<CVirtualProcessor>(StartImage(), options));
            servers.push_back(std::make_unique<CPtyServer>(*sims.back()));
            ASSERT_TRUE(servers.back()->Start(&error)) << error;
        }
        ASSERT_TRUE(bridge.Start({{servers[0]->Path(), false}, {servers[1]->Path(), true}},
                                 dir.string(), error))
            << error;
    }
    void TearDown() override {
        bridge.Stop();
        servers.clear();
        sims.clear();
        online = false;
        linkChannel = 0;
        deviceBusy = false;
        fs::remove_all(dir);
    }
    static ParamImage StartImage() {
        ResetParameters();
        ParamImage img;
        std::memcpy(&img, &ParameterSet, sizeof img);
        std::memcpy(img.program.name, "Behind a server     ", 20);
        return img;
    }
    int Run(std::vector<std::string> args, const std::string& port) {
        args.push_back("--port");
        args.push_back(port);
        return clitest::RunQxctl(args, out, err);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
    std::vector<std::unique_ptr<CVirtualProcessor>> sims;
    std::vector<std::unique_ptr<CPtyServer>> servers;
    CSer2netBridge bridge;
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(Ser2netTest, RawAndRfc2217CarryTheSameCommandsAsALocalPort) {
    for (std::size_t i = 0; i < 2; ++i) {
        const CSer2netBridge::Line& line = bridge.Lines()[i];
        CVirtualProcessor* sim = sims[i].get();
        SCOPED_TRACE(line.Address());
        ASSERT_EQ(Run({"probe"}, line.Address()), 0) << err.str();
        EXPECT_NE(out.str().find(line.Address() + ": program "), std::string::npos) << out.str();
        // Every program and the system block, 0xFF bytes included, arrive unchanged.
        ASSERT_EQ(Run({"bank-pull", Path("bank.dat")}, line.Address()), 0) << err.str();
        auto bank = std::make_unique<BankImage>();
        ASSERT_TRUE(CProgramFile::ReadBank(Path("bank.dat"), *bank).ok);
        for (int k = 1; k <= kProgramCount; ++k) {
            const ProgramImage p = sim->StoredProgram(k);
            EXPECT_EQ(std::memcmp(&bank->programs[k - 1], &p, sizeof p), 0) << k;
        }
        ASSERT_EQ(Run({"set", "Mic1.level=-3dB"}, line.Address()), 0) << err.str();
        fs::remove(Path("bank.dat"));
    }
    // A fleet can name its rooms by server address.
    std::ofstream(Path("fleet.json")) << "{\"rooms\": [{\"name\": \"raw\", \"port\": \""
                                      << bridge.Lines()[0].Address() << "\"}]}";
    out.str("");
    CQxctl cli(out, err);
    cli.SetLinkTiming(LinkTiming::Fast());
    EXPECT_EQ(cli.Run({"fleet", "backup", Path("fleet.json"), Path("backup")}), 0)
        << out.str() << err.str();
}

TEST_F(Ser2netTest, AServerThatRefusesIsNamedWithTheReason) {
    const std::string address = bridge.Lines()[0].Address();
    bridge.Stop();
    EXPECT_EQ(Run({"probe"}, address), 1);
    EXPECT_NE(err.str().find(address + ": the server refused the connection"), std::string::npos)
        << err.str();
}

TEST_F(Ser2netTest, TheServerGoingAwayInTheMiddleOfABankReadIsALostDevice) {
    // Paced like the real line, a bank read takes seconds: long enough to pull the plug.
    SimOptions options = sims[1]->Options();
    options.paceLine = true;
    sims[1]->SetOptions(options);
    std::thread killer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        bridge.Kill();
    });
    const int code = Run({"bank-pull", Path("bank.dat")}, bridge.Lines()[1].Address());
    killer.join();
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(fs::exists(Path("bank.dat")));  // nothing half read is written
    EXPECT_NE(err.str().find("qxctl: bank-pull: "), std::string::npos) << err.str();
    EXPECT_FALSE(online);
}
