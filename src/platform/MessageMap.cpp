#include "MessageMap.h"

#include "MessageEvent.h"

namespace qx {

CMessageMap::CMessageMap(QObject* owner) : QObject(owner), m_owner(owner) {
    owner->installEventFilter(this);
}

CMessageMap& CMessageMap::Set(int message, Handler handler) {
    m_handlers[message] = std::move(handler);
    return *this;
}

bool CMessageMap::eventFilter(QObject* watched, QEvent* event) {
    TakeOver(event);  // before the first look at the event: it may come from another thread
    if (watched != m_owner || !IsWindowMessage(static_cast<int>(event->type()))) {
        return false;
    }
    const auto it = m_handlers.find(static_cast<int>(event->type()));
    if (it == m_handlers.end()) {
        return false;
    }
    auto* msg = dynamic_cast<CMessageEvent*>(event);
    if (msg == nullptr) {
        return false;
    }
    // Copy the handler: it may replace itself while it runs.
    const Handler handler = it->second;
    msg->SetResult(handler(msg->wParam(), msg->lParam()));
    return true;
}

}  // namespace qx
