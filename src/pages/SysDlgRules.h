#pragma once
// The System page's control ids, the groups of them that are enabled together, and its
// enabling rules: which controls a person can use for a given link, store permission, bank and
// typed passwords. Plain data and one pure function; the page gathers the state and applies
// the result.

#include <QString>

#include "Enabling.h"

namespace qx {

// Control ids the page, its handlers and the tests name.
struct SysPageIds {
    static constexpr int kVerifyEdit = 1023;
    static constexpr int kVerifyOk = 1362;
    static constexpr int kPermissionText = 1412;
    static constexpr int kSystemOld = 2612;
    static constexpr int kSystemNew = 2613;
    static constexpr int kSystemConfirm = 1024;
    static constexpr int kSystemModify = 1065;
    static constexpr int kPanelOld = 2610;
    static constexpr int kPanelNew = 2611;
    static constexpr int kPanelConfirm = 1369;
    static constexpr int kPanelModify = 1064;
    static constexpr int kModeList = 2604;
    static constexpr int kNameEdit = 2614;
    static constexpr int kRecall = 1066;
    static constexpr int kStore = 1067;
    static constexpr int kExport = 1069;
    static constexpr int kImport = 1384;
    static constexpr int kExportAll = 1388;
    static constexpr int kImportAll = 1389;
    static constexpr int kKeyCaption = 2511;
    static constexpr int kKeySlider = 2577;
    static constexpr int kKeyValue = 2557;
    static constexpr int kFirstMonitor = 3900;
    static constexpr int kMonitorCount = 12;
    static constexpr int kSystemPasswordLength = 6;
    static constexpr int kPanelPasswordLength = 4;
};

namespace sysgroups {
using I = SysPageIds;
// The name of the program to store and the button that stores it.
inline constexpr int kNameAndStore[] = {I::kNameEdit, I::kStore};
// Loading programs from files: refused without the store permission while connected.
inline constexpr int kImports[] = {I::kImport, I::kImportAll};
// What reads the processor's bank: usable offline only with a bank read before.
inline constexpr int kBankReaders[] = {I::kRecall, I::kExportAll};
// Always usable.
inline constexpr int kAlwaysUsable[] = {I::kModeList, I::kExport};
// The store permission's verification.
inline constexpr int kVerification[] = {I::kVerifyEdit, I::kVerifyOk};
// The key row: kept in the system block but not offered.
inline constexpr int kKeyRow[] = {I::kKeyCaption, I::kKeySlider, I::kKeyValue};
}  // namespace sysgroups

// One password change group: the old password, the new one, its confirmation and Modify.
struct PasswordGroupIds {
    int oldEdit;
    int newEdit;
    int confirmEdit;
    int modify;
};
inline constexpr PasswordGroupIds kSystemPasswordGroup{
    SysPageIds::kSystemOld, SysPageIds::kSystemNew, SysPageIds::kSystemConfirm,
    SysPageIds::kSystemModify};
inline constexpr PasswordGroupIds kPanelPasswordGroup{SysPageIds::kPanelOld, SysPageIds::kPanelNew,
                                                      SysPageIds::kPanelConfirm,
                                                      SysPageIds::kPanelModify};

struct PasswordGroupState {
    int length = 0;           // characters of the password
    bool oldMatches = false;  // the old password typed since the group was reset was right
    QString typedNew;
    QString typedConfirm;
};

struct SysPageState {
    bool online = false;
    bool storePermission = false;
    bool bankValid = false;  // a bank was read from the processor or loaded from a file
    int program = 0;         // the program Store acts on (1..21; others store nowhere)
    // The verification typed since the permission was last shown equals the system password.
    bool verifyMatches = false;
    PasswordGroupState system;
    PasswordGroupState panel;
};

// Every control of the mode area, the store permission and the two password groups; the key
// row is never shown.
Enabling SysPageRules(const SysPageState& state);

}  // namespace qx
