// Device modes and the import/export steps, with a fake "send device command" that queues
// through the real bulk commands so the frames can be inspected.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "DeviceModes.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ProgramFileFixture.h"

using namespace qx;

namespace {

class ProgramFileModesTest : public ProgramFileFixture {
  protected:
    void SetUp() override {
        ProgramFileFixture::SetUp();
        ResetParameters();
        online = false;
        storePermission = 0;
        deviceBusy = false;
        DeviceModeHooks hooks;
        hooks.sendDeviceCommand = [this](uint8_t c, uint8_t a) {
            sent.emplace_back(c, a);
            proto.QueueCommand(c, a);
        };
        hooks.startQueueProgress = [this] { progressFrames = proto.NumberQueuedFrames(); };
        hooks.refresh = [this] { ++refreshes; };
        modes = CDeviceModes(hooks);
    }
    void TearDown() override {
        online = false;
        storePermission = 0;
        deviceBusy = false;
        ProgramFileFixture::TearDown();
    }

    std::vector<FrameRecord> Drain() {
        std::vector<FrameRecord> out;
        auto r = std::make_unique<FrameRecord>();
        while (proto.PopFrame(*r)) {
            out.push_back(*r);
        }
        return out;
    }

    // A bank file whose programs are distinguishable: program k is filled with byte k.
    std::string MakeBankFile(uint8_t currentProgram) {
        auto bank = std::make_unique<BankImage>();
        std::memset(bank.get(), 0, sizeof *bank);
        FillRandom(&bank->BankSystemBlock, sizeof(SystemImage), 5);
        bank->BankSystemBlock.block.currentProgram = currentProgram;
        for (int k = 0; k < kProgramCount; ++k) {
            std::memset(&bank->programs[k], k + 1, sizeof(ProgramImage));
        }
        bank->bankValid = 1;
        const std::string path = Path("bank.dat");
        EXPECT_TRUE(CProgramFile::WriteBank(path, *bank).ok);
        return path;
    }

    static bool AllBytes(const ProgramImage& p, uint8_t v) {
        const auto* b = reinterpret_cast<const uint8_t*>(&p);
        for (std::size_t i = 0; i < sizeof p; ++i) {
            if (b[i] != v) {
                return false;
            }
        }
        return true;
    }

    CCommProtocol proto;
    CDeviceModes modes;
    std::vector<std::pair<uint8_t, uint8_t>> sent;
    int progressFrames = 0;
    int refreshes = 0;
};

}  // namespace

TEST_F(ProgramFileModesTest, ImportProgramKeepsSystemBlockAndSetsImageSum) {
    // A file with a foreign system block and a recognisable program.
    auto file = std::make_unique<ParamImage>();
    FillRandom(file.get(), sizeof *file, 21);
    const std::string path = Path("in.dia");
    ASSERT_TRUE(CProgramFile::WriteProgram(path, *file).ok);
    const std::vector<uint8_t> bytes = ReadAll(path);
    unsigned sum = 0;
    for (std::size_t i = 66; i < bytes.size(); ++i) {
        sum += bytes[i];
    }

    AdoptAsSent(true);
    ParameterSet.system.block.musicMax = 50;  // an unsent system change
    auto systemBefore = ParameterSet.system;
    auto sentSystemBefore = SentImage.system;

    const ModeResult r = modes.ImportProgram(path);
    ASSERT_EQ(r.status, ModeResult::kDone) << r.message;
    EXPECT_EQ(std::memcmp(&ParameterSet.system, &systemBefore, sizeof(SystemImage)), 0);
    // The unsent change stays a difference: the synchroniser sends the maximum volumes.
    EXPECT_EQ(std::memcmp(&SentImage.system, &sentSystemBefore, sizeof(SystemImage)), 0);
    NextParameterFrame();
    EXPECT_EQ(TxFrame.Command(), 0x89);
    EXPECT_EQ(ParameterSet.program.imageSum, sum & 0xFF);
    EXPECT_EQ(std::memcmp(&ParameterSet.program, &file->program, 2711), 0);
    EXPECT_EQ(std::memcmp(&SentImage.program, &ParameterSet.program, sizeof(ProgramImage)), 0);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(refreshes, 1);

    // Online with permission the program goes out as one whole-image write.
    online = true;
    storePermission = 1;
    ASSERT_EQ(modes.ImportProgram(path).status, ModeResult::kQueued);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(uint8_t{0x84}, uint8_t{0}));
    const auto frames = Drain();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Length(), 2719);
    EXPECT_EQ(frames[0].bytes[5 + 1 + 2711], sum & 0xFF);
}

