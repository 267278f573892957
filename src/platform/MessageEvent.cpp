#include "MessageEvent.h"

namespace qx {

CMessageEvent::CMessageEvent(int message, WParam wParam, LParam lParam)
    : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam) {}

}  // namespace qx
