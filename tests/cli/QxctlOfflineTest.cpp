// qxctl's file commands, run through the command entry point as the binary runs them.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

#include <unistd.h>

#include "CliTestSupport.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "TextPair.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

class QxctlOfflineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = clitest::FreshTestFolder("qxctl-");
        ResetParameters();
        defaults = Path("defaults.dia");
        EXPECT_TRUE(CProgramFile::WriteProgram(defaults, ParameterSet).ok);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    int Run(std::vector<std::string> args) { return clitest::RunQxctl(args, out, err); }
    // A failure is exactly one line on stderr, starting with "qxctl:".
    void ExpectOneErrorLine() {
        const std::string e = err.str();
        EXPECT_EQ(e.rfind("qxctl: ", 0), 0u) << e;
        EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    }
    static std::vector<uint8_t> Bytes(const std::string& path) { return clitest::ReadBytes(path); }

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

    // Random bytes hold codes outside their fields' ranges: kept only when asked for.
    for (const std::string& source : {odd, defaults}) {
        ASSERT_EQ(Run({"to-json", source, "-o", Path("x.json")}), 0) << err.str();
        ASSERT_EQ(Run({"from-json", Path("x.json"), Path("back.dia"), "--force"}), 0) << err.str();
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

namespace {

// A program file of random bytes, as a file from another source may be.
std::string RandomProgram(const std::string& path, unsigned seed) {
    auto image = std::make_unique<ParamImage>();
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < sizeof *image; ++i) {
        reinterpret_cast<uint8_t*>(image.get())[i] = static_cast<uint8_t>(rng());
    }
    EXPECT_TRUE(CProgramFile::WriteProgram(path, *image).ok);
    return path;
}

// Replaces the first "from" in text.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

TEST_F(QxctlOfflineTest, OutOfRangeFieldsAreShownMarkedAndConvertedOnlyWhenAsked) {
    const std::string random = RandomProgram(Path("random.dia"), 7);
    ASSERT_EQ(Run({"show", random}), 0);
    const std::string shown = out.str();
    const auto marked = std::count(shown.begin(), shown.end(), '<');
    EXPECT_GT(marked, 100);
    EXPECT_NE(shown.find("<out of range>"), std::string::npos);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find(std::to_string(marked) + " fields out of range (marked)"),
              std::string::npos)
        << err.str();
    ASSERT_EQ(Run({"show", random, "--json"}), 0);
    EXPECT_NE(out.str().find("\"outOfRange\": true"), std::string::npos);
    // The editor's own defaults are all in range: nothing marked, nothing said.
    ASSERT_EQ(Run({"show", defaults}), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str().find("<out of range>"), std::string::npos);

    // from-json refuses codes the field does not have, as set does; --force keeps them.
    ASSERT_EQ(Run({"to-json", defaults}), 0);
    const std::string json = out.str();
    for (const auto& [from, to, field] :
         {std::tuple<std::string, std::string, std::string>{
              "\"MusicLeft.bands[0].gainCode\": 120", "\"MusicLeft.bands[0].gainCode\": 241",
              "MusicLeft.bands[0].gainCode: 241 is out of range 0..240"},
          {"\"MusicLeft.bands[0].freqCode\": 2", "\"MusicLeft.bands[0].freqCode\": 65535",
           "MusicLeft.bands[0].freqCode: 65535 is out of range 0..361"}}) {
        std::ofstream(Path("in.json"), std::ios::trunc) << Replaced(json, from, to);
        EXPECT_EQ(Run({"from-json", Path("in.json"), Path("out.dia")}), 1);
        ExpectOneErrorLine();
        EXPECT_NE(err.str().find(field), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("--force"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(Path("out.dia")));
        EXPECT_EQ(Run({"from-json", Path("in.json"), Path("out.dia"), "--force"}), 0) << err.str();
        fs::remove(Path("out.dia"));
    }
}

TEST_F(QxctlOfflineTest, TypedValuesTakeTheNearestStepAsTheEditorDoes) {
    const std::string file = Path("typed.dia");
    fs::copy_file(defaults, file);
    auto field = [&](const std::string& name) {
        EXPECT_EQ(Run({"show", file, "--only", name}), 0);
        const std::string line = out.str();
        return line.substr(line.find_first_not_of(' ', name.size()));
    };

    // Between two steps: the nearest, ties upward, and the value used is said.
    ASSERT_EQ(Run({"set", "--file", file, "MusicLeft.bands[3].gainCode=0.5dB",
                   "MusicLeft.bands[4].gainCode=-23.5dB", "MusicLeft.bands[5].qCode=0.72",
                   "MusicLeft.bands[6].freqCode=1001Hz", "Mic1.level=0.25dB"}),
              0)
        << err.str();
    const std::string notes = err.str();
    EXPECT_NE(notes.find("MusicLeft.bands[3].gainCode: 0.5dB lies between two steps; using "
                         "0.6dB"),
              std::string::npos)
        << notes;
    EXPECT_NE(notes.find("-23.5dB lies between two steps; using -23.4dB"), std::string::npos);
    EXPECT_NE(notes.find("using 0.71"), std::string::npos) << notes;
    EXPECT_NE(notes.find("1001Hz lies between two steps; using 1000Hz"), std::string::npos);
    EXPECT_NE(notes.find("Mic1.level: 0.25dB lies between two steps; using 0.5dB"),
              std::string::npos)
        << notes;
    EXPECT_EQ(field("MusicLeft.bands[3].gainCode"), "0.6dB  [123]\n");
    EXPECT_EQ(field("MusicLeft.bands[4].gainCode"), "-23.4dB  [3]\n");

    // Other spellings of shown values; an exact value says nothing.
    ASSERT_EQ(Run({"set", "--file", file, "Mic1.limiter.attack=1ms",
                   "MusicLeft.hpf.slope=24dB Butterworth", "MusicLeft.bands[3].gainCode=-3dB"}),
              0)
        << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(field("Mic1.limiter.attack"), "1.0ms  [2]\n");
    EXPECT_EQ(field("MusicLeft.hpf.slope"), "24dB Butuerworth  [8]\n");

    const std::vector<uint8_t> before = Bytes(file);
    EXPECT_EQ(Run({"set", "--file", file, "MusicLeft.bands[3].gainCode=-5"}), 2);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find("negative codes are not allowed"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"set", "--file", file, "MusicLeft.bands[3].type=Peak"}), 2);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find("is not one of BY, PEQ, LS, HS (or a code 0..3)"), std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"set", "--file", file, "MusicLeft.bands[3].gainCode=24.5dB"}), 2);
    EXPECT_NE(err.str().find("out of range"), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(file), before);
}

