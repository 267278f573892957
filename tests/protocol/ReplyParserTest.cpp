#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "CommProtocol.h"
#include "FrameEncoder.h"
#include "LinkState.h"
#include "MonitorBlocks.h"
#include "ParameterSet.h"
#include "ReplySink.h"

using namespace qx;

namespace {

struct RecordingSink : CReplySink {
    int deviceFound = 0, system = 0, parameters = 0, modes = 0, wrongProgram = 0;
    std::vector<int> systemData;
    bool monitorRequest = false;

    void DeviceFound() override { ++deviceFound; }
    void SystemReceived() override { ++system; }
    void ParametersReceived() override { ++parameters; }
    void ModesReceived() override { ++modes; }
    void SystemDataReceived(uint8_t cmd) override { systemData.push_back(cmd); }
    bool TakeMonitorRequest() override {
        const bool r = monitorRequest;
        monitorRequest = false;
        return r;
    }
    void WrongProgramNumber() override { ++wrongProgram; }
};

using qxtest::EncodeFrame;

std::vector<uint8_t> Pattern(int n, int seed) {
    std::vector<uint8_t> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        v[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i * 7 + seed);
    }
    return v;
}

class ReplyParserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        linkChannel = 1;
        deviceBusy = false;
        proto.SetReplySink(&sink);
        proto.ClearFrames(1, true);
        Sent(0x01, 0);
    }
    void TearDown() override {
        linkChannel = 0;
        deviceBusy = false;
        proto.ClearFrames(1, true);
    }
    // The frame awaiting its reply.
    void Sent(uint8_t cmd, uint8_t firstData) {
        InitFrame(TxFrame);
        TxFrame.SetCount(3);
        TxFrame.bytes[4] = cmd;
        TxFrame.bytes[5] = firstData;
        FinishFrame(TxFrame);
        TxFrame.written = 1;
    }
    bool Feed(const std::vector<uint8_t>& bytes) {
        return proto.FeedBytes(1, bytes.data(), static_cast<int>(bytes.size()));
    }

    CCommProtocol proto;
    RecordingSink sink;
};

TEST_F(ReplyParserTest, AcknowledgementStatusDecidesAcceptance) {
    EXPECT_TRUE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x00, 0x04}));
    EXPECT_EQ(TxFrame.bytes[4], 0);  // send frame cleared from byte 4 on
    EXPECT_EQ(TxFrame.written, 0);
    EXPECT_EQ(TxFrame.bytes[0], 0xFF);
    EXPECT_EQ(RxFrame.rxIndex, 0);

    Sent(0x01, 0);
    EXPECT_FALSE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x02, 0x06}));
    EXPECT_EQ(RxFrame.replyError, 1);
    EXPECT_EQ(TxFrame.written, 1);
    // A rejected frame takes no more bytes, not even a whole valid frame.
    EXPECT_FALSE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x00, 0x04}));

    proto.ClearFrames(1, false);
    EXPECT_TRUE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x04, 0x08}));  // above 3 passes

    Sent(0x01, 0);
    EXPECT_FALSE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x00, 0x05}));  // bad checksum
    EXPECT_EQ(RxFrame.replyError, 1);

    // Another channel (the port was closed) is ignored.
    proto.ClearFrames(1, false);
    linkChannel = 0;
    EXPECT_FALSE(Feed({0xFF, 0x55, 0x03, 0x00, 0x01, 0x00, 0x04}));
    EXPECT_EQ(RxFrame.rxIndex, 0);
}

