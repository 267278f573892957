#include "SysDlg.h"

// The System page's store permission and password groups: the verification that grants the
// store permission, and the changes of the system and the panel password. Which of their
// controls can be used is decided by SysPageRules.

#include <QRegularExpressionValidator>

#include "ByteField.h"
#include "CommProtocol.h"
#include "DialogUnits.h"
#include "EnglishEdit.h"
#include "FontStatic.h"
#include "LinkState.h"
#include "ParameterSet.h"

namespace qx {

namespace {

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

constexpr TextPair kWrongOld{"旧密码不正确", "Wrong old password"};
constexpr TextPair kConfirmDiffers{"确认密码与新密码不同",
                                   "The confirmation differs from the new password"};
constexpr TextPair kSystemChanged{"系统密码已修改", "System password changed"};
constexpr TextPair kPanelChanged{"面板密码已修改", "Panel password changed"};

// Typed text padded with spaces to the stored width.
void Pad(const QString& text, U8* out, int n) {
    const QByteArray bytes = text.toLatin1();
    for (int i = 0; i < n; ++i) {
        out[i] = i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : static_cast<uint8_t>(' ');
    }
}

}  // namespace

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
    // Each password group's line of what happened, right of its caption.
    constexpr int kStatusY[2] = {252, 290};
    for (int g = 0; g < 2; ++g) {
        auto* status = new CFontStatic(this);
        status->setGeometry(CDialogUnits::ToPixels(492, kStatusY[g], 214, 10));
        m_passwordStatus[static_cast<std::size_t>(g)] = status;
    }
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

void CSysDlg::OnVerifyEdited() {
    m_verifyMatches = Edit(kVerifyEdit)->text() == SystemPassword();
    ApplyRules();
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
    SendCommand(kCmdSystemPassword);
    if (online) {
        storePermission = 1;
        ShowPermission();
    }
}

void CSysDlg::OnPasswordEdited(int id) {
    // The old password is compared when it is typed: the system one with the block as it is
    // now, the panel one with the block as it was when the group was last reset.
    if (id == kSystemOld) {
        m_systemOldMatches = Edit(kSystemOld)->text() == SystemPassword();
    } else if (id == kPanelOld) {
        m_panelOldMatches = Edit(kPanelOld)->text() == m_panelReference;
    }
    // Said as soon as it is known: a whole old password that is wrong, a whole confirmation
    // that differs.
    const bool system = id == kSystemOld || id == kSystemNew || id == kSystemConfirm;
    const int length = system ? kSystemPasswordLength : kPanelPasswordLength;
    const QString old = Edit(system ? kSystemOld : kPanelOld)->text();
    const QString confirm = Edit(system ? kSystemConfirm : kPanelConfirm)->text();
    const bool oldMatches = system ? m_systemOldMatches : m_panelOldMatches;
    const TextPair* text = nullptr;
    if (old.size() == length && !oldMatches) {
        text = &kWrongOld;
    } else if (confirm.size() == length &&
               confirm != Edit(system ? kSystemNew : kPanelNew)->text()) {
        text = &kConfirmDiffers;
    }
    ShowPasswordStatus(system ? 0 : 1, text, true);
    ApplyRules();
}

void CSysDlg::ShowPasswordStatus(int group, const TextPair* text, bool bad) {
    const auto g = static_cast<std::size_t>(group);
    m_passwordText[g] = text;
    CFontStatic* status = m_passwordStatus[g];
    if (status == nullptr) {
        return;
    }
    status->SetTextColor(bad ? QColor(255, 96, 96) : QColor(128, 255, 128));
    status->SetText(text != nullptr ? QString::fromUtf8(text->Get()) : QString());
}

QString CSysDlg::PasswordStatus(int group) const {
    const TextPair* text = m_passwordText[static_cast<std::size_t>(group)];
    return text != nullptr ? QString::fromUtf8(text->Get()) : QString();
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
    SendCommand(kCmdSystemPassword);
    ResetPanelGroup();
    ShowPasswordStatus(0, &kSystemChanged, false);
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
    SendCommand(kCmdPanelPassword);
    ResetSystemGroup();
    ShowPasswordStatus(1, &kPanelChanged, false);
}

void CSysDlg::ResetSystemGroup() {
    for (int id : {kSystemOld, kSystemNew, kSystemConfirm}) {
        Edit(id)->clear();
    }
    m_systemOldMatches = false;
    ShowPasswordStatus(0, nullptr, false);
    ApplyRules();
}

void CSysDlg::ResetPanelGroup() {
    m_panelReference = PanelPassword();
    for (int id : {kPanelOld, kPanelNew, kPanelConfirm}) {
        Edit(id)->clear();
    }
    m_panelOldMatches = false;
    ShowPasswordStatus(1, nullptr, false);
    ApplyRules();
}

}  // namespace qx
