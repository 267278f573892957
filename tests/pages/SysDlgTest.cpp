// The System page on its own image: every setting control stores exactly its bytes, the
// mode list and its enabling rules, the password groups step by step, the master-volume
// clamps, the monitors, and the file operations with their dialogs and errors.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "Edit_Static.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "MonitorBlocks.h"
#include "MonitorPicture.h"
#include "PagesTestSupport.h"
#include "ProgramFile.h"
#include "SLamp.h"
#include "SysDlg.h"

namespace qx {
namespace {

using namespace qx::test;

constexpr int kSys = static_cast<int>(offsetof(ParamImage, system) + offsetof(SystemImage, block));

int At(std::size_t fieldOffset) {
    return kSys + static_cast<int>(fieldOffset);
}

std::unique_ptr<ParamImage> Snapshot() {
    auto image = std::make_unique<ParamImage>();
    std::memcpy(image.get(), &ParameterSet, sizeof *image);
    return image;
}

// Offsets whose byte differs between the snapshot and the image now, with the new byte.
std::map<int, int> ChangedBytes(const ParamImage& before) {
    std::map<int, int> changed;
    const auto* a = reinterpret_cast<const uint8_t*>(&before);
    const auto* b = reinterpret_cast<const uint8_t*>(&ParameterSet);
    for (int i = 0; i < static_cast<int>(sizeof(ParamImage)); ++i) {
        if (a[i] != b[i]) {
            changed[i] = b[i];
        }
    }
    return changed;
}

void SetPassword(U8* field, const char* text, int n) {
    for (int i = 0; i < n; ++i) {
        field[i] = static_cast<uint8_t>(text[i]);
    }
}

class SysDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        useChinese = false;
        online = false;
        storePermission = 0;
        SetPassword(ParameterSet.system.block.systemPassword, "123456", 6);
        SetPassword(ParameterSet.system.block.panelPassword, "4321", 4);
        window = std::make_unique<Window>();
        page = (*window)->SystemPage();
        page->Files().SetPrompts(Prompts());
    }
    void TearDown() override {
        window.reset();
        storePermission = 0;
    }

    // Dialog answers: the next path, and every error and warning recorded.
    CFileOperations::Prompts Prompts() {
        CFileOperations::Prompts p;
        p.choosePath = [this](bool save, const QString& filter) {
            filters.push_back((save ? QStringLiteral("save ") : QStringLiteral("open ")) + filter);
            return nextPath;
        };
        p.showError = [this](const QString& caption, const QString& text) {
            errors.push_back({caption, text});
        };
        p.confirm = [this](const QString& text) {
            warnings.push_back(text);
            return confirmAnswer;
        };
        return p;
    }

    // Goes online (no port: what the page shows, not what is sent) and refreshes.
    void Pretend(bool isOnline, int permission) {
        online = isOnline;
        storePermission = permission;
        page->RefreshFromParameters();
    }

    bool Enabled(int id) { return page->Binding().Widget(id)->isEnabled(); }
    void Type(int id, const QString& text) { QTest::keyClicks(page->Edit(id), text); }
    void Click(int id) { QTest::mouseClick(page->Binding().Get<CBitButton>(id), Qt::LeftButton); }
    CBitComboBox* ModeList() { return page->Binding().Get<CBitComboBox>(CSysDlg::kModeList); }
    QString Permission() {
        return page->Binding().Get<CFontStatic>(CSysDlg::kPermissionText)->Text();
    }

    std::unique_ptr<Window> window;
    CSysDlg* page = nullptr;
    QString nextPath;
    bool confirmAnswer = false;
    QStringList filters;
    std::vector<Box> errors;
    QStringList warnings;
};

// --- settings -----------------------------------------------------------------------------

// The bytes of every setting: EveryPageRowTest. Here what its value label shows, and the
// bytes of the fields that share one (the key keeps the sensitivity bits and vice versa).
struct SettingCase {
    int id;
    int value;  // slider position or list index
    std::map<int, int> bytes;
    int label;  // value label that shows it, 0 for none
    const char* shown;
};

