// What the session keeps safe against the virtual processor: offline work is kept (and the
// question asked) only when there is some, it can be sent instead of replaced, a link that
// was working and is lost is told as lost and searched for again until the processor answers
// or the search is stopped, and closing keeps unsaved work for the next start.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../link/LinkTestSupport.h"
#include "Ask.h"
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

using linktest::WaitUntil;

class SafeSessionTest : public test::SessionFixture {
  protected:
    void SetUp() override {
        StartSession(ui);
        session->SetRetryMs(50);
        QObject::connect(session.get(), &CEditorSession::programReceived, [this] { ++programs; });
        QObject::connect(session.get(), &CEditorSession::deviceFound, [this] { ++found; });
        QObject::connect(session.get(), &CEditorSession::offlineWorkKept,
                         [this](const QString& p, const QString&) { kept.push_back(p); });
    }
    // Connects and waits until the processor's image (or the sent program) settled.
    bool Connect() {
        const int before = found;
        session->ConnectDevice();
        return WaitUntil([&] { return found > before; }, 15000) && Settle();
    }
    bool Settle() {
        return WaitUntil(
            [&] {
                ParamGuard guard(ParamLock);
                return session->Link().Protocol().FrameCount() == 0 && !deviceBusy &&
                       std::memcmp(&ParameterSet, &SentImage, sizeof(ParamImage)) == 0;
            },
            15000);
    }
    linktest::UiRecorder ui;
    int programs = 0;
    int found = 0;
    std::vector<QString> kept;
};

TEST(AskTest, UnattendedAnswersScriptsAndNestedScriptsRestoreTheirPredecessor) {
    CAsk::Question q;
    q.choices = {{CAsk::Yes, {}}, {CAsk::No, {}}, {CAsk::Cancel, {}}};
    q.unattended = 2;
    EXPECT_EQ(CAsk::Ask(q), 2);  // nobody there: the question's own answer
    EXPECT_TRUE(CAsk::Confirm(QStringLiteral("c"), QStringLiteral("t")));
    EXPECT_FALSE(CAsk::Confirm(QStringLiteral("c"), QStringLiteral("t"), false));
    {
        CAsk::Scripted outer({1, 0});
        EXPECT_EQ(CAsk::Ask(q), 1);
        {
            CAsk::Scripted inner({7});  // beyond the choices: the last one
            EXPECT_EQ(CAsk::Ask(q), 2);
            EXPECT_EQ(inner.Asked().size(), 1U);
        }
        EXPECT_EQ(CAsk::Ask(q), 0);
        EXPECT_EQ(CAsk::Ask(q), 0);  // the last answer repeats
        EXPECT_EQ(outer.Asked().size(), 3U);
    }
    EXPECT_EQ(CAsk::Ask(q), 2);
}

TEST_F(SafeSessionTest, OnlyRealOfflineWorkIsKeptAskedAboutAndCanBeSent) {
    CAsk::Scripted answers({CEditorSession::kSendOfflineWork});
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(answers.Asked().empty());

    // Live edits reach the processor: going offline and back keeps no file and asks nothing.
    ParameterSet.program.MusicLeft.limiter.level = 11;
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(session->HasUnsavedWork());
    session->DisconnectDevice();
    EXPECT_FALSE(session->HasUnsavedWork());
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(kept.empty());
    EXPECT_TRUE(answers.Asked().empty());
    EXPECT_TRUE(Files("offline-*.dia").isEmpty());

    // Work done offline is kept, asked about, and on "send" goes to the processor whole.
    session->DisconnectDevice();
    ParameterSet.program.MusicLeft.limiter.level = 29;
    EXPECT_TRUE(session->HasUnsavedWork());
    ASSERT_TRUE(Connect());
    ASSERT_EQ(kept.size(), 1U);
    ASSERT_EQ(answers.Asked().size(), 1U);
    EXPECT_TRUE(answers.Asked()[0].text.contains(kept[0]));
    ASSERT_TRUE(
        WaitUntil([&] { return processor->Image().program.MusicLeft.limiter.level == 29; }, 5000));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 29);
    EXPECT_FALSE(session->HasUnsavedWork());
}

