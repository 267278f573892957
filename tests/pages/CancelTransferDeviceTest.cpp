// Cancel on the progress form of a bank read and of "Import all", against the virtual
// processor: the transfer stops between two programs, nothing partial is saved or taken as the
// processor's bank, the processor's programs are the first ones new and the rest as they were,
// processor and editor hold the same image afterwards, and the link goes on working.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

#include "Ask.h"
#include "CommProtocol.h"
#include "PagesTestSupport.h"
#include "ProgramFile.h"
#include "SysDlg.h"
#include "SysDlgDeviceFixture.h"
#include "TransferStop.h"

namespace qx {
namespace {

using namespace qx::test;

constexpr char kReadStopped[] =
    "Reading stopped: nothing was saved and the processor was not changed.";

ParamImage EditorImage() {
    ParamImage image;
    ParamGuard guard(ParamLock);
    AtomicCopy(&image, &ParameterSet, sizeof image);
    return image;
}

class CancelTransferDeviceTest : public SysDlgDeviceFixture {
  protected:
    void SetUp() override {
        StartProcessor();
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("MusicFile"));
        QDir().mkpath(folder);
        sim->Unpaced();
        // Every stored program differs from every other and from the file's below.
        sim->processor.Modify([](ParamImage&, BankImage& bank) {
            for (int k = 0; k < kProgramCount; ++k) {
                bank.programs[k].EchoA.wetLevel = static_cast<uint8_t>(10 + k);
            }
        });
        for (int p = 1; p <= kProgramCount; ++p) {
            before[p - 1] = sim->processor.StoredProgram(p);
        }
        OpenWindow(folder);
        // Saves and opens go to their own paths, and each kind of chooser is counted.
        CFileOperations::Prompts prompts;
        prompts.choosePath = [this](bool save, const QString&) {
            ++(save ? saveDialogs : openDialogs);
            return save ? savePath : openPath;
        };
        prompts.showError = [this](const QString&, const QString& text) { errors << text; };
        prompts.confirm = [](const QString&) { return true; };
        page->Files().SetPrompts(prompts);
        ASSERT_TRUE(window->Connect(*sim));
        storePermission = 1;
    }
    CShow_Dlg* Form() { return (*window)->Progress(); }
    // Waits until the form shows step `step` of `total` with Cancel offered.
    bool ReachStep(int total, int step) {
        return WaitUntil(
            [&] {
                return Form()->Total() == total && Form()->CancelShown() &&
                       static_cast<int>(Form()->Steps().size()) >= step;
            },
            kBankWaitMs);
    }
    bool Settled() {
        return WaitUntil(
            [&] {
                ParamGuard guard(ParamLock);
                return !deviceBusy && Form()->CurrentForm() == CShow_Dlg::kHidden &&
                       window->dlg->Link().Protocol().FrameCount() == 0;
            },
            kBankWaitMs);
    }
    QStringList Banks() const {
        return QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files);
    }
    // The person's next edit reaches the processor.
    void EditReachesProcessor(uint8_t wet) {
        ParameterSet.program.EchoB.wetLevel = wet;
        EXPECT_TRUE(WaitUntil([&] { return sim->processor.Image().program.EchoB.wetLevel == wet; },
                              kDeviceWaitMs));
    }
    void ExpectSameImages() {
        const ParamImage held = sim->processor.Image();
        const ParamImage shown = EditorImage();
        EXPECT_EQ(ChangedBytes(held, shown), std::vector<int>{});
        ParamImage sent;
        {
            ParamGuard guard(ParamLock);
            AtomicCopy(&sent, &SentImage, sizeof sent);
        }
        EXPECT_EQ(ChangedBytes(sent, shown), std::vector<int>{});
    }

    QTemporaryDir dir;
    QString folder;
    ProgramImage before[kProgramCount];
    QString savePath, openPath;
    int saveDialogs = 0, openDialogs = 0;
};