TEST_F(SysDlgTest, SettingsShowTheirValuesAndKeepTheirNeighbourBits) {
    ParameterSet.system.block.keyAndSensitivity = 0x71;  // key 7, sensitivity H
    ParameterSet.system.block.effectVolume = 10;         // below the new maximum
    page->RefreshFromParameters();
    const SettingCase cases[] = {
        {2570, 50, {{At(offsetof(SystemBlock, effectMax)), 50}}, 2550, "50"},
        {2573, 33, {{At(offsetof(SystemBlock, inputGains) + 0), 33}}, 2553, "6.5"},
        {2574, 5, {{At(offsetof(SystemBlock, inputGains) + 1), 5}}, 2554, "-7.5"},
        {2575, 40, {{At(offsetof(SystemBlock, inputGains) + 2), 40}}, 2555, "10.0"},
        {2576, 21, {{At(offsetof(SystemBlock, inputGains) + 3), 21}}, 2556, "0.5"},
        {2577, 12, {{At(offsetof(SystemBlock, keyAndSensitivity)), 0xC1}}, 2557, "5"},
        {2601, 0, {{At(offsetof(SystemBlock, keyAndSensitivity)), 0xC0}}, 0, ""},
    };
    for (const SettingCase& c : cases) {
        SCOPED_TRACE(c.id);
        const auto before = Snapshot();
        QWidget* w = page->Binding().Widget(c.id);
        if (auto* slider = qobject_cast<CBitmapSlider*>(w)) {
            slider->SetPos(c.value);
            emit slider->Changed(c.id, c.value);
        } else {
            auto* combo = qobject_cast<CBitComboBox*>(w);
            ASSERT_NE(combo, nullptr);
            combo->setCurrentIndex(c.value);
            emit combo->activated(c.value);
        }
        EXPECT_EQ(ChangedBytes(*before), c.bytes);
        if (c.label != 0) {
            EXPECT_EQ(page->Binding().Get<CEdit_Static>(c.label)->Text(),
                      QString::fromUtf8(c.shown));
        }
    }
    EXPECT_TRUE(page->Binding().Unresolved().empty());
    EXPECT_FALSE(page->Binding().Widget(2577)->isVisibleTo(page));
}

TEST_F(SysDlgTest, MaximaBelowAVolumeLowerItAndClearItsMute) {
    ParameterSet.system.block.musicVolume = 0x80 | 60;  // muted at 60
    ParameterSet.system.block.micVolume = 30;
    ParameterSet.system.block.effectVolume = 0x80 | 20;
    page->RefreshFromParameters();
    auto* music = page->Binding().Get<CBitmapSlider>(2572);
    emit music->Tracking(2572, 40);
    EXPECT_EQ(ParameterSet.system.block.musicVolume, 40);
    EXPECT_EQ(ParameterSet.system.block.musicMax, 40);
    QCoreApplication::processEvents();  // the top bar follows the image model's notice
    EXPECT_EQ((*window)->TopBar().Get<CBitmapSlider>(CMivoDlg::kMusicSlider)->GetPos(), 40);
    // A maximum above the volume leaves it (and its mute) alone.
    emit page->Binding().Get<CBitmapSlider>(2571)->Changed(2571, 31);
    EXPECT_EQ(ParameterSet.system.block.micVolume, 30);
    emit page->Binding().Get<CBitmapSlider>(2570)->Changed(2570, 50);
    EXPECT_EQ(ParameterSet.system.block.effectVolume, 0x80 | 20);
}

// --- mode list ------------------------------------------------------------------------------

TEST_F(SysDlgTest, ModeListLabelsAndNames) {
    page->RefreshFromParameters();
    ASSERT_EQ(ModeList()->count(), 21);
    EXPECT_EQ(ModeList()->itemText(0), QStringLiteral("1-"));
    EXPECT_EQ(ModeList()->itemText(15), QStringLiteral("16-"));
    EXPECT_EQ(ModeList()->itemText(16), QStringLiteral("F1-"));
    EXPECT_EQ(ModeList()->itemText(20), QStringLiteral("F5-"));

    // A loaded bank names every entry; program 0 becomes program 1.
    ProgramBank.bankValid = 1;
    CDeviceModes::PadName("  Duet ",
                          reinterpret_cast<uint8_t(&)[kNameLength]>(ProgramBank.programs[0].name));
    CDeviceModes::PadName("Club",
                          reinterpret_cast<uint8_t(&)[kNameLength]>(ProgramBank.programs[18].name));
    ParameterSet.system.block.currentProgram = 0;
    page->RefreshFromParameters();
    EXPECT_EQ(ModeList()->itemText(0), QStringLiteral("1-Duet"));
    EXPECT_EQ(ModeList()->itemText(18), QStringLiteral("F3-Club"));
    EXPECT_EQ(ModeList()->currentIndex(), 0);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 1);
    EXPECT_EQ(page->Edit(CSysDlg::kNameEdit)->text(), QStringLiteral("Duet"));

    // A damaged program number never reads beyond the bank.
    ParameterSet.system.block.currentProgram = 200;
    page->RefreshFromParameters();
    EXPECT_EQ(ModeList()->currentIndex(), 0);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 200);
}

