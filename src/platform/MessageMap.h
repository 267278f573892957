#pragma once
// The one place where an object's window messages are dispatched. A map is attached to its
// owner (any QObject, widgets included) as an event filter; handlers are registered per message
// number and run on the owner's thread.

#include <QObject>
#include <functional>
#include <type_traits>
#include <unordered_map>

#include "Messages.h"

namespace qx {

class CMessageMap : public QObject {
    Q_OBJECT
  public:
    // Returns the result of a sent message (ignored for posted ones).
    using Handler = std::function<LParam(WParam wParam, LParam lParam)>;

    explicit CMessageMap(QObject* owner);

    // Registers (or replaces) the handler of one message. The handler returns the result of
    // a sent message, or nothing.
    template <class F>
    CMessageMap& On(int message, F handler) {
        if constexpr (std::is_void_v<std::invoke_result_t<F&, WParam, LParam>>) {
            return Set(message, [h = std::move(handler)](WParam w, LParam l) mutable -> LParam {
                h(w, l);
                return 0;
            });
        } else {
            return Set(message, Handler(std::move(handler)));
        }
    }
    CMessageMap& Set(int message, Handler handler);

    bool Handles(int message) const { return m_handlers.count(message) != 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QObject* m_owner;
    std::unordered_map<int, Handler> m_handlers;
};

}  // namespace qx
