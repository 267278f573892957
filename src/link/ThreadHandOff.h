#pragma once
// Objects handed from the serial worker to the user-interface thread through Qt's event
// queue. Qt's own locks are invisible to ThreadSanitizer (the library is not instrumented), so
// the sender calls HandOff after filling such an object and the receiver TakeOver before
// reading it. Both do nothing in ordinary builds.

namespace qx {

void HandOff(const void* object);
void TakeOver(const void* object);

}  // namespace qx