TEST_F(QxctlOfflineTest, ProgramNamesAreTwentyBytesOfPrintableAscii) {
    const std::string file = Path("named.dia");
    fs::copy_file(defaults, file);
    const std::vector<uint8_t> before = Bytes(file);
    EXPECT_EQ(Run({"set", "--file", file, "name=Twenty-two characters!"}), 2);
    EXPECT_NE(err.str().find("at most 20 bytes, not 22"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"set", "--file", file, "name=Caf\xc3\xa9"}), 2);
    EXPECT_NE(err.str().find("printable ASCII"), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(file), before);

    // The value as show prints it: quoted, with its escapes.
    ASSERT_EQ(Run({"set", "--file", file, "name=\"Say \\\"Hi\\\"\""}), 0) << err.str();
    ASSERT_EQ(Run({"show", file, "--only", "name"}), 0);
    EXPECT_EQ(out.str(), "name  \"Say \\\"Hi\\\"\"\n");
    auto image = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(file, *image).ok);
    EXPECT_EQ(std::memcmp(image->program.name, "Say \"Hi\"            ", 20), 0);

    // A short name in JSON is padded with blanks, as the editor stores names.
    ASSERT_EQ(Run({"to-json", defaults}), 0);
    const std::string json = out.str();
    const auto at = json.find("\"name\": \"");
    ASSERT_NE(at, std::string::npos);
    const std::string shortName =
        json.substr(0, at) + "\"name\": \"Hi\"" + json.substr(json.find('"', at + 9) + 1);
    std::ofstream(Path("short.json")) << shortName;
    ASSERT_EQ(Run({"from-json", Path("short.json"), Path("short.dia")}), 0) << err.str();
    ASSERT_TRUE(CProgramFile::ReadProgram(Path("short.dia"), *image).ok);
    EXPECT_EQ(std::memcmp(image->program.name, "Hi                  ", 20), 0);
}

