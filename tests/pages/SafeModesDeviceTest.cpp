// The System page's modes against the virtual processor, where one click could lose stored
// work: a store asks before it overwrites a named program, a recall over unstored edits keeps
// them (in a file and in slot B of A/B), and "Import all" first backs up the processor's bank,
// asks, keeps the processor's passwords and leaves the processor playing the program the editor
// shows.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

#include "AbCompare.h"
#include "Ask.h"
#include "BitButton.h"
#include "BitComboBox.h"
#include "CommProtocol.h"
#include "CompareBar.h"
#include "EnglishEdit.h"
#include "PagesTestSupport.h"
#include "ProgramFile.h"
#include "SysDlg.h"
#include "SysDlgDeviceFixture.h"

namespace qx {
namespace {

using namespace qx::test;

void Name(U8 (&name)[kNameLength], const char* text) {
    for (int i = 0; i < kNameLength; ++i) {
        name[i] = static_cast<uint8_t>(i < static_cast<int>(std::strlen(text)) ? text[i] : ' ');
    }
}

class SafeModesDeviceTest : public SysDlgDeviceFixture {
  protected:
    void SetUp() override {
        StartProcessor();
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("MusicFile"));
        sim->Unpaced();
        sim->processor.Modify([](ParamImage&, BankImage& bank) {
            Name(bank.programs[5].name, "EMU PROGRAM 06");
            bank.programs[4].EchoA.wetLevel = 12;
        });
        OpenWindow(folder);
        ASSERT_TRUE(window->Connect(*sim));
        storePermission = 1;
    }
    bool Settled() {
        return WaitUntil(
            [&] {
                ParamGuard guard(ParamLock);
                return !deviceBusy && (*window)->Progress()->CurrentForm() == CShow_Dlg::kHidden &&
                       window->dlg->Link().Protocol().FrameCount() == 0;
            },
            kBankWaitMs);
    }
    QStringList Files(const char* pattern) const {
        return QDir(folder).entryList({QString::fromLatin1(pattern)}, QDir::Files);
    }

    QTemporaryDir dir;
    QString folder;
};

TEST_F(SafeModesDeviceTest, StoreAsksNamingTheProgramAndRecallKeepsUnstoredEdits) {
    Choose(5);  // program 6
    page->Edit(CSysDlg::kNameEdit)->setText(QStringLiteral("Duet"));
    {
        CAsk::Scripted answers({1});  // No
        Click(CSysDlg::kStore);
        ASSERT_EQ(answers.Asked().size(), 1U);
        EXPECT_EQ(answers.Asked()[0].text, QStringLiteral("Overwrite program 6 'EMU PROGRAM 06'?"));
        ASSERT_TRUE(Settled());
        EXPECT_EQ(sim->processor.CountRequests(kCmdStore), 0);
        EXPECT_TRUE(Same(sim->processor.StoredProgram(6).name, "EMU PROGRAM 06", 14));
    }
    {
        CAsk::Scripted answers({0});
        Choose(5);  // the list went back to the current program after the refusal
        page->Edit(CSysDlg::kNameEdit)->setText(QStringLiteral("Duet"));
        Click(CSysDlg::kStore);
        ASSERT_TRUE(
            WaitUntil([&] { return Same(sim->processor.StoredProgram(6).name, "Duet    ", 8); },
                      kDeviceWaitMs))
            << answers.Asked().size() << " asked, stores "
            << sim->processor.CountRequests(kCmdStore) << " errors "
            << errors.join(QStringLiteral("; ")).toStdString() << " name "
            << page->Edit(CSysDlg::kNameEdit)->text().toStdString() << " enabled "
            << page->Binding().Widget(CSysDlg::kStore)->isEnabled();
    }
    ASSERT_TRUE(Settled());

    // An edit not stored, then a recall: the edit is kept in a file and the notice says where.
    ParameterSet.program.EchoA.wetLevel = 37;
    ASSERT_TRUE(Settled());
    Choose(4);  // program 5
    Click(CSysDlg::kRecall);
    const QStringList snapshots = Files("before-recall-*.dia");
    ASSERT_EQ(snapshots.size(), 1);
    ParamImage saved;
    ASSERT_TRUE(
        CProgramFile::ReadProgram(QDir(folder).filePath(snapshots[0]).toStdString(), saved).ok);
    EXPECT_EQ(saved.program.EchoA.wetLevel, 37);
    EXPECT_TRUE((*window)->Notice().contains(snapshots[0]));
    ASSERT_TRUE(
        WaitUntil([&] { return ParameterSet.program.EchoA.wetLevel == 12; }, kDeviceWaitMs));
    ASSERT_TRUE(Settled());

    // The edits also wait in slot B: one press of A/B brings them back to the processor.
    CAbCompare& ab = (*window)->CompareBar()->Compare();
    EXPECT_TRUE(ab.Started());
    EXPECT_EQ((*window)->CompareBar()->SlotText(), QStringLiteral("A"));
    EXPECT_TRUE((*window)->Notice().contains(QStringLiteral("slot B")));
    ab.Press();
    EXPECT_EQ(ParameterSet.program.EchoA.wetLevel, 37);
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.Image().program.EchoA.wetLevel == 37; },
                          kDeviceWaitMs));
    ab.Press();
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.Image().program.EchoA.wetLevel == 12; },
                          kDeviceWaitMs));
    ASSERT_TRUE(Settled());

    // Nothing edited since the recall: a second recall keeps nothing and puts nothing aside.
    Click(CSysDlg::kRecall);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Files("before-recall-*.dia").size(), 1);
    EXPECT_FALSE(ab.AsidePending());
}

