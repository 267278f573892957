// Stopping a bank read or write between two frames: which frames go, which stay, what the
// person is told, and what is read back afterwards.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "CommProtocol.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "TextPair.h"
#include "TransferStop.h"

using namespace qx;

namespace {

std::vector<int> Programs(int first, int last) {
    std::vector<int> p;
    for (int i = first; i <= last; ++i) {
        p.push_back(i);
    }
    return p;
}

class TransferStopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        deviceBusy = false;
        proto.ClearFrames(1, true);
        useChinese = false;
    }
    void TearDown() override {
        proto.ClearFrames(1, true);
        deviceBusy = false;
        useChinese = false;
    }
    // The worker takes the next n frames; the last of them is on the line.
    void Take(int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(proto.PopFrame(TxFrame));
        }
    }
    // (command, argument) of every queued frame.
    std::vector<std::pair<int, int>> Queued() {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < proto.Queue().Size(); ++i) {
            const FrameRecord& r = proto.Queue().At(i).Record();
            out.emplace_back(r.bytes[4], r.bytes[5]);
        }
        return out;
    }

    CCommProtocol proto;
};

}  // namespace

TEST_F(TransferStopTest, WriteStopsAfterTheProgramOnTheLineAndKeepsWhatFollowsIt) {
    // "Import all": the bank's programs and system block on the form, then the recall.
    proto.QueueCommand(kCmdWriteProgram, 1);
    proto.QueueCommand(kCmdWriteSystem, 1);
    EXPECT_EQ(proto.NumberQueuedFrames(), 22);
    proto.QueueCommand(kCmdRecall, 3);
    EXPECT_EQ(proto.QueuedTransfer(), TransferKind::kBankWrite);
    Take(7);  // program 7 on the line

    const TransferStop stop = proto.DropTransfer();
    EXPECT_EQ(stop.kind, TransferKind::kBankWrite);
    EXPECT_TRUE(stop.Stopped());
    EXPECT_EQ(stop.done, Programs(1, 7));
    EXPECT_EQ(stop.dropped, Programs(8, 21));
    EXPECT_TRUE(stop.systemDropped);
    EXPECT_EQ(Queued(), (std::vector<std::pair<int, int>>{{kCmdRecall, 3}}));
    EXPECT_EQ(proto.QueuedTransfer(), TransferKind::kNone);

    // A second Cancel finds nothing left and changes nothing.
    const TransferStop again = proto.DropTransfer();
    EXPECT_FALSE(again.Stopped());
    EXPECT_TRUE(again.done.empty());
    EXPECT_EQ(proto.FrameCount(), 1);
}

TEST_F(TransferStopTest, NeitherHalfAProgramNorHalfTheSystemBlockIsLeft) {
    // A program in two frames: its second frame follows the first even after a stop.
    proto.QueueCommand(kCmdWriteProgram, 1);
    proto.QueueCommand(kCmdWriteSystem, 1);
    proto.NumberQueuedFrames();
    Take(4);
    auto second = std::make_unique<CSendData>();
    std::memcpy(&second->Record(), &TxFrame, sizeof(FrameRecord));
    proto.Queue().Append(std::move(second));
    const TransferStop split = proto.DropTransfer();
    EXPECT_EQ(split.done, Programs(1, 4));
    EXPECT_EQ(Queued(), (std::vector<std::pair<int, int>>{{kCmdWriteProgram, 4}}));

    // The system block on the line: everything else was already written, nothing to stop.
    proto.ClearQueue();
    proto.QueueCommand(kCmdWriteProgram, 1);
    proto.QueueCommand(kCmdWriteSystem, 1);
    proto.NumberQueuedFrames();
    Take(22);
    const TransferStop late = proto.DropTransfer();
    EXPECT_FALSE(late.Stopped());
    EXPECT_FALSE(late.systemDropped);
    EXPECT_TRUE(TransferStopText(late).empty());
}