TEST_F(SysDlgTest, OfflineButtonsFollowTheBank) {
    page->RefreshFromParameters();
    EXPECT_FALSE(Enabled(CSysDlg::kRecall));
    EXPECT_FALSE(Enabled(CSysDlg::kExportAll));
    EXPECT_FALSE(Enabled(CSysDlg::kStore));
    EXPECT_FALSE(Enabled(CSysDlg::kNameEdit));
    EXPECT_TRUE(Enabled(CSysDlg::kImport));
    EXPECT_TRUE(Enabled(CSysDlg::kImportAll));
    EXPECT_TRUE(Enabled(CSysDlg::kExport));
    EXPECT_FALSE(Enabled(CSysDlg::kVerifyEdit));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemOld));
    EXPECT_FALSE(Enabled(CSysDlg::kPanelOld));
    EXPECT_EQ(Permission(), QStringLiteral("No Store Allow"));

    ProgramBank.bankValid = 1;
    page->RefreshFromParameters();
    EXPECT_TRUE(Enabled(CSysDlg::kRecall));
    EXPECT_TRUE(Enabled(CSysDlg::kExportAll));
    EXPECT_FALSE(Enabled(CSysDlg::kStore));
}

TEST_F(SysDlgTest, OnlineStoringNeedsPermissionAndAStorableProgram) {
    ParameterSet.system.block.currentProgram = 3;
    Pretend(true, 0);
    EXPECT_EQ(Permission(), QStringLiteral("No Store Allow"));
    for (int id : {CSysDlg::kStore, CSysDlg::kNameEdit, CSysDlg::kImport, CSysDlg::kImportAll,
                   CSysDlg::kVerifyOk}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Enabled(CSysDlg::kVerifyEdit));
    EXPECT_TRUE(Enabled(CSysDlg::kExport));

    Pretend(true, 1);
    EXPECT_EQ(Permission(), QStringLiteral("Store Allow"));
    EXPECT_TRUE(Enabled(CSysDlg::kStore));
    EXPECT_TRUE(Enabled(CSysDlg::kNameEdit));
    EXPECT_TRUE(Enabled(CSysDlg::kImportAll));
    EXPECT_FALSE(Enabled(CSysDlg::kVerifyEdit));

    emit ModeList()->activated(17);  // F2
    EXPECT_FALSE(Enabled(CSysDlg::kStore));
    EXPECT_FALSE(Enabled(CSysDlg::kNameEdit));
    emit ModeList()->activated(15);  // 16
    EXPECT_TRUE(Enabled(CSysDlg::kStore));
    EXPECT_TRUE(Enabled(CSysDlg::kNameEdit));

    ParameterSet.system.block.currentProgram = 19;  // F3 in use
    Pretend(true, 1);
    EXPECT_EQ(ModeList()->currentIndex(), 18);
    EXPECT_FALSE(Enabled(CSysDlg::kStore));

    useChinese = true;
    page->ApplyLanguage();
    EXPECT_EQ(Permission(), QString::fromUtf8("有保存权限"));
}

// A language switch shows the permission again; the name and Store still follow the program
// picked in the list, not the one in use, so a factory program is never offered for storing.
TEST_F(SysDlgTest, StoreFollowsThePickedProgramThroughALanguageSwitch) {
    ParameterSet.system.block.currentProgram = 3;
    Pretend(true, 1);
    emit ModeList()->activated(17);  // F2
    page->ApplyLanguage();
    EXPECT_FALSE(Enabled(CSysDlg::kStore));
    EXPECT_FALSE(Enabled(CSysDlg::kNameEdit));
    emit ModeList()->activated(4);  // 5
    page->ApplyLanguage();
    EXPECT_TRUE(Enabled(CSysDlg::kStore));
    EXPECT_TRUE(Enabled(CSysDlg::kNameEdit));
}

// --- passwords --------------------------------------------------------------------------------

