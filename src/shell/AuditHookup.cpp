#include "AuditHookup.h"

#include <QAction>
#include <QKeySequence>

#include "AuditLog.h"
#include "AuditView.h"
#include "DeviceLink.h"
#include "EditorAudit.h"
#include "EditorSession.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "ParameterSet.h"
#include "ProcessorChoice.h"
#include "TextPair.h"

namespace qx {

namespace {

const TextPair kAuditItem{"操作记录(&L)...", "Audit &log..."};
constexpr const char* kAuditItemName = "auditItem";

}  // namespace

CEditorAudit& HookUpAudit(CMivoDlg& window) {
    if (auto* made = window.findChild<CEditorAudit*>()) {
        return *made;
    }
    auto* audit = new CEditorAudit(CImageModel::Editor(), CAuditLog::Shared(), &window);
    CDeviceLink* link = &window.Link();
    audit->SetPlace([link] {
        AuditPlace place;
        place.port = link->CurrentPortName().toStdString();
        place.program = ParameterSet.system.block.currentProgram;
        return place;
    });
    CEditorSession* session = &window.Session();
    QObject::connect(session, &CEditorSession::deviceFound, audit,
                     [audit] { audit->SetConnected(true); });
    QObject::connect(session, &CEditorSession::onlineChanged, audit, [audit](bool on) {
        if (!on) {
            audit->SetConnected(false);
        }
    });
    QObject::connect(
        session, &CEditorSession::deviceCommandSent, audit, [audit](int command, int argument) {
            audit->OnDeviceCommand(static_cast<uint8_t>(command), static_cast<uint8_t>(argument));
        });

    auto* item = new QAction(QString::fromUtf8(kAuditItem.Get()), &window);
    item->setObjectName(QLatin1String(kAuditItemName));
    item->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    QObject::connect(item, &QAction::triggered, &window, [&window] { ShowAuditView(window); });
    window.addAction(item);

    window.Link().SetProcessorChooser([&window](const std::vector<QString>& answered) {
        return CProcessorChoice::Ask(&window, answered);
    });
    return *audit;
}

void ApplyAuditLanguage(CMivoDlg& window) {
    if (auto* item = window.findChild<QAction*>(QLatin1String(kAuditItemName))) {
        item->setText(QString::fromUtf8(kAuditItem.Get()));
    }
}

void ShowAuditView(CMivoDlg& window) {
    auto* view = window.findChild<CAuditView*>();
    if (view == nullptr) {
        view = new CAuditView(HookUpAudit(window), CAuditLog::Shared(), &window);
    }
    view->Reload();
    view->show();
    view->raise();
}

}  // namespace qx