TEST_F(CancelTransferDeviceTest, EscapeStopsTheBankReadAndNothingIsSavedOrTakenAsTheBank) {
    // A whole read first: the bank is the processor's, and saved.
    savePath = dir.filePath(QStringLiteral("MusicFile/all.dat"));
    ASSERT_TRUE(Settled());
    Click(CSysDlg::kExportAll);
    ASSERT_TRUE(WaitUntil([&] { return saveDialogs == 1; }, kBankWaitMs));
    ASSERT_EQ(ProgramBank.bankValid, 1);
    ASSERT_TRUE(Settled());
    QFile saved(QDir(folder).filePath(QStringLiteral("all.dat")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray whole = saved.readAll();
    saved.close();

    savePath = dir.filePath(QStringLiteral("MusicFile/part.dat"));
    sim->processor.ClearRequests();
    Click(CSysDlg::kExportAll);
    ASSERT_TRUE(ReachStep(kProgramCount, 5));
    EXPECT_FALSE((*window)->Client()->isEnabled());
    QTest::keyClick(Form(), Qt::Key_Escape);

    // The form closes at once and the window is usable; the program on the line finishes.
    EXPECT_EQ(Form()->CurrentForm(), CShow_Dlg::kHidden);
    EXPECT_TRUE((*window)->Client()->isEnabled());
    const TransferStop stop = window->dlg->Link().LastStop();
    ASSERT_EQ(stop.kind, TransferKind::kBankRead);
    const int read = static_cast<int>(stop.done.size());
    EXPECT_GE(read, 5);
    EXPECT_LT(read, kProgramCount);
    ASSERT_TRUE(Settled());
    Pump(300);
    EXPECT_EQ(sim->processor.CountRequests(kCmdReadProgram), read);
    EXPECT_EQ(window->dlg->Link().Protocol().FrameCount(), 0);
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_EQ(Banks(), QStringList{QStringLiteral("all.dat")});
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), whole);
    EXPECT_EQ(ProgramBank.bankValid, 0);  // part of it read again: no longer a whole bank
    EXPECT_EQ(window->CountBoxes(QString::fromLatin1(kReadStopped)), 1);
    ExpectSameImages();
    EditReachesProcessor(21);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QStringLiteral("; ")).toStdString();
}

TEST_F(CancelTransferDeviceTest, StoppedBackupOfImportAllImportsNothingThenOrLater) {
    auto bank = EditorBank();
    openPath = dir.filePath(QStringLiteral("venue.dat"));
    ASSERT_TRUE(CProgramFile::WriteBank(openPath.toStdString(), *bank).ok);

    CAsk::Scripted answers({0, 0});
    Click(CSysDlg::kImportAll);
    ASSERT_TRUE(ReachStep(kProgramCount, 3));
    QTest::mouseClick(Form()->findChild<QPushButton*>(QStringLiteral("cancelTransfer")),
                      Qt::LeftButton);
    ASSERT_TRUE(Settled());
    Pump(100);  // the box follows the form's close from the event loop
    EXPECT_EQ(window->CountBoxes(QString::fromLatin1(kReadStopped)), 1);

    // A later "Export all" only saves: the stopped import does not come back with its bank.
    savePath = dir.filePath(QStringLiteral("MusicFile/later.dat"));
    Click(CSysDlg::kExportAll);
    ASSERT_TRUE(WaitUntil([&] { return saveDialogs == 1; }, kBankWaitMs));
    ASSERT_TRUE(Settled());
    EXPECT_TRUE(answers.Asked().empty());
    EXPECT_EQ(Banks(), QStringList{QStringLiteral("later.dat")});  // no backup-....dat
    EXPECT_EQ(sim->processor.CountRequests(kCmdWriteProgram), 0);
    EXPECT_EQ(sim->processor.CountRequests(kCmdWriteSystem), 0);
}

