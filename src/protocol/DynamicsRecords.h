#pragma once
// Dynamics, exciter and mix-send records.

#include <cstddef>

#include "ByteField.h"

namespace qx {

struct Limiter {
    U8 level;  // threshold
    U8 attack;
    U8 release;
    U8 ratio;
};
static_assert(sizeof(Limiter) == 4);
static_assert(offsetof(Limiter, level) == 0);
static_assert(offsetof(Limiter, attack) == 1);
static_assert(offsetof(Limiter, release) == 2);
static_assert(offsetof(Limiter, ratio) == 3);

struct NoiseGate {
    U8 threshold;  // 0 = gate off
    U8 attack;
    U8 release;
};
static_assert(sizeof(NoiseGate) == 3);
static_assert(offsetof(NoiseGate, threshold) == 0);
static_assert(offsetof(NoiseGate, attack) == 1);
static_assert(offsetof(NoiseGate, release) == 2);

// Active when harmonic or timbre is non-zero.
struct Exciter {
    U16LE freqCode;
    U8 harmonic;
    U8 timbre;
};
static_assert(sizeof(Exciter) == 4);
static_assert(offsetof(Exciter, freqCode) == 0);
static_assert(offsetof(Exciter, harmonic) == 2);
static_assert(offsetof(Exciter, timbre) == 3);

// One source's contribution to an output channel.
struct MixSend {
    U8 level;
    U8 toggle;
};
static_assert(sizeof(MixSend) == 2);
static_assert(offsetof(MixSend, level) == 0);
static_assert(offsetof(MixSend, toggle) == 1);

}  // namespace qx
