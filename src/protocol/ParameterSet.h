#pragma once
// The editor's model of the processor: the working image, the image the processor is known to
// have, the stored programs, the typed new passwords, and the lock that guards them between the
// user-interface thread and the serial worker.
//
// Threading rules:
// - The serial worker holds ParamLock for each turn of its exchange loop (synchroniser and
//   reply parser); the user-interface thread holds it for bulk work (queueing frames, replacing
//   whole images or blocks, link copies, reading whole images for files).
// - Single-field edits from the user-interface thread need no lock: every record byte is
//   accessed through relaxed atomic byte operations (see ByteField.h).

#include <mutex>

#include "ProgramImage.h"

namespace qx {

extern ParamImage ParameterSet;  // what the editor shows and edits
extern ParamImage SentImage;     // what the processor is known to have
extern BankImage ProgramBank;    // the 21 stored programs, from the device or a file
extern PasswordPair PasswordScratch;
extern std::recursive_mutex ParamLock;

using ParamGuard = std::lock_guard<std::recursive_mutex>;

// Equaliser numbers shared by curve view, band strips and pages.
constexpr int kEqMusicLeft = 0;
constexpr int kEqMusicRight = 1;
constexpr int kEqMic1 = 2;
constexpr int kEqMic2 = 3;
constexpr int kEqEchoA = 4;
constexpr int kEqEchoB = 5;
constexpr int kEqReverb = 6;
constexpr int kEqReverbShadow = 7;
constexpr int kEqOutputFirst = 8;  // 8..15: output channels 0..7 of the scene in force
constexpr int kEqOutputLast = 15;
constexpr int kEqDynamicLeft = 16;
constexpr int kEqDynamicRight = 17;
constexpr int kEqNumberCount = 18;

// Curve sets are built by the EQ layer; the parameter operations tell it when records were
// replaced so it can attach its filters again. Unset hooks do nothing (headless tools).
struct CurveSetHooks {
    void (*buildAll)() = nullptr;                       // after start-up defaults
    void (*attachAll)() = nullptr;                      // after a whole image was adopted
    void (*attach)(int eqNumber, int scene) = nullptr;  // one EQ; scene 1..3 for outputs
};
void SetCurveSetHooks(const CurveSetHooks& hooks);

// Start-up defaults for everything above, the scene selector and the poll toggle.
void ResetParameters();
// Copies the program (and with both, the system block) into the SentImage. Only for the
// moment a port opens, before the device's own images arrive: a pending edit counts as sent.
void AdoptAsSent(bool both);
// A whole program from a reply, a file or the bank becomes the current program and counts as
// sent. Both the ProgramImage and its sent copy are filled from image itself, never one from
// the other, so a single-field edit that lands meanwhile stays a difference and goes out.
// Then every curve set is attached again. Takes ParamLock.
void AdoptProgram(const void* image);
// The same for a whole system block with its extraWord (66 bytes); no curve set depends on it.
void AdoptSystem(const void* image);
void LinkMusic(bool reload);
void LinkMic(bool reload);
void CopyEchoAToB();
void CopyReverbToShadow();
// eqNumber 9 (Main R), 13 (Rear R) or 15 (Surround R); other numbers do nothing.
void LinkOutputPair(int eqNumber);
// The page's EQ reset: start-up frequencies, 0 dB, Q code 10, type PEQ for the main bands.
void ResetEqBands(int eqNumber);

// The main bands of an equaliser (not the extra bands, not the dynamic bands). Output EQs
// resolve to the given scene (1..3), or to the scene in force when scene is 0.
struct EqBandSpan {
    EqBand* bands = nullptr;
    int count = 0;
};
EqBandSpan EqBandsOf(ProgramImage& image, int eqNumber, int scene = 0);

// The start-up frequency codes of the main bands of an equaliser.
struct StartupFrequencies {
    const double* hz = nullptr;
    int count = 0;
};
StartupFrequencies StartupBandFrequencies(int eqNumber);

}  // namespace qx