TEST_F(ReplyParserTest, OnlyTheAwaitedCommandEndsTheExchange) {
    // After a resend, the late acknowledgement of the earlier master-volume frame arrives
    // while the next frame (an effect level, 0x02) waits for its own answer.
    Sent(0x02, 4);
    RxFrame.retries = 1;
    RxFrame.idlePolls = 3;
    EXPECT_FALSE(Feed(EncodeFrame(0x01, {0})));
    EXPECT_EQ(TxFrame.written, 1);  // still awaiting
    EXPECT_EQ(RxFrame.replyError, 0);
    EXPECT_EQ(RxFrame.retries, 1);
    EXPECT_EQ(RxFrame.idlePolls, 3);
    // ... and the processor refuses the current frame: still nothing delivered.
    EXPECT_FALSE(Feed(EncodeFrame(0x02, {2})));
    EXPECT_EQ(RxFrame.replyError, 1);
    EXPECT_EQ(TxFrame.written, 1);

    // A late answer and the awaited one in the same chunk: the search goes on past the first.
    proto.ClearFrames(1, false);
    std::vector<uint8_t> both = EncodeFrame(0x01, {0});
    const std::vector<uint8_t> own = EncodeFrame(0x02, {0});
    both.insert(both.end(), own.begin(), own.end());
    EXPECT_TRUE(Feed(both));

    // A late program image is not stored; a late idle-poll answer keeps only its levels.
    Sent(0x01, 0);
    const ProgramImage before = ParameterSet.program;
    std::vector<uint8_t> data = {0};
    const std::vector<uint8_t> image = Pattern(sizeof(ProgramImage), 9);
    data.insert(data.end(), image.begin(), image.end());
    EXPECT_FALSE(Feed(EncodeFrame(0x82, data)));
    EXPECT_EQ(std::memcmp(&before, &ParameterSet.program, sizeof before), 0);
    EXPECT_EQ(sink.parameters, 0);
    sink.monitorRequest = true;
    EXPECT_FALSE(Feed(EncodeFrame(0x0C, Pattern(12, 60))));
    EXPECT_EQ(MonitorBlockA[0], 60);
    EXPECT_TRUE(sink.systemData.empty());
    EXPECT_EQ(sink.deviceFound + sink.system + sink.modes, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x01, {0})));
}

TEST_F(ReplyParserTest, HeadersStrayBytesAndChunks) {
    // 03 CC is collected like FF 55.
    EXPECT_TRUE(Feed(EncodeFrame(0x01, {0}, true)));

    // A stray 0x0C ahead of the header is dropped.
    Sent(0x01, 0);
    std::vector<uint8_t> f = EncodeFrame(0x01, {0});
    f.insert(f.begin(), 0x0C);
    EXPECT_TRUE(Feed(f));

    // A stray 0xFF shifts every position: the frame never passes.
    Sent(0x01, 0);
    f = EncodeFrame(0x01, {0});
    f.insert(f.begin(), 0xFF);
    EXPECT_FALSE(Feed(f));

    // A program image in small chunks completes on the chunk with its last byte.
    proto.ClearFrames(1, true);
    Sent(0x82, 0);
    std::vector<uint8_t> data = {0};
    const std::vector<uint8_t> image = Pattern(sizeof(ProgramImage), 3);
    data.insert(data.end(), image.begin(), image.end());
    f = EncodeFrame(0x82, data);
    ASSERT_EQ(f.size(), 2719u);
    std::size_t pos = 0;
    while (f.size() - pos > 100) {
        ASSERT_FALSE(proto.FeedBytes(1, f.data() + pos, 100));
        pos += 100;
    }
    EXPECT_TRUE(proto.FeedBytes(1, f.data() + pos, static_cast<int>(f.size() - pos)));
    EXPECT_EQ(std::memcmp(&ParameterSet.program, image.data(), image.size()), 0);
    EXPECT_EQ(std::memcmp(&SentImage.program, image.data(), image.size()), 0);
    EXPECT_EQ(sink.parameters, 1);
}