TEST_F(SafeSessionTest, TheDefaultAnswerLoadsTheProcessorAndKeepsTheWorkInAFile) {
    ParameterSet.program.MusicLeft.limiter.level = 7;
    CAsk::Scripted answers({});  // every question takes its unattended answer
    ASSERT_TRUE(Connect());
    ASSERT_EQ(answers.Asked().size(), 1U);
    EXPECT_EQ(answers.Asked()[0].byDefault, CEditorSession::kLoadProcessor);
    ASSERT_TRUE(WaitUntil([&] { return programs > 0; }, 5000));
    EXPECT_NE(ParameterSet.program.MusicLeft.limiter.level, 7);
    ASSERT_EQ(kept.size(), 1U);
    ParamImage saved;
    ASSERT_TRUE(CProgramFile::ReadProgram(kept[0].toStdString(), saved).ok);
    EXPECT_EQ(saved.program.MusicLeft.limiter.level, 7);
}

TEST_F(SafeSessionTest, ALostLinkIsToldAsLostAndFoundAgainOrTheSearchStopped) {
    ASSERT_TRUE(Connect());
    std::vector<bool> searching;
    QObject::connect(session.get(), &CEditorSession::reconnectingChanged,
                     [&](bool on) { searching.push_back(on); });

    // The processor goes silent: the link is lost, not "unable to open", and searched for.
    SimOptions silent = processor->Options();
    silent.silent = true;
    processor->SetOptions(silent);
    ParameterSet.program.MusicLeft.limiter.level = 19;  // something to send
    ASSERT_TRUE(WaitUntil([&] { return ui.connectionLost == 1; }, 20000));
    EXPECT_EQ(ui.unableToOpen, 0);
    EXPECT_TRUE(session->Reconnecting());
    // Probes that find nothing while searching show no box.
    ASSERT_TRUE(WaitUntil([&] { return processor->CountRequests(kCmdProbe) >= 2; }, 20000));
    EXPECT_EQ(ui.unableToOpen, 0);

    // It answers again: the search ends by itself.
    const int before = found;
    silent.silent = false;
    processor->SetOptions(silent);
    ASSERT_TRUE(WaitUntil([&] { return found > before; }, 20000));
    EXPECT_FALSE(session->Reconnecting());
    EXPECT_EQ(searching, (std::vector<bool>{true, false}));
    ASSERT_TRUE(Settle());

    // Lost again; this time the person stops the search with the connect button.
    silent.silent = true;
    processor->SetOptions(silent);
    ParameterSet.program.MusicLeft.limiter.level = 21;
    ASSERT_TRUE(
        WaitUntil([&] { return ui.connectionLost == 2 && session->Reconnecting(); }, 20000));
    session->ConnectDevice();
    EXPECT_FALSE(session->Reconnecting());
    ASSERT_TRUE(WaitUntil([&] { return !online; }, 5000));
    const int probes = processor->CountRequests(kCmdProbe);
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(processor->CountRequests(kCmdProbe), probes);
    EXPECT_EQ(ui.unableToOpen, 0);
}

TEST_F(SafeSessionTest, ClosingKeepsUnsavedWorkAndTheNextStartSaysWhere) {
    // Nothing changed: nothing kept, nothing to say.
    EXPECT_TRUE(session->KeepWorkOnClose().isEmpty());
    EXPECT_TRUE(session->TakeLastSessionNotice().isEmpty());

    ParameterSet.program.EchoA.wetLevel = 9;
    QString error;
    const QString path = session->KeepWorkOnClose(&error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("offline-")));
    ParamImage saved;
    ASSERT_TRUE(CProgramFile::ReadProgram(path.toStdString(), saved).ok);
    EXPECT_EQ(saved.program.EchoA.wetLevel, 9);
    // Kept once: a second close (logout, then the window) writes nothing more.
    EXPECT_TRUE(session->KeepWorkOnClose().isEmpty());
    EXPECT_EQ(Files("offline-*.dia").size(), 1);

    // A new session in the same folder says where the work went, once.
    session.reset();
    CEditorSession next(folder);
    EXPECT_EQ(next.TakeLastSessionNotice(), path);
    EXPECT_TRUE(next.TakeLastSessionNotice().isEmpty());

    // A folder that cannot be written says why and claims nothing.
    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CEditorSession blocked(dir.filePath(QStringLiteral("blocked/MusicFile")));
    ParameterSet.program.EchoA.wetLevel = 10;
    EXPECT_TRUE(blocked.KeepWorkOnClose(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace qx
