#include "HistoryBar.h"
#include "ThreadHandOff.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include "BitButton.h"
#include "EditHistory.h"
#include "GestureSteps.h"
#include "HistoryWindow.h"
#include "ImageModel.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "TextPair.h"

namespace qx {

namespace {

const TextPair kUndo{"撤销", "Undo"};
const TextPair kRedo{"重做", "Redo"};
const TextPair kList{"历史", "History"};

CBitButton* MakeButton(QWidget* parent) {
    auto* b = new CBitButton(parent);
    const int id = skinid::kTopBarButton;
    b->SetBitmaps(id, id, id, id, id, id);
    b->SetDisabledBitmaps(id, id);
    const QColor w = skin::kTextColor;
    b->SetTextColors(w, w, w, w, w, w);
    b->SetDisabledTextColor(QColor(120, 120, 120));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

bool IsUndoKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent* key) {
    const int k = key->key();
    const auto mods = key->modifiers() & ~Qt::KeypadModifier;
    return key->matches(QKeySequence::Redo) ||
           (k == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) ||
           (k == Qt::Key_Y && mods == Qt::ControlModifier);
}

}  // namespace

CHistoryBar::CHistoryBar(CEditHistory& history, QWidget* window, QWidget* bar)
    : QWidget(bar), m_history(history), m_target(window) {
    setProperty(CGestureSteps::kNoStepProperty, true);
    m_undo = MakeButton(this);
    m_redo = MakeButton(this);
    m_list = MakeButton(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_undo);
    layout->addWidget(m_redo);
    layout->addWidget(m_list);
    connect(m_undo, &QAbstractButton::clicked, this, [this] { m_history.Undo(); });
    connect(m_redo, &QAbstractButton::clicked, this, [this] { m_history.Redo(); });
    connect(m_list, &QAbstractButton::clicked, this, &CHistoryBar::ShowList);
    connect(&history, &CEditHistory::Moved, this, &CHistoryBar::Update);
    connect(&history, &CEditHistory::Refused, this, &CHistoryBar::ShowRefusal);
    // The keys are taken before any widget of the window sees them, on every page.
    qApp->installEventFilter(this);
    ApplyLanguage();
}

void CHistoryBar::ApplyLanguage() {
    m_undo->setText(QString::fromUtf8(kUndo.Get()));
    m_redo->setText(QString::fromUtf8(kRedo.Get()));
    m_list->setText(QString::fromUtf8(kList.Get()));
    m_history.ApplyLanguage();
    if (m_window != nullptr) {
        m_window->ApplyLanguage();
    }
    Update();
}

void CHistoryBar::Update() {
    m_undo->setEnabled(m_history.CanUndo());
    m_redo->setEnabled(m_history.CanRedo());
    m_undo->setToolTip(m_history.UndoText());
    m_redo->setToolTip(m_history.RedoText());
}

void CHistoryBar::ShowRefusal(const QString& why) {
    if (isVisible() && !why.isEmpty()) {
        QToolTip::showText(m_undo->mapToGlobal(QPoint(0, m_undo->height())), why, m_undo);
    }
}

void CHistoryBar::ShowList() {
    if (m_window == nullptr) {
        m_window = new CHistoryWindow(m_history, m_target);
        m_window->move(m_target->mapToGlobal(QPoint(m_target->width() - 400, 60)));
    }
    m_window->show();
    m_window->raise();
}

bool CHistoryBar::eventFilter(QObject* watched, QEvent* event) {
    // Application-wide: the serial worker's calls pass here too; take them over first.
    TakeOver(event);
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto inside = [widget](const QWidget* w) {
        return w != nullptr && (widget == w || w->isAncestorOf(widget));
    };
    // The keys work in the window and in the list of steps.
    if (widget == nullptr || (!inside(m_target) && !inside(m_window))) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool undo = IsUndoKey(key);
    const bool redo = !undo && IsRedoKey(key);
    if (!undo && !redo) {
        return false;
    }
    // A text being typed keeps its own undo until it is committed.
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && edit->isModified()) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        if (undo) {
            m_history.Undo();
        } else {
            m_history.Redo();
        }
    }
    // Consumed: neither the widget's own undo nor a second handler runs.
    event->accept();
    return true;
}

CHistoryBar* InstallHistory(QWidget* window, QWidget* topBar, const QRect& rect) {
    CImageModel& model = CImageModel::Editor();
    auto* history = new CEditHistory(model, window);
    new CGestureSteps(model, window);
    auto* bar = new CHistoryBar(*history, window, topBar);
    bar->setGeometry(rect);
    bar->raise();
    bar->show();
    return bar;
}

}  // namespace qx
