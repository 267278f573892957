#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "ProgramFile.h"
#include "ProgramFileFixture.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {
class ProgramFileTest : public ProgramFileFixture {};
}  // namespace

TEST_F(ProgramFileTest, ExtensionRules) {
    EXPECT_EQ(CProgramFile::ProgramFilePath("setup"), "setup.dia");
    EXPECT_EQ(CProgramFile::ProgramFilePath("a.dia.bak"), "a.dia.bak");
    EXPECT_EQ(CProgramFile::ProgramFilePath("x.dia"), "x.dia");
    EXPECT_EQ(CProgramFile::BankFilePath("all"), "all.dat");
    EXPECT_EQ(CProgramFile::BankFilePath("b.dat.old"), "b.dat.old");
    EXPECT_TRUE(CProgramFile::IsBankFilePath("x.dat"));
    EXPECT_FALSE(CProgramFile::IsBankFilePath("x.dia"));
}

TEST_F(ProgramFileTest, FoldersAreCreatedOnceAndKept) {
    const fs::path root = dir / "work";
    fs::create_directories(root / "MusicFile");
    std::ofstream(root / "MusicFile" / "keep.dia") << "x";
    EXPECT_TRUE(CProgramFile::CreateFileFolders(root.string()));
    EXPECT_TRUE(fs::is_directory(root / "Mode"));
    EXPECT_TRUE(fs::exists(root / "MusicFile" / "keep.dia"));
    EXPECT_EQ(CProgramFile::MusicFileFolder(root.string()), (root / "MusicFile").string());
}

TEST_F(ProgramFileTest, ProgramFileRoundTripsByteExactWithSystemBlockFirst) {
    auto image = std::make_unique<ParamImage>();
    FillRandom(image.get(), sizeof *image, 7);
    const std::string path = Path("p.dia");
    ASSERT_TRUE(CProgramFile::WriteProgram(path, *image).ok);

    const std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 2778u);
    EXPECT_EQ(std::memcmp(bytes.data(), &image->system, 66), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 66, &image->program, 2712), 0);

    auto back = std::make_unique<ParamImage>();
    ASSERT_TRUE(CProgramFile::ReadProgram(path, *back).ok);
    EXPECT_EQ(std::memcmp(back.get(), image.get(), sizeof *image), 0);
    EXPECT_FALSE(fs::exists(path + ".part"));
}

TEST_F(ProgramFileTest, BankFileRoundTripsByteExact) {
    auto bank = std::make_unique<BankImage>();
    FillRandom(bank.get(), sizeof *bank, 11);
    bank->bankValid = 1;
    const std::string path = Path("b.dat");
    ASSERT_TRUE(CProgramFile::WriteBank(path, *bank).ok);
    const std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 57019u);
    EXPECT_EQ(std::memcmp(bytes.data(), bank.get(), bytes.size()), 0);

    auto back = std::make_unique<BankImage>();
    ASSERT_TRUE(CProgramFile::ReadBank(path, *back).ok);
    EXPECT_EQ(std::memcmp(back.get(), bank.get(), sizeof *bank), 0);
}

TEST_F(ProgramFileTest, WrongSizesAndDamageAreRefusedAndLeaveTheTargetUntouched) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0xAB, sizeof *image);
    auto bank = std::make_unique<BankImage>();
    std::memset(bank.get(), 0xCD, sizeof *bank);

    struct Case {
        const char* name;
        std::size_t size;
        bool bankFile;
        const char* expect;
    };
    const Case cases[] = {
        {"empty.dia", 0, false, "expected 2778 bytes, found 0"},
        {"short.dia", 2777, false, "expected 2778 bytes, found 2777"},
        {"long.dia", 2779, false, "expected 2778 bytes, found 2779"},
        {"bank-as-program.dia", 57019, false, "expected 2778 bytes, found 57019"},
        {"short.dat", 57018, true, "expected 57019 bytes, found 57018"},
        {"long.dat", 60000, true, "expected 57019 bytes, found 60000"},
        {"program-as-bank.dat", 2778, true, "expected 57019 bytes, found 2778"},
    };
    for (const Case& c : cases) {
        WriteAll(Path(c.name), std::vector<uint8_t>(c.size, 1));
        const FileResult r = c.bankFile ? CProgramFile::ReadBank(Path(c.name), *bank)
                                        : CProgramFile::ReadProgram(Path(c.name), *image);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(r.error.find("File read Error"), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.expect), std::string::npos) << r.error;
    }

    // A bank whose validity byte is not the 1 every written bank carries.
    std::vector<uint8_t> damaged(57019, 0);
    damaged.back() = 7;
    WriteAll(Path("damaged.dat"), damaged);
    const FileResult r = CProgramFile::ReadBank(Path("damaged.dat"), *bank);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("validity byte"), std::string::npos) << r.error;

    // Missing files and folders.
    EXPECT_FALSE(CProgramFile::ReadProgram(Path("missing.dia"), *image).ok);
    EXPECT_FALSE(CProgramFile::ReadProgram(dir.string(), *image).ok);

    for (uint8_t b : std::vector<uint8_t>(reinterpret_cast<uint8_t*>(image.get()),
                                          reinterpret_cast<uint8_t*>(image.get()) + 2778)) {
        ASSERT_EQ(b, 0xAB);
    }
    EXPECT_EQ(bank->programs[20].imageSum, 0xCD);
}

TEST_F(ProgramFileTest, FailedWriteKeepsTheOldFile) {
    auto image = std::make_unique<ParamImage>();
    FillRandom(image.get(), sizeof *image, 3);
    const std::string path = Path("keep.dia");
    WriteAll(path, std::vector<uint8_t>(10, 0x42));

    // Writing into a folder that does not exist fails with the write error and no file.
    const FileResult bad = CProgramFile::WriteProgram(Path("nope/x.dia"), *image);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error.rfind("MusicFile Write Error", 0), 0u) << bad.error;

    // A leftover temporary that cannot be replaced (a folder) makes the write fail; the old
    // file is untouched.
    fs::create_directories(path + ".part/inner");
    EXPECT_FALSE(CProgramFile::WriteProgram(path, *image).ok);
    EXPECT_EQ(ReadAll(path), std::vector<uint8_t>(10, 0x42));
    fs::remove_all(path + ".part");

    ASSERT_TRUE(CProgramFile::WriteProgram(path, *image).ok);
    EXPECT_EQ(ReadAll(path).size(), 2778u);
}