TEST_F(ProgramFileModesTest, RefusedImportsChangeNothing) {
    auto before = std::make_unique<ParamImage>();
    std::memcpy(before.get(), &ParameterSet, sizeof *before);
    WriteAll(Path("short.dia"), std::vector<uint8_t>(100, 9));
    WriteAll(Path("short.dat"), std::vector<uint8_t>(100, 9));

    ModeResult r = modes.ImportProgram(Path("short.dia"));
    EXPECT_EQ(r.status, ModeResult::kFailed);
    EXPECT_NE(r.message.find("found 100"), std::string::npos) << r.message;
    r = modes.ImportAllPrograms(Path("short.dat"));
    EXPECT_EQ(r.status, ModeResult::kFailed);
    EXPECT_EQ(modes.ImportAllPrograms(Path("all.bin")).status, ModeResult::kIgnored);

    // Online without store permission nothing is read or sent.
    online = true;
    const std::string bank = MakeBankFile(3);
    EXPECT_EQ(modes.ImportAllPrograms(bank).status, ModeResult::kRefused);

    EXPECT_EQ(std::memcmp(before.get(), &ParameterSet, sizeof *before), 0);
    EXPECT_EQ(ProgramBank.bankValid, 0);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(refreshes, 0);
    // No lock is left held: another thread can take it.
    bool free = false;
    std::thread([&free] {
        free = ParamLock.try_lock();
        if (free) {
            ParamLock.unlock();
        }
    }).join();
    EXPECT_TRUE(free);
}

TEST_F(ProgramFileModesTest, ImportAllTakesCurrentProgramFromTheBank) {
    const std::string path = MakeBankFile(5);
    ASSERT_EQ(modes.ImportAllPrograms(path).status, ModeResult::kDone);
    EXPECT_EQ(ProgramBank.bankValid, 1);
    EXPECT_EQ(std::memcmp(&ParameterSet.system, &ProgramBank.BankSystemBlock, 66), 0);
    EXPECT_EQ(std::memcmp(&SentImage.system, &ProgramBank.BankSystemBlock, 66), 0);
    EXPECT_TRUE(AllBytes(ParameterSet.program, 5));
    EXPECT_TRUE(AllBytes(SentImage.program, 5));

    // Out-of-range stored current programs never read beyond the bank; they use program 1.
    for (uint8_t stored : {0, 22, 255}) {
        ASSERT_EQ(modes.ImportAllPrograms(MakeBankFile(stored)).status, ModeResult::kDone);
        EXPECT_TRUE(AllBytes(ParameterSet.program, 1)) << int(stored);
        EXPECT_EQ(ParameterSet.system.block.currentProgram, stored);
    }
}

TEST_F(ProgramFileModesTest, ImportAllOnlineWritesProgramsThenSystemWithProgress) {
    const std::string path = MakeBankFile(2);
    online = true;
    storePermission = 1;
    ASSERT_EQ(modes.ImportAllPrograms(path).status, ModeResult::kQueued);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], std::make_pair(uint8_t{0x84}, uint8_t{1}));
    EXPECT_EQ(sent[1], std::make_pair(uint8_t{0x83}, uint8_t{1}));
    EXPECT_EQ(progressFrames, 22);
    const auto frames = Drain();
    ASSERT_EQ(frames.size(), 22u);
    for (int k = 0; k < 21; ++k) {
        EXPECT_EQ(frames[k].bytes[5], k + 1);
        EXPECT_EQ(frames[k].bytes[6], k + 1);  // program k + 1 is filled with k + 1
        EXPECT_EQ(frames[k].progressStep, k + 1);
    }
    EXPECT_EQ(frames[21].Command(), 0x83);
    EXPECT_EQ(frames[21].progressStep, 22);
    EXPECT_EQ(std::memcmp(frames[21].bytes + 6, &ProgramBank.BankSystemBlock, 66), 0);
}

TEST_F(ProgramFileModesTest, ExportsWriteTheImagesAndAppendExtensions) {
    ParameterSet.program.name[0] = 'Q';
    ASSERT_EQ(modes.ExportProgram(Path("setup")).status, ModeResult::kDone);
    const std::vector<uint8_t> bytes = ReadAll(Path("setup.dia"));
    ASSERT_EQ(bytes.size(), 2778u);
    EXPECT_EQ(std::memcmp(bytes.data(), &ParameterSet.system, 66), 0);
    EXPECT_EQ(bytes[66], 'Q');

    // Offline "Export all" needs a bank; with one it takes the current system block.
    EXPECT_EQ(modes.ExportAllPrograms(Path("all")).status, ModeResult::kRefused);
    EXPECT_FALSE(std::filesystem::exists(Path("all.dat")));
    ASSERT_EQ(modes.ImportAllPrograms(MakeBankFile(4)).status, ModeResult::kDone);
    ParameterSet.system.block.micMax = 33;
    ASSERT_EQ(modes.ExportAllPrograms(Path("all")).status, ModeResult::kDone);
    const std::vector<uint8_t> all = ReadAll(Path("all.dat"));
    ASSERT_EQ(all.size(), 57019u);
    EXPECT_EQ(std::memcmp(all.data(), &ParameterSet.system, 66), 0);
    EXPECT_EQ(all.back(), 1);

    // Online it reads the bank first; the write follows the modes-received handling.
    online = true;
    ASSERT_EQ(modes.ExportAllPrograms(Path("dev")).status, ModeResult::kQueued);
    EXPECT_EQ(sent.back(), std::make_pair(uint8_t{0x82}, uint8_t{1}));
    ParameterSet.system.block.micMax = 44;  // the system block read at connection
    modes.OnModesReceived();
    ParameterSet.system.block.micMax = 45;  // later edits do not leak into the file
    ASSERT_EQ(modes.WriteAllPrograms(Path("dev")).status, ModeResult::kDone);
    EXPECT_EQ(ReadAll(Path("dev.dat"))[5], 44);
}

