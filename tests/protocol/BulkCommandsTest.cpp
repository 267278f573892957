#include <gtest/gtest.h>

#include <cstring>

#include "CommProtocol.h"
#include "LinkState.h"
#include "ParameterSet.h"

using namespace qx;

namespace {

class BulkCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        deviceBusy = false;
    }
    void TearDown() override { deviceBusy = false; }

    // Pops every queued frame, checking each checksum on the way.
    std::vector<FrameRecord> Drain() {
        std::vector<FrameRecord> out;
        FrameRecord r;
        while (proto.PopFrame(r)) {
            const int count = r.Count();
            unsigned sum = 0;
            for (int i = 2; i <= count + 2; ++i) {
                sum += r.bytes[i];
            }
            EXPECT_EQ(r.bytes[count + 3], sum & 0xFF);
            EXPECT_EQ(r.checksumCopy, sum & 0xFF);
            EXPECT_EQ(r.bytes[0], 0xFF);
            EXPECT_EQ(r.bytes[1], 0x55);
            out.push_back(r);
        }
        return out;
    }

    CCommProtocol proto;
};

}  // namespace

TEST_F(BulkCommandsTest, ProbeAndReads) {
    EXPECT_EQ(CommProtocol, &proto);
    proto.QueueCommand(kCmdProbe, 0);
    proto.QueueCommand(kCmdReadName, 0);
    proto.QueueCommand(kCmdReadSystem, 0);
    proto.QueueCommand(kCmdReadProgram, 0);
    EXPECT_EQ(proto.FrameCount(), 1 + 22 + 1 + 1);
    const auto frames = Drain();
    EXPECT_EQ(frames[0].Length(), 7);
    EXPECT_EQ(frames[0].Command(), 0x7F);
    EXPECT_EQ(frames[0].notifyOnFailure, 1);
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(frames[1 + i].Command(), 0x80);
        EXPECT_EQ(frames[1 + i].bytes[5], i);
        EXPECT_EQ(frames[1 + i].notifyOnFailure, 0);
    }
    EXPECT_EQ(frames[23].Command(), 0x81);
    EXPECT_EQ(frames[24].Command(), 0x82);
    EXPECT_EQ(frames[24].bytes[5], 0);
    EXPECT_EQ(frames[24].slowReply, 0);
    EXPECT_FALSE(proto.HasFrames());
    EXPECT_FALSE(deviceBusy);
}

TEST_F(BulkCommandsTest, BankReadIsTwentyOneSlowFrames) {
    proto.QueueCommand(kCmdReadProgram, 5);
    EXPECT_EQ(proto.NumberQueuedFrames(), 21);
    const auto frames = Drain();
    ASSERT_EQ(frames.size(), 21u);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(frames[i].bytes[5], i + 1);
        EXPECT_EQ(frames[i].slowReply, 1);
        EXPECT_EQ(frames[i].progressStep, i + 1);
    }
}

TEST_F(BulkCommandsTest, ProgramWritesCarryImages) {
    ParameterSet.program.EchoA.repeat = 77;
    for (int i = 0; i < kProgramCount; ++i) {
        ProgramBank.programs[i].name[0] = static_cast<uint8_t>('A' + i);
        ProgramBank.programs[i].imageSum = static_cast<uint8_t>(i);
    }
    proto.QueueCommand(kCmdWriteProgram, 0);
    EXPECT_TRUE(deviceBusy);
    proto.QueueCommand(kCmdWriteProgram, 1);
    const auto frames = Drain();
    ASSERT_EQ(frames.size(), 22u);
    EXPECT_EQ(frames[0].Length(), 2719);
    EXPECT_EQ(frames[0].Count(), 2715);
    EXPECT_EQ(frames[0].bytes[5], 0);
    EXPECT_EQ(std::memcmp(frames[0].bytes + 6, &ParameterSet.program, 2712), 0);
    EXPECT_EQ(frames[0].storeDelay, 1);
    EXPECT_EQ(frames[0].clearsBusy, 1);
    for (int k = 1; k <= 21; ++k) {
        const FrameRecord& f = frames[k];
        EXPECT_EQ(f.Length(), 2719);
        EXPECT_EQ(f.bytes[5], k);
        EXPECT_EQ(f.bytes[6], 'A' + k - 1);
        EXPECT_EQ(std::memcmp(f.bytes + 6, &ProgramBank.programs[k - 1], 2712), 0);
        EXPECT_EQ(f.slowReply, 1);
        EXPECT_EQ(f.storeDelay, 0);
    }
}

