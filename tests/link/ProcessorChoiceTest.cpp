// The search with a chooser: every port is probed, and when processors answer on several the
// chooser decides which one is edited; only that one is read.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DeviceLink.h"
#include "LinkState.h"
#include "LinkTestSupport.h"
#include "ParameterSet.h"
#include "SimOnPty.h"
#include "VirtualProcessor.h"

using namespace qx;
using namespace linktest;

namespace {

class ProcessorChoiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        link = std::make_unique<CDeviceLink>(&ui);
        recorder.Watch(*link);
        link->Port().SetTiming(LinkTiming::Fast());
        QObject::connect(link.get(), &CDeviceLink::onlineChanged, [this](bool on) {
            if (!on) {
                ++wentOffline;
            }
        });
    }
    void TearDown() override {
        link.reset();
        linkChannel = 0;
        online = false;
        deviceBusy = false;
    }
    void Search(const std::vector<std::string>& paths) {
        link->SetPortSource([paths] {
            std::vector<PortInfo> list;
            for (const auto& p : paths) {
                list.push_back(Port(p));
            }
            return list;
        });
        link->ConnectDevice();
    }
    // A chooser that records what it was offered and picks the given row.
    void ChooseRow(int row) {
        link->SetProcessorChooser([this, row](const std::vector<QString>& answered) {
            offered.push_back(answered);
            return row;
        });
    }

    UiRecorder ui;
    NoticeRecorder recorder;
    std::unique_ptr<CDeviceLink> link;
    std::vector<std::vector<QString>> offered;
    int wentOffline = 0;
};

}  // namespace

TEST_F(ProcessorChoiceTest, SeveralAnsweringAsksAndReadsOnlyTheChosen) {
    SimOptions silent;
    silent.silent = true;
    Sim first, quiet(silent), second;
    ASSERT_TRUE(first.started && quiet.started && second.started);
    ChooseRow(1);
    Search({first.server.Path(), quiet.server.Path(), second.server.Path()});
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::ProgramReceived) > 0; }, 15000));

    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], (std::vector<QString>{QString::fromStdString(first.server.Path()),
                                                QString::fromStdString(second.server.Path())}));
    EXPECT_EQ(link->CurrentPortName().toStdString(), second.server.Path());
    EXPECT_EQ(recorder.Count(Notice::DeviceFound), 1);
    EXPECT_TRUE(online);
    EXPECT_EQ(ui.unableToOpen, 0);
    // Only the chosen processor is read; the other one was probed and left alone.
    EXPECT_EQ(first.processor.CountRequests(0x82), 0);
    EXPECT_GT(second.processor.CountRequests(0x82), 0);
}

TEST_F(ProcessorChoiceTest, ChoosingNoneStaysOfflineWithoutTheFailureMessage) {
    Sim first, second;
    ASSERT_TRUE(first.started && second.started);
    ChooseRow(-1);
    Search({first.server.Path(), second.server.Path()});
    ASSERT_TRUE(WaitUntil([&] { return !offered.empty() && wentOffline > 0; }, 15000));
    Pump(100);
    EXPECT_FALSE(online);
    EXPECT_FALSE(portsPending);
    EXPECT_EQ(ui.unableToOpen, 0);
    EXPECT_EQ(recorder.Count(Notice::DeviceFound), 0);
    EXPECT_FALSE(link->Port().IsOpen());
}

TEST_F(ProcessorChoiceTest, OneAnsweringConnectsWithoutAsking) {
    SimOptions silent;
    silent.silent = true;
    Sim quiet(silent), only;
    ASSERT_TRUE(quiet.started && only.started);
    ChooseRow(0);
    Search({only.server.Path(), quiet.server.Path()});
    ASSERT_TRUE(WaitUntil([&] { return recorder.Count(Notice::ProgramReceived) > 0; }, 15000));
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(link->CurrentPortName().toStdString(), only.server.Path());
    EXPECT_EQ(recorder.Count(Notice::DeviceFound), 1);
}
