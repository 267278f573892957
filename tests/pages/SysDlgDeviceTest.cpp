// The System page against the virtual processor: storing and recalling device modes,
// password changes and the permission check, program and bank files in both directions, and
// the level monitors following the idle polls.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

#include "BitButton.h"
#include "BitComboBox.h"
#include "CommProtocol.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "PagesTestSupport.h"
#include "ProgramFile.h"
#include "SLamp.h"
#include "SysDlg.h"
#include "SysDlgDeviceFixture.h"

namespace qx {
namespace {

using namespace qx::test;

class SysDlgDeviceTest : public SysDlgDeviceFixture {
  protected:
    void SetUp() override { StartProcessor(); }
    void Open(int permission) {
        SimOptions options = sim->processor.Options();
        options.storePermission = permission;
        sim->processor.SetOptions(options);
        OpenWindow();
        const bool connected = window->Connect(*sim);
        ASSERT_TRUE(connected) << "online " << online << " form "
                               << (*window)->Progress()->CurrentForm() << " shown "
                               << window->received << " reads "
                               << sim->processor.CountRequests(0x82) << " names "
                               << sim->processor.CountRequests(0x80) << " system "
                               << sim->processor.CountRequests(0x81) << " all "
                               << sim->processor.Requests().size() << " boxes "
                               << window->boxes.size()
                               << (window->boxes.empty() ? std::string()
                                                         : window->boxes[0].text.toStdString());
        ASSERT_EQ(currentTab, CMivoDlg::kSystemTab);
    }
    void Type(int id, const QString& text) { QTest::keyClicks(page->Edit(id), text); }
    // Waits until the processor has taken everything queued.
    bool Settled() {
        return WaitUntil(
            [&] {
                return !deviceBusy && (*window)->Progress()->CurrentForm() == CShow_Dlg::kHidden;
            },
            kDeviceWaitMs);
    }
};

TEST_F(SysDlgDeviceTest, StoreAndRecallKeepTheSystemPassword) {
    Open(1);
    ASSERT_TRUE(page->Binding().Widget(CSysDlg::kStore)->isEnabled());
    Choose(2);  // program 3
    page->Edit(CSysDlg::kNameEdit)->clear();
    Type(CSysDlg::kNameEdit, QStringLiteral("Duet"));
    Click(CSysDlg::kStore);
    ASSERT_TRUE(WaitUntil(
        [&] { return Same(sim->processor.StoredProgram(3).name, "Duet                ", 20); },
        kDeviceWaitMs));
    EXPECT_TRUE(Same(sim->processor.Image().system.block.systemPassword, "123456", 6));
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 3);
    EXPECT_EQ(page->Binding().Get<CBitComboBox>(CSysDlg::kModeList)->itemText(2),
              QStringLiteral("3-Duet"));
    ASSERT_TRUE(Settled());

    // The processor's program 5 differs; recalling it brings it into the editor.
    sim->processor.Modify(
        [](ParamImage&, BankImage& bank) { bank.programs[4].EchoA.wetLevel = 61; });
    Choose(4);
    Click(CSysDlg::kRecall);
    ASSERT_TRUE(
        WaitUntil([&] { return ParameterSet.program.EchoA.wetLevel == 61; }, kDeviceWaitMs));
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 5);
    EXPECT_EQ(sim->processor.CountRequests(kCmdRecall), 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SysDlgDeviceTest, PasswordChangesReachTheProcessor) {
    Open(1);
    Type(CSysDlg::kSystemOld, QStringLiteral("123456"));
    Type(CSysDlg::kSystemNew, QStringLiteral("654321"));
    Type(CSysDlg::kSystemConfirm, QStringLiteral("654321"));
    Click(CSysDlg::kSystemModify);
    ASSERT_TRUE(WaitUntil(
        [&] { return Same(sim->processor.Image().system.block.systemPassword, "654321", 6); },
        kDeviceWaitMs));

    Type(CSysDlg::kPanelOld, QStringLiteral("4321"));
    Type(CSysDlg::kPanelNew, QStringLiteral("9090"));
    Type(CSysDlg::kPanelConfirm, QStringLiteral("9090"));
    Click(CSysDlg::kPanelModify);
    ASSERT_TRUE(WaitUntil(
        [&] { return Same(sim->processor.Image().system.block.panelPassword, "9090", 4); },
        kDeviceWaitMs));
    // The system password stays as it was changed.
    EXPECT_TRUE(Same(sim->processor.Image().system.block.systemPassword, "654321", 6));
}

TEST_F(SysDlgDeviceTest, VerificationSendsThePasswordAndAllowsStoring) {
    Open(0);
    EXPECT_EQ(page->Binding().Get<CFontStatic>(CSysDlg::kPermissionText)->Text(),
              QStringLiteral("No Store Allow"));
    EXPECT_FALSE(page->Binding().Widget(CSysDlg::kStore)->isEnabled());
    Type(CSysDlg::kVerifyEdit, QStringLiteral("123456"));
    Click(CSysDlg::kVerifyOk);
    EXPECT_EQ(page->Binding().Get<CFontStatic>(CSysDlg::kPermissionText)->Text(),
              QStringLiteral("Store Allow"));
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.CountRequests(kCmdSystemPassword) == 1; },
                          kDeviceWaitMs));
    for (const auto& frame : sim->processor.Requests()) {
        if (frame.size() > 5 && frame[2] == kCmdSystemPassword) {
            // Old and new are the same six characters.
            EXPECT_EQ(std::memcmp(&frame[frame.size() - 13], "123456123456", 12), 0);
        }
    }
    EXPECT_TRUE(Same(sim->processor.Image().system.block.systemPassword, "123456", 6));
}

