#include "ProcessorChoice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "TextPair.h"

namespace qx {

namespace {

const TextPair kTitle{"选择处理器", "Which processor?"};
const TextPair kQuestion{"在多个端口上找到了处理器。要编辑哪一个？",
                         "A processor answered on more than one port. Which one do you want "
                         "to edit?"};

}  // namespace

CProcessorChoice::CProcessorChoice(const std::vector<QString>& ports, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kTitle.Get()));
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(QString::fromUtf8(kQuestion.Get()), this);
    question->setWordWrap(true);
    layout->addWidget(question);
    m_list = new QListWidget(this);
    for (const QString& port : ports) {
        m_list->addItem(port);
    }
    m_list->setCurrentRow(ports.empty() ? -1 : 0);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

int CProcessorChoice::Chosen() const {
    return m_list->currentRow();
}

void CProcessorChoice::Choose(int row) {
    m_list->setCurrentRow(row);
}

int CProcessorChoice::Ask(QWidget* parent, const std::vector<QString>& ports) {
    CProcessorChoice dialog(ports, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : -1;
}

}  // namespace qx
