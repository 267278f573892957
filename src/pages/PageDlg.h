#pragma once
// The base of every editor page: a child of the main window's tab control, painted with the
// page background, holding the page's control table in one CFieldBinding. A page adds its
// table (and placed blocks) in its constructor, attaches handlers to the ids that need more
// than the table, and overrides RefreshFromParameters / ApplyLanguage when its order of work
// needs more than the binding's (placeholders chosen first, a curve view redrawn after).

#include <QWidget>

#include "FieldBinding.h"

namespace qx {

class CPageDlg : public QWidget {
    Q_OBJECT
  public:
    // templateId: the page's dialog template; width and height in dialog units.
    CPageDlg(QWidget* parent, int templateId, int widthUnits, int heightUnits);

    // Reloads every control from the parameter image.
    virtual void RefreshFromParameters();
    // Sets every caption in the language in force.
    virtual void ApplyLanguage();

    int TemplateId() const { return m_templateId; }
    // The size the page was designed for, in pixels.
    QSize DesignSize() const { return m_designSize; }

    CFieldBinding& Binding() { return m_binding; }
    const CFieldBinding& Binding() const { return m_binding; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Tab and Shift+Tab walk the page's usable controls in reading order (worked out at each
    // press, so controls shown, enabled or moved later take their place); past either end the
    // focus leaves the page as usual.
    bool focusNextPrevChild(bool next) override;

    CFieldBinding m_binding;

  private:
    int m_templateId;
    QSize m_designSize;
};

}  // namespace qx