TEST_F(SysDlgTest, SystemPasswordGroupMovesStepByStep) {
    Pretend(true, 1);
    EXPECT_TRUE(Enabled(CSysDlg::kSystemOld));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemNew));
    Type(CSysDlg::kSystemOld, QStringLiteral("12345"));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemNew));
    Type(CSysDlg::kSystemOld, QStringLiteral("6"));
    ASSERT_TRUE(Enabled(CSysDlg::kSystemNew));

    Type(CSysDlg::kSystemNew, QStringLiteral("9a8b7c6"));  // letters are refused
    EXPECT_EQ(page->Edit(CSysDlg::kSystemNew)->text(), QStringLiteral("9876"));
    Type(CSysDlg::kSystemNew, QStringLiteral("5"));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemConfirm));  // five digits
    Type(CSysDlg::kSystemNew, QStringLiteral("4"));
    ASSERT_TRUE(Enabled(CSysDlg::kSystemConfirm));
    Type(CSysDlg::kSystemConfirm, QStringLiteral("98765"));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemModify));
    Type(CSysDlg::kSystemConfirm, QStringLiteral("4"));
    EXPECT_TRUE(Enabled(CSysDlg::kSystemModify));
    // A new password changed after it was confirmed needs confirming again, and the page
    // says why.
    QTest::keyClick(page->Edit(CSysDlg::kSystemNew), Qt::Key_Backspace);
    EXPECT_FALSE(Enabled(CSysDlg::kSystemModify));
    EXPECT_EQ(page->PasswordStatus(0),
              QStringLiteral("The confirmation differs from the new password"));
    Type(CSysDlg::kSystemNew, QStringLiteral("4"));
    EXPECT_TRUE(Enabled(CSysDlg::kSystemModify));
    EXPECT_TRUE(page->PasswordStatus(0).isEmpty());

    // The panel group was half typed; the change resets it and keeps the system group.
    Type(CSysDlg::kPanelOld, QStringLiteral("4321"));
    ASSERT_TRUE(Enabled(CSysDlg::kPanelNew));
    Type(CSysDlg::kPanelNew, QStringLiteral("11"));
    Click(CSysDlg::kSystemModify);
    EXPECT_EQ(page->PasswordStatus(0), QStringLiteral("System password changed"));
    EXPECT_EQ(std::memcmp(PasswordScratch.newSystem, "987654", 6), 0);
    EXPECT_EQ(std::memcmp(ParameterSet.system.block.systemPassword, "987654", 6), 0);
    EXPECT_TRUE(page->Edit(CSysDlg::kPanelOld)->text().isEmpty());
    EXPECT_TRUE(page->Edit(CSysDlg::kPanelNew)->text().isEmpty());
    EXPECT_TRUE(Enabled(CSysDlg::kPanelOld));
    EXPECT_FALSE(Enabled(CSysDlg::kPanelNew));
    EXPECT_EQ(page->Edit(CSysDlg::kSystemNew)->text(), QStringLiteral("987654"));
    EXPECT_EQ(page->Edit(CSysDlg::kSystemOld)->text(), QStringLiteral("123456"));
}

TEST_F(SysDlgTest, PanelPasswordChangeResetsTheSystemGroup) {
    Pretend(true, 1);
    Type(CSysDlg::kSystemOld, QStringLiteral("123456"));
    Type(CSysDlg::kPanelOld, QStringLiteral("4322"));
    EXPECT_FALSE(Enabled(CSysDlg::kPanelNew));
    EXPECT_EQ(page->PasswordStatus(1), QStringLiteral("Wrong old password"));
    QTest::keyClick(page->Edit(CSysDlg::kPanelOld), Qt::Key_Backspace);
    EXPECT_TRUE(page->PasswordStatus(1).isEmpty());
    Type(CSysDlg::kPanelOld, QStringLiteral("1"));
    ASSERT_TRUE(Enabled(CSysDlg::kPanelNew));
    Type(CSysDlg::kPanelNew, QStringLiteral("123"));
    EXPECT_FALSE(Enabled(CSysDlg::kPanelConfirm));
    Type(CSysDlg::kPanelNew, QStringLiteral("45"));  // the fifth is beyond the limit
    EXPECT_EQ(page->Edit(CSysDlg::kPanelNew)->text(), QStringLiteral("1234"));
    Type(CSysDlg::kPanelConfirm, QStringLiteral("1234"));
    Click(CSysDlg::kPanelModify);
    EXPECT_EQ(page->PasswordStatus(1), QStringLiteral("Panel password changed"));
    useChinese = true;
    EXPECT_EQ(page->PasswordStatus(1), QStringLiteral("面板密码已修改"));
    useChinese = false;
    EXPECT_EQ(std::memcmp(ParameterSet.system.block.panelPassword, "1234", 4), 0);
    EXPECT_TRUE(page->Edit(CSysDlg::kSystemOld)->text().isEmpty());
    EXPECT_TRUE(Enabled(CSysDlg::kSystemOld));
    EXPECT_FALSE(Enabled(CSysDlg::kSystemNew));
}