TEST_F(ReplyParserTest, MonitorAndProbeReplies) {
    Sent(0x0C, 1);
    EXPECT_TRUE(Feed(EncodeFrame(0x0C, Pattern(12, 1))));
    EXPECT_EQ(MonitorBlockA[11], Pattern(12, 1)[11]);
    EXPECT_TRUE(sink.systemData.empty());  // nobody asked

    sink.monitorRequest = true;
    Sent(0x18, 1);
    EXPECT_TRUE(Feed(EncodeFrame(0x18, Pattern(12, 9))));
    EXPECT_EQ(MonitorBlockB[0], 9);
    ASSERT_EQ(sink.systemData.size(), 1u);
    EXPECT_EQ(sink.systemData[0], 0x18);
    EXPECT_FALSE(sink.monitorRequest);

    // The probe's answer carries the store permission.
    Sent(0x7F, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x7F, {0, 1})));
    EXPECT_EQ(storePermission, 1);
    EXPECT_EQ(sink.deviceFound, 1);
    // With count 3 it is only an acknowledgement.
    Sent(0x7F, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x7F, {0})));
    EXPECT_EQ(sink.deviceFound, 1);

    // A busy command is finished by its valid reply.
    Sent(0x85, 2);
    TxFrame.clearsBusy = 1;
    deviceBusy = true;
    EXPECT_TRUE(Feed(EncodeFrame(0x85, {0})));
    EXPECT_FALSE(deviceBusy);
}

TEST_F(ReplyParserTest, NamesSystemBlockAndPasswordScratch) {
    std::vector<uint8_t> name = {0};
    const std::vector<uint8_t> text = Pattern(kNameLength, 40);
    name.insert(name.end(), text.begin(), text.end());
    Sent(0x80, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x80, name)));
    EXPECT_EQ(std::memcmp(ParameterSet.program.name, text.data(), kNameLength), 0);
    name[0] = 21;
    Sent(0x80, 21);
    EXPECT_TRUE(Feed(EncodeFrame(0x80, name)));
    EXPECT_EQ(std::memcmp(ProgramBank.programs[20].name, text.data(), kNameLength), 0);
    name[0] = 200;  // no such program: accepted, nothing stored
    const BankImage before = ProgramBank;
    Sent(0x80, 200);
    EXPECT_TRUE(Feed(EncodeFrame(0x80, name)));
    EXPECT_EQ(std::memcmp(&before, &ProgramBank, sizeof before), 0);

    std::vector<uint8_t> sys = Pattern(sizeof(SystemImage), 5);
    const uint8_t panel[4] = {'1', '2', '3', '4'};
    const uint8_t system[6] = {'9', '8', '7', '6', '5', '4'};
    std::memcpy(sys.data() + 15, panel, 4);
    std::memcpy(sys.data() + 19, system, 6);
    Sent(0x81, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x81, sys)));
    EXPECT_EQ(std::memcmp(&ParameterSet.system, sys.data(), sys.size()), 0);
    EXPECT_EQ(std::memcmp(&SentImage.system, sys.data(), sys.size()), 0);
    EXPECT_EQ(std::memcmp(PasswordScratch.newPanel, panel, 4), 0);
    EXPECT_EQ(std::memcmp(PasswordScratch.newSystem, system, 6), 0);
    EXPECT_EQ(sink.system, 1);

    // Password commands built right after the read change nothing on the device.
    proto.QueueCommand(kCmdSystemPassword, 0);
    proto.QueueCommand(kCmdPanelPassword, 0);
    FrameRecord r;
    ASSERT_TRUE(proto.PopFrame(r));
    EXPECT_EQ(std::memcmp(r.bytes + 5, r.bytes + 11, 6), 0);
    ASSERT_TRUE(proto.PopFrame(r));
    EXPECT_EQ(std::memcmp(r.bytes + 5, r.bytes + 9, 4), 0);
}

