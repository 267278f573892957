#pragma once
// Window messages between the link, the pages and the main window. Each message is a Qt event
// whose type is the message's fixed number, carrying wParam and lParam. PostMessage queues it
// from any thread; SendMessage delivers it at once on the receiver's own thread.

#include <QtGlobal>

class QObject;

namespace qx {

using WParam = qintptr;
using LParam = qintptr;

constexpr int WM_SLIDER_TRACKING = 0x28D1;
constexpr int WM_SLIDER_CHANGED = 0x28D2;
constexpr int WM_NUMEDIT_CHANGED = 0x291C;
constexpr int WM_EQ_POINT_SELECTED = 0x464;
constexpr int WM_EQ_BAND_CHANGED = 0x497;
constexpr int WM_LINK_FAILED = 0x472;
constexpr int WM_AUTO_CONNECT = 0x473;
constexpr int WM_SYSTEM_RECEIVED = 0x474;
constexpr int WM_PARAMETERS_RECEIVED = 0x475;
constexpr int WM_MODES_RECEIVED = 0x478;
constexpr int WM_SYSTEM_DATA_RECEIVED = 0x47A;
constexpr int WM_DEVICE_FOUND = 0x47B;

// True for the numbers above (they all lie in Qt's user event range).
bool IsWindowMessage(int message);

// Queues the message for target's thread. Safe from any thread; false when target is null.
bool PostMessage(QObject* target, int message, WParam wParam = 0, LParam lParam = 0);

// Delivers the message synchronously; call on target's thread. Returns the handler's result
// (0 when nothing handled it).
LParam SendMessage(QObject* target, int message, WParam wParam = 0, LParam lParam = 0);

// Marks an object handed from one thread to another through Qt's event queue, whose locks
// ThreadSanitizer cannot see: the sender calls HandOff after filling the object, the
// receiver TakeOver before reading it. Both do nothing in ordinary builds.
void HandOff(const void* object);
void TakeOver(const void* object);

}  // namespace qx
