#include "HistoryWindow.h"

#include <QLabel>
#include <QUndoView>
#include <QVBoxLayout>

#include "EditHistory.h"
#include "GestureSteps.h"
#include "TextPair.h"

namespace qx {

namespace {

const TextPair kTitle{"操作历史", "History"};
const TextPair kStart{"<打开时的参数>", "<as opened>"};

}  // namespace

CHistoryWindow::CHistoryWindow(CEditHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_history(history) {
    setProperty(CGestureSteps::kNoStepProperty, true);
    m_view = new QUndoView(&history.Stack(), this);
    m_message = new QLabel(this);
    m_message->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_message);
    resize(380, 420);
    // A click that would cross a wall is stood back by the history; the line says why.
    connect(&history, &CEditHistory::Refused, this, &CHistoryWindow::ShowMessage);
    connect(&history, &CEditHistory::Moved, this, [this] { ShowMessage(m_history.WallReason()); });
    ApplyLanguage();
}

void CHistoryWindow::ApplyLanguage() {
    setWindowTitle(QString::fromUtf8(kTitle.Get()));
    m_view->setEmptyLabel(QString::fromUtf8(kStart.Get()));
}

void CHistoryWindow::ShowMessage(const QString& text) {
    m_message->setText(text);
}

}  // namespace qx
