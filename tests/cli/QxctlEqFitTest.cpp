// qxctl eq-fit on program files and on the virtual processor, as a person runs it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include <unistd.h>

#include "CliTestSupport.h"
#include "DataConver.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

// 1/24-octave points of a room with two modes, 20 Hz to 2 kHz, as a measurement export.
std::string RoomText() {
    std::string text = "* Measurement data\r\nFreq(Hz);SPL(dB);Phase\r\n";
    char line[80];
    for (double f = 20.0; f < 2000.0; f *= std::pow(2.0, 1.0 / 24)) {
        const double x1 = std::log2(f / 63.0) / 0.06;
        const double x2 = std::log2(f / 150.0) / 0.1;
        std::snprintf(line, sizeof line, "%.2f;%.2f;0\r\n", f,
                      82.0 + 8.0 / (1 + x1 * x1) - 5.0 / (1 + x2 * x2));
        text += line;
    }
    return text;
}

class QxctlEqFitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = clitest::FreshTestFolder("qxctl-fit-");
        ResetParameters();
        program = Path("program.dia");
        ASSERT_TRUE(CProgramFile::WriteProgram(program, ParameterSet).ok);
        std::ofstream(Path("room.txt"), std::ios::binary) << RoomText();
    }
    void TearDown() override {
        server.reset();
        sim.reset();
        online = false;
        fs::remove_all(dir);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    static std::string Read(const std::string& path) { return clitest::ReadText(path); }
    int Run(const std::vector<std::string>& args) { return clitest::RunQxctl(args, out, err); }

    fs::path dir;
    std::string program;
    std::ostringstream out;
    std::ostringstream err;
    std::unique_ptr<CVirtualProcessor> sim;
    std::unique_ptr<CPtyServer> server;
};

}  // namespace

TEST_F(QxctlEqFitTest, FitsAFileReportsTheBandsAndTheErrorAndKeepsItsWord) {
    const std::string before = Read(program);
    ASSERT_EQ(Run({"eq-fit", Path("room.txt"), "--eq", "0", program, "--bands", "2", "--max-boost",
                   "0", "--dry-run"}),
              0)
        << err.str();
    EXPECT_EQ(Read(program), before) << "a dry run changes nothing";
    const std::string report = out.str();
    EXPECT_NE(report.find("MusicLeft (equaliser 0), fitted over 20-500 Hz"), std::string::npos)
        << report;
    EXPECT_NE(report.find("band 1   PK  6"), std::string::npos) << report;
    EXPECT_NE(report.find("deviation before: "), std::string::npos) << report;
    EXPECT_NE(report.find("deviation after:  "), std::string::npos) << report;

    ASSERT_EQ(
        Run({"eq-fit", Path("room.txt"), "--eq", "0", program, "--bands", "2", "--max-boost", "0"}),
        0)
        << err.str();
    EXPECT_EQ(out.str(), report.substr(0, report.find("dry run")));
    auto image = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(program, *image).ok);
    int used = 0;
    for (const EqBand& b : image->program.MusicLeft.bands) {
        if (b.type != 0) {
            ++used;
            EXPECT_LE(b.gainCode, kZeroGainCode) << "cuts only";
        }
    }
    EXPECT_GE(used, 1);
    EXPECT_LE(used, 2);
    const EqBand& first = image->program.MusicLeft.bands[0];
    EXPECT_NEAR(CodeToFreq(first.freqCode), 63.0, 6.0) << "the 63 Hz mode is cut first";
    EXPECT_EQ(image->program.MusicRight.bands[0].type, 0) << "the other channel is untouched";
}

TEST_F(QxctlEqFitTest, BadMeasurementsAndOptionsAreRefusedBeforeAnythingChanges) {
    const std::string before = Read(program);
    std::ofstream(Path("bad.txt"), std::ios::binary) << "20 80\n40 81\n30 82\n";
    EXPECT_EQ(Run({"eq-fit", Path("bad.txt"), "--eq", "0", program}), 1);
    EXPECT_NE(err.str().find("bad.txt line 3: the frequency 30 Hz does not rise"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"eq-fit", Path("room.txt"), "--eq", "0", program, "--range", "500-20"}), 2);
    EXPECT_EQ(Run({"eq-fit", Path("room.txt"), "--eq", "0", program, "--types", "pk,xx"}), 2);
    EXPECT_EQ(Run({"eq-fit", Path("room.txt"), "--eq", "0", program, "--range", "5000-9000"}), 1);
    EXPECT_NE(err.str().find("no point"), std::string::npos) << err.str();
    EXPECT_EQ(Read(program), before);
}

TEST_F(QxctlEqFitTest, AFitReachesTheProcessorAsTheFileFitWouldHaveIt) {
    ResetParameters();
    sim = std::make_unique<CVirtualProcessor>(ParameterSet);
    server = std::make_unique<CPtyServer>(*sim);
    std::string error;
    ASSERT_TRUE(server->Start(&error)) << error;
    ResetParameters();

    ASSERT_EQ(Run({"eq-fit", Path("room.txt"), "--eq", "2", program, "--bands", "3"}), 0)
        << err.str();
    auto expected = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(program, *expected).ok);

    ASSERT_EQ(
        Run({"eq-fit", Path("room.txt"), "--eq", "2", "--bands", "3", "--port", server->Path()}), 0)
        << err.str();
    const ParamImage now = sim->Image();
    EXPECT_EQ(std::memcmp(&now.program.Mic1, &expected->program.Mic1, sizeof now.program.Mic1), 0);
    EXPECT_NE(now.program.Mic1.bands[0].type, 0);
}
