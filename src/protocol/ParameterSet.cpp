#include "ParameterSet.h"

#include <cstring>
#include <iterator>

#include "ChangeSync.h"
#include "DataConver.h"
#include "SceneSelector.h"

namespace qx {

ParamImage ParameterSet;
ParamImage SentImage;
BankImage ProgramBank;
PasswordPair PasswordScratch;
std::recursive_mutex ParamLock;

namespace {

CurveSetHooks hooks;

const double kMusicHz[] = {20.5, 31.9, 50.6, 80.3, 125,  198,  315,  490,
                           721,  1240, 1920, 3050, 4940, 7550, 12000};
const double kMicHz[] = {20.5, 31.9, 50.6, 80.3, 125,  198,  315,   490,   721,   1240,
                         1920, 3050, 4940, 6230, 8160, 9890, 12000, 14500, 17600, 20200};
const double kEffectHz[] = {20.5, 51.6, 135, 354, 926, 2420, 6350};
const double kOutputHz[] = {20.5, 36.5, 65, 116, 206, 367, 655, 1170, 2080, 3700};
const double kDynamicHz[] = {28.9, 236, 4230};
constexpr double kExtraBandHz = 1000;

// Placeholder passwords until the device's system block arrives (never shown or compared).
const uint8_t kPanelPlaceholder[4] = {0x01, 0x02, 0x03, 0x04};
const uint8_t kSystemPlaceholder[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

void SetBand(EqBand& band, double hz, uint8_t type) {
    band.freqCode = static_cast<uint16_t>(FreqToCode(hz));
    band.gainCode = kZeroGainCode;
    band.qCode = 10;
    band.type = type;
}

void SetBands(EqBand* bands, const double* hz, int count, uint8_t type) {
    for (int i = 0; i < count; ++i) {
        SetBand(bands[i], hz[i], type);
    }
}

void SetExtraBands(EqBand (&bands)[5]) {
    for (EqBand& b : bands) {
        SetBand(b, kExtraBandHz, 0);
    }
}

void SetPassFilter(PassFilter& f, uint8_t kind, int code, uint8_t slope) {
    f.kind = kind;
    f.freqCode = static_cast<uint16_t>(code);
    f.slope = slope;
}

void SetDefaultCrossovers(PassFilter& hpf, PassFilter& lpf) {
    SetPassFilter(hpf, 0, 0, 0);
    SetPassFilter(lpf, 1, kMaxFreqCode, 0);
}

void SetDefaultExciters(Exciter& low, Exciter& high) {
    low.freqCode = static_cast<uint16_t>(kMaxFreqCode);
    high.freqCode = 0;
}

void Attach(int eqNumber, int scene = 0) {
    if (hooks.attach != nullptr) {
        hooks.attach(eqNumber, scene);
    }
}

void ResetMusic(MusicChannel& m) {
    SetBands(m.bands, kMusicHz, 15, 0);
    SetExtraBands(m.extraBands);
    for (int i = 0; i < 3; ++i) {
        SetBand(m.deq[i].band, kDynamicHz[i], 0);
        m.deq[i].reserved = 1;
    }
    SetDefaultCrossovers(m.hpf, m.lpf);
    SetPassFilter(m.mainHpf, 0, 0, 1);
    SetDefaultExciters(m.lowExciter, m.highExciter);
}

void ResetMic(MicChannel& m) {
    SetBands(m.bands, kMicHz, 20, 0);
    SetExtraBands(m.extraBands);
    SetDefaultCrossovers(m.hpf, m.lpf);
    SetDefaultExciters(m.lowExciter, m.highExciter);
}

void ResetSystem(SystemBlock& s) {
    s.effectMax = 70;
    s.micMax = 84;
    s.musicMax = 84;
    s.keyAndSensitivity = static_cast<uint8_t>((14 << 4) | (s.keyAndSensitivity & 0x0F));
    for (int i = 0; i < 4; ++i) {
        s.panelPassword[i] = kPanelPlaceholder[i];
    }
    for (int i = 0; i < 6; ++i) {
        s.systemPassword[i] = kSystemPlaceholder[i];
    }
}

// Copies a right output record from its left partner, keeping its own mute and delay.
void CopyKeepingMuteAndDelay(OutputChannelRecord& right, const OutputChannelRecord& left) {
    const uint8_t mute = right.mute;
    const uint16_t delay = right.delay;
    AtomicCopy(&right, &left, sizeof right);
    right.mute = mute;
    right.delay = delay;
}

// A link copy: the source block is read once, and that one reading goes into the working image
// and into the sent copy, so both get the same bytes even if the source changes meanwhile.
template <class Block>
void CopyIntoBoth(Block& image, Block& sent, const Block& source) {
    Block once;
    AtomicCopy(&once, &source, sizeof once);
    AtomicCopy(&image, &once, sizeof once);
    AtomicCopy(&sent, &once, sizeof once);
}

}  // namespace

void SetCurveSetHooks(const CurveSetHooks& h) {
    hooks = h;
}

void ResetParameters() {
    ParamGuard guard(ParamLock);
    std::memset(&ParameterSet, 0, sizeof ParameterSet);
    ProgramImage& p = ParameterSet.program;

    ResetMusic(p.MusicLeft);
    LinkMusic(false);
    ResetMic(p.Mic1);
    LinkMic(false);

    SetBands(p.EchoA.bands, kEffectHz, 7, 0);
    SetDefaultCrossovers(p.EchoA.hpf, p.EchoA.lpf);
    CopyEchoAToB();
    SetBands(p.Reverb.bands, kEffectHz, 7, 0);
    SetDefaultCrossovers(p.Reverb.hpf, p.Reverb.lpf);
    CopyReverbToShadow();

    OutputScene& sing = p.scenes[0];
    SetBands(sing.channels[0].bands, kOutputHz, 10, 0);
    SetDefaultCrossovers(sing.channels[0].hpf, sing.channels[0].lpf);
    for (int ch = 1; ch < kOutputChannels; ++ch) {
        sing.channels[ch] = sing.channels[0];
    }
    p.scenes[1] = sing;
    p.scenes[2] = sing;

    p.MicLink = 0;
    p.MusicLink = 0;
    p.OutputMode = 1;
    SceneSelector.Attach(&p.OutputMode);

    ResetSystem(ParameterSet.system.block);

    std::memset(&SentImage, 0, sizeof SentImage);
    std::memset(&ProgramBank, 0, sizeof ProgramBank);
    std::memset(&PasswordScratch, ' ', sizeof PasswordScratch);
    ResetPollToggle();

    if (hooks.buildAll != nullptr) {
        hooks.buildAll();
    }
}

void AdoptAsSent(bool both) {
    ParamGuard guard(ParamLock);
    AtomicCopy(&SentImage.program, &ParameterSet.program, sizeof(ProgramImage));
    if (both) {
        AtomicCopy(&SentImage.system, &ParameterSet.system, sizeof(SystemImage));
    } else if (hooks.attachAll != nullptr) {
        hooks.attachAll();
    }
}

void AdoptProgram(const void* image) {
    ParamGuard guard(ParamLock);
    // The working image first: an edit that lands on a byte already written keeps its value
    // there while the sent copy gets the source's byte, so the edit is a difference.
    AtomicCopy(&ParameterSet.program, image, sizeof(ProgramImage));
    AtomicCopy(&SentImage.program, image, sizeof(ProgramImage));
    if (hooks.attachAll != nullptr) {
        hooks.attachAll();
    }
}

void AdoptSystem(const void* image) {
    ParamGuard guard(ParamLock);
    AtomicCopy(&ParameterSet.system, image, sizeof(SystemImage));
    AtomicCopy(&SentImage.system, image, sizeof(SystemImage));
}

void LinkMusic(bool reload) {
    ParamGuard guard(ParamLock);
    ProgramImage& p = ParameterSet.program;
    CopyIntoBoth(p.MusicRight, SentImage.program.MusicRight, p.MusicLeft);
    if (reload) {
        Attach(kEqMusicRight);
        Attach(kEqDynamicLeft);
        Attach(kEqDynamicRight);
    }
}

void LinkMic(bool reload) {
    ParamGuard guard(ParamLock);
    ProgramImage& p = ParameterSet.program;
    CopyIntoBoth(p.Mic2, SentImage.program.Mic2, p.Mic1);
    if (reload) {
        Attach(kEqMic2);
    }
}

void CopyEchoAToB() {
    ParamGuard guard(ParamLock);
    ProgramImage& p = ParameterSet.program;
    AtomicCopy(&p.EchoB, &p.EchoA, sizeof(EchoBlock));
}

void CopyReverbToShadow() {
    ParamGuard guard(ParamLock);
    ProgramImage& p = ParameterSet.program;
    AtomicCopy(&p.ReverbShadow, &p.Reverb, sizeof(ReverbBlock));
}

void LinkOutputPair(int eqNumber) {
    int right = 0;
    switch (eqNumber) {
        case kEqOutputFirst + kMainR:
            right = kMainR;
            break;
        case kEqOutputFirst + kRearR:
            right = kRearR;
            break;
        case kEqOutputFirst + kSurroundR:
            right = kSurroundR;
            break;
        default:
            return;
    }
    const int left = right - 1;  // Main L, Rear L and Surround L precede their partners
    ParamGuard guard(ParamLock);
    for (int s = 0; s < kSceneCount; ++s) {
        OutputScene& scene = ParameterSet.program.scenes[s];
        OutputChannelRecord source;
        AtomicCopy(&source, &scene.channels[left], sizeof source);
        // Each image keeps its own mute and delay: a mute or delay edited on the right channel
        // and not sent yet stays a difference and goes out.
        CopyKeepingMuteAndDelay(scene.channels[right], source);
        CopyKeepingMuteAndDelay(SentImage.program.scenes[s].channels[right], source);
    }
    for (int s = 1; s <= kSceneCount; ++s) {
        Attach(eqNumber, s);
    }
}

EqBandSpan EqBandsOf(ProgramImage& p, int eqNumber, int scene) {
    switch (eqNumber) {
        case kEqMusicLeft:
            return {p.MusicLeft.bands, 15};
        case kEqMusicRight:
            return {p.MusicRight.bands, 15};
        case kEqMic1:
            return {p.Mic1.bands, 20};
        case kEqMic2:
            return {p.Mic2.bands, 20};
        case kEqEchoA:
            return {p.EchoA.bands, 7};
        case kEqEchoB:
            return {p.EchoB.bands, 7};
        case kEqReverb:
            return {p.Reverb.bands, 7};
        case kEqReverbShadow:
            return {p.ReverbShadow.bands, 7};
        default:
            break;
    }
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast) {
        const int s = (scene >= 1 && scene <= kSceneCount) ? scene : SceneInForce();
        return {p.scenes[s - 1].channels[eqNumber - kEqOutputFirst].bands, 10};
    }
    return {};
}

StartupFrequencies StartupBandFrequencies(int eqNumber) {
    switch (eqNumber) {
        case kEqMusicLeft:
        case kEqMusicRight:
            return {kMusicHz, static_cast<int>(std::size(kMusicHz))};
        case kEqMic1:
        case kEqMic2:
            return {kMicHz, static_cast<int>(std::size(kMicHz))};
        case kEqEchoA:
        case kEqEchoB:
        case kEqReverb:
        case kEqReverbShadow:
            return {kEffectHz, static_cast<int>(std::size(kEffectHz))};
        case kEqDynamicLeft:
        case kEqDynamicRight:
            return {kDynamicHz, static_cast<int>(std::size(kDynamicHz))};
        default:
            break;
    }
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast) {
        return {kOutputHz, static_cast<int>(std::size(kOutputHz))};
    }
    return {};
}

void ResetEqBands(int eqNumber) {
    ParamGuard guard(ParamLock);
    ProgramImage& p = ParameterSet.program;
    const StartupFrequencies hz = StartupBandFrequencies(eqNumber);
    if (eqNumber == kEqDynamicLeft || eqNumber == kEqDynamicRight) {
        MusicChannel& m = eqNumber == kEqDynamicLeft ? p.MusicLeft : p.MusicRight;
        for (int i = 0; i < 3; ++i) {
            SetBand(m.deq[i].band, hz.hz[i], 1);
        }
        Attach(eqNumber);
        return;
    }
    const EqBandSpan span = EqBandsOf(p, eqNumber);
    if (span.bands == nullptr) {
        return;
    }
    SetBands(span.bands, hz.hz, span.count, 1);
    Attach(eqNumber, eqNumber >= kEqOutputFirst ? SceneInForce() : 0);
}

}  // namespace qx