TEST_F(QxctlOfflineTest, ErrorsSayWhatIsWrongWithTheRightExitCode) {
    EXPECT_EQ(Run({"curve", defaults, "--eq", "99"}), 2);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find("--eq 99 is out of range 0..17"), std::string::npos) << err.str();

    // File errors: the product's headline, then the path and the reason.
    EXPECT_EQ(Run({"show", Path("missing.dia")}), 1);
    EXPECT_EQ(err.str(), "qxctl: show: File read Error: " + Path("missing.dia") +
                             ": No such file or directory\n");
    EXPECT_EQ(Run({"from-json", dir.string(), Path("out.dia")}), 1);
    EXPECT_EQ(err.str(),
              "qxctl: from-json: File read Error: " + dir.string() + ": is a folder, not a file\n");
    EXPECT_EQ(Run({"to-json", defaults, "-o", dir.string()}), 1);
    EXPECT_NE(err.str().find("MusicFile Write Error: " + dir.string() + ": is a folder"),
              std::string::npos)
        << err.str();

    ASSERT_EQ(Run({"to-json", defaults}), 0);
    const std::string json = out.str();
    auto refused = [&](const std::string& text) {
        std::ofstream(Path("in.json"), std::ios::trunc) << text;
        EXPECT_EQ(Run({"from-json", Path("in.json"), Path("out.dia")}), 1);
        ExpectOneErrorLine();
        EXPECT_FALSE(fs::exists(Path("out.dia")));
        return err.str();
    };
    const std::string fieldsStart = json.substr(0, json.find("\"fields\": ") + 10);
    EXPECT_NE(refused(fieldsStart + "null}").find("\"fields\" must be an object, not null"),
              std::string::npos);
    EXPECT_NE(refused(fieldsStart + "[1, 2]}").find("\"fields\" must be an object, not an array"),
              std::string::npos);
    EXPECT_NE(refused(Replaced(json, "\"imageSum\": 0", "\"imageSum\": null"))
                  .find("imageSum: expected a whole number, not null"),
              std::string::npos);
    EXPECT_NE(refused(Replaced(json, "\"imageSum\": 0", "\"imageSum\": \"0\""))
                  .find("imageSum: expected a whole number, not a string"),
              std::string::npos);
    EXPECT_NE(refused(Replaced(json, "\"imageSum\": 0", "\"imageSum\": 0, \"imageSum\": 0"))
                  .find("the key \"imageSum\" appears twice"),
              std::string::npos);

    // An option that names one thing may be given once.
    const std::vector<uint8_t> before = Bytes(defaults);
    fs::copy_file(defaults, Path("b.dia"));
    EXPECT_EQ(Run({"set", "--file", defaults, "--file", Path("b.dia"), "Mic1.level=0dB"}), 2);
    ExpectOneErrorLine();
    EXPECT_NE(err.str().find("option --file is given twice"), std::string::npos) << err.str();
    EXPECT_EQ(Bytes(defaults), before);
}

TEST_F(QxctlOfflineTest, MessagesFollowTheLocaleLikeTheEditor) {
    clitest::ScopedLocale locale("zh_CN.UTF-8");
    const std::string random = RandomProgram(Path("random.dia"), 3);

    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(err.str(), "qxctl: 未知命令“frobnicate”（见 qxctl --help）\n");
    EXPECT_EQ(Run({"show", random}), 0);
    EXPECT_NE(err.str().find("个字段超出范围（已标出）"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("<超出范围>"), std::string::npos);
    EXPECT_EQ(Run({"set", "--file", defaults, "MusicLeft.bands[3].type=Peak"}), 2);
    EXPECT_NE(err.str().find("不是 BY, PEQ, LS, HS 之一"), std::string::npos) << err.str();
    // The product's own texts stay as they are in both languages.
    EXPECT_EQ(Run({"show", Path("missing.dia")}), 1);
    EXPECT_NE(err.str().find("File read Error"), std::string::npos) << err.str();

    clitest::ScopedLocale::Set("en_US.UTF-8");
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(err.str(), "qxctl: unknown command 'frobnicate' (see qxctl --help)\n");
}

// All-programs files: the system block, each program under its label, and the valid byte,
// in that order, one line per differing field.
TEST_F(QxctlOfflineTest, DiffOfAllProgramsFilesNamesTheProgram) {
    auto a = std::make_unique<BankImage>();
    std::memset(static_cast<void*>(a.get()), 0, sizeof(BankImage));
    AtomicCopy(&a->BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
    for (auto& p : a->programs) {
        AtomicCopy(&p, &ParameterSet.program, sizeof(ProgramImage));
    }
    a->bankValid = 1;
    auto b = std::make_unique<BankImage>();
    AtomicCopy(b.get(), a.get(), sizeof(BankImage));
    b->programs[2].Mic2.level = 40;
    b->BankSystemBlock.block.musicMax = 20;
    ASSERT_TRUE(CProgramFile::WriteBank(Path("a.dia"), *a).ok);
    ASSERT_TRUE(CProgramFile::WriteBank(Path("b.dia"), *b).ok);
    EXPECT_EQ(Run({"diff", Path("a.dia"), Path("a.dia")}), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(Run({"diff", Path("a.dia"), Path("b.dia")}), 1) << err.str();
    const std::string d = out.str();
    ASSERT_EQ(std::count(d.begin(), d.end(), '\n'), 2) << d;
    EXPECT_EQ(d.rfind("System.musicMax: ", 0), 0u) << d;
    EXPECT_NE(d.find("\nProgram[3].Mic2.level: "), std::string::npos) << d;
}
