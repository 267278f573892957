// The worker's exchange loop over a scripted line, where the order and the pauses matter.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "LinkReplySink.h"
#include "LinkState.h"
#include "LinkTestSupport.h"
#include "ParameterSet.h"
#include "SerialPort.h"

using namespace qx;
using namespace linktest;

namespace {

long MsBetween(Clock::time_point a, Clock::time_point b) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count());
}

class SerialWorkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        AdoptAsSent(true);
        linkChannel = 1;
        deviceBusy = false;
        proto.ClearFrames(1, true);
        port.SetUi(&ui);
        proto.SetReplySink(&sink);
        recorder.Watch(port);
        recorder.Watch(sink);
    }
    void TearDown() override {
        port.Close();
        proto.SetReplySink(nullptr);
        linkChannel = 0;
        deviceBusy = false;
        proto.ClearFrames(1, true);
    }
    FakeLine* Open(FakeLine::Responder responder) {
        auto line = std::make_unique<FakeLine>(std::move(responder));
        FakeLine* raw = line.get();
        port.OpenLine(std::move(line));
        return raw;
    }
    // A queued frame made by hand.
    void QueueFrame(uint8_t cmd, std::vector<uint8_t> data, uint8_t slowReply = 0) {
        auto f = std::make_unique<CSendData>();
        FrameRecord& r = f->Record();
        r.SetCount(static_cast<int>(data.size()) + 2);
        r.bytes[4] = cmd;
        std::copy(data.begin(), data.end(), r.bytes + 5);
        r.slowReply = slowReply;
        FinishFrame(r);
        proto.AddFrame(std::move(f));
    }

    CCommProtocol proto;
    CSerialPort port{proto};
    NoticeRecorder recorder;
    UiRecorder ui;
    CLinkReplySink sink{port};
};

TEST_F(SerialWorkerTest, SilentDeviceSeesEachFrameThreeTimesThenOneFailure) {
    FakeLine* line = Open(nullptr);
    proto.QueueCommand(kCmdProbe, 0);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::LinkFailed) > 0; }, 8000));
    Pump(300);
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 1);
    EXPECT_EQ(recorder.told[0].value, 1);  // the probe of a connection attempt
    EXPECT_FALSE(port.WorkerRunning());
    const auto w = line->WrittenFrames();
    ASSERT_EQ(w.size(), 3u);
    const std::vector<uint8_t> probe = {0xFF, 0x55, 0x03, 0x00, 0x7F, 0x00, 0x82};
    for (const auto& f : w) {
        EXPECT_EQ(f.bytes, probe);
    }
    // Each resend follows the reply wait and the quiet polling.
    EXPECT_GE(MsBetween(w[0].at, w[1].at), 900);
    EXPECT_GE(MsBetween(w[1].at, w[2].at), 900);

    // An ordinary frame (the idle poll) failing reports 0, at any timing.
    recorder.told.clear();
    line = Open(nullptr);
    ASSERT_TRUE(port.SetTiming(LinkTiming::Fast()));
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::LinkFailed) > 0; }, 8000));
    EXPECT_EQ(recorder.told[0].value, 0);
    EXPECT_EQ(line->WriteCount(), 3u);
}

TEST_F(SerialWorkerTest, QueuedFramesGoFirstThenDifferencesThenAlternatingPolls) {
    FakeLine* line = Open(Acknowledge);
    ParameterSet.system.block.musicVolume = 0x33;
    proto.QueueCommand(kCmdReadSystem, 0);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 6; }, 5000));
    port.StopWorker();
    const auto w = line->WrittenFrames();
    EXPECT_EQ(w[0].bytes[4], 0x81);
    EXPECT_EQ(w[1].bytes, (std::vector<uint8_t>{0xFF, 0x55, 0x04, 0x00, 0x01, 0x00, 0x33, 0x38}));
    for (std::size_t i = 2; i < w.size(); ++i) {
        EXPECT_EQ(w[i].bytes[4], i % 2 == 0 ? 0x0C : 0x18);
    }
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 0);
}

