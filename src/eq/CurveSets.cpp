#include "CurveSets.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#include "ParameterSet.h"
#include "SceneSelector.h"

namespace qx {

namespace {

// Index 0..7 the music, mic and effect sets, 8..31 the outputs scene by scene, 32 and 33 the
// dynamic equalisers.
std::array<CKTVEQ, kCurveSetCount> curveSets;
std::atomic<bool> built{false};

int ResolveScene(int eqNumber, int scene) {
    if (eqNumber < kEqOutputFirst || eqNumber > kEqOutputLast) {
        return 0;
    }
    return (scene >= 1 && scene <= kSceneCount) ? scene : SceneInForce();
}

int SlotOf(int eqNumber, int scene) {
    if (eqNumber >= 0 && eqNumber < kEqOutputFirst) {
        return eqNumber;
    }
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast) {
        return kEqOutputFirst + (ResolveScene(eqNumber, scene) - 1) * kOutputChannels +
               (eqNumber - kEqOutputFirst);
    }
    if (eqNumber == kEqDynamicLeft || eqNumber == kEqDynamicRight) {
        return kEqOutputFirst + kSceneCount * kOutputChannels + (eqNumber - kEqDynamicLeft);
    }
    return -1;
}
static_assert(kEqOutputFirst + kSceneCount * kOutputChannels + 2 == kCurveSetCount);

template <class Block>
EqElements RecordsOf(Block& b, int count) {
    return {b.bands, count, &b.hpf, &b.lpf, nullptr};
}

}  // namespace

EqBand* EqElements::Band(int i) const {
    if (i < 0 || i >= count) {
        return nullptr;
    }
    return dynamic != nullptr ? &dynamic[i].band : &bands[i];
}

EqElements EqElementsOf(ProgramImage& p, int eqNumber, int scene) {
    switch (eqNumber) {
        case kEqMusicLeft:
            return RecordsOf(p.MusicLeft, 15);
        case kEqMusicRight:
            return RecordsOf(p.MusicRight, 15);
        case kEqMic1:
            return RecordsOf(p.Mic1, 20);
        case kEqMic2:
            return RecordsOf(p.Mic2, 20);
        case kEqEchoA:
            return RecordsOf(p.EchoA, 7);
        case kEqEchoB:
            return RecordsOf(p.EchoB, 7);
        case kEqReverb:
            return RecordsOf(p.Reverb, 7);
        case kEqReverbShadow:
            return RecordsOf(p.ReverbShadow, 7);
        case kEqDynamicLeft:
            return {nullptr, 3, nullptr, nullptr, p.MusicLeft.deq};
        case kEqDynamicRight:
            return {nullptr, 3, nullptr, nullptr, p.MusicRight.deq};
        default:
            break;
    }
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast) {
        const int s = ResolveScene(eqNumber, scene);
        return RecordsOf(p.scenes[s - 1].channels[eqNumber - kEqOutputFirst], 10);
    }
    return {};
}

namespace {

// Each eq number and scene of a set, for walking all of them.
template <class Fn>
void ForEachSet(Fn fn) {
    for (int eq = 0; eq < kEqNumberCount; ++eq) {
        const bool output = eq >= kEqOutputFirst && eq <= kEqOutputLast;
        for (int s = 1; s <= (output ? kSceneCount : 1); ++s) {
            fn(eq, s, SlotOf(eq, s));
        }
    }
}

// The filters belong to the user-interface thread (views draw and drag them). An attach asked
// for on another thread, as the serial worker does when it adopts an image from the device, is
// left alone here: the image model tells the user-interface thread about the adopted image,
// and AttachCurveSetsTouching brings the sets over the changed records up to date.
std::thread::id uiThread;

bool OnUiThread() {
    return std::this_thread::get_id() == uiThread;
}

void AttachSlot(int eq, int s, int slot) {
    AttachCurveSet(curveSets[static_cast<std::size_t>(slot)], ParameterSet.program, eq, s);
}

void BuildAll() {
    if (built) {
        // Views may hold pointers to the filters: keep them and attach again.
        if (OnUiThread()) {
            ForEachSet(AttachSlot);
        }
        return;
    }
    ForEachSet([](int eq, int s, int slot) {
        BuildCurveSet(curveSets[static_cast<std::size_t>(slot)], ParameterSet.program, eq, s);
    });
    built = true;
}

void AttachAll() {
    if (!built) {
        BuildAll();
    } else if (OnUiThread()) {
        ForEachSet(AttachSlot);
    }
}

void AttachOne(int eqNumber, int scene) {
    const int slot = SlotOf(eqNumber, scene);
    if (slot < 0) {
        return;
    }
    if (!built) {
        BuildAll();
    } else if (OnUiThread()) {
        AttachSlot(eqNumber, ResolveScene(eqNumber, scene), slot);
    }
}

ByteSpan SpanOf(const void* first, std::size_t size) {
    const auto* base = reinterpret_cast<const unsigned char*>(&ParameterSet);
    return {static_cast<std::size_t>(static_cast<const unsigned char*>(first) - base), size};
}

}  // namespace