TEST_F(ReplyParserTest, BankProgramsAndRecall) {
    auto programReply = [](uint8_t cmd, uint8_t p, int seed) {
        std::vector<uint8_t> data = {p};
        const std::vector<uint8_t> img = Pattern(sizeof(ProgramImage), seed);
        data.insert(data.end(), img.begin(), img.end());
        return EncodeFrame(cmd, data);
    };
    Sent(0x82, 21);
    EXPECT_TRUE(Feed(programReply(0x82, 21, 11)));
    EXPECT_EQ(std::memcmp(&ProgramBank.programs[20], Pattern(sizeof(ProgramImage), 11).data(),
                          sizeof(ProgramImage)),
              0);
    EXPECT_EQ(sink.modes, 1);
    EXPECT_EQ(sink.wrongProgram, 0);

    // Another number than the one asked for: the box, then stored under the requested one.
    Sent(0x82, 4);
    EXPECT_TRUE(Feed(programReply(0x82, 3, 12)));
    EXPECT_EQ(sink.wrongProgram, 1);
    EXPECT_EQ(ProgramBank.programs[3].name[0], Pattern(20, 12)[0]);
    EXPECT_NE(ProgramBank.programs[2].name[0], Pattern(20, 12)[0]);

    // Recall: the recalled image becomes the current one and counts as sent.
    Sent(0x85, 7);
    EXPECT_TRUE(Feed(programReply(0x85, 7, 13)));
    EXPECT_EQ(std::memcmp(&ParameterSet.program, Pattern(sizeof(ProgramImage), 13).data(),
                          sizeof(ProgramImage)),
              0);
    EXPECT_EQ(std::memcmp(&ParameterSet.program, &SentImage.program, sizeof(ProgramImage)), 0);
    EXPECT_EQ(sink.parameters, 1);

    // A reply too short for its row ends the exchange without touching the image.
    const ProgramImage before = ParameterSet.program;
    Sent(0x82, 0);
    EXPECT_TRUE(Feed(EncodeFrame(0x82, {0, 1, 2})));
    EXPECT_EQ(std::memcmp(&before, &ParameterSet.program, sizeof before), 0);
}

TEST_F(ReplyParserTest, OversizedFramesStayInsideTheFrameArea) {
    RxFrame.retries = 2;
    // Count 0xFFFF: the frame cannot fit and is given up at once.
    std::vector<uint8_t> f = {0xFF, 0x55, 0xFF, 0xFF, 0x82};
    f.resize(6000, 0x11);
    EXPECT_FALSE(Feed(f));
    EXPECT_EQ(RxFrame.replyError, 1);
    EXPECT_LE(RxFrame.rxIndex, kFrameArea);
    EXPECT_EQ(RxFrame.retries, 2);
    EXPECT_EQ(RxFrame.slowReply, 0);

    // The longest frame that fits still passes.
    proto.ClearFrames(1, false);
    Sent(0x90, 0);
    const std::vector<uint8_t> big = EncodeFrame(0x90, Pattern(kFrameArea - 6, 1));
    ASSERT_EQ(big.size(), static_cast<std::size_t>(kFrameArea));
    EXPECT_TRUE(Feed(big));

    // A long run of header bytes.
    RxFrame.retries = 1;
    std::vector<uint8_t> run(9000, 0xFF);
    EXPECT_FALSE(Feed(run));
    EXPECT_LE(RxFrame.rxIndex, kFrameArea);
    EXPECT_EQ(RxFrame.retries, 1);
}

TEST_F(ReplyParserTest, RandomInputNeverEscapesAndValidFramesStillPass) {
    std::mt19937 rng(1234);
    const uint8_t alphabet[] = {0xFF, 0x55, 0x03, 0xCC, 0x00, 0x82, 0x0C, 0x10};
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        proto.ClearFrames(1, false);
        RxFrame.retries = 3;
        Sent(static_cast<uint8_t>(rng() & 0xFF), 0);
        const int total = static_cast<int>(rng() % 9000);
        std::vector<uint8_t> junk(static_cast<std::size_t>(total));
        for (auto& b : junk) {
            b = (rng() & 1) ? alphabet[rng() % sizeof alphabet] : static_cast<uint8_t>(rng());
        }
        std::size_t pos = 0;
        while (pos < junk.size()) {
            const std::size_t n = std::min<std::size_t>(1 + rng() % 700, junk.size() - pos);
            if (proto.FeedBytes(1, junk.data() + pos, static_cast<int>(n))) {
                ++accepted;
                RxFrame.retries = 3;
            }
            ASSERT_LE(RxFrame.rxIndex, kFrameArea + 1);
            ASSERT_EQ(RxFrame.retries, 3);
            pos += n;
        }
        // After the record is cleared, as the worker's resend does, a real reply passes.
        proto.ClearFrames(1, false);
        Sent(0x01, 0);
        ASSERT_TRUE(Feed(EncodeFrame(0x01, {0})));
    }
    (void)accepted;
}

}  // namespace