TEST_F(CancelTransferDeviceTest, StoppedImportAllLeavesTheFirstProgramsNewTheRestOldAndBothLevel) {
    // The file: each program its own, program 3 current, other passwords (to be replaced too).
    auto bank = EditorBank();
    for (int k = 0; k < kProgramCount; ++k) {
        bank->programs[k].EchoA.wetLevel = static_cast<uint8_t>(40 + k);
    }
    std::memcpy(&bank->BankSystemBlock.block.systemPassword, "999999", 6);
    std::memcpy(&bank->BankSystemBlock.block.panelPassword, "8888", 4);
    bank->BankSystemBlock.block.currentProgram = 3;
    openPath = dir.filePath(QStringLiteral("venue.dat"));
    ASSERT_TRUE(CProgramFile::WriteBank(openPath.toStdString(), *bank).ok);
    const SystemImage systemBefore = sim->processor.Image().system;

    CAsk::Scripted answers({1});  // replace, passwords too
    Click(CSysDlg::kImportAll);
    ASSERT_TRUE(ReachStep(kProgramCount + 1, 6));  // 21 programs and the system block
    EXPECT_EQ(Form()->CurrentForm(), CShow_Dlg::kProgress);
    QTest::mouseClick(Form()->findChild<QPushButton*>(QStringLiteral("cancelTransfer")),
                      Qt::LeftButton);
    const TransferStop stop = window->dlg->Link().LastStop();
    ASSERT_EQ(stop.kind, TransferKind::kBankWrite);
    EXPECT_TRUE(stop.systemDropped);
    const int written = static_cast<int>(stop.done.size());
    EXPECT_GE(written, 6);
    ASSERT_LT(written, kProgramCount);
    EXPECT_FALSE(Form()->CancelShown());
    ASSERT_TRUE(Settled());
    EXPECT_TRUE((*window)->Client()->isEnabled());
    EXPECT_EQ(window->dlg->Link().Protocol().FrameCount(), 0);

    // Exactly the first programs are the file's, the rest as they were, no half of any.
    for (int p = 1; p <= kProgramCount; ++p) {
        const ProgramImage stored = sim->processor.StoredProgram(p);
        const ProgramImage& expected = p <= written ? bank->programs[p - 1] : before[p - 1];
        EXPECT_EQ(std::memcmp(&stored, &expected, sizeof stored), 0) << "program " << p;
    }
    EXPECT_EQ(sim->processor.CountRequests(kCmdWriteProgram), written);
    EXPECT_EQ(sim->processor.CountRequests(kCmdWriteSystem), 0);

    // The system block and passwords are the processor's own; it plays program 3, as the
    // editor shows, and both hold the same image.
    const ParamImage held = sim->processor.Image();
    SystemImage expectedSystem = systemBefore;
    expectedSystem.block.currentProgram = 3;
    EXPECT_EQ(std::memcmp(&held.system, &expectedSystem, sizeof(SystemImage)), 0);
    EXPECT_EQ(held.program.EchoA.wetLevel, 42);
    ExpectSameImages();
    EXPECT_EQ(ProgramBank.bankValid, 0);
    EXPECT_EQ(CDeviceModes::ShownName(ProgramBank.programs[20].name),
              CDeviceModes::ShownName(before[20].name));

    // The person is told which programs hold what.
    Pump(100);
    const QString told = QString::fromStdString(TransferStopText(stop));
    EXPECT_EQ(window->CountBoxes(told), 1);
    EXPECT_TRUE(
        told.contains(QStringLiteral("Programs 1-%1 now hold the new contents.").arg(written)))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("keep their earlier contents")));
    EditReachesProcessor(22);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QStringLiteral("; ")).toStdString();
}

TEST_F(CancelTransferDeviceTest, ShortTransfersOfferNoCancelAndEscapeLeavesThemWhole) {
    ASSERT_TRUE(Settled());
    sim->processor.ClearRequests();
    window->dlg->Session().SendDeviceCommand(kCmdReadName, 0);
    window->dlg->Session().StartQueueProgress();
    ASSERT_TRUE(
        WaitUntil([&] { return Form()->CurrentForm() == CShow_Dlg::kProgress; }, kDeviceWaitMs));
    EXPECT_FALSE(Form()->CancelShown());
    EXPECT_FALSE(Form()->findChild<QPushButton*>(QStringLiteral("cancelTransfer"))->isVisible());
    QTest::keyClick(Form(), Qt::Key_Escape);
    Form()->Cancel();
    EXPECT_FALSE(window->dlg->Link().CancelTransfer().Stopped());
    ASSERT_TRUE(Settled());
    EXPECT_EQ(sim->processor.CountRequests(kCmdReadName), kNameFrames);
    EXPECT_TRUE(window->boxes.empty());
    ExpectSameImages();
}

}  // namespace
}  // namespace qx
