#pragma once
// The A/B compare controls beside the page tabs: the slot in use, the "A/B" button that
// switches (the first press makes B a copy of A) and "Differences", which opens the
// differences view. It owns the A/B slots and gives them the session's whole-program write.

#include <QWidget>

#include "AbCompare.h"
#include "FieldBinding.h"

namespace qx {

class CEditorSession;

class CCompareBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSlotLabel = 3850;
    static constexpr int kAbButton = 3851;
    static constexpr int kDifferencesButton = 3852;

    // Placed at its design rectangle inside parent (the main window's client area).
    CCompareBar(QWidget* parent, CEditorSession& session);

    CAbCompare& Compare() { return m_compare; }
    CFieldBinding& Binding() { return m_binding; }
    void ApplyLanguage();
    // "A" or "B" once compare started, empty before.
    QString SlotText() const;

  private:
    void ShowSlot();

    CFieldBinding m_binding;
    CAbCompare m_compare;
};

}  // namespace qx
