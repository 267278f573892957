#pragma once
// Conversions between the codes the processor stores and the values a person reads.

#include <cstdint>

namespace qx {

constexpr int kFreqCodes = 362;
constexpr int kQCodes = 101;
constexpr int kMaxFreqCode = kFreqCodes - 1;
constexpr int kMaxQCode = kQCodes - 1;
constexpr int kMaxGainCode = 240;
constexpr int kZeroGainCode = 120;

extern const double kFreqTable[kFreqCodes];  // Hz, 19.7 .. 20600
extern const double kQTable[kQCodes];        // 0.4 .. 128

// Nearest table entry; equal distances give the higher code. Inputs outside the table's
// range give its first or last code.
int FreqToCode(double hz);
int QToCode(double q);
// Table value; codes beyond the table give its last entry.
double CodeToFreq(int code);
double CodeToQ(int code);

// dB = code * 0.2 - 24. GainToCode clamps to -24..+24 dB.
uint8_t GainToCode(double db);
double CodeToGain(int code);

}  // namespace qx