TEST_F(BulkCommandsTest, SystemWriteRecallAndStore) {
    ProgramBank.BankSystemBlock.block.musicMax = 50;
    ProgramBank.BankSystemBlock.extraWord = 0xBEEF;
    proto.QueueCommand(kCmdWriteSystem, 1);
    EXPECT_FALSE(deviceBusy);
    proto.QueueCommand(kCmdRecall, 0);
    EXPECT_FALSE(deviceBusy);
    proto.QueueCommand(kCmdRecall, 4);
    EXPECT_TRUE(deviceBusy);
    std::memcpy(ProgramBank.programs[6].name, "Party               ", 20);
    proto.QueueCommand(kCmdStore, 7);
    proto.QueueCommand(kCmdStore, 200);  // beyond the bank: the current program's name
    const auto f = Drain();
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0].Count(), 69);
    EXPECT_EQ(f[0].bytes[5], 1);
    EXPECT_EQ(f[0].bytes[6 + 6], 50);
    EXPECT_EQ(f[0].bytes[6 + 64], 0xEF);
    EXPECT_EQ(f[0].bytes[6 + 65], 0xBE);
    EXPECT_EQ(f[0].storeDelay, 1);
    EXPECT_EQ(f[1].clearsBusy, 0);
    EXPECT_EQ(f[2].clearsBusy, 1);
    EXPECT_EQ(f[2].storeDelay, 1);
    EXPECT_EQ(f[3].Count(), 23);
    EXPECT_EQ(std::memcmp(f[3].bytes + 6, "Party               ", 20), 0);
    EXPECT_EQ(f[3].clearsBusy, 1);
    EXPECT_EQ(f[3].storeDelay, 0);
    EXPECT_EQ(std::memcmp(f[4].bytes + 6, &ParameterSet.program.name, 20), 0);
}

TEST_F(BulkCommandsTest, PasswordChangesUseTheScratchAndUpdateTheBlock) {
    SystemBlock& s = ParameterSet.system.block;
    std::memcpy(s.systemPassword, "123456", 6);
    std::memcpy(s.panelPassword, "9876", 4);
    std::memcpy(PasswordScratch.newSystem, "abcdef", 6);
    std::memcpy(PasswordScratch.newPanel, "wxyz", 4);
    proto.QueueCommand(kCmdSystemPassword, 0);
    proto.QueueCommand(kCmdPanelPassword, 0);
    const auto f = Drain();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].Count(), 14);
    EXPECT_EQ(std::memcmp(f[0].bytes + 5, "123456abcdef", 12), 0);
    EXPECT_EQ(f[1].Count(), 10);
    EXPECT_EQ(std::memcmp(f[1].bytes + 5, "9876wxyz", 8), 0);
    EXPECT_EQ(std::memcmp(s.systemPassword, "abcdef", 6), 0);
    EXPECT_EQ(std::memcmp(s.panelPassword, "wxyz", 4), 0);
}

TEST_F(BulkCommandsTest, UnknownCommandsQueueNothingAndClearEmpties) {
    proto.QueueCommand(0x01, 0);
    proto.QueueCommand(0x90, 3);
    EXPECT_FALSE(proto.HasFrames());
    proto.QueueCommand(kCmdReadName, 0);
    EXPECT_EQ(proto.FrameCount(), 22);
    proto.ClearQueue();
    EXPECT_EQ(proto.FrameCount(), 0);
    FrameRecord r;
    EXPECT_FALSE(proto.PopFrame(r));
}

TEST(FrameRecordTest, ChecksumRejectsCountsOutsideTheFrameArea) {
    FrameRecord r;
    InitFrame(r);
    r.SetCount(3);
    r.bytes[4] = 0x0C;
    r.bytes[5] = 0x01;
    ASSERT_TRUE(FinishFrame(r));
    EXPECT_EQ(r.bytes[6], 0x10);
    r.SetCount(kMaxCount + 1);
    EXPECT_FALSE(FinishFrame(r));
    r.SetCount(1);
    EXPECT_FALSE(FinishFrame(r));
}
