// Discovery, reading and keeping the processor in step, against the virtual processor over
// real pseudo-terminals.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChangeSync.h"
#include "DeviceLink.h"
#include "LinkState.h"
#include "LinkTestSupport.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "SimOnPty.h"
#include "VirtualProcessor.h"

using namespace qx;
using namespace linktest;

namespace {

// Fills the processor's image, names and system block with values unlike the editor's.
void Scramble(CVirtualProcessor& sim, unsigned seed) {
    sim.Modify([seed](ParamImage& img, BankImage& bank) {
        std::mt19937 rng(seed);
        for (const SyncItem& item : SyncItems()) {
            for (int scene = 1; scene <= 3; ++scene) {
                uint8_t* p = BytesOf(img) + SyncItemOffset(item, scene);
                if (item.command == 0x04 || item.command == 0x8E) {
                    continue;  // filter kinds and the output mode stay meaningful
                }
                for (int i = 0; i < item.length; ++i) {
                    p[i] = static_cast<uint8_t>(rng());
                }
            }
        }
        img.program.OutputMode.raw = 2;
        for (int i = 0; i < kNameLength; ++i) {
            img.program.name[i].raw = static_cast<uint8_t>('a' + rng() % 26);
            for (auto& prog : bank.programs) {
                prog.name[i].raw = static_cast<uint8_t>('A' + rng() % 26);
            }
        }
        img.system.block.reserved[3].raw = 0x5A;
        img.system.extraWord = 0x1234;
    });
}

// True when the processor holds every field the synchroniser compares as the editor does.
bool SameOnComparedFields(const ParamImage& a, const ParamImage& b, int scene,
                          std::string* where = nullptr) {
    for (const SyncItem& item : SyncItems()) {
        const int off = SyncItemOffset(item, scene);
        for (int i = 0; i < item.length; ++i) {
            uint8_t x = BytesOf(a)[off + i];
            uint8_t y = BytesOf(b)[off + i];
            if (item.kind == SyncKind::LowNibble) {
                x &= 0x0F, y &= 0x0F;
            } else if (item.kind == SyncKind::HighNibble) {
                x &= 0xF0, y &= 0xF0;
            }
            if (x != y) {
                if (where != nullptr) {
                    *where = "cmd " + std::to_string(item.command) + " idx " +
                             std::to_string(item.index) + " byte " + std::to_string(i) +
                             ": editor " + std::to_string(x) + ", processor " + std::to_string(y);
                }
                return false;
            }
        }
    }
    return true;
}

ParamImage EditorImage() {
    ParamGuard guard(ParamLock);
    ParamImage img;
    AtomicCopy(&img, &ParameterSet, sizeof img);
    return img;
}

class DeviceLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        link = std::make_unique<CDeviceLink>(&ui);
        recorder.Watch(*link);
        link->Port().SetTiming(LinkTiming::Fast());
        QObject::connect(link.get(), &CDeviceLink::linkFailed,
                         [this](int l) { failures.push_back(l); });
    }
    void TearDown() override {
        link.reset();
        linkChannel = 0;
        online = false;
        deviceBusy = false;
    }
    // Connects to the given terminals, in order, and waits for the current program's reply.
    bool Connect(std::vector<std::string> paths, int timeoutMs = 10000) {
        link->SetPortSource([paths] {
            std::vector<PortInfo> list;
            for (const auto& p : paths) {
                list.push_back(Port(p));
            }
            return list;
        });
        link->ConnectDevice();
        return WaitUntil([&] { return recorder.Count(Notice::ProgramReceived) > 0; }, timeoutMs);
    }
    // Random single-field edits from this (the user-interface) thread, without the lock.
    void EditRandomFields(std::mt19937& rng, int edits) {
        const auto items = SyncItems();
        const int scene = SceneInForce();
        for (int k = 0; k < edits; ++k) {
            const SyncItem& item = items[rng() % items.size()];
            if (item.command == 0x04 || item.command == 0x8E) {
                continue;
            }
            uint8_t* p = BytesOf(ParameterSet) + SyncItemOffset(item, scene);
            for (int i = 0; i < item.length; ++i) {
                StoreByte(p[i], static_cast<uint8_t>(rng()));
            }
            if (k % 10 == 0) {
                Pump(20);
            }
        }
    }
    bool WaitInStep(Sim& sim, int timeoutMs = 30000) {
        const bool same = WaitUntil(
            [&] {
                return SameOnComparedFields(EditorImage(), sim.processor.Image(), SceneInForce());
            },
            timeoutMs);
        std::string where;
        if (!same) {
            SameOnComparedFields(EditorImage(), sim.processor.Image(), SceneInForce(), &where);
            ADD_FAILURE() << "first difference: " << where;
        }
        return same;
    }

    UiRecorder ui;
    NoticeRecorder recorder;
    std::unique_ptr<CDeviceLink> link;
    std::vector<int> failures;
};

