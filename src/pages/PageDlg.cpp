#include "PageDlg.h"

#include <QPaintEvent>
#include <QPainter>

#include "DialogUnits.h"
#include "SkinColors.h"

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
}

void CPageDlg::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), skin::kPageColor);  // PageBrush
}

}  // namespace qx
