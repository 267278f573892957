// The main window's part in keeping work safe: snapshots taken before an operation replaces
// settings are announced, the top bar follows the background search after a lost link, work
// kept when the editor last closed is announced at start, and closing keeps unsaved work.

#include <QCloseEvent>

#include "CompareBar.h"
#include "EditorSession.h"
#include "MivoDlg.h"
#include "OfflineNotice.h"
#include "Snapshot.h"

namespace qx {

void CMivoDlg::SetUpSafety() {
    connect(&CSnapshot::Instance(), &CSnapshot::kept, m_notice, &COfflineNotice::ShowSnapshot);
    connect(&m_compare->Compare(), &CAbCompare::AsideInB, m_notice, &COfflineNotice::ShowAsideInB);
    connect(m_session.get(), &CEditorSession::reconnectingChanged, this,
            [this](bool) { RefreshTopBar(true); });
    m_notice->ShowLastSession(m_session->TakeLastSessionNotice());
}

void CMivoDlg::closeEvent(QCloseEvent* event) {
    // Never asks: the work goes to a dated file in MusicFile and the next start says where.
    m_session->KeepWorkOnClose();
    QWidget::closeEvent(event);
}

}  // namespace qx
