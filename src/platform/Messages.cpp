#include "Messages.h"

#include <QCoreApplication>
#include <QObject>

#include "MessageEvent.h"

namespace qx {

bool IsWindowMessage(int message) {
    switch (message) {
        case WM_SLIDER_TRACKING:
        case WM_SLIDER_CHANGED:
        case WM_NUMEDIT_CHANGED:
        case WM_EQ_POINT_SELECTED:
        case WM_EQ_BAND_CHANGED:
        case WM_LINK_FAILED:
        case WM_AUTO_CONNECT:
        case WM_SYSTEM_RECEIVED:
        case WM_PARAMETERS_RECEIVED:
        case WM_MODES_RECEIVED:
        case WM_SYSTEM_DATA_RECEIVED:
        case WM_DEVICE_FOUND:
            return true;
        default:
            return false;
    }
}

bool PostMessage(QObject* target, int message, WParam wParam, LParam lParam) {
    if (target == nullptr) {
        return false;
    }
    QCoreApplication::postEvent(target, new CMessageEvent(message, wParam, lParam));
    return true;
}

LParam SendMessage(QObject* target, int message, WParam wParam, LParam lParam) {
    if (target == nullptr) {
        return 0;
    }
    CMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.Result();
}

}  // namespace qx
