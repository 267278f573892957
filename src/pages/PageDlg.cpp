#include "PageDlg.h"

#include "EQDlg.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>

#include "DialogUnits.h"
#include "SkinColors.h"
#include "TabChain.h"

namespace qx {

CPageDlg::CPageDlg(QWidget* parent, int templateId, int widthUnits, int heightUnits)
    : QWidget(parent),
      m_binding(this),
      m_templateId(templateId),
      m_designSize(CDialogUnits::ToPixels(QSize(widthUnits, heightUnits))) {
    // Enter and Escape give the page the focus, so that it may take it.
    setFocusPolicy(Qt::ClickFocus);
    resize(m_designSize);
}

void CPageDlg::RefreshFromParameters() {
    m_binding.RefreshFromParameters();
}

void CPageDlg::ApplyLanguage() {
    m_binding.ApplyLanguage();
    // The band strips of the page's equalisers are not bound controls; they follow too.
    for (CEQDlg* strip : findChildren<CEQDlg*>()) {
        strip->ApplyLanguage();
    }
}

bool CPageDlg::focusNextPrevChild(bool next) {
    // A page inside another (the effect page's panels) leaves the order to the outer one, so
    // Tab reads the whole tab as one page rather than circling inside a panel.
    for (QWidget* up = parentWidget(); up != nullptr && !up->isWindow(); up = up->parentWidget()) {
        if (auto* outer = qobject_cast<CPageDlg*>(up)) {
            return outer->focusNextPrevChild(next);
        }
    }
    QList<QWidget*> usable;
    for (QWidget* w : TabChainControls(this)) {
        if (TabStopsAt(w)) {
            usable.push_back(w);
        }
    }
    // The control holding the focus, or the one the focused part belongs to.
    qsizetype at = -1;
    for (QWidget* w = QApplication::focusWidget(); w != nullptr && w != this && at < 0;
         w = w->parentWidget()) {
        at = usable.indexOf(w);
    }
    const qsizetype to = at < 0 ? -1 : at + (next ? 1 : -1);
    if (to >= 0 && to < usable.size()) {
        usable[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void CPageDlg::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), skin::kPageColor);  // PageBrush
}

}  // namespace qx
