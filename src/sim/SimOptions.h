#pragma once
// How the virtual processor misbehaves, for tests and demonstrations.

#include <string>

namespace qx {

struct SimOptions {
    bool silent = false;      // never answer
    int silentCommand = -1;   // never answer requests with this command byte (-1 = none)
    int rejectEvery = 0;      // answer every Nth parameter frame with status 2 (0 = never)
    int corruptEvery = 0;     // spoil the checksum of every Nth reply (0 = never)
    bool altHeader = false;   // start replies with 03 CC instead of FF 55
    int chunkSize = 0;        // write replies in chunks of this many bytes (0 = whole)
    int chunkGapMs = 0;       // extra pause between chunks
    int processingMs = 3;     // the processor's own time before it answers
    bool paceLine = true;     // answer no earlier than the bytes could cross the line
    int storePermission = 1;  // data byte of the probe's answer
};

}  // namespace qx
