// The main window's part of the audit: its recorder follows the session, the view shows this
// session's records and where the log is, and the choice among processors picks a row.

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>

#include "AuditHookup.h"
#include "AuditLog.h"
#include "FieldCaption.h"
#include "AuditView.h"
#include "CommProtocol.h"
#include "EditorAudit.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "ParameterSet.h"
#include "ProcessorChoice.h"

namespace qx {
namespace {

TEST(AuditViewTest, WindowRecordsWhileConnectedAndViewShowsIt) {
    ResetParameters();
    CMivoDlg::Options options;
    options.autoConnect = false;
    CMivoDlg window(options);
    CEditorAudit* audit = window.findChild<CEditorAudit*>();
    ASSERT_NE(audit, nullptr);
    EXPECT_EQ(&HookUpAudit(window), audit);  // made once
    EXPECT_FALSE(audit->Connected());

    bool hasItem = false;
    for (QAction* a : window.actions()) {
        hasItem = hasItem || a->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L);
    }
    EXPECT_TRUE(hasItem);

    // A processor answered: what the person changes is recorded, and shown.
    audit->SetConnected(true);
    audit->OnDeviceCommand(kCmdRecall, 2);
    ShowAuditView(window);
    auto* view = window.findChild<CAuditView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->Text().contains(QStringLiteral("recall")));
    EXPECT_TRUE(view->Status().contains(QString::fromStdString(CAuditLog::Shared().Path())));

    CImageModel::Editor().WriteField("Mic2.level", 9, ChangeOrigin::FromControl(1));
    CImageModel::Editor().Flush();
    // A field reads as the pages name it.
    const std::string caption = FieldCaption(*CParamCatalogue::Find("Mic2.level"), useChinese);
    EXPECT_TRUE(view->Text().contains(QString::fromStdString(caption)))
        << view->Text().toStdString();
    view->close();
}

TEST(AuditViewTest, ProcessorChoiceStartsOnFirstRowAndReturnsThePicked) {
    CProcessorChoice choice({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("socket://a:4001"),
                             QStringLiteral("rfc2217://b:4002")});
    EXPECT_EQ(choice.List()->count(), 3);
    EXPECT_EQ(choice.Chosen(), 0);
    choice.Choose(2);
    EXPECT_EQ(choice.Chosen(), 2);
    EXPECT_EQ(choice.List()->currentItem()->text(), QStringLiteral("rfc2217://b:4002"));
}

}  // namespace
}  // namespace qx
