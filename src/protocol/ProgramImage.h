#pragma once
// One program (device mode) and the device-wide system block, byte for byte as the processor,
// the frames and the files carry them.

#include <cstddef>

#include "ChannelBlocks.h"

namespace qx {

constexpr int kSceneCount = 3;
constexpr int kNameLength = 20;

struct ProgramImage {
    U8 name[kNameLength];
    EchoBlock EchoA;
    EchoBlock EchoB;
    ReverbBlock Reverb;
    ReverbBlock ReverbShadow;
    MicChannel Mic1;
    MicChannel Mic2;
    U8 MicLink;
    MusicChannel MusicLeft;
    MusicChannel MusicRight;
    U8 MusicLink;
    OutputScene scenes[kSceneCount];  // 1 Sing, 2 Disco, 3 Decode
    U8 OutputMode;                    // 0 Auto, 1 Sing, 2 Disco, 3 Decode
    U8 OutputLinks[4];
    U8 imageSum;
};
static_assert(sizeof(ProgramImage) == 2712);
static_assert(offsetof(ProgramImage, name) == 0);
static_assert(offsetof(ProgramImage, EchoA) == 20);
static_assert(offsetof(ProgramImage, EchoB) == 77);
static_assert(offsetof(ProgramImage, Reverb) == 134);
static_assert(offsetof(ProgramImage, ReverbShadow) == 186);
static_assert(offsetof(ProgramImage, Mic1) == 238);
static_assert(offsetof(ProgramImage, Mic2) == 395);
static_assert(offsetof(ProgramImage, MicLink) == 552);
static_assert(offsetof(ProgramImage, MusicLeft) == 553);
static_assert(offsetof(ProgramImage, MusicRight) == 717);
static_assert(offsetof(ProgramImage, MusicLink) == 881);
static_assert(offsetof(ProgramImage, scenes) == 882);
static_assert(offsetof(ProgramImage, scenes) + sizeof(OutputScene) == 1490);
static_assert(offsetof(ProgramImage, scenes) + 2 * sizeof(OutputScene) == 2098);
static_assert(offsetof(ProgramImage, OutputMode) == 2706);
static_assert(offsetof(ProgramImage, OutputLinks) == 2707);
static_assert(offsetof(ProgramImage, imageSum) == 2711);

struct SystemBlock {
    U8 currentProgram;  // 1..21; 0 at start-up
    U8 effectVolume;    // bit 7 mute, bits 0..6 volume
    U8 micVolume;
    U8 musicVolume;
    U8 effectMax;
    U8 micMax;
    U8 musicMax;
    U8 rearMicPhantom;
    U8 inputSelect;
    U8 keyAndSensitivity;  // high nibble key 0..14, low nibble sensitivity
    U8 inputGains[4];      // VOD, BGM, COAX, OPTI/HDMI/ARC
    U8 irRemote;
    U8 panelPassword[4];
    U8 systemPassword[6];
    U8 reserved[39];
};
static_assert(sizeof(SystemBlock) == 64);
static_assert(offsetof(SystemBlock, currentProgram) == 0);
static_assert(offsetof(SystemBlock, effectVolume) == 1);
static_assert(offsetof(SystemBlock, micVolume) == 2);
static_assert(offsetof(SystemBlock, musicVolume) == 3);
static_assert(offsetof(SystemBlock, effectMax) == 4);
static_assert(offsetof(SystemBlock, micMax) == 5);
static_assert(offsetof(SystemBlock, musicMax) == 6);
static_assert(offsetof(SystemBlock, rearMicPhantom) == 7);
static_assert(offsetof(SystemBlock, inputSelect) == 8);
static_assert(offsetof(SystemBlock, keyAndSensitivity) == 9);
static_assert(offsetof(SystemBlock, inputGains) == 10);
static_assert(offsetof(SystemBlock, irRemote) == 14);
static_assert(offsetof(SystemBlock, panelPassword) == 15);
static_assert(offsetof(SystemBlock, systemPassword) == 19);
static_assert(offsetof(SystemBlock, reserved) == 25);

// The system block as the device transfers it: 64 bytes and the trailing extraWord.
struct SystemImage {
    SystemBlock block;
    U16LE extraWord;
};
static_assert(sizeof(SystemImage) == 66);
static_assert(offsetof(SystemImage, block) == 0);
static_assert(offsetof(SystemImage, extraWord) == 64);

// The program and the system block together. A program file holds the same two parts with the
// system block first (ProgramFileImage in ProgramFile.h).
struct ParamImage {
    ProgramImage program;
    SystemImage system;
};
static_assert(sizeof(ParamImage) == 2778);
static_assert(offsetof(ParamImage, program) == 0);
static_assert(offsetof(ParamImage, system) == 2712);

constexpr int kProgramCount = 21;

// The stored programs 1..21 with the system block; also the layout of the all-programs file.
struct BankImage {
    SystemImage BankSystemBlock;
    ProgramImage programs[kProgramCount];  // programs[i] is program i + 1
    U8 bankValid;
};
static_assert(sizeof(BankImage) == 57019);
static_assert(offsetof(BankImage, BankSystemBlock) == 0);
static_assert(offsetof(BankImage, programs) == 66);
static_assert(offsetof(BankImage, bankValid) == 57018);

// New passwords typed on the System page, waiting for a password command.
struct PasswordPair {
    U8 newPanel[4];
    U8 newSystem[6];
};
static_assert(sizeof(PasswordPair) == 10);
static_assert(offsetof(PasswordPair, newPanel) == 0);
static_assert(offsetof(PasswordPair, newSystem) == 4);

}  // namespace qx
