#pragma once
// Hooks the audit log and the choice among several processors into the main window: what the
// editor sends while connected is logged, "Audit log..." on the window's context menu
// (Ctrl+Shift+L) shows this session's part, and a search that finds a processor on several
// ports asks which one to edit.

namespace qx {

class CMivoDlg;
class CEditorAudit;

// Made once, as a child of the window; returns the window's audit (also found with
// window.findChild<CEditorAudit*>()).
CEditorAudit& HookUpAudit(CMivoDlg& window);
// Names the window's "Audit log..." item in the language in force.
void ApplyAuditLanguage(CMivoDlg& window);
// Shows this session's part of the log (not modal).
void ShowAuditView(CMivoDlg& window);

}  // namespace qx