TEST_F(ProgramFileModesTest, RecallOfflineUsesTheBankAndOnlineQueues) {
    EXPECT_EQ(modes.RecallProgram(19).status, ModeResult::kRefused);  // no bank yet
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 0);

    ASSERT_EQ(modes.ImportAllPrograms(MakeBankFile(1)).status, ModeResult::kDone);
    ASSERT_EQ(modes.RecallProgram(19).status, ModeResult::kDone);
    EXPECT_TRUE(AllBytes(ParameterSet.program, 19));
    EXPECT_TRUE(AllBytes(SentImage.program, 19));
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 19);
    EXPECT_EQ(CDeviceModes::ProgramLabel(19), "F3");
    EXPECT_EQ(modes.RecallProgram(0).status, ModeResult::kRefused);
    EXPECT_EQ(modes.RecallProgram(22).status, ModeResult::kRefused);
    EXPECT_TRUE(sent.empty());

    online = true;
    ASSERT_EQ(modes.RecallProgram(7).status, ModeResult::kQueued);
    EXPECT_EQ(sent.back(), std::make_pair(uint8_t{0x85}, uint8_t{7}));
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 7);
}

TEST_F(ProgramFileModesTest, StoreResendsTheCurrentSystemPasswordAndPadsTheName) {
    const uint8_t password[6] = {'1', '2', '3', '4', '5', '6'};
    std::memcpy(ParameterSet.system.block.systemPassword, password, 6);
    std::memcpy(PasswordScratch.newSystem, "abcdef", 6);  // left over from the System page

    EXPECT_EQ(modes.StoreProgram(3, "x").status, ModeResult::kRefused);  // offline
    online = true;
    EXPECT_EQ(modes.StoreProgram(3, "x").status, ModeResult::kRefused);  // no permission
    storePermission = 1;
    EXPECT_EQ(modes.StoreProgram(17, "x").status, ModeResult::kRefused);  // F1
    EXPECT_EQ(modes.StoreProgram(0, "x").status, ModeResult::kRefused);
    EXPECT_EQ(modes.StoreProgram(3, std::string(21, 'n')).status, ModeResult::kRefused);
    EXPECT_EQ(modes.StoreProgram(3, "bad\nname").status, ModeResult::kRefused);
    EXPECT_TRUE(sent.empty());

    ASSERT_EQ(modes.StoreProgram(16, "Party").status, ModeResult::kQueued);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].first, 0x8C);
    EXPECT_EQ(sent[1], std::make_pair(uint8_t{0x86}, uint8_t{16}));
    const auto frames = Drain();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(std::memcmp(frames[0].bytes + 5, password, 6), 0);
    EXPECT_EQ(std::memcmp(frames[0].bytes + 11, password, 6), 0);
    EXPECT_EQ(std::memcmp(ParameterSet.system.block.systemPassword, password, 6), 0);
    const char padded[] = "Party               ";
    EXPECT_EQ(std::memcmp(frames[1].bytes + 6, padded, 20), 0);
    EXPECT_EQ(std::memcmp(ParameterSet.program.name, padded, 20), 0);
    EXPECT_EQ(std::memcmp(ProgramBank.programs[15].name, padded, 20), 0);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 16);
    EXPECT_EQ(CDeviceModes::ShownName(ProgramBank.programs[15].name), "Party");
}

TEST_F(ProgramFileModesTest, ProgramLabelsParse) {
    EXPECT_EQ(CDeviceModes::ParseProgramLabel("1"), 1);
    EXPECT_EQ(CDeviceModes::ParseProgramLabel("16"), 16);
    EXPECT_EQ(CDeviceModes::ParseProgramLabel("F1"), 17);
    EXPECT_EQ(CDeviceModes::ParseProgramLabel("f5"), 21);
    for (const char* bad : {"0", "17", "F0", "F6", "", "F", "x", "1a", "-1", "100"}) {
        EXPECT_EQ(CDeviceModes::ParseProgramLabel(bad), 0) << bad;
    }
}
