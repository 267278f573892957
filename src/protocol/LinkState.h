#pragma once
// Connection flags shared by the serial worker, the connection logic and the pages.

#include <atomic>

namespace qx {

extern std::atomic<bool> online;          // a port is open
extern std::atomic<int> linkChannel;      // 1 while a port is open
extern std::atomic<bool> deviceBusy;      // the processor is storing or recalling
extern std::atomic<bool> portsPending;    // more candidate ports remain to be probed
extern std::atomic<int> storePermission;  // the probe reply's store-permission byte

}  // namespace qx
