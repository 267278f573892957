#include "SyncedBytes.h"

#include <algorithm>
#include <cstddef>

namespace qxtest {

using namespace qx;

namespace {

const ParamImage& Layout() {
    static const ParamImage image{};
    return image;
}

void Add(std::vector<int>& out, const void* field, std::size_t n) {
    const auto* base = reinterpret_cast<const unsigned char*>(&Layout());
    const int off = static_cast<int>(static_cast<const unsigned char*>(field) - base);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(off + static_cast<int>(i));
    }
}

}  // namespace

std::vector<int> FixedOffsets() {
    std::vector<int> out;
    const ProgramImage& p = Layout().program;
    const SystemImage& s = Layout().system;
    Add(out, &p.name, sizeof p.name);
    Add(out, &p.ReverbShadow, sizeof p.ReverbShadow);
    Add(out, &p.MusicRight.limiter, sizeof(Limiter));
    Add(out, &p.MusicRight.noiseGate, sizeof(NoiseGate));
    Add(out, &p.imageSum, 1);
    Add(out, &p.OutputMode, 1);
    for (const MicChannel* m : {&p.Mic1, &p.Mic2}) {
        Add(out, &m->reserved, sizeof m->reserved);
        Add(out, &m->hpf.kind, 1);
        Add(out, &m->lpf.kind, 1);
    }
    for (const MusicChannel* m : {&p.MusicLeft, &p.MusicRight}) {
        Add(out, &m->reserved, sizeof m->reserved);
        Add(out, &m->hpf.kind, 1);
        Add(out, &m->lpf.kind, 1);
        Add(out, &m->mainHpf.kind, 1);
    }
    for (const EchoBlock* e : {&p.EchoA, &p.EchoB}) {
        Add(out, &e->hpf.kind, 1);
        Add(out, &e->lpf.kind, 1);
    }
    Add(out, &p.Reverb.hpf.kind, 1);
    Add(out, &p.Reverb.lpf.kind, 1);
    for (const OutputScene& sc : p.scenes) {
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            Add(out, &sc.channels[ch].hpf.kind, 1);
            Add(out, &sc.channels[ch].lpf.kind, 1);
            if (ch == kMainR || ch == kRearR || ch == kSurroundR) {
                Add(out, &sc.channels[ch].limiter, sizeof(Limiter));
            }
        }
    }
    Add(out, &s.block.currentProgram, 1);
    Add(out, &s.block.panelPassword, sizeof s.block.panelPassword);
    Add(out, &s.block.systemPassword, sizeof s.block.systemPassword);
    Add(out, &s.block.reserved, sizeof s.block.reserved);
    Add(out, &s.extraWord, 2);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<int> EditableOffsets() {
    const std::vector<int> fixed = FixedOffsets();
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(sizeof(ParamImage)); ++i) {
        if (!std::binary_search(fixed.begin(), fixed.end(), i)) {
            out.push_back(i);
        }
    }
    return out;
}

bool InOtherScene(int off, int scene) {
    const int first = static_cast<int>(offsetof(ProgramImage, scenes));
    const int size = static_cast<int>(sizeof(OutputScene));
    if (off < first || off >= first + 3 * size) {
        return false;
    }
    return (off - first) / size != scene - 1;
}

}  // namespace qxtest
