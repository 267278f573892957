// qxctl eq-import and eq-export on program files, as a person runs them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

#include "CliTestSupport.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

const char* const kMeasurement =
    "\xEF\xBB\xBF"
    "Filter Settings file\r\n"
    "\r\n"
    "Room EQ V5.20.13\r\n"
    "Equaliser: Generic\r\n"
    "Main L 1m avg\r\n"
    "Filter  1: ON  PK       Fc   63.0 Hz  Gain  -5.00 dB  Q  4.000\r\n"
    "Filter  2: ON  LS       Fc    105 Hz  Gain   3.00 dB\r\n"
    "Filter  3: ON  HP       Fc   28.0 Hz\r\n"
    "Filter  4: ON  None\r\n";

class QxctlEqTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = clitest::FreshTestFolder("qxctl-eq-");
        ResetParameters();
        program = Path("program.dia");
        ASSERT_TRUE(CProgramFile::WriteProgram(program, ParameterSet).ok);
        Write("room.txt", kMeasurement);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    static std::string Read(const std::string& path) { return clitest::ReadText(path); }
    int Run(const std::vector<std::string>& args) { return clitest::RunQxctl(args, out, err); }

    fs::path dir;
    std::string program;
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(QxctlEqTextTest, ImportReportsEachFilterAndTheDeviationThenWritesTheFile) {
    const std::string before = Read(program);
    ASSERT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "2", program, "--dry-run"}), 0)
        << err.str();
    EXPECT_EQ(Read(program), before);  // a dry run changes nothing
    const std::string report = out.str();
    EXPECT_NE(report.find("Mic1 (equaliser 2), 20 bands"), std::string::npos) << report;
    EXPECT_NE(report.find("band 1  PK  Fc 63.0 Hz -> 62.5 Hz, Q 4.00 -> 4.0, Gain -5.0 -> "
                          "-5.0 dB"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("H  HP  Fc 28.0 Hz -> 27.8 Hz, 12dB Butuerworth"), std::string::npos)
        << report;
    EXPECT_NE(report.find("bands 3..20 bypassed"), std::string::npos) << report;
    EXPECT_NE(report.find("largest deviation from the text's response: 0."), std::string::npos)
        << report;

    ASSERT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "2", program}), 0) << err.str();
    auto image = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(program, *image).ok);
    EXPECT_EQ(image->program.Mic1.bands[0].type, 1);
    EXPECT_EQ(image->program.Mic1.bands[1].type, 2);
    EXPECT_EQ(image->program.Mic1.hpf.slope, 3);
    EXPECT_EQ(image->program.Mic2.bands[0].type, 0);  // the other microphone is untouched
}

TEST_F(QxctlEqTextTest, ExportedTextImportsBackToTheSameFile) {
    ASSERT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "0", program}), 0) << err.str();
    const std::string imported = Read(program);
    ASSERT_EQ(Run({"eq-export", program, "--eq", "0", "-o", Path("out.txt")}), 0) << err.str();
    const std::string text = Read(Path("out.txt"));
    EXPECT_NE(text.find("Filter 1: ON PK Fc 62.5 Hz Gain -5.0 dB Q 4.00\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Filter 3: ON HP Fc 27.8 Hz\n"), std::string::npos) << text;

    // Scramble the equaliser, import the export: the file is as it was.
    ASSERT_EQ(Run({"set", "--file", program, "MusicLeft.bands[0].type=BY",
                   "MusicLeft.bands[4].type=PEQ", "MusicLeft.hpf.slope=0"}),
              0)
        << err.str();
    ASSERT_EQ(Run({"eq-import", Path("out.txt"), "--eq", "0", program}), 0) << err.str();
    EXPECT_EQ(Read(program), imported);

    // Without -o the text goes to the terminal.
    ASSERT_EQ(Run({"eq-export", program, "--eq", "0"}), 0);
    EXPECT_EQ(out.str(), text);
}

