#include "AuditView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "AuditLog.h"
#include "EditorAudit.h"
#include "TextPair.h"

namespace qx {

namespace {

const TextPair kTitle{"操作记录（本次运行）", "Audit log (this session)"};
const TextPair kNothing{"本次运行还没有向处理器发送修改。",
                        "Nothing has been sent to a processor in this session."};
const TextPair kWhere{"完整记录：%1", "The whole log: %1"};
const TextPair kLost{"%1 行无法写入记录文件（%2）",
                     "%1 lines could not be written to the log (%2)"};

QString Shown(const TextPair& pair, std::initializer_list<std::string> args = {}) {
    return QString::fromStdString(Tr(pair, args));
}

}  // namespace

CAuditView::CAuditView(CEditorAudit& audit, CAuditLog& log, QWidget* parent)
    : QDialog(parent), m_audit(audit), m_log(log) {
    setWindowTitle(Shown(kTitle));
    auto* layout = new QVBoxLayout(this);
    m_list = new QPlainTextEdit(this);
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_list->setMinimumSize(640, 320);
    layout->addWidget(m_list);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(&audit, &CEditorAudit::Recorded, this, &CAuditView::Reload);
    Reload();
}

void CAuditView::Reload() {
    QStringList lines;
    for (const AuditRecord& r : m_audit.SessionRecords()) {
        lines << QString::fromStdString(r.ReadableText());
    }
    m_list->setPlainText(lines.isEmpty() ? Shown(kNothing) : lines.join(QLatin1Char('\n')));
    m_list->moveCursor(QTextCursor::End);
    QString status = Shown(kWhere, {m_log.Path()});
    if (const uint64_t lost = m_log.LostLines(); lost > 0) {
        status += QLatin1Char('\n') + Shown(kLost, {std::to_string(lost), m_log.LastError()});
    }
    m_status->setText(status);
}

QString CAuditView::Text() const {
    return m_list->toPlainText();
}

QString CAuditView::Status() const {
    return m_status->text();
}

}  // namespace qx