TEST_F(SafeModesDeviceTest, ImportAllBacksUpAsksKeepsPasswordsAndLeavesBothOnOneProgram) {
    // The file: other passwords, program 3 current, program 3 changed.
    auto bank = EditorBank();
    std::memcpy(&bank->BankSystemBlock.block.systemPassword, "999999", 6);
    std::memcpy(&bank->BankSystemBlock.block.panelPassword, "8888", 4);
    bank->BankSystemBlock.block.currentProgram = 3;
    bank->programs[2].EchoA.wetLevel = 66;
    bank->programs[2].Mic1.bands[2].freqCode = 400;  // beyond its range: loaded clamped
    const QString path = dir.filePath(QStringLiteral("venue.dat"));
    ASSERT_TRUE(CProgramFile::WriteBank(path.toStdString(), *bank).ok);

    CAsk::Scripted answers({0});  // replace, keep the passwords
    nextPath = path;
    Click(CSysDlg::kImportAll);
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.StoredProgram(3).EchoA.wetLevel == 66; },
                          kBankWaitMs))
        << errors.join(QStringLiteral("; ")).toStdString();
    ASSERT_TRUE(Settled());

    // The backup holds what the processor had, and the question named it and the file.
    const QStringList backups = Files("backup-*.dat");
    ASSERT_EQ(backups.size(), 1);
    auto backup = std::make_unique<BankImage>();
    ASSERT_TRUE(
        CProgramFile::ReadBank(QDir(folder).filePath(backups[0]).toStdString(), *backup).ok);
    EXPECT_EQ(backup->programs[4].EchoA.wetLevel, 12);
    EXPECT_TRUE(Same(backup->BankSystemBlock.block.systemPassword, "123456", 6));
    ASSERT_EQ(answers.Asked().size(), 1U);
    EXPECT_TRUE(answers.Asked()[0].text.contains(backups[0]));
    EXPECT_TRUE(answers.Asked()[0].text.contains(path));

    // The processor's passwords stay; processor and editor play the same program 3.
    const ParamImage held = sim->processor.Image();
    EXPECT_TRUE(Same(held.system.block.systemPassword, "123456", 6));
    EXPECT_TRUE(Same(held.system.block.panelPassword, "4321", 4));
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 3);
    EXPECT_EQ(held.program.EchoA.wetLevel, 66);
    EXPECT_EQ(held.program.Mic1.bands[2].freqCode, 361);
    EXPECT_EQ(ParameterSet.program.Mic1.bands[2].freqCode, 361);
    EXPECT_EQ(std::memcmp(&held.program, &ParameterSet.program, sizeof(ProgramImage)), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QStringLiteral("; ")).toStdString();
}

TEST_F(SafeModesDeviceTest, ImportAllCancelledAfterTheBackupWritesNothing) {
    auto bank = EditorBank();
    bank->programs[4].EchoA.wetLevel = 70;
    const QString path = dir.filePath(QStringLiteral("other.dat"));
    ASSERT_TRUE(CProgramFile::WriteBank(path.toStdString(), *bank).ok);

    CAsk::Scripted answers({2});  // Cancel
    nextPath = path;
    Click(CSysDlg::kImportAll);
    ASSERT_TRUE(WaitUntil([&] { return !answers.Asked().empty(); }, kBankWaitMs));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Files("backup-*.dat").size(), 1);
    EXPECT_EQ(sim->processor.CountRequests(kCmdWriteProgram), 0);
    EXPECT_EQ(sim->processor.StoredProgram(5).EchoA.wetLevel, 12);
}

}  // namespace
}  // namespace qx
