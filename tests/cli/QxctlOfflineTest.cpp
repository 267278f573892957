// qxctl's file commands, run through the command entry point as the binary runs them.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>

#include <unistd.h>

#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

class QxctlOfflineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("qxctl-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        ResetParameters();
        defaults = Path("defaults.dia");
        EXPECT_TRUE(CProgramFile::WriteProgram(defaults, ParameterSet).ok);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        CQxctl cli(out, err);
        return cli.Run(args);
    }
    // A failure is exactly one line on stderr, starting with "qxctl:".
    void ExpectOneErrorLine() {
        const std::string e = err.str();
        EXPECT_EQ(e.rfind("qxctl: ", 0), 0u) << e;
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    }
    static std::vector<uint8_t> Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir;
    std::string defaults;
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace

TEST_F(QxctlOfflineTest, HelpAndBadUsage) {
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("bank-pull"), std::string::npos);
    EXPECT_EQ(Run({"curve", "--help"}), 0);
    EXPECT_NE(out.str().find("--eq N"), std::string::npos);

    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    ExpectOneErrorLine();
    EXPECT_EQ(Run({"show"}), 2);
    ExpectOneErrorLine();
    EXPECT_EQ(Run({"show", defaults, "--colour"}), 2);
    ExpectOneErrorLine();
    EXPECT_EQ(Run({"show", defaults, "--only"}), 2);
    ExpectOneErrorLine();
    EXPECT_EQ(Run({"curve", defaults, "--eq", "18"}), 2);
    ExpectOneErrorLine();
    EXPECT_EQ(Run({"curve", defaults, "--eq", "8", "--scene", "0"}), 2);
    ExpectOneErrorLine();
}

TEST_F(QxctlOfflineTest, ShowDecodesProgramsAndBanks) {
    ASSERT_EQ(Run({"show", defaults}), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("MusicLeft.bands[0].freqCode"), std::string::npos);
    EXPECT_NE(text.find("20.5Hz  [2]"), std::string::npos);
    EXPECT_NE(text.find("System.musicMax"), std::string::npos);

    ASSERT_EQ(Run({"show", defaults, "--only", "mic1.limiter", "--json"}), 0);
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.str()), &pe);
    ASSERT_FALSE(doc.isNull()) << pe.errorString().toStdString();
    const QJsonObject fields = doc.object().value("fields").toObject();
    EXPECT_EQ(fields.size(), 4);
    EXPECT_EQ(fields.value("Mic1.limiter.level").toObject().value("value").toString(), "-22dBV");

    auto bank = std::make_unique<BankImage>();
    std::memset(bank.get(), 0, sizeof *bank);
    bank->programs[18].Mic1.level = 25;
    bank->bankValid = 1;
    ASSERT_TRUE(CProgramFile::WriteBank(Path("all.dat"), *bank).ok);
    ASSERT_EQ(Run({"show", Path("all.dat"), "--only", "Mic1.level"}), 0) << err.str();
    EXPECT_NE(out.str().find("Program[F3].Mic1.level"), std::string::npos);
    EXPECT_NE(out.str().find("2.5dB  [25]"), std::string::npos);

    std::ofstream(Path("odd.bin")) << "not a program";
    EXPECT_EQ(Run({"show", Path("odd.bin")}), 1);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find("found 13"), std::string::npos) << err.str();
}

TEST_F(QxctlOfflineTest, JsonRoundTripIsByteExactEvenForOddBytes) {
    auto image = std::make_unique<ParamImage>();
    std::mt19937 rng(99);
    for (std::size_t i = 0; i < sizeof *image; ++i) {
        reinterpret_cast<uint8_t*>(image.get())[i] = static_cast<uint8_t>(rng());
    }
    std::memcpy(image->program.name, "Quote\" back\\slash  ", 20);
    const std::string odd = Path("odd.dia");
    ASSERT_TRUE(CProgramFile::WriteProgram(odd, *image).ok);

    for (const std::string& source : {odd, defaults}) {
        ASSERT_EQ(Run({"to-json", source, "-o", Path("x.json")}), 0) << err.str();
        ASSERT_EQ(Run({"from-json", Path("x.json"), Path("back.dia")}), 0) << err.str();
        EXPECT_EQ(Bytes(Path("back.dia")), Bytes(source));
        EXPECT_EQ(Run({"diff", source, Path("back.dia")}), 0);
        EXPECT_EQ(out.str(), "");
    }
}

