#pragma once
// The effect, microphone, music and output blocks of a program.

#include <cstddef>

#include "DynamicsRecords.h"
#include "EqRecords.h"

namespace qx {

struct EchoBlock {
    EqBand bands[7];
    U8 eqBypass;
    U8 wetLevel;
    U8 wetSwitch;
    U8 dryLevel;
    U8 drySwitch;
    PassFilter hpf;
    PassFilter lpf;
    U16LE preDelay;
    U16LE rightPreDelay;
    U16LE delay;
    U16LE rightDelay;
    U8 repeat;
};
static_assert(sizeof(EchoBlock) == 57);
static_assert(offsetof(EchoBlock, bands) == 0);
static_assert(offsetof(EchoBlock, eqBypass) == 35);
static_assert(offsetof(EchoBlock, wetLevel) == 36);
static_assert(offsetof(EchoBlock, wetSwitch) == 37);
static_assert(offsetof(EchoBlock, dryLevel) == 38);
static_assert(offsetof(EchoBlock, drySwitch) == 39);
static_assert(offsetof(EchoBlock, hpf) == 40);
static_assert(offsetof(EchoBlock, lpf) == 44);
static_assert(offsetof(EchoBlock, preDelay) == 48);
static_assert(offsetof(EchoBlock, rightPreDelay) == 50);
static_assert(offsetof(EchoBlock, delay) == 52);
static_assert(offsetof(EchoBlock, rightDelay) == 54);
static_assert(offsetof(EchoBlock, repeat) == 56);

struct ReverbBlock {
    EqBand bands[7];
    U8 eqBypass;
    U8 wetLevel;
    U8 wetSwitch;
    U8 dryLevel;
    U8 drySwitch;
    PassFilter hpf;
    PassFilter lpf;
    U16LE preDelay;
    U16LE time;
};
static_assert(sizeof(ReverbBlock) == 52);
static_assert(offsetof(ReverbBlock, bands) == 0);
static_assert(offsetof(ReverbBlock, eqBypass) == 35);
static_assert(offsetof(ReverbBlock, wetLevel) == 36);
static_assert(offsetof(ReverbBlock, wetSwitch) == 37);
static_assert(offsetof(ReverbBlock, dryLevel) == 38);
static_assert(offsetof(ReverbBlock, drySwitch) == 39);
static_assert(offsetof(ReverbBlock, hpf) == 40);
static_assert(offsetof(ReverbBlock, lpf) == 44);
static_assert(offsetof(ReverbBlock, preDelay) == 48);
static_assert(offsetof(ReverbBlock, time) == 50);

struct MicChannel {
    U8 level;
    U8 feedback;
    Limiter limiter;
    NoiseGate noiseGate;
    PassFilter hpf;
    PassFilter lpf;
    EqBand bands[20];
    U8 eqBypass;
    EqBand extraBands[5];
    U8 extraBypass;
    Exciter lowExciter;
    Exciter highExciter;
    U8 reserved[5];
};
static_assert(sizeof(MicChannel) == 157);
static_assert(offsetof(MicChannel, level) == 0);
static_assert(offsetof(MicChannel, feedback) == 1);
static_assert(offsetof(MicChannel, limiter) == 2);
static_assert(offsetof(MicChannel, noiseGate) == 6);
static_assert(offsetof(MicChannel, hpf) == 9);
static_assert(offsetof(MicChannel, lpf) == 13);
static_assert(offsetof(MicChannel, bands) == 17);
static_assert(offsetof(MicChannel, eqBypass) == 117);
static_assert(offsetof(MicChannel, extraBands) == 118);
static_assert(offsetof(MicChannel, extraBypass) == 143);
static_assert(offsetof(MicChannel, lowExciter) == 144);
static_assert(offsetof(MicChannel, highExciter) == 148);
static_assert(offsetof(MicChannel, reserved) == 152);

struct MusicChannel {
    Limiter limiter;      // only MusicLeft's is edited and sent
    NoiseGate noiseGate;  // likewise
    PassFilter hpf;
    PassFilter lpf;
    EqBand bands[15];
    U8 eqBypass;
    EqBand extraBands[5];
    U8 extraBypass;
    PassFilter mainHpf;
    DynamicEqBand deq[3];
    Exciter lowExciter;
    Exciter highExciter;
    U8 reserved[5];
};
static_assert(sizeof(MusicChannel) == 164);
static_assert(offsetof(MusicChannel, limiter) == 0);
static_assert(offsetof(MusicChannel, noiseGate) == 4);
static_assert(offsetof(MusicChannel, hpf) == 7);
static_assert(offsetof(MusicChannel, lpf) == 11);
static_assert(offsetof(MusicChannel, bands) == 15);
static_assert(offsetof(MusicChannel, eqBypass) == 90);
static_assert(offsetof(MusicChannel, extraBands) == 91);
static_assert(offsetof(MusicChannel, extraBypass) == 116);
static_assert(offsetof(MusicChannel, mainHpf) == 117);
static_assert(offsetof(MusicChannel, deq) == 121);
static_assert(offsetof(MusicChannel, lowExciter) == 151);
static_assert(offsetof(MusicChannel, highExciter) == 155);
static_assert(offsetof(MusicChannel, reserved) == 159);

// Sources of an output channel's mix, in record order.
enum MixSource { kSrcMusic = 0, kSrcMic, kSrcEchoA, kSrcEchoB, kSrcReverb, kMixSources };

struct OutputChannelRecord {
    U8 mute;
    MixSend sends[kMixSources];
    EqBand bands[10];
    U8 eqBypass;
    Limiter limiter;  // sent only for Main L, Center, SUB, Rear L, Surround L
    PassFilter hpf;
    PassFilter lpf;
    U16LE delay;  // tenths of a millisecond
};
static_assert(sizeof(OutputChannelRecord) == 76);
static_assert(offsetof(OutputChannelRecord, mute) == 0);
static_assert(offsetof(OutputChannelRecord, sends) == 1);
static_assert(offsetof(OutputChannelRecord, bands) == 11);
static_assert(offsetof(OutputChannelRecord, eqBypass) == 61);
static_assert(offsetof(OutputChannelRecord, limiter) == 62);
static_assert(offsetof(OutputChannelRecord, hpf) == 66);
static_assert(offsetof(OutputChannelRecord, lpf) == 70);
static_assert(offsetof(OutputChannelRecord, delay) == 74);

// Output channels in memory order.
enum OutputChannel {
    kMainL = 0,
    kMainR,
    kCenter,
    kSub,
    kRearL,
    kRearR,
    kSurroundL,
    kSurroundR,
    kOutputChannels
};

// One output scene: Sing, Disco or Decode.
struct OutputScene {
    OutputChannelRecord channels[kOutputChannels];
};
static_assert(sizeof(OutputScene) == 608);

}  // namespace qx