TEST_F(SerialWorkerTest, RejectedOrDamagedRepliesAreResentAndNothingIsLost) {
    int attempts = 0;
    FakeLine* line = Open([&](const std::vector<uint8_t>& f) -> FakeLine::Answer {
        if (f[4] != 0x01) {
            return Acknowledge(f);
        }
        ++attempts;
        if (attempts == 1) {
            return {EncodeFrame(0x01, {2}), 2};  // status 2
        }
        if (attempts == 2) {
            auto bad = EncodeFrame(0x01, {0});
            bad.back() ^= 0x10;
            return {bad, 2};
        }
        return {EncodeFrame(0x01, {0}), 2};
    });
    ParameterSet.system.block.micVolume = 0x21;
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 5; }, 8000));
    port.StopWorker();
    const auto w = line->WrittenFrames();
    EXPECT_EQ(w[0].bytes[4], 0x01);
    EXPECT_EQ(w[1].bytes, w[0].bytes);
    EXPECT_EQ(w[2].bytes, w[0].bytes);
    EXPECT_EQ(w[3].bytes[4], 0x0C);
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 0);
}

TEST_F(SerialWorkerTest, LateAnswerToAnEarlierFrameNeverClosesTheNextExchange) {
    // The processor answers the master-volume frame (0x01) so late that it is sent again; its
    // answers to both sends then arrive, the second one just ahead of its refusal of the next
    // frame (an echo level, 0x02).
    int volumeSends = 0;
    int levelSends = 0;
    FakeLine* line = Open([&](const std::vector<uint8_t>& f) -> FakeLine::Answer {
        if (f[4] == 0x01) {
            ++volumeSends;
            return volumeSends == 1 ? FakeLine::Answer{}
                                    : FakeLine::Answer{EncodeFrame(0x01, {0}), 2};
        }
        if (f[4] == 0x02) {
            ++levelSends;
            if (levelSends == 1) {
                std::vector<uint8_t> late = EncodeFrame(0x01, {0});
                const std::vector<uint8_t> refusal = EncodeFrame(0x02, {2});
                late.insert(late.end(), refusal.begin(), refusal.end());
                return {late, 2};
            }
        }
        return Acknowledge(f);
    });
    ParameterSet.system.block.musicVolume = 0x21;
    ParameterSet.program.EchoA.repeat = 0x30;
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 5; }, 8000));
    port.StopWorker();
    const auto w = line->WrittenFrames();
    EXPECT_EQ(w[0].bytes[4], 0x01);
    EXPECT_EQ(w[1].bytes[4], 0x01);  // the resend after silence
    EXPECT_EQ(w[2].bytes[4], 0x02);
    EXPECT_EQ(w[3].bytes,
              w[2].bytes);  // refused, so sent again: the late answer counted for nothing
    EXPECT_EQ(w[4].bytes[4], 0x0C);
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 0);
}

TEST_F(SerialWorkerTest, PausesAfterStoreAndSlowFramesLeaveParamLockFree) {
    FakeLine* line = Open([](const std::vector<uint8_t>& f) -> FakeLine::Answer {
        if (f[4] == 0x82) {
            std::vector<uint8_t> d(1 + sizeof(ProgramImage), 0);
            d[0] = f[5];
            return {EncodeFrame(0x82, d), 1500};  // later than 500 ms, within the slow wait
        }
        return Acknowledge(f);
    });
    proto.QueueCommand(kCmdRecall, 3);  // store delay, clears busy
    QueueFrame(0x82, {5}, 1);           // slow reply
    EXPECT_EQ(proto.NumberQueuedFrames(), 2);
    EXPECT_TRUE(deviceBusy);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 1; }, 3000));
    // While the processor stores, the lock is free for the user interface.
    bool locked = false;
    const auto tried = Clock::now();
    while (!locked && MsBetween(tried, Clock::now()) < 2000) {
        locked = ParamLock.try_lock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(locked);
    ParamLock.unlock();
    EXPECT_LT(MsBetween(line->WrittenFrames()[0].at, Clock::now()), 2900);

    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 3; }, 9000));
    port.StopWorker();
    const auto w = line->WrittenFrames();
    EXPECT_EQ(w[0].bytes[4], 0x85);
    EXPECT_EQ(w[1].bytes[4], 0x82);
    EXPECT_EQ(w[2].bytes[4], 0x0C);  // the slow frame was answered once, not resent
    EXPECT_GE(MsBetween(w[0].at, w[1].at), 3000);
    EXPECT_GE(MsBetween(w[1].at, w[2].at), 1500);
    EXPECT_FALSE(deviceBusy);
    Pump(50);
    EXPECT_EQ(ui.steps, (std::vector<int>{1, 2}));
}

