#include "SysDlg.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "BitButton.h"
#include "BitComboBox.h"
#include "ChangeSync.h"
#include "CommProtocol.h"
#include "CurveSets.h"
#include "EditorSession.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "ImageModel.h"
#include "LinkState.h"
#include "MonitorBlocks.h"
#include "MonitorPicture.h"
#include "ParameterSet.h"
#include "SLamp.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "SysDlgRules.h"

namespace qx {

namespace {

using enum ControlKind;
using I = SysPageIds;

constexpr const char* kPhantomItems[] = {"OFF", "ON"};
constexpr const char* kRemoteItems[] = {"Disable", "Enable"};
constexpr const char* kInputItems[] = {"Auto",  "VOD",   "BGM",   "COAX", "OPTI",
                                       "HDMI1", "HDMI2", "HDMI3", "ARC"};
constexpr const char* kSensitivityItems[] = {"L", "H"};

constexpr TextPair kStoreAllow{"有保存权限", "Store Allow"};
constexpr TextPair kNoStoreAllow{"无保存权限", "No Store Allow"};

constexpr SkinIds kOkButton{178, 177};
// The page's command buttons light up under the mouse.
constexpr ButtonLook kPush = ButtonLook::Push;

// Columns of the settings group (dialog units).
constexpr int kSetLabel = 338;
constexpr int kSetSlider = 466;
constexpr int kSetValue = 652;

// clang-format off
constexpr ControlRow kRows[] = {
    // Store permission.
    {1365, Group, {330, 196, 380, 38}, {"保存权限管理", "Save authority management "}},
    {1366, Caption, {338, 213, 110, 10}, {"系统密码验证", "System password verification"}},
    {I::kVerifyEdit, Custom, {450, 210, 60, 13}},
    {I::kVerifyOk, Button, {516, 209, 50, 15}, {"确定", "OK"}, nullptr, {}, 0, -1, kOkButton, 0, kPush},
    {I::kPermissionText, Caption, {580, 213, 120, 10}},
    // Password changes.
    {1368, Group, {330, 238, 380, 92}, {"密码修改", "Password modification "}},
    {2513, Caption, {338, 252, 150, 10}, {"系统密码修改", "System password modify"}},
    {2592, Caption, {338, 268, 56, 10}, {"旧密码", "Old password"}},
    {I::kSystemOld, Custom, {396, 266, 40, 13}},
    {2593, Caption, {441, 268, 56, 10}, {"新密码", "New password"}},
    {I::kSystemNew, Custom, {499, 266, 40, 13}},
    {1370, Caption, {544, 268, 68, 10}, {"确认密码", "Confirm password"}},
    {I::kSystemConfirm, Custom, {614, 266, 40, 13}},
    {I::kSystemModify, Button, {661, 265, 42, 15}, {"修改", "Modify"}, nullptr, {}, 0, -1, {}, 0, kPush},
    {2512, Caption, {338, 290, 150, 10}, {"面板密码锁修改", "Panel password modify"}},
    {2590, Caption, {338, 306, 56, 10}, {"旧密码", "Old password"}},
    {I::kPanelOld, Custom, {396, 304, 40, 13}},
    {2591, Caption, {441, 306, 56, 10}, {"新密码", "New password"}},
    {I::kPanelNew, Custom, {499, 304, 40, 13}},
    {1371, Caption, {544, 306, 68, 10}, {"确认密码", "Confirm password"}},
    {I::kPanelConfirm, Custom, {614, 304, 40, 13}},
    {I::kPanelModify, Button, {661, 303, 42, 15}, {"修改", "Modify"}, nullptr, {}, 0, -1, {}, 0, kPush},
    // Settings.
    {1363, Group, {330, 2, 380, 190}, {"设置", "Setting"}},
    {2500, Caption, {kSetLabel, 17, 125, 10}, {"效果最大音量", "Effect max volume"}},
    {2570, Slider, {kSetSlider, 17, 180, 10}, {}, "System.effectMax"},
    {2550, Label, {kSetValue, 17, 40, 10}, {}, "System.effectMax"},
    {2501, Caption, {kSetLabel, 32, 125, 10}, {"话筒最大音量", "Mic max volume"}},
    {2571, Slider, {kSetSlider, 32, 180, 10}, {}, "System.micMax"},
    {2551, Label, {kSetValue, 32, 40, 10}, {}, "System.micMax"},
    {2502, Caption, {kSetLabel, 47, 125, 10}, {"音乐最大音量", "Music max volume"}},
    {2572, Slider, {kSetSlider, 47, 180, 10}, {}, "System.musicMax"},
    {2552, Label, {kSetValue, 47, 40, 10}, {}, "System.musicMax"},
    {2503, Caption, {kSetLabel, 65, 85, 10}, {"后话筒幻像电源", "RearMic Phantom"}},
    {2600, Combo, {425, 63, 90, 12}, {}, "System.rearMicPhantom", Items(kPhantomItems)},
    {2504, Caption, {525, 65, 85, 10}, {"红外遥控", "IR Control"}},
    {2602, Combo, {612, 63, 90, 12}, {}, "System.irRemote", Items(kRemoteItems)},
    {2505, Caption, {kSetLabel, 83, 85, 10}, {"输入选择", "Music Input"}},
    {2603, Combo, {425, 81, 90, 12}, {}, "System.inputSelect", Items(kInputItems)},
    {2506, Caption, {525, 83, 85, 10}, {"模拟输入灵敏度", "VOD/BGM Sen"}},
    {2601, Combo, {612, 81, 90, 12}, {}, "System.sensitivity", Items(kSensitivityItems)},
    {2507, Caption, {kSetLabel, 103, 125, 10}, {"VOD 输入增益", "VOD input gain"}},
    {2573, Slider, {kSetSlider, 103, 180, 10}, {}, "System.inputGains[0]"},
    {2553, Label, {kSetValue, 103, 40, 10}, {}, "System.inputGains[0]"},
    {2508, Caption, {kSetLabel, 118, 125, 10}, {"BGM 输入增益", "BGM input gain"}},
    {2574, Slider, {kSetSlider, 118, 180, 10}, {}, "System.inputGains[1]"},
    {2554, Label, {kSetValue, 118, 40, 10}, {}, "System.inputGains[1]"},
    {2509, Caption, {kSetLabel, 133, 125, 10}, {"COAX 输入增益", "COAX input gain"}},
    {2575, Slider, {kSetSlider, 133, 180, 10}, {}, "System.inputGains[2]"},
    {2555, Label, {kSetValue, 133, 40, 10}, {}, "System.inputGains[2]"},
    {2510, Caption, {kSetLabel, 148, 125, 10}, {"OPTI/HDMI1~3/ARC 输入增益", "OPTI/HDMI1~3/ARC input gain"}},
    {2576, Slider, {kSetSlider, 148, 180, 10}, {}, "System.inputGains[3]"},
    {2556, Label, {kSetValue, 148, 40, 10}, {}, "System.inputGains[3]"},
    // The key is kept in the system block but not offered: its row stays hidden.
    {I::kKeyCaption, Caption, {kSetLabel, 168, 125, 10}},
    {I::kKeySlider, Slider, {kSetSlider, 168, 180, 10}, {}, "System.key"},
    {I::kKeyValue, Label, {kSetValue, 168, 40, 10}, {}, "System.key"},
    // Device modes.
    {1367, Group, {3, 183, 320, 172}, {"模式", "Mode"}},
    {2514, Caption, {12, 201, 40, 10}, {"模式", "Mode"}},
    {I::kModeList, Combo, {55, 198, 130, 12}},
    {2515, Caption, {12, 220, 40, 10}, {"名称", "Name"}},
    {I::kNameEdit, Custom, {55, 217, 130, 13}},
    {I::kRecall, Button, {12, 246, 92, 17}, {"调用设备模式", "Recall Mode"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
    {I::kStore, Button, {114, 246, 92, 17}, {"保存设备模式", "Store Mode"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
    {I::kExport, Button, {216, 246, 92, 17}, {"导出", "Export"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
    {I::kImport, Button, {12, 270, 92, 17}, {"导入", "Import"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
    {I::kExportAll, Button, {114, 270, 92, 17}, {"导出所有", "Export all"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
    {I::kImportAll, Button, {216, 270, 92, 17}, {"导入所有", "Import all"}, nullptr, {}, 0, -1, skins::kModeButton, 0, kPush},
};
// clang-format on

// The picture's place on the page, in pixels.
constexpr QPoint kPictureOrigin{5, 6};

// The device modes reach the processor through the page's session (looked up at each call:
// the session is given after the page is made).
DeviceModeHooks SessionHooks(CSysDlg* page) {
    DeviceModeHooks hooks;
    hooks.sendDeviceCommand = [page](uint8_t command, uint8_t argument) {
        if (CEditorSession* session = page->Session()) {
            session->SendDeviceCommand(command, argument);
        }
    };
    hooks.startQueueProgress = [page] {
        if (CEditorSession* session = page->Session()) {
            session->StartQueueProgress();
        }
    };
    hooks.refresh = [page] {
        // A recall or a file replaced the image: the model announces it (curves, top bar).
        CImageModel::Editor().NoteImageReplaced(ChangeOrigin::FromFile("device modes"));
        if (CEditorSession* session = page->Session()) {
            session->ImageReplaced();
        } else {
            page->RefreshFromParameters();
        }
    };
    return hooks;
}

}  // namespace

CSysDlg::CSysDlg(QWidget* parent) : CPageDlg(parent, 164, 715, 359) {
    m_binding.Add(kRows);
    SetUpEdits();
    SetUpLamps();
    m_files = std::make_unique<CFileOperations>(this, SessionHooks(this));

    connect(m_binding.Get<CBitComboBox>(kModeList), &QComboBox::activated, this,
            [this](int index) { SelectMode(index); });
    m_binding.On(kRecall).changed = [this](int) { m_files->Recall(SelectedProgram()); };
    m_binding.On(kStore).changed = [this](int) {
        if (!online) {
            return;
        }
        m_files->Store(SelectedProgram(), Edit(kNameEdit)->text());
        RefreshModeList();
        ShowPermission();
    };
    m_binding.On(kExport).changed = [this](int) { m_files->ExportProgram(); };
    m_binding.On(kImport).changed = [this](int) { m_files->ImportProgram(); };
    m_binding.On(kExportAll).changed = [this](int) { m_files->ExportAllPrograms(); };
    m_binding.On(kImportAll).changed = [this](int) { m_files->ImportAllPrograms(); };
    m_binding.On(kVerifyOk).changed = [this](int) { OnVerify(); };
    m_binding.On(kSystemModify).changed = [this](int) { OnModifySystem(); };
    m_binding.On(kPanelModify).changed = [this](int) { OnModifyPanel(); };

    ApplyShown(m_binding, SysPageRules(State()));
    ApplyLanguage();
}

CSysDlg::~CSysDlg() = default;

void CSysDlg::SetSession(CEditorSession* session) {
    if (m_session != nullptr) {
        disconnect(m_session, nullptr, this, nullptr);
    }
    m_session = session;
    if (session == nullptr) {
        return;
    }
    connect(session, &CEditorSession::monitorReceived, this, [this](int pollCommand) {
        ShowMonitor(pollCommand);
        RequestMonitor();
    });
    // The bank read of "Export all" is complete: save it.
    connect(session, &CEditorSession::bankReceived, this, [this] { m_files->SaveReceivedBank(); });
    connect(session, &CEditorSession::transferStopped, this,
            [this] { m_files->TransferStopped(); });
}

void CSysDlg::SendCommand(uint8_t command) {
    if (m_session != nullptr) {
        m_session->SendDeviceCommand(command, 0);
    }
}

void CSysDlg::SetUpLamps() {
    for (int i = 0; i < kMonitorCount; ++i) {
        auto* lamp = new CSLamp(this, kFirstMonitor + i);
        lamp->setGeometry(CMonitorPicture::LampRect(i).translated(kPictureOrigin));
        lamp->Layout();
        m_lamps[static_cast<std::size_t>(i)] = lamp;
        m_binding.Adopt(kFirstMonitor + i, lamp);
    }
}

CEnglishEdit* CSysDlg::Edit(int id) const {
    return m_binding.Get<CEnglishEdit>(id);
}

void CSysDlg::RefreshFromParameters() {
    RefreshModeList();
    ShowPermission();
    CPageDlg::RefreshFromParameters();
    ResetSystemGroup();
    ResetPanelGroup();
    if (!online) {
        for (CSLamp* lamp : m_lamps) {
            lamp->AllOff();
        }
    }
}

void CSysDlg::ApplyLanguage() {
    CPageDlg::ApplyLanguage();
    ShowPermission();
    update();  // the background picture has a language of its own
}

int CSysDlg::SelectedProgram() const {
    const int index = m_binding.Get<CBitComboBox>(kModeList)->currentIndex();
    return std::clamp(index, 0, kProgramCount - 1) + 1;
}

SysPageState CSysDlg::State() const {
    SysPageState s;
    s.online = online;
    s.storePermission = storePermission != 0;
    s.bankValid = ProgramBank.bankValid != 0;
    s.program = m_program;
    s.verifyMatches = m_verifyMatches;
    s.system = {kSystemPasswordLength, m_systemOldMatches, Edit(kSystemNew)->text(),
                Edit(kSystemConfirm)->text()};
    s.panel = {kPanelPasswordLength, m_panelOldMatches, Edit(kPanelNew)->text(),
               Edit(kPanelConfirm)->text()};
    return s;
}

void CSysDlg::ApplyRules() {
    ApplyEnabled(m_binding, SysPageRules(State()));
}

void CSysDlg::RefreshModeList() {
    auto* list = m_binding.Get<CBitComboBox>(kModeList);
    const bool withBank = online || ProgramBank.bankValid != 0;
    QStringList entries;
    for (int p = 1; p <= kProgramCount; ++p) {
        QString entry = p <= kStorablePrograms ? QStringLiteral("%1-").arg(p)
                                               : QStringLiteral("F%1-").arg(p - kStorablePrograms);
        if (withBank) {
            entry +=
                QString::fromStdString(CDeviceModes::ShownName(ProgramBank.programs[p - 1].name));
        }
        entries << entry;
    }
    {
        const QSignalBlocker quiet(list);
        list->clear();
        list->addItems(entries);
    }

    int current = ParameterSet.system.block.currentProgram;
    if (withBank && current == 0) {
        m_binding.Write("System.currentProgram", 1);
        current = 1;
    }
    // A number beyond the 21 programs (a damaged block) shows program 1 and is left as it is;
    // nothing is stored for it until a person picks an entry.
    const int shown = CDeviceModes::BankProgramFor(current);
    {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(shown - 1);
    }
    Edit(kNameEdit)->setText(QString::fromStdString(CDeviceModes::ShownName(
        withBank ? ProgramBank.programs[shown - 1].name : ParameterSet.program.name)));
    m_program = current;
}

void CSysDlg::SelectMode(int index) {
    if (index < 0 || index >= kProgramCount) {
        return;
    }
    auto* list = m_binding.Get<CBitComboBox>(kModeList);
    if (list->currentIndex() != index) {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(index);
    }
    Edit(kNameEdit)->setText(
        QString::fromStdString(CDeviceModes::ShownName(ProgramBank.programs[index].name)));
    m_program = index + 1;
    ApplyRules();
}

void CSysDlg::ShowPermission() {
    auto* text = m_binding.Get<CFontStatic>(kPermissionText);
    const bool allowed = online && storePermission != 0;
    text->SetText(QString::fromUtf8((allowed ? kStoreAllow : kNoStoreAllow).Get()));
    m_verifyMatches = false;  // OK waits for the verification to be typed again
    ApplyRules();
}

void CSysDlg::ShowMonitor(int replyCommand) {
    for (int i = 0; i < kMonitorCount; ++i) {
        CSLamp* lamp = m_lamps[static_cast<std::size_t>(i)];
        if (!online) {
            lamp->AllOff();
        } else if (replyCommand == kPollA) {
            lamp->SetLevel(static_cast<uint8_t>(MonitorBlockA[i]));
        } else {
            lamp->SetMark(static_cast<uint8_t>(MonitorBlockB[i]));
        }
    }
}

void CSysDlg::paintEvent(QPaintEvent* event) {
    CPageDlg::paintEvent(event);
    QPainter p(this);
    // At the page's pixel density: the legends as sharp as the page's own text.
    p.drawImage(kPictureOrigin, CSkinBitmaps::Get(useChinese ? CMonitorPicture::kChineseId
                                                             : CMonitorPicture::kEnglishId,
                                                  devicePixelRatioF()));
}

}  // namespace qx
