#include "SysDlg.h"

// The System page's store permission and password groups: the verification that grants the
// store permission, and the changes of the system and the panel password. Which of their
// controls can be used is decided by SysPageRules.

#include <QRegularExpressionValidator>

#include "ByteField.h"
#include "CommProtocol.h"
#include "EnglishEdit.h"
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
    ApplyRules();
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
}

void CSysDlg::ResetSystemGroup() {
    for (int id : {kSystemOld, kSystemNew, kSystemConfirm}) {
        Edit(id)->clear();
    }
    m_systemOldMatches = false;
    ApplyRules();
}

void CSysDlg::ResetPanelGroup() {
    m_panelReference = PanelPassword();
    for (int id : {kPanelOld, kPanelNew, kPanelConfirm}) {
        Edit(id)->clear();
    }
    m_panelOldMatches = false;
    ApplyRules();
}

}  // namespace qx
