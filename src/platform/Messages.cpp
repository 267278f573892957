#include "Messages.h"

#include <QCoreApplication>
#include <QObject>

#include "MessageEvent.h"

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace qx {

void HandOff(const void* object) {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(object));
#else
    (void)object;
#endif
}

void TakeOver(const void* object) {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(object));
#else
    (void)object;
#endif
}

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
    auto* event = new CMessageEvent(message, wParam, lParam);
    HandOff(event);
    QCoreApplication::postEvent(target, event);
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
