#include "SysDlg.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "BitButton.h"
#include "BitComboBox.h"
#include "ChangeSync.h"
#include "CommProtocol.h"
#include "CurveSets.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "LinkState.h"
#include "MivoDlg.h"
#include "MonitorBlocks.h"
#include "MonitorPicture.h"
#include "ParameterSet.h"
#include "SLamp.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"

namespace qx {

namespace {

using enum ControlKind;

constexpr const char* kPhantomItems[] = {"OFF", "ON"};
constexpr const char* kRemoteItems[] = {"Disable", "Enable"};
constexpr const char* kInputItems[] = {"Auto",  "VOD",   "BGM",   "COAX", "OPTI",
                                       "HDMI1", "HDMI2", "HDMI3", "ARC"};
constexpr const char* kSensitivityItems[] = {"L", "H"};

constexpr TextPair kStoreAllow{"有保存权限", "Store Allow"};
constexpr TextPair kNoStoreAllow{"无保存权限", "No Store Allow"};

constexpr SkinIds kOkButton{178, 177};

// Columns of the settings group (dialog units).
constexpr int kSetLabel = 338;
constexpr int kSetSlider = 466;
constexpr int kSetValue = 652;

constexpr ControlRow kRows[] = {
    // Store permission.
    {1365, Group, {330, 196, 380, 38}, {"保存权限管理", "Save authority management "}},
    {1366, Caption, {338, 213, 110, 10}, {"系统密码验证", "System password verification"}},
    {1023, Custom, {450, 210, 60, 13}},
    {1362, Button, {516, 209, 50, 15}, {"确定", "OK"}, nullptr, {}, 0, -1, kOkButton},
    {1412, Caption, {580, 213, 120, 10}},
    // Password changes.
    {1368, Group, {330, 238, 380, 92}, {"密码修改", "Password modification "}},
    {2513, Caption, {338, 252, 150, 10}, {"系统密码修改", "System password modify"}},
    {2592, Caption, {338, 268, 56, 10}, {"旧密码", "Old password"}},
    {2612, Custom, {396, 266, 40, 13}},
    {2593, Caption, {441, 268, 56, 10}, {"新密码", "New password"}},
    {2613, Custom, {499, 266, 40, 13}},
    {1370, Caption, {544, 268, 68, 10}, {"确认密码", "Confirm password"}},
    {1024, Custom, {614, 266, 40, 13}},
    {1065, Button, {661, 265, 42, 15}, {"修改", "Modify"}},
    {2512, Caption, {338, 290, 150, 10}, {"面板密码锁修改", "Panel password modify"}},
    {2590, Caption, {338, 306, 56, 10}, {"旧密码", "Old password"}},
    {2610, Custom, {396, 304, 40, 13}},
    {2591, Caption, {441, 306, 56, 10}, {"新密码", "New password"}},
    {2611, Custom, {499, 304, 40, 13}},
    {1371, Caption, {544, 306, 68, 10}, {"确认密码", "Confirm password"}},
    {1369, Custom, {614, 304, 40, 13}},
    {1064, Button, {661, 303, 42, 15}, {"修改", "Modify"}},
    // Settings.
    {1363, Group, {330, 2, 380, 190}, {"设置", "Setting"}},
    {2500, Caption, {kSetLabel, 17, 125, 10}, {"效果最大音量", "Effect max volume"}},
    {2570, Slider, {kSetSlider, 17, 180, 10}, {}, "System.effectMax"},
    {2550, Label, {kSetValue, 17, 40, 10}, {}, "System.effectMax", Shown(LabelRule::L20)},
    {2501, Caption, {kSetLabel, 32, 125, 10}, {"话筒最大音量", "Mic max volume"}},
    {2571, Slider, {kSetSlider, 32, 180, 10}, {}, "System.micMax"},
    {2551, Label, {kSetValue, 32, 40, 10}, {}, "System.micMax", Shown(LabelRule::L20)},
    {2502, Caption, {kSetLabel, 47, 125, 10}, {"音乐最大音量", "Music max volume"}},
    {2572, Slider, {kSetSlider, 47, 180, 10}, {}, "System.musicMax"},
    {2552, Label, {kSetValue, 47, 40, 10}, {}, "System.musicMax", Shown(LabelRule::L20)},
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
    {2553,
     Label,
     {kSetValue, 103, 40, 10},
     {},
     "System.inputGains[0]",
     Shown(LabelRule::L14, 0.5, 10),
     0,
     40},
    {2508, Caption, {kSetLabel, 118, 125, 10}, {"BGM 输入增益", "BGM input gain"}},
    {2574, Slider, {kSetSlider, 118, 180, 10}, {}, "System.inputGains[1]"},
    {2554,
     Label,
     {kSetValue, 118, 40, 10},
     {},
     "System.inputGains[1]",
     Shown(LabelRule::L14, 0.5, 10),
     0,
     40},
    {2509, Caption, {kSetLabel, 133, 125, 10}, {"COAX 输入增益", "COAX input gain"}},
    {2575, Slider, {kSetSlider, 133, 180, 10}, {}, "System.inputGains[2]"},
    {2555,
     Label,
     {kSetValue, 133, 40, 10},
     {},
     "System.inputGains[2]",
     Shown(LabelRule::L14, 0.5, 10),
     0,
     40},
    {2510,
     Caption,
     {kSetLabel, 148, 125, 10},
     {"OPTI/HDMI1~3/ARC 输入增益", "OPTI/HDMI1~3/ARC input gain"}},
    {2576, Slider, {kSetSlider, 148, 180, 10}, {}, "System.inputGains[3]"},
    {2556,
     Label,
     {kSetValue, 148, 40, 10},
     {},
     "System.inputGains[3]",
     Shown(LabelRule::L14, 0.5, 10),
     0,
     40},
    // The key is kept in the system block but not offered: its row stays hidden.
    {2511, Caption, {kSetLabel, 168, 125, 10}},
    {2577, Slider, {kSetSlider, 168, 180, 10}, {}, "System.key", {}, 0, 14},
    {2557, Label, {kSetValue, 168, 40, 10}, {}, "System.key", Shown(LabelRule::L20, 1, 7), 0, 14},
    // Device modes.
    {1367, Group, {3, 183, 320, 172}, {"模式", "Mode"}},
    {2514, Caption, {12, 201, 40, 10}, {"模式", "Mode"}},
    {2604, Combo, {55, 198, 130, 12}},
    {2515, Caption, {12, 220, 40, 10}, {"名称", "Name"}},
    {2614, Custom, {55, 217, 130, 13}},
    {1066,
     Button,
     {12, 246, 92, 17},
     {"调用设备模式", "Recall Mode"},
     nullptr,
     {},
     0,
     -1,
     skins::kModeButton},
    {1067,
     Button,
     {114, 246, 92, 17},
     {"保存设备模式", "Store Mode"},
     nullptr,
     {},
     0,
     -1,
     skins::kModeButton},
    {1069, Button, {216, 246, 92, 17}, {"导出", "Export"}, nullptr, {}, 0, -1, skins::kModeButton},
    {1384, Button, {12, 270, 92, 17}, {"导入", "Import"}, nullptr, {}, 0, -1, skins::kModeButton},
    {1388,
     Button,
     {114, 270, 92, 17},
     {"导出所有", "Export all"},
     nullptr,
     {},
     0,
     -1,
     skins::kModeButton},
    {1389,
     Button,
     {216, 270, 92, 17},
     {"导入所有", "Import all"},
     nullptr,
     {},
     0,
     -1,
     skins::kModeButton},
};

// The picture's place on the page, in pixels.
constexpr QPoint kPictureOrigin{5, 6};

// A stored fixed-width text as shown: trimmed of spaces (and NULs) at both ends.
QString Trimmed(const U8* bytes, int n) {
    QByteArray text;
    for (int i = 0; i < n; ++i) {
        text.append(static_cast<char>(static_cast<uint8_t>(bytes[i])));
    }
    text.replace('\0', ' ');
    return QString::fromLatin1(text).trimmed();
}

QString SystemPassword() {
    return Trimmed(ParameterSet.system.block.systemPassword, CSysDlg::kSystemPasswordLength);
}

QString PanelPassword() {
    return Trimmed(ParameterSet.system.block.panelPassword, CSysDlg::kPanelPasswordLength);
}

// Typed text padded with spaces to the stored width.
void Pad(const QString& text, U8* out, int n) {
    const QByteArray bytes = text.toLatin1();
    for (int i = 0; i < n; ++i) {
        out[i] = i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : static_cast<uint8_t>(' ');
    }
}

DeviceModeHooks MainWindowHooks(CSysDlg* page) {
    DeviceModeHooks hooks;
    hooks.sendDeviceCommand = [](uint8_t command, uint8_t argument) {
        if (CMivoDlg* main = MainWindow()) {
            main->SendDeviceCommand(command, argument);
        }
    };
    hooks.startQueueProgress = [] {
        if (CMivoDlg* main = MainWindow()) {
            main->StartQueueProgress();
        }
    };
    hooks.refresh = [page] {
        // A recall or a file replaced the image: the model announces it (curves, top bar).
        CImageModel::Editor().NoteImageReplaced(ChangeOrigin::FromFile("device modes"));
        if (CMivoDlg* main = MainWindow()) {
            main->RefreshCurrentPage();
            main->NoteImageLoaded();
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
    SetUpSkins();
    SetUpLamps();
    m_files = std::make_unique<CFileOperations>(this, MainWindowHooks(this));

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

    for (int id : {2511, 2577, 2557}) {
        m_binding.Widget(id)->hide();
    }
    ApplyLanguage();
}

CSysDlg::~CSysDlg() = default;

void CSysDlg::SetUpEdits() {
    const struct {
        int id;
        int length;
        bool password;
        bool digits;
    } edits[] = {
        {kVerifyEdit, kSystemPasswordLength, true, false},
        {kSystemOld, kSystemPasswordLength, true, true},
        {kSystemNew, kSystemPasswordLength, true, true},
        {kSystemConfirm, kSystemPasswordLength, true, false},
        {kPanelOld, kPanelPasswordLength, true, false},
        {kPanelNew, kPanelPasswordLength, true, true},
        {kPanelConfirm, kPanelPasswordLength, true, false},
        {kNameEdit, kNameLength, false, false},
    };
    for (const auto& e : edits) {
        auto* edit = new CEnglishEdit(this, e.id);
        edit->setMaxLength(e.length);
        if (e.password) {
            edit->setEchoMode(QLineEdit::Password);
        }
        if (e.digits) {
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
        m_binding.Adopt(e.id, edit);
        const int id = e.id;
        if (id == kVerifyEdit) {
            connect(edit, &QLineEdit::textEdited, this, [this] { OnVerifyEdited(); });
        } else if (id != kNameEdit) {
            connect(edit, &QLineEdit::textEdited, this, [this, id] { OnPasswordEdited(id); });
        }
    }
}

void CSysDlg::SetUpSkins() {
    const struct {
        int id;
        int normal;
        int pressed;
        int checked;  // the checked faces, unused by these push buttons
    } buttons[] = {
        {kRecall, 175, 176, 0},         {kStore, 175, 176, 0},         {kExport, 175, 176, 0},
        {kImport, 175, 176, 0},         {kExportAll, 175, 176, 0},     {kImportAll, 175, 176, 0},
        {kSystemModify, 152, 153, 153}, {kPanelModify, 152, 153, 153}, {kVerifyOk, 178, 177, 177},
    };
    for (const auto& b : buttons) {
        auto* button = m_binding.Get<CBitButton>(b.id);
        button->SetBitmaps(b.normal, b.pressed, b.pressed, b.checked, b.checked, b.checked);
        button->SetDisabledBitmaps(b.normal, b.pressed);
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

void CSysDlg::Enable(int id, bool enable) {
    if (QWidget* w = m_binding.Widget(id)) {
        w->setEnabled(enable);
    }
}

void CSysDlg::EnableNameAndStore(bool enable) {
    Enable(kNameEdit, enable);
    Enable(kStore, enable);
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

void CSysDlg::RefreshModeList() {
    auto* list = m_binding.Get<CBitComboBox>(kModeList);
    for (int id : {kModeList, kNameEdit, kRecall, kStore, kImport, kExportAll, kImportAll}) {
        Enable(id, true);
    }
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
    // A number beyond the 21 programs (a damaged block) shows program 1 and is left as it is.
    const int shown = CDeviceModes::BankProgramFor(current);
    {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(shown - 1);
    }
    Edit(kNameEdit)->setText(QString::fromStdString(CDeviceModes::ShownName(
        withBank ? ProgramBank.programs[shown - 1].name : ParameterSet.program.name)));

    const bool storable = current >= 1 && current <= kStorablePrograms;
    if (online) {
        const bool allowed = storePermission != 0;
        EnableNameAndStore(storable && allowed);
        Enable(kImport, allowed);
        Enable(kImportAll, allowed);
    } else {
        const bool bank = ProgramBank.bankValid != 0;
        Enable(kExportAll, bank);
        Enable(kRecall, bank);
        EnableNameAndStore(false);
        Enable(kImport, true);
        Enable(kImportAll, true);
    }
    Enable(kExport, true);
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
    EnableNameAndStore(index + 1 <= kStorablePrograms && online && storePermission != 0);
}

void CSysDlg::ShowPermission() {
    auto* text = m_binding.Get<CFontStatic>(kPermissionText);
    const bool allowed = online && storePermission != 0;
    text->SetText(QString::fromUtf8((allowed ? kStoreAllow : kNoStoreAllow).Get()));
    if (!online) {
        Enable(kVerifyEdit, false);
        Enable(kVerifyOk, false);
        return;
    }
    const int current = ParameterSet.system.block.currentProgram;
    if (allowed) {
        EnableNameAndStore(current >= 1 && current <= kStorablePrograms);
        Enable(kImport, true);
        Enable(kImportAll, true);
        Enable(kVerifyEdit, false);
        Enable(kVerifyOk, false);
    } else {
        Enable(kVerifyOk, false);
        EnableNameAndStore(false);
        Enable(kImport, false);
        Enable(kImportAll, false);
        Enable(kVerifyEdit, true);
    }
}

void CSysDlg::OnVerifyEdited() {
    Enable(kVerifyOk, Edit(kVerifyEdit)->text() == SystemPassword());
}

void CSysDlg::OnVerify() {
    if (Edit(kVerifyEdit)->text() != SystemPassword()) {
        return;
    }
    {
        // The password is sent as both the old and the new one: the processor checks it.
        ParamGuard guard(ParamLock);
        AtomicCopy(PasswordScratch.newSystem, ParameterSet.system.block.systemPassword,
                   kSystemPasswordLength);
    }
    if (CMivoDlg* main = MainWindow()) {
        main->SendDeviceCommand(kCmdSystemPassword, 0);
    }
    if (online) {
        storePermission = 1;
        ShowPermission();
    }
}

void CSysDlg::OnPasswordEdited(int id) {
    const bool system = id == kSystemOld || id == kSystemNew || id == kSystemConfirm;
    const int oldId = system ? kSystemOld : kPanelOld;
    const int newId = system ? kSystemNew : kPanelNew;
    const int confirmId = system ? kSystemConfirm : kPanelConfirm;
    const int modifyId = system ? kSystemModify : kPanelModify;
    const int length = system ? kSystemPasswordLength : kPanelPasswordLength;
    const QString newText = Edit(newId)->text();
    if (id == oldId) {
        const QString reference = system ? SystemPassword() : m_panelReference;
        Enable(newId, Edit(oldId)->text() == reference);
        return;
    }
    if (id == newId) {
        Enable(confirmId, newText.size() == length);
    }
    // Modify goes with the pair as it stands now, so a new password changed after it was
    // confirmed is never sent unconfirmed.
    Enable(modifyId, newText.size() == length && Edit(confirmId)->text() == newText);
}

void CSysDlg::OnModifySystem() {
    const QString typed = Edit(kSystemNew)->text();
    if (typed.size() != kSystemPasswordLength || Edit(kSystemConfirm)->text() != typed) {
        return;
    }
    {
        ParamGuard guard(ParamLock);
        Pad(typed, PasswordScratch.newSystem, kSystemPasswordLength);
    }
    if (CMivoDlg* main = MainWindow()) {
        main->SendDeviceCommand(kCmdSystemPassword, 0);
    }
    ResetPanelGroup();
}

void CSysDlg::OnModifyPanel() {
    const QString typed = Edit(kPanelNew)->text();
    if (typed.size() != kPanelPasswordLength || Edit(kPanelConfirm)->text() != typed) {
        return;
    }
    {
        ParamGuard guard(ParamLock);
        Pad(typed, PasswordScratch.newPanel, kPanelPasswordLength);
    }
    if (CMivoDlg* main = MainWindow()) {
        main->SendDeviceCommand(kCmdPanelPassword, 0);
    }
    ResetSystemGroup();
}

void CSysDlg::ResetSystemGroup() {
    for (int id : {kSystemOld, kSystemNew, kSystemConfirm}) {
        Edit(id)->clear();
    }
    Enable(kSystemOld, online);
    Enable(kSystemNew, false);
    Enable(kSystemConfirm, false);
    Enable(kSystemModify, false);
}

void CSysDlg::ResetPanelGroup() {
    m_panelReference = PanelPassword();
    for (int id : {kPanelOld, kPanelNew, kPanelConfirm}) {
        Edit(id)->clear();
    }
    Enable(kPanelOld, online);
    Enable(kPanelNew, false);
    Enable(kPanelConfirm, false);
    Enable(kPanelModify, false);
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
    p.drawImage(kPictureOrigin, CSkinBitmaps::Get(useChinese ? CMonitorPicture::kChineseId
                                                             : CMonitorPicture::kEnglishId));
}

}  // namespace qx