TEST_F(SysDlgTest, VerificationGrantsPermission) {
    Pretend(true, 0);
    Type(CSysDlg::kVerifyEdit, QStringLiteral("12345"));
    EXPECT_FALSE(Enabled(CSysDlg::kVerifyOk));
    Type(CSysDlg::kVerifyEdit, QStringLiteral("6"));
    ASSERT_TRUE(Enabled(CSysDlg::kVerifyOk));
    Click(CSysDlg::kVerifyOk);
    EXPECT_EQ(storePermission, 1);
    EXPECT_EQ(Permission(), QStringLiteral("Store Allow"));
    EXPECT_TRUE(Enabled(CSysDlg::kImport));
    EXPECT_FALSE(Enabled(CSysDlg::kVerifyEdit));
    EXPECT_EQ(std::memcmp(ParameterSet.system.block.systemPassword, "123456", 6), 0);
}

// --- monitors ---------------------------------------------------------------------------------

TEST_F(SysDlgTest, MonitorsShowTheirBlocksOnlineAndGoOffOffline) {
    Pretend(true, 1);
    for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
        MonitorBlockA[i] = static_cast<uint8_t>(110 + 6 * i);  // lamp i lights segments 0..i
        MonitorBlockB[i] = static_cast<uint8_t>(i % 2 == 0 ? 100 : 200);
    }
    page->ShowMonitor(0x0C);
    page->ShowMonitor(0x18);
    for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
        CSLamp* lamp = page->Monitor(i);
        EXPECT_TRUE(lamp->IsOn(i)) << i;
        EXPECT_FALSE(lamp->IsOn(i + 1)) << i;
        EXPECT_EQ(lamp->IsOn(CSLamp::kMarkSegment), i % 2 == 0) << i;
        EXPECT_EQ(lamp->geometry().width(), CMonitorPicture::kLampWidth);
    }
    online = false;
    page->ShowMonitor(0x0C);
    for (int i = 0; i < CSysDlg::kMonitorCount; ++i) {
        for (int s = 0; s < CSLamp::kSegments; ++s) {
            EXPECT_FALSE(page->Monitor(i)->IsOn(s));
        }
    }
}

// --- files ------------------------------------------------------------------------------------

TEST_F(SysDlgTest, ProgramFileRoundTripWithDialogsInTheMusicFolder) {
    QTemporaryDir dir;
    page->RefreshFromParameters();
    ParameterSet.program.EchoA.wetLevel = 33;
    nextPath = dir.filePath(QStringLiteral("setup"));
    Click(CSysDlg::kExport);
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("setup.dia"))));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(filters, QStringList{QStringLiteral("save *.dia")});
    EXPECT_TRUE(page->Files().Folder().endsWith(QStringLiteral("/MusicFile")));

    ParameterSet.program.EchoA.wetLevel = 1;
    const uint8_t system = ParameterSet.system.block.musicMax = 12;
    nextPath = dir.filePath(QStringLiteral("setup.dia"));
    Click(CSysDlg::kImport);
    EXPECT_EQ(ParameterSet.program.EchoA.wetLevel, 33);
    EXPECT_EQ(ParameterSet.system.block.musicMax, system);  // the file's system block is not taken
    EXPECT_TRUE(warnings.empty());

    // Cancelling a dialog does nothing.
    nextPath.clear();
    Click(CSysDlg::kImport);
    Click(CSysDlg::kExport);
    EXPECT_TRUE(errors.empty());
}

