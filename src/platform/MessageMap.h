#pragma once
// The one place where an object's window messages are dispatched. A map is attached to its
// owner (any QObject, widgets included) as an event filter; handlers are registered per message
// number and run on the owner's thread.

#include <QObject>
#include <functional>
#include <unordered_map>

#include "Messages.h"

namespace qx {

class CMessageMap : public QObject {
    Q_OBJECT
  public:
    // Returns the result of a sent message (ignored for posted ones).
    using Handler = std::function<LParam(WParam wParam, LParam lParam)>;

    explicit CMessageMap(QObject* owner);

    // Registers (or replaces) the handler of one message.
    CMessageMap& On(int message, Handler handler);
    // For handlers without a result.
    CMessageMap& On(int message, std::function<void(WParam, LParam)> handler);

    bool Handles(int message) const { return m_handlers.count(message) != 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QObject* m_owner;
    std::unordered_map<int, Handler> m_handlers;
};

}  // namespace qx
