#pragma once
// The Qt event that carries one window message.

#include <QEvent>

#include "Messages.h"

namespace qx {

class CMessageEvent : public QEvent {
  public:
    CMessageEvent(int message, WParam wParam, LParam lParam);

    int Message() const { return static_cast<int>(type()); }
    WParam wParam() const { return m_wParam; }
    LParam lParam() const { return m_lParam; }

    // Set by the handler of a sent message; returned by SendMessage.
    void SetResult(LParam result) { m_result = result; }
    LParam Result() const { return m_result; }

  private:
    WParam m_wParam;
    LParam m_lParam;
    LParam m_result = 0;
};

}  // namespace qx
