#include "SysDlgRules.h"

#include "DeviceModes.h"

namespace qx {

namespace {

void PasswordGroupRules(const PasswordGroupIds& ids, const PasswordGroupState& s, bool online,
                        Enabling& out) {
    const bool complete = s.typedNew.size() == s.length;
    out.Enable(ids.oldEdit, online);
    out.Enable(ids.newEdit, s.oldMatches);
    out.Enable(ids.confirmEdit, complete);
    // Modify goes with the pair as it stands, so a new password changed after it was
    // confirmed is never sent unconfirmed.
    out.Enable(ids.modify, complete && s.typedConfirm == s.typedNew);
}

}  // namespace

Enabling SysPageRules(const SysPageState& s) {
    using namespace sysgroups;
    Enabling out;
    const bool allowed = s.online && s.storePermission;
    const bool storable = s.program >= 1 && s.program <= kStorablePrograms;
    out.Enable(kAlwaysUsable, true);
    out.Enable(kBankReaders, s.online || s.bankValid);
    out.Enable(kNameAndStore, allowed && storable);
    // Offline, files are the only source of programs and always open.
    out.Enable(kImports, !s.online || s.storePermission);
    out.Enable(SysPageIds::kVerifyEdit, s.online && !s.storePermission);
    out.Enable(SysPageIds::kVerifyOk, s.online && !s.storePermission && s.verifyMatches);
    PasswordGroupRules(kSystemPasswordGroup, s.system, s.online, out);
    PasswordGroupRules(kPanelPasswordGroup, s.panel, s.online, out);
    out.Show(kKeyRow, false);
    return out;
}

}  // namespace qx