TEST_F(SysDlgDeviceTest, ProgramAndBankFilesTravelBothWays) {
    sim->Unpaced();
    Open(1);
    QTemporaryDir dir;
    auto connected = std::make_unique<SystemImage>();
    std::memcpy(connected.get(), &ParameterSet.system, sizeof(SystemImage));

    // A program: exported, changed in the file, imported and written to the processor.
    nextPath = dir.filePath(QStringLiteral("one"));
    Click(CSysDlg::kExport);
    auto file = std::make_unique<ParamImage>();
    const std::string one = dir.filePath(QStringLiteral("one.dia")).toStdString();
    ASSERT_TRUE(CProgramFile::ReadProgram(one, *file).ok);
    file->program.EchoA.wetLevel = 77;
    ASSERT_TRUE(CProgramFile::WriteProgram(one, *file).ok);
    nextPath = QString::fromStdString(one);
    Click(CSysDlg::kImport);
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.Image().program.EchoA.wetLevel == 77; },
                          kDeviceWaitMs));
    EXPECT_GE(sim->processor.CountRequests(kCmdWriteProgram), 1);
    ASSERT_TRUE(Settled());

    // The bank: read from the processor, then saved where the person chooses.
    sim->processor.Modify([](ParamImage&, BankImage& bank) { bank.programs[8].EchoB.repeat = 42; });
    nextPath = dir.filePath(QStringLiteral("all"));
    Click(CSysDlg::kExportAll);
    const QString all = dir.filePath(QStringLiteral("all.dat"));
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(all).size() == 57019; }, kBankWaitMs))
        << sim->processor.CountRequests(kCmdReadProgram) << " reads; "
        << errors.join(QStringLiteral("; ")).toStdString();
    EXPECT_EQ(ProgramBank.bankValid, 1);
    auto bank = std::make_unique<BankImage>();
    ASSERT_TRUE(CProgramFile::ReadBank(all.toStdString(), *bank).ok);
    EXPECT_EQ(bank->programs[8].EchoB.repeat, 42);
    EXPECT_EQ(std::memcmp(&bank->BankSystemBlock, connected.get(), sizeof(SystemImage)), 0);
    ASSERT_TRUE(Settled());

    // Changed and loaded back: the processor's stored programs follow.
    bank->programs[4].EchoA.wetLevel = 55;
    ASSERT_TRUE(CProgramFile::WriteBank(all.toStdString(), *bank).ok);
    nextPath = all;
    Click(CSysDlg::kImportAll);
    ASSERT_TRUE(WaitUntil([&] { return sim->processor.StoredProgram(5).EchoA.wetLevel == 55; },
                          kBankWaitMs));
    EXPECT_EQ(sim->processor.StoredProgram(9).EchoB.repeat, 42);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QStringLiteral("; ")).toStdString();
}

TEST_F(SysDlgDeviceTest, MonitorsMoveWithThePolls) {
    Open(1);
    auto repaints = [&] {
        int n = 0;
        for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
            n += page->Monitor(i)->RepaintRequests();
        }
        return n;
    };
    const int before = repaints();
    ASSERT_TRUE(WaitUntil([&] { return repaints() > before + 20; }, kDeviceWaitMs));
    bool lit = false;
    for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
        lit = lit || page->Monitor(i)->IsOn(0);
    }
    EXPECT_TRUE(lit);

    // Away from the System tab the polls no longer reach the lamps.
    (*window)->SelectTab(0);
    Pump(300);
    const int away = repaints();
    Pump(500);
    EXPECT_EQ(repaints(), away);
}

}  // namespace
}  // namespace qx