// A processor gone mad: bytes without end, rich in header bytes, never a valid reply.
class GarbageLine : public qx::CSerialLine {
  public:
    bool Write(const uint8_t*, int, int) override {
        writes.fetch_add(1);
        return true;
    }
    bool WaitForInput(int) override { return true; }
    int BytesAvailable() override { return 64; }
    int Read(uint8_t* buffer, int max) override {
        const uint8_t headers[] = {0xFF, 0x55, 0x03, 0xCC};
        for (int i = 0; i < max; ++i) {
            buffer[i] = (m_rng() & 3) == 0 ? headers[m_rng() % 4] : static_cast<uint8_t>(m_rng());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));  // about the line's pace
        return max;
    }
    void Purge() override {}
    void ClearError() override {}
    bool Lost() override { return false; }
    QString ErrorText() override { return QStringLiteral("garbage"); }

    std::atomic<int> writes{0};

  private:
    std::mt19937 m_rng{3};
};

TEST_F(SerialWorkerTest, EndlessGarbageStillEndsInOneFailure) {
    auto owned = std::make_unique<GarbageLine>();
    GarbageLine* line = owned.get();
    port.OpenLine(std::move(owned));
    // Each send gets at most the longest frame's line time plus the margin (2 s at the real
    // timing, where the worst case takes about 8 s).
    ASSERT_TRUE(port.SetTiming(LinkTiming::Fast()));
    ASSERT_TRUE(port.StartWorker());
    EXPECT_FALSE(port.SetTiming(LinkTiming::Real())) << "not while the worker runs";
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::LinkFailed) > 0; }, 15000));
    Pump(500);
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 1);
    EXPECT_EQ(line->writes.load(), 3);
    EXPECT_FALSE(port.WorkerRunning());
}

TEST_F(SerialWorkerTest, ClosingNeverWaitsForTheWorkersPauses) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    constexpr long kBoundMs = 300;  // sanitizers slow every step down
#else
    constexpr long kBoundMs = 100;
#endif
    const auto closeTime = [&] {
        const auto start = Clock::now();
        port.Close();
        return MsBetween(start, Clock::now());
    };
    // During the 3 s pause after a recall, while the processor stores.
    FakeLine* line = Open(Acknowledge);
    proto.QueueCommand(kCmdRecall, 2);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 1; }, 3000));
    Pump(200);
    EXPECT_LT(closeTime(), kBoundMs) << "store pause";
    EXPECT_FALSE(port.WorkerRunning());

    // During the 1 s pause after a slow frame.
    line = Open(nullptr);
    QueueFrame(0x82, {3}, 1);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 1; }, 3000));
    Pump(200);
    EXPECT_LT(closeTime(), kBoundMs) << "slow-reply pause";

    // During the quiet polling of a silent processor.
    line = Open(nullptr);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 1; }, 3000));
    Pump(700);  // past the 500 ms reply wait, among the 100 ms polls
    EXPECT_LT(closeTime(), kBoundMs) << "quiet polling";
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 0);
}

TEST_F(SerialWorkerTest, LostLineEndsInExactlyOneReport) {
    FakeLine* line = Open(Acknowledge);
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 4; }, 5000));
    line->SetLost();
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::LinkFailed) > 0; }, 5000));
    Pump(1500);
    EXPECT_EQ(recorder.Count(Notice::LinkFailed), 1);
    EXPECT_FALSE(port.WorkerRunning());
}

TEST_F(SerialWorkerTest, WrongProgramNumberHoldsTheExchangeUntilTheBoxCloses) {
    FakeLine* line = Open([](const std::vector<uint8_t>& f) -> FakeLine::Answer {
        if (f[4] == 0x82) {
            std::vector<uint8_t> d(1 + sizeof(ProgramImage), 0x44);
            d[0] = 5;  // asked for 4
            return {EncodeFrame(0x82, d), 2};
        }
        return Acknowledge(f);
    });
    Clock::time_point closed;
    ui.onWrongProgram = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        closed = Clock::now();
    };
    QueueFrame(0x82, {4});
    ASSERT_TRUE(port.StartWorker());
    ASSERT_TRUE(WaitUntil([&] { return line->WriteCount() >= 2; }, 5000));
    port.StopWorker();
    EXPECT_EQ(ui.wrongProgram, 1);
    EXPECT_GE(line->WrittenFrames()[1].at, closed);
    EXPECT_EQ(ProgramBank.programs[3].EchoA.repeat, 0x44);  // stored as the requested one
}

}  // namespace