TEST_F(DeviceLinkTest, FindsTheDeviceOnTheSecondPortAndReadsIt) {
    link->Port().SetTiming(LinkTiming::Real());  // discovery at the processor's own pace
    SimOptions silent;
    silent.silent = true;
    Sim first(silent);
    Sim second;
    ASSERT_TRUE(first.started && second.started);
    Scramble(second.processor, 11);

    ASSERT_TRUE(Connect({first.server.Path(), second.server.Path()}, 15000));
    EXPECT_EQ(first.processor.CountRequests(0x7F), 3);
    EXPECT_EQ(failures, std::vector<int>{1});
    EXPECT_EQ(ui.lookups, 1);  // not shown again for the second port
    EXPECT_EQ(link->CurrentPortName().toStdString(), second.server.Path());
    EXPECT_TRUE(online);
    EXPECT_EQ(linkChannel, 1);

    // The probe, then exactly the 24 reads, in order.
    const auto requests = second.processor.Requests();
    ASSERT_GE(requests.size(), 25u);
    EXPECT_EQ(requests[0][4], 0x7F);
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(requests[1 + i][4], 0x80);
        EXPECT_EQ(requests[1 + i][5], i);
    }
    EXPECT_EQ(requests[23][4], 0x81);
    EXPECT_EQ(requests[24][4], 0x82);
    EXPECT_EQ(second.processor.CountRequests(0x80), 22);
    EXPECT_EQ(ui.progressTotal, 24);
    Pump(50);
    std::vector<int> expectedSteps(24);
    for (int i = 0; i < 24; ++i) {
        expectedSteps[static_cast<std::size_t>(i)] = i + 1;
    }
    EXPECT_EQ(ui.steps, expectedSteps);
    EXPECT_EQ(recorder.Count(Notice::SystemReceived), 1);

    const ParamImage dev = second.processor.Image();
    const ParamImage ed = EditorImage();
    EXPECT_EQ(std::memcmp(&ed.program, &dev.program, sizeof(ProgramImage)), 0);
    EXPECT_EQ(std::memcmp(&ed.system, &dev.system, sizeof(SystemImage)), 0);
    for (int p = 1; p <= kProgramCount; ++p) {
        const ProgramImage stored = second.processor.StoredProgram(p);
        EXPECT_EQ(std::memcmp(ProgramBank.programs[p - 1].name, stored.name, kNameLength), 0);
    }
    // What was read counts as sent: only idle polls follow.
    Pump(300);
    const auto later = second.processor.Requests();
    for (std::size_t i = 25; i < later.size(); ++i) {
        EXPECT_TRUE(later[i][4] == 0x0C || later[i][4] == 0x18) << int(later[i][4]);
    }

    // The connect button while online disconnects without a message.
    link->ConnectDevice();
    EXPECT_FALSE(online);
    EXPECT_EQ(ui.unableToOpen, 0);
}

TEST_F(DeviceLinkTest, EditsReachTheProcessorDespiteRejectionsAndBadChecksums) {
    SimOptions faulty;
    faulty.rejectEvery = 4;
    faulty.corruptEvery = 7;
    Sim sim(faulty);
    ASSERT_TRUE(sim.started);
    ASSERT_TRUE(Connect({sim.server.Path()}, 15000));
    std::mt19937 rng(5);
    for (int round = 0; round < 2; ++round) {
        EditRandomFields(rng, 8);
        Pump(200);
    }
    EXPECT_TRUE(WaitInStep(sim));
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(online);
}