TEST_F(QxctlEqTextTest, RefusalsLeaveTheFileAsItWasAndNameTheLines) {
    const std::string before = Read(program);
    Write("bad.txt",
          "Preamp: -3 dB\n"
          "Filter 1: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
          "Filter 2: ON PK Fc 90 Hz Gain -30 dB Q 4\n"
          "Filter 3: ON NO Fc 50 Hz\n");
    EXPECT_EQ(Run({"eq-import", Path("bad.txt"), "--eq", "4", program}), 1);
    EXPECT_EQ(Read(program), before);
    // The reader's complaint comes first, before the file is even opened.
    EXPECT_NE(err.str().find("bad.txt line 4: filter type NO"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("nothing was changed"), std::string::npos) << err.str();

    Write("range.txt",
          "Filter 1: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
          "Filter 2: ON PK Fc 90 Hz Gain -30 dB Q 4\n");
    EXPECT_EQ(Run({"eq-import", Path("range.txt"), "--eq", "4", program}), 1);
    EXPECT_EQ(Read(program), before);
    EXPECT_NE(err.str().find("range.txt line 2: filter 2: the gain -30.0 dB"), std::string::npos)
        << err.str();
    EXPECT_TRUE(out.str().empty()) << out.str();

    Write("empty.txt", "# nothing yet\n");
    EXPECT_EQ(Run({"eq-import", Path("empty.txt"), "--eq", "4", program}), 1);
    EXPECT_EQ(Read(program), before);
}

TEST_F(QxctlEqTextTest, BadUsageIsExitStatusTwo) {
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), program}), 2);  // no --eq
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "18", program}), 2);
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "8", "--scene", "4", program}), 2);
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "0"}), 2);  // no target
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "0", program, "--port", "/dev/null"}), 2);
    EXPECT_EQ(Run({"eq-export", "--eq", "0"}), 2);
    EXPECT_EQ(Run({"eq-export", program, "--eq", "0", "--bogus"}), 2);
    EXPECT_EQ(Run({"eq-import", Path("missing.txt"), "--eq", "0", program}), 1);
    EXPECT_EQ(Run({"eq-export", Path("missing.dia"), "--eq", "0"}), 1);
}

TEST_F(QxctlEqTextTest, InAChineseLocaleTheReportAndTheRefusalsAreChinese) {
    const clitest::ScopedLocale locale("zh_CN.UTF-8");
    ASSERT_EQ(Run({"eq-import", Path("room.txt"), "--eq", "2", program, "--dry-run"}), 0)
        << err.str();
    const std::string report = out.str();
    for (const char* said :
         {"Mic1（均衡器 2），20 个频段：", "第 6 行：  频段 1  PK  Fc 63.0 Hz", "频段 3..20 已旁通",
          "与文本响应的最大偏差：0.", "试运行：", "增益 -5.0 -> -5.0 dB"}) {
        EXPECT_NE(report.find(said), std::string::npos) << said << "\n" << report;
    }
    EXPECT_EQ(report.find("line"), std::string::npos) << report;

    Write("range.txt",
          "Filter 1: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
          "Filter 2: ON PK Fc 90 Hz Gain -30 dB Q 4\n"
          "Filter 3: ON NO Fc 50 Hz\n");
    EXPECT_EQ(Run({"eq-import", Path("range.txt"), "--eq", "4", program}), 1);
    EXPECT_NE(err.str().find("range.txt 第 3 行：滤波器类型 NO 在均衡器中没有对应类型"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("未做任何更改"), std::string::npos) << err.str();
    Write("range.txt",
          "Filter 1: ON PK Fc 63 Hz Gain -5 dB Q 4\n"
          "Filter 2: ON PK Fc 90 Hz Gain -30 dB Q 4\n");
    EXPECT_EQ(Run({"eq-import", Path("range.txt"), "--eq", "4", program}), 1);
    EXPECT_NE(err.str().find("range.txt 第 2 行：滤波器 2：增益 -30.0 dB (-24 到 +24 dB) "
                             "超出均衡器的增益范围"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"eq-import", Path("room.txt"), program}), 2);
    EXPECT_NE(err.str().find("需要 --eq N"), std::string::npos) << err.str();
}
