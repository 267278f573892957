#include "LinkState.h"

namespace qx {

std::atomic<bool> online{false};
std::atomic<int> linkChannel{0};
std::atomic<bool> deviceBusy{false};
std::atomic<bool> portsPending{false};
std::atomic<int> storePermission{0};

}  // namespace qx
