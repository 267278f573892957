// The editor session against the virtual processor on a pseudo-terminal: the order of what it
// tells on connecting, offline work kept before the processor's image replaces it, and images
// replaced by the device modes counting as loaded.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../link/LinkTestSupport.h"
#include "CommProtocol.h"
#include "DeviceLink.h"
#include "EditorSession.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "SessionFixture.h"
#include "VirtualProcessor.h"

namespace qx {
namespace {

using linktest::UiRecorder;
using linktest::WaitUntil;

// A user interface that asks for monitor blocks, as the System page does while shown.
class MonitorUi : public UiRecorder {
  public:
    bool TakeMonitorRequest() override { return true; }
};

class EditorSessionTest : public test::SessionFixture {
  protected:
    void SetUp() override {
        StartSession(ui);
        Record();
    }
    // Every signal, in the order the session emits them.
    void Record() {
        CEditorSession* s = session.get();
        QObject::connect(s, &CEditorSession::onlineChanged,
                         [this](bool on) { told.push_back(on ? "online" : "offline"); });
        QObject::connect(s, &CEditorSession::offlineWorkKept,
                         [this](const QString& path, const QString& error) {
                             told.push_back("kept");
                             keptPath = path;
                             keptError = error;
                         });
        QObject::connect(s, &CEditorSession::deviceFound, [this] {
            told.push_back("found");
            // Nothing is queued yet: the reads that replace the image come after this.
            queuedWhenFound = session->Link().Protocol().FrameCount();
        });
        QObject::connect(s, &CEditorSession::systemReceived, [this] { told.push_back("system"); });
        QObject::connect(s, &CEditorSession::programReceived,
                         [this] { told.push_back("program"); });
        QObject::connect(s, &CEditorSession::monitorReceived,
                         [this](int poll) { polls.push_back(poll); });
        QObject::connect(s, &CEditorSession::linkFailed, [this](int) { told.push_back("failed"); });
        QObject::connect(s, &CEditorSession::imageReplaced, [this] { told.push_back("replaced"); });
    }
    bool Connect() {
        told.clear();
        session->ConnectDevice();
        return WaitUntil(
            [&] { return std::find(told.begin(), told.end(), "program") != told.end(); }, 15000);
    }
    QStringList Kept() const { return Files("offline-*.dia"); }

    MonitorUi ui;
    std::vector<std::string> told;
    std::vector<int> polls;
    QString keptPath;
    QString keptError;
    int queuedWhenFound = -1;
};

TEST_F(EditorSessionTest, OfflineWorkIsKeptBeforeTheReadsAndEverythingIsToldInOrder) {
    ParameterSet.program.MusicLeft.limiter.level = 17;
    ParamImage offline;
    std::memcpy(&offline, &ParameterSet, sizeof offline);

    ASSERT_TRUE(Connect());
    EXPECT_EQ(told, (std::vector<std::string>{"online", "kept", "found", "system", "program"}));
    EXPECT_EQ(queuedWhenFound, 0);
    EXPECT_TRUE(keptError.isEmpty());
    ASSERT_EQ(Kept().size(), 1);
    EXPECT_EQ(QDir(folder).filePath(Kept()[0]), keptPath);
    ParamImage saved;
    ASSERT_TRUE(CProgramFile::ReadProgram(keptPath.toStdString(), saved).ok);
    EXPECT_EQ(std::memcmp(&saved, &offline, sizeof saved), 0);
    EXPECT_NE(ParameterSet.program.MusicLeft.limiter.level, 17);  // the processor's now

    // The idle polls' monitor blocks, both kinds, while the user interface asks for them.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return std::count(polls.begin(), polls.end(), 0x0C) > 0 &&
                   std::count(polls.begin(), polls.end(), 0x18) > 0;
        },
        5000));

    // The processor's image counts as loaded: connecting again keeps nothing.
    session->DisconnectDevice();
    EXPECT_EQ(told.back(), "offline");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(told, (std::vector<std::string>{"online", "found", "system", "program"}));
    EXPECT_EQ(Kept().size(), 1);
}

TEST_F(EditorSessionTest, AnOfflineRecallCountsAsLoadedAndALostLineIsToldOnce) {
    // Offline, a recall takes the program from the stored bank; the device modes then say the
    // image was replaced, and it counts as loaded: connecting keeps no offline work.
    {
        ParamGuard guard(ParamLock);
        ProgramBank.bankValid = 1;
        ProgramBank.programs[2].MusicLeft.limiter.level = 23;
    }
    DeviceModeHooks hooks = session->ModeHooks();
    hooks.sendDeviceCommand(kCmdRecall, 3);
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 23);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 3);
    hooks.refresh();
    EXPECT_EQ(told, std::vector<std::string>{"replaced"});
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(Kept().isEmpty());
    EXPECT_TRUE(keptPath.isEmpty());

    // The processor goes away: one failure, offline, one box saying the link was lost.
    told.clear();
    server->Stop();
    ASSERT_TRUE(WaitUntil([&] { return !online; }, 8000));
    linktest::Pump(300);
    EXPECT_EQ(std::count(told.begin(), told.end(), "failed"), 1);
    EXPECT_EQ(std::count(told.begin(), told.end(), "offline"), 1);
    EXPECT_EQ(ui.connectionLost, 1);
    EXPECT_EQ(ui.unableToOpen, 0);
}

}  // namespace
}  // namespace qx
