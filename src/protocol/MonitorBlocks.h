#pragma once
// The data of the last replies to the two idle polls, shown as level lamps by the System page.

#include "ByteField.h"

namespace qx {

constexpr int kMonitorBytes = 12;

extern U8 MonitorBlockA[kMonitorBytes];  // reply to poll 0x0C; 200 in every byte at start-up
extern U8 MonitorBlockB[kMonitorBytes];  // reply to poll 0x18; 100 in every byte at start-up

}  // namespace qx