void InstallCurveSets() {
    uiThread = std::this_thread::get_id();
    SetCurveSetHooks({&BuildAll, &AttachAll, &AttachOne});
}

std::vector<ByteSpan> EqRecordSpans(int eqNumber, int scene) {
    const EqElements r = EqElementsOf(ParameterSet.program, eqNumber, scene);
    if (r.dynamic != nullptr) {
        return {SpanOf(r.dynamic, sizeof(DynamicEqBand) * static_cast<std::size_t>(r.count))};
    }
    if (r.bands == nullptr) {
        return {};
    }
    return {SpanOf(r.bands, sizeof(EqBand) * static_cast<std::size_t>(r.count)),
            SpanOf(r.hpf, sizeof(PassFilter)), SpanOf(r.lpf, sizeof(PassFilter))};
}

std::vector<int> AttachCurveSetsTouching(
    const std::function<bool(std::size_t offset, std::size_t size)>& touched) {
    std::vector<int> attached;
    if (!built || !OnUiThread()) {
        return attached;
    }
    // Where each set's records lie never changes: the ParameterSet is one fixed object.
    struct SlotRecords {
        int eq = 0;
        int scene = 0;
        std::vector<ByteSpan> spans;
    };
    static const std::vector<SlotRecords> slots = [] {
        std::vector<SlotRecords> all(kCurveSetCount);
        ForEachSet([&all](int eq, int s, int slot) {
            all[static_cast<std::size_t>(slot)] = {eq, s, EqRecordSpans(eq, s)};
        });
        return all;
    }();
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        const SlotRecords& r = slots[slot];
        for (const ByteSpan& span : r.spans) {
            if (touched(span.offset, span.size)) {
                AttachSlot(r.eq, r.scene, static_cast<int>(slot));
                attached.push_back(r.eq);
                break;
            }
        }
    }
    return attached;
}

CKTVEQ* CurveSetOf(int eqNumber, int scene) {
    const int slot = SlotOf(eqNumber, scene);
    return slot >= 0 ? &curveSets[static_cast<std::size_t>(slot)] : nullptr;
}

bool BuildCurveSet(CKTVEQ& set, ProgramImage& image, int eqNumber, int scene) {
    const EqElements r = EqElementsOf(image, eqNumber, scene);
    if (r.dynamic != nullptr) {
        set.BuildDynamicEq(r.dynamic);
        return true;
    }
    if (r.bands == nullptr) {
        return false;
    }
    set.BuildEq(r.count, r.bands, r.hpf, r.lpf);
    return true;
}

bool AttachCurveSet(CKTVEQ& set, ProgramImage& image, int eqNumber, int scene) {
    const EqElements r = EqElementsOf(image, eqNumber, scene);
    if (r.dynamic != nullptr) {
        set.AttachDynamicEq(r.dynamic);
        return true;
    }
    if (r.bands == nullptr) {
        return false;
    }
    if (set.BandCount() != r.count) {
        set.BuildEq(r.count, r.bands, r.hpf, r.lpf);
        return true;
    }
    set.AttachEq(r.bands, r.hpf, r.lpf);
    return true;
}

const U8* EqBypassByte(const ProgramImage& p, int eqNumber) {
    switch (eqNumber) {
        case kEqMusicLeft:
            return &p.MusicLeft.eqBypass;
        case kEqMusicRight:
            return &p.MusicRight.eqBypass;
        case kEqMic1:
            return &p.Mic1.eqBypass;
        case kEqMic2:
            return &p.Mic2.eqBypass;
        case kEqEchoA:
            return &p.EchoA.eqBypass;
        case kEqEchoB:
            return &p.EchoB.eqBypass;
        case kEqReverb:
            return &p.Reverb.eqBypass;
        case kEqReverbShadow:
            return &p.ReverbShadow.eqBypass;
        default:
            break;
    }
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast) {
        const int mode = p.OutputMode;
        if (mode < 1 || mode > kSceneCount) {
            return nullptr;
        }
        return &p.scenes[mode - 1].channels[eqNumber - kEqOutputFirst].eqBypass;
    }
    return nullptr;
}

std::vector<std::pair<double, double>> EqTotalResponse(const ParamImage& image, int eqNumber,
                                                       int scene) {
    // Attaching clamps stray codes in the records it reads; work on a copy so the caller's
    // image stays as it was.
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &image.program, sizeof(ProgramImage));
    // The scene in force of the given image, not of the editor's image.
    if (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast &&
        (scene < 1 || scene > kSceneCount)) {
        const int mode = copy->OutputMode;
        scene = (mode >= 1 && mode <= kSceneCount) ? mode : 1;
    }
    CKTVEQ set;
    if (!BuildCurveSet(set, *copy, eqNumber, scene)) {
        return {};
    }
    const auto total = set.TotalResponse();
    const auto& grid = DisplayGrid();
    std::vector<std::pair<double, double>> out;
    out.reserve(kGridPoints);
    for (int i = 0; i < kGridPoints; ++i) {
        out.emplace_back(grid[i].hz, total[i]);
    }
    return out;
}

}  // namespace qx