TEST_F(DeviceLinkTest, SlowlyArrivingRepliesWithTheOtherHeader) {
    // At the processor's own timing, 7-byte pieces 3 ms apart: a program image takes well over
    // a second to arrive, longer than the quiet polling would wait for silence, yet the
    // processor is answering.
    link->Port().SetTiming(LinkTiming::Real());
    SimOptions opt;
    opt.chunkSize = 7;
    opt.chunkGapMs = 3;
    opt.altHeader = true;
    Sim sim(opt);
    ASSERT_TRUE(sim.started);
    Scramble(sim.processor, 3);
    ASSERT_TRUE(Connect({sim.server.Path()}, 20000));
    const ParamImage ed = EditorImage();
    const ParamImage dev = sim.processor.Image();
    EXPECT_EQ(std::memcmp(&ed.program, &dev.program, sizeof(ProgramImage)), 0);
    EXPECT_EQ(sim.processor.CountRequests(0x82), 1);  // never sent again
    std::mt19937 rng(9);
    EditRandomFields(rng, 20);
    EXPECT_TRUE(WaitInStep(sim));
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(online);
}

TEST_F(DeviceLinkTest, WholeBankOfSlowlyArrivingImagesIsReadOnce) {
    // The same at the fast test timing, scaled: each image arrives in pieces over about
    // 0.35 s, more than the quiet polling waits for silence and within the reply's allowance.
    const LinkTiming timing = LinkTiming::Fast();
    SimOptions opt;
    opt.chunkSize = 16;
    opt.chunkGapMs = 2;
    opt.paceLine = false;
    opt.altHeader = true;
    const int arrivalMs = static_cast<int>(sizeof(ProgramImage)) / opt.chunkSize * opt.chunkGapMs;
    ASSERT_GT(arrivalMs, timing.quietPolls * timing.quietPollMs);
    ASSERT_LT(arrivalMs, timing.LineTimeMs(sizeof(ProgramImage)) + timing.replyMarginMs);
    Sim sim(opt);
    ASSERT_TRUE(sim.started);
    Scramble(sim.processor, 4);
    ASSERT_TRUE(Connect({sim.server.Path()}, 20000));

    // The whole bank, 21 images, each read exactly once.
    link->SendDeviceCommand(kCmdReadProgram, 1);
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::BankReceived) > 0; }, 60000));
    EXPECT_EQ(sim.processor.CountRequests(0x82), 1 + kProgramCount);
    // The worker wrote the bank under ParamLock; the notice came through Qt's queue, which
    // ThreadSanitizer cannot see, so the bank is read under the lock too.
    ParamGuard guard(ParamLock);
    for (int p = 1; p <= kProgramCount; ++p) {
        const ProgramImage stored = sim.processor.StoredProgram(p);
        EXPECT_EQ(std::memcmp(&ProgramBank.programs[p - 1], &stored, sizeof stored), 0) << p;
    }
    EXPECT_TRUE(failures.empty());
    EXPECT_TRUE(online);
}

TEST_F(DeviceLinkTest, ClosedTerminalMidSessionDropsTheLinkOnce) {
    auto sim = std::make_unique<Sim>();
    ASSERT_TRUE(sim->started);
    ASSERT_TRUE(Connect({sim->server.Path()}));
    std::mt19937 rng(1);
    EditRandomFields(rng, 10);
    Pump(100);
    const ParamImage before = EditorImage();
    sim->server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return !failures.empty(); }, 8000));
    Pump(1500);
    EXPECT_EQ(failures, std::vector<int>{0});
    EXPECT_FALSE(online);
    EXPECT_EQ(linkChannel, 0);
    // A link that worked is told as lost, not as a search that found nothing.
    EXPECT_EQ(ui.connectionLost, 1);
    EXPECT_EQ(ui.unableToOpen, 0);
    EXPECT_FALSE(link->Port().IsOpen());
    const ParamImage after = EditorImage();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(DeviceLinkTest, NoDeviceAnywhereStaysOffline) {
    SimOptions silent;
    silent.silent = true;
    Sim sim(silent);
    ASSERT_TRUE(sim.started);
    link->SetPortSource([&] {
        return std::vector<PortInfo>{Port("/nonexistent/tty"), Port(sim.server.Path())};
    });
    link->ConnectDevice();
    EXPECT_TRUE(online);  // the second port opened
    ASSERT_TRUE(WaitUntil([&] { return ui.unableToOpen > 0; }, 8000));
    EXPECT_EQ(sim.processor.CountRequests(0x7F), 3);
    EXPECT_FALSE(online);
    EXPECT_FALSE(portsPending);
    EXPECT_EQ(ui.connectionLost, 0);

    // No port at all: the message at once.
    link->SetPortSource([] { return std::vector<PortInfo>{}; });
    link->ConnectDevice();
    EXPECT_EQ(ui.unableToOpen, 2);
}