TEST_F(TransferStopTest, ReadStopsAndOnlyNumberedBankFramesAreOffered) {
    proto.QueueCommand(kCmdReadProgram, 1);
    proto.NumberQueuedFrames();
    EXPECT_EQ(proto.QueuedTransfer(), TransferKind::kBankRead);
    Take(5);
    const TransferStop stop = proto.DropTransfer();
    EXPECT_EQ(stop.kind, TransferKind::kBankRead);
    EXPECT_EQ(stop.done, Programs(1, 5));
    EXPECT_EQ(stop.dropped, Programs(6, 21));
    EXPECT_FALSE(stop.systemDropped);
    EXPECT_EQ(proto.FrameCount(), 0);

    // The reads of a connection, a program import, a recall, a store: short, never offered,
    // and a Cancel drops none of their frames.
    proto.ClearFrames(1, true);
    proto.QueueCommand(kCmdReadName, 0);
    proto.QueueCommand(kCmdReadSystem, 0);
    proto.QueueCommand(kCmdReadProgram, 0);
    proto.QueueCommand(kCmdWriteProgram, 0);
    proto.QueueCommand(kCmdRecall, 4);
    proto.QueueCommand(kCmdStore, 4);
    proto.NumberQueuedFrames();
    EXPECT_EQ(proto.QueuedTransfer(), TransferKind::kNone);
    EXPECT_FALSE(proto.DropTransfer().Stopped());
    EXPECT_EQ(proto.FrameCount(), 22 + 5);

    // Bank frames nobody numbered (no form shows them) are not the form's to stop.
    proto.ClearQueue();
    proto.QueueCommand(kCmdReadProgram, 1);
    EXPECT_EQ(proto.QueuedTransfer(), TransferKind::kNone);
    EXPECT_FALSE(proto.DropTransfer().Stopped());
    EXPECT_EQ(proto.FrameCount(), 21);
}

TEST_F(TransferStopTest, ReadBackComesAfterTheRecallAndOnlyItsLastFrameEndsTheWait) {
    proto.QueueCommand(kCmdRecall, 3);  // sets deviceBusy, clears it when answered
    proto.QueueReadBack();
    EXPECT_TRUE(deviceBusy);
    const auto queued = Queued();
    ASSERT_EQ(queued.size(), 1U + 22 + 1 + 1);
    EXPECT_EQ(queued[0], std::make_pair(int{kCmdRecall}, 3));
    EXPECT_EQ(queued[1].first, kCmdReadName);
    EXPECT_EQ(queued[23].first, kCmdReadSystem);
    EXPECT_EQ(queued[24], std::make_pair(int{kCmdReadProgram}, 0));
    for (int i = 0; i < proto.Queue().Size(); ++i) {
        EXPECT_EQ(proto.Queue().At(i).Record().clearsBusy, i == 24 ? 1 : 0) << i;
    }
}

TEST_F(TransferStopTest, TheTextSaysWhichProgramsHoldWhatInBothLanguages) {
    EXPECT_EQ(ProgramRanges(Programs(1, 7)), "1-7");
    EXPECT_EQ(ProgramRanges(Programs(8, 21)), "8-16, F1-F5");
    EXPECT_EQ(ProgramRanges({1, 3, 4, 17}), "1, 3-4, F1");
    EXPECT_EQ(ProgramRanges({16, 17}), "16, F1");
    EXPECT_EQ(ProgramRanges({}), "");

    TransferStop write;
    write.kind = TransferKind::kBankWrite;
    write.done = Programs(1, 7);
    write.dropped = Programs(8, 21);
    write.systemDropped = true;
    const std::string english = TransferStopText(write);
    EXPECT_NE(english.find("Writing stopped."), std::string::npos) << english;
    EXPECT_NE(english.find("Programs 1-7 now hold the new contents."), std::string::npos);
    EXPECT_NE(english.find("Programs 8-16, F1-F5 keep their earlier contents."), std::string::npos);
    EXPECT_NE(english.find("system settings and passwords were not changed"), std::string::npos);

    TransferStop none = write;
    none.done.clear();
    none.dropped = Programs(1, 21);
    EXPECT_NE(TransferStopText(none).find("No program was changed."), std::string::npos);

    TransferStop read;
    read.kind = TransferKind::kBankRead;
    read.done = Programs(1, 5);
    read.dropped = Programs(6, 21);
    EXPECT_EQ(TransferStopText(read),
              "Reading stopped: nothing was saved and the processor was not changed.");

    useChinese = true;
    EXPECT_NE(TransferStopText(write).find("程序 1-7 已是新的内容"), std::string::npos);
    EXPECT_NE(TransferStopText(read).find("已停止读取"), std::string::npos);
}