TEST_F(SysDlgTest, FileErrorsNameThePathAndTheReason) {
    QTemporaryDir dir;
    page->RefreshFromParameters();
    nextPath = dir.filePath(QStringLiteral("missing/folder/x"));
    Click(CSysDlg::kExport);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].caption, QStringLiteral("MusicFile Write Error"));
    EXPECT_TRUE(errors[0].text.contains(dir.filePath(QStringLiteral("missing/folder/x.dia"))));

    QFile shortFile(dir.filePath(QStringLiteral("short.dia")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, 'x'));
    shortFile.close();
    const auto before = Snapshot();
    nextPath = shortFile.fileName();
    Click(CSysDlg::kImport);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].caption, QStringLiteral("File read Error"));
    EXPECT_TRUE(errors[1].text.contains(shortFile.fileName()));
    EXPECT_TRUE(ChangedBytes(*before).empty());
}

TEST_F(SysDlgTest, OutOfRangeFilesAreLoadedOnlyWhenConfirmed) {
    QTemporaryDir dir;
    page->RefreshFromParameters();
    auto file = Snapshot();
    file->program.Mic1.bands[2].freqCode = 400;
    file->program.EchoA.wetLevel = 33;
    const std::string path = dir.filePath(QStringLiteral("odd.dia")).toStdString();
    ASSERT_TRUE(CProgramFile::WriteProgram(path, *file).ok);

    const auto before = Snapshot();
    nextPath = QString::fromStdString(path);
    confirmAnswer = false;
    Click(CSysDlg::kImport);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Mic1.bands[2].freqCode")));
    EXPECT_TRUE(ChangedBytes(*before).empty());

    confirmAnswer = true;
    Click(CSysDlg::kImport);
    EXPECT_EQ(ParameterSet.program.EchoA.wetLevel, 33);
    // Confirmed, the field beyond its range is loaded at the range's end: what the page shows
    // is what the processor is sent.
    EXPECT_EQ(static_cast<int>(ParameterSet.program.Mic1.bands[2].freqCode), 361);

    // A bank names the program of each field, the first few of them, and counts the rest.
    auto bank = std::make_unique<BankImage>();
    std::memcpy(&bank->BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
    for (int k = 0; k < kProgramCount; ++k) {
        std::memcpy(&bank->programs[k], &before->program, sizeof(ProgramImage));
    }
    for (int band = 0; band < 7; ++band) {
        bank->programs[17].EchoB.bands[band].gainCode = 250;
    }
    bank->bankValid = 1;
    const std::string bankPath = dir.filePath(QStringLiteral("odd.dat")).toStdString();
    ASSERT_TRUE(CProgramFile::WriteBank(bankPath, *bank).ok);
    warnings.clear();
    confirmAnswer = false;
    nextPath = QString::fromStdString(bankPath);
    Click(CSysDlg::kImportAll);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("F2: EchoB.bands[0].gainCode")));
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("and 2 more")));
    EXPECT_EQ(ProgramBank.bankValid, 0);
}

TEST_F(SysDlgTest, BankFileOfflineImportThenRecallAndExport) {
    QTemporaryDir dir;
    auto bank = EditorBank();
    for (int k = 0; k < kProgramCount; ++k) {
        bank->programs[k].EchoA.wetLevel = static_cast<uint8_t>(k + 1);
    }
    bank->BankSystemBlock.block.currentProgram = 5;
    const QString path = dir.filePath(QStringLiteral("all.dat"));
    ASSERT_TRUE(CProgramFile::WriteBank(path.toStdString(), *bank).ok);

    page->RefreshFromParameters();
    nextPath = path;
    Click(CSysDlg::kImportAll);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ProgramBank.bankValid, 1);
    EXPECT_EQ(ParameterSet.program.EchoA.wetLevel, 5);
    EXPECT_EQ(ModeList()->currentIndex(), 4);
    ASSERT_TRUE(Enabled(CSysDlg::kRecall));

    emit ModeList()->activated(18);  // F3
    Click(CSysDlg::kRecall);
    EXPECT_EQ(ParameterSet.program.EchoA.wetLevel, 19);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 19);

    nextPath = dir.filePath(QStringLiteral("copy"));
    Click(CSysDlg::kExportAll);
    QFile copy(dir.filePath(QStringLiteral("copy.dat")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    const QByteArray bytes = copy.readAll();
    ASSERT_EQ(bytes.size(), 57019);
    const int wet = static_cast<int>(offsetof(ProgramImage, EchoA) + offsetof(EchoBlock, wetLevel));
    EXPECT_EQ(bytes[66 + 2712 * 18 + wet], 19);
    EXPECT_EQ(std::memcmp(bytes.constData(), &ParameterSet.system, 66), 0);
    EXPECT_EQ(filters.last(), QStringLiteral("save *.dat"));
}

}  // namespace
}  // namespace qx