TEST_F(DeviceLinkTest, BulkCommandsOnlineAndOffline) {
    // Offline without a bank: a recall changes nothing.
    const ParamImage start = EditorImage();
    link->SendDeviceCommand(kCmdRecall, 3);
    EXPECT_EQ(std::memcmp(&start, &ParameterSet, sizeof start), 0);
    // Offline with a bank: the stored program becomes the current one.
    ProgramBank.bankValid = 1;
    ProgramBank.programs[2].EchoA.repeat = 77;
    link->SendDeviceCommand(kCmdRecall, 3);
    EXPECT_EQ(ParameterSet.program.EchoA.repeat, 77);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 3);
    EXPECT_EQ(SentImage.program.EchoA.repeat, 77);
    link->SendDeviceCommand(kCmdReadProgram, 1);
    EXPECT_TRUE(WaitUntil([&] { return ui.bankSaves == 1; }, 1000));
    ProgramBank.bankValid = 0;

    Sim sim;
    ASSERT_TRUE(sim.started);
    ASSERT_TRUE(Connect({sim.server.Path()}));
    const SystemBlock devBefore = sim.processor.Image().system.block;

    // Store as program 6: current program follows, the wait form shows until the reply.
    link->SendDeviceCommand(kCmdStore, 6);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 6);
    EXPECT_TRUE(WaitUntil([&] { return ui.programChanges == 1 && ui.transfers == 1; }, 1000));
    ASSERT_TRUE(WaitUntil([] { return !deviceBusy; }, 5000));
    // Password commands right after reading change nothing on the device.
    link->SendDeviceCommand(kCmdSystemPassword, 0);
    link->SendDeviceCommand(kCmdPanelPassword, 0);
    ASSERT_TRUE(WaitUntil([&] { return sim.processor.CountRequests(0x8D) == 1; }, 5000));
    Pump(100);
    const SystemBlock devAfter = sim.processor.Image().system.block;
    EXPECT_EQ(std::memcmp(devBefore.systemPassword, devAfter.systemPassword, 6), 0);
    EXPECT_EQ(std::memcmp(devBefore.panelPassword, devAfter.panelPassword, 4), 0);
    EXPECT_EQ(sim.processor.StoredProgram(6).EchoA.repeat, ParameterSet.program.EchoA.repeat);
}

// Fails every user-facing call made while another thread could not take ParamLock.
class LockCheckingUi : public UiRecorder {
  public:
    void StartProgress(int total) override {
        Check("progress form");
        UiRecorder::StartProgress(total);
    }
    void ShowTransfer() override {
        Check("wait form");
        UiRecorder::ShowTransfer();
    }
    void CurrentProgramChanged() override {
        Check("top bar");
        UiRecorder::CurrentProgramChanged();
    }
    void SaveBankToFile() override {
        Check("save dialog");
        UiRecorder::SaveBankToFile();
    }
    std::vector<std::string> heldDuring;

  private:
    void Check(const char* what) {
        bool free = false;
        std::thread probe([&] {
            if (ParamLock.try_lock()) {
                free = true;
                ParamLock.unlock();
            }
        });
        probe.join();
        if (!free) {
            heldDuring.push_back(what);
        }
    }
};

TEST_F(DeviceLinkTest, NothingIsShownWhileParamLockIsHeld) {
    LockCheckingUi checking;
    link->SetUi(&checking);
    // Online without a worker, so only the calls under test can hold the lock.
    online = true;
    link->SendDeviceCommand(kCmdStore, 4);        // top bar and wait form
    link->SendDeviceCommand(kCmdReadProgram, 1);  // progress form
    link->ReadDevice();                           // progress form
    {
        // Device modes queue several commands as a whole, holding the lock themselves.
        ParamGuard guard(ParamLock);
        link->SendDeviceCommand(kCmdRecall, 2);
        link->StartQueueProgress();
    }
    online = false;
    ProgramBank.bankValid = 1;
    link->SendDeviceCommand(kCmdReadProgram, 1);  // offline: the bank's save dialog
    ProgramBank.bankValid = 0;
    ASSERT_TRUE(WaitUntil([&] { return checking.bankSaves == 1; }, 1000));
    Pump(50);
    EXPECT_EQ(checking.programChanges, 1);
    EXPECT_EQ(checking.transfers, 5);  // without a worker the processor stays busy
    EXPECT_EQ(checking.progressTotal, link->Protocol().FrameCount());
    EXPECT_TRUE(checking.heldDuring.empty()) << checking.heldDuring.front();
    link->Protocol().ClearQueue();
    deviceBusy = false;
}

}  // namespace
