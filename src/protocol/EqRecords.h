#pragma once
// Equaliser and crossover records, laid out as the processor keeps them.

#include <cstddef>

#include "ByteField.h"

namespace qx {

// One parametric band.
struct EqBand {
    U16LE freqCode;  // index 0..361 into the frequency table
    U8 gainCode;     // dB = code * 0.2 - 24; 120 is 0 dB
    U8 qCode;        // index 0..100 into the Q table
    U8 type;         // 0 BY, 1 PEQ, 2 LS, 3 HS
};
static_assert(sizeof(EqBand) == 5);
static_assert(offsetof(EqBand, freqCode) == 0);
static_assert(offsetof(EqBand, gainCode) == 2);
static_assert(offsetof(EqBand, qCode) == 3);
static_assert(offsetof(EqBand, type) == 4);

// A high-pass or low-pass filter.
struct PassFilter {
    U8 kind;  // 0 high-pass, 1 low-pass
    U16LE freqCode;
    U8 slope;  // 0..12, 0 = off
};
static_assert(sizeof(PassFilter) == 4);
static_assert(offsetof(PassFilter, kind) == 0);
static_assert(offsetof(PassFilter, freqCode) == 1);
static_assert(offsetof(PassFilter, slope) == 3);

// One band of the music channels' dynamic equaliser: a parametric band (the curve view edits
// it like any other) followed by its dynamics.
struct DynamicEqBand {
    EqBand band;
    U8 threshold;
    U8 attack;
    U8 release;
    U8 ratio;
    U8 reserved;  // transferred unchanged
};
static_assert(sizeof(DynamicEqBand) == 10);
static_assert(offsetof(DynamicEqBand, band) == 0);
static_assert(offsetof(DynamicEqBand, band.freqCode) == 0);
static_assert(offsetof(DynamicEqBand, band.gainCode) == 2);
static_assert(offsetof(DynamicEqBand, band.qCode) == 3);
static_assert(offsetof(DynamicEqBand, band.type) == 4);
static_assert(offsetof(DynamicEqBand, threshold) == 5);
static_assert(offsetof(DynamicEqBand, attack) == 6);
static_assert(offsetof(DynamicEqBand, release) == 7);
static_assert(offsetof(DynamicEqBand, ratio) == 8);
static_assert(offsetof(DynamicEqBand, reserved) == 9);

}  // namespace qx