TEST_F(QxctlOfflineTest, BrokenJsonIsRefusedAndWritesNothing) {
    ASSERT_EQ(Run({"to-json", defaults}), 0);
    const std::string json = out.str();
    auto attempt = [&](const std::string& text) {
        std::ofstream(Path("in.json"), std::ios::trunc) << text;
        const int rc = Run({"from-json", Path("in.json"), Path("out.dia")});
        EXPECT_EQ(rc, 1) << text.substr(0, 80);
        ExpectOneErrorLine();
        EXPECT_FALSE(fs::exists(Path("out.dia")));
        return err.str();
    };
    auto replaced = [&json](const std::string& from, const std::string& to) {
        std::string s = json;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    EXPECT_NE(attempt("{").find("not JSON"), std::string::npos);
    EXPECT_NE(attempt(replaced("\"imageSum\": 0", "\"imageSum\": 256")).find("imageSum"),
              std::string::npos);
    EXPECT_NE(attempt(replaced("\"imageSum\": 0", "\"imageSum\": 1.5")).find("whole number"),
              std::string::npos);
    EXPECT_NE(attempt(replaced("\"imageSum\": 0", "\"imageSumm\": 0")).find("unknown field"),
              std::string::npos);
    EXPECT_NE(attempt(replaced("\"imageSum\": 0,\n", "")).find("missing"), std::string::npos);
    EXPECT_NE(attempt(replaced("qx-program", "other")).find("format"), std::string::npos);
}

TEST_F(QxctlOfflineTest, SetOnAFileChangesExactlyTheNamedFieldsOrNothing) {
    const std::string file = Path("edit.dia");
    fs::copy_file(defaults, file);
    const std::vector<uint8_t> before = Bytes(file);

    // One bad assignment among good ones: nothing changes.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"MusicLeft.bands[3].gainCode=-3dB", "Mic1.level=99"},
          {"MusicLeft.bands[3].gainCode=-3dB", "NoSuch.field=1"},
          {"MusicLeft.bands[3].gainCode"},
          {"Scene[2].SUB.delay=12.5"}}) {
        std::vector<std::string> args = {"set", "--file", file};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(Run(args), 2) << bad.back();
        ExpectOneErrorLine();
        EXPECT_EQ(Bytes(file), before);
    }

    ASSERT_EQ(Run({"set", "--file", file, "MusicLeft.bands[3].gainCode=-3dB",
                   "Scene[2].SUB.delay=12.5ms", "System.key=-2", "name=Party"}),
              0)
        << err.str();
    ASSERT_EQ(Run({"diff", defaults, file}), 1);
    const std::string d = out.str();
    EXPECT_NE(d.find("MusicLeft.bands[3].gainCode: 0.0dB -> -3.0dB"), std::string::npos) << d;
    EXPECT_NE(d.find("Scene[2].SUB.delay: 0.0ms -> 12.5ms"), std::string::npos) << d;
    EXPECT_NE(d.find("System.key: +7 -> -2"), std::string::npos) << d;
    EXPECT_NE(d.find("name: \"\" -> \"Party\""), std::string::npos) << d;
    EXPECT_EQ(std::count(d.begin(), d.end(), '\n'), 4) << d;

    EXPECT_EQ(Run({"diff", defaults, Path("missing.dia")}), 2);
    ExpectOneErrorLine();
}

TEST_F(QxctlOfflineTest, CurveIsCsvOnTheDisplayGrid) {
    ASSERT_EQ(Run({"curve", defaults, "--eq", "0"}), 0) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "frequency,dB");
    int rows = 0;
    double previousHz = 0;
    while (std::getline(lines, line)) {
        const double hz = std::stod(line.substr(0, line.find(',')));
        const double db = std::stod(line.substr(line.find(',') + 1));
        EXPECT_GT(hz, previousHz);
        EXPECT_NEAR(db, 0.0, 1e-6);  // every band of the defaults is off
        previousHz = hz;
        ++rows;
    }
    EXPECT_EQ(rows, 420);

    // A +6 dB peak at 1 kHz shows up at 1 kHz.
    const std::string peak = Path("peak.dia");
    fs::copy_file(defaults, peak);
    ASSERT_EQ(Run({"set", "--file", peak, "MusicLeft.bands[9].freqCode=1000Hz",
                   "MusicLeft.bands[9].gainCode=6dB", "MusicLeft.bands[9].type=PEQ"}),
              0);
    ASSERT_EQ(Run({"curve", peak, "--eq", "0"}), 0);
    double bestHz = 0;
    double best = -100;
    std::istringstream rowsIn(out.str());
    std::getline(rowsIn, line);
    while (std::getline(rowsIn, line)) {
        const double hz = std::stod(line.substr(0, line.find(',')));
        const double db = std::stod(line.substr(line.find(',') + 1));
        if (db > best) {
            best = db;
            bestHz = hz;
        }
    }
    EXPECT_NEAR(best, 6.0, 0.3);
    EXPECT_NEAR(bestHz, 1000, 60);
}
