#include "FrameDecoder.h"

#include <cstdio>

namespace qxtest {

using namespace qx;

namespace {

std::string Fail(const char* what, int cmd, int idx) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s (cmd %02X idx %d)", what, cmd, idx);
    return buf;
}

void Put(U8* dst, const uint8_t* src, int n) {
    for (int i = 0; i < n; ++i) {
        dst[i] = src[i];
    }
}
template <class T>
void PutRecord(T& rec, const uint8_t* src) {
    Put(reinterpret_cast<U8*>(&rec), src, sizeof(T));
}

const int kDeviceOrder[8] = {kMainL, kCenter, kSub, kRearL, kSurroundL, kMainR, kRearR, kSurroundR};

// Channel and source of a mix-send index, or false.
bool SendOf(int idx, int& ch, int& src) {
    for (int p = 0; p < 8; ++p) {
        const int base = p <= 4 ? 5 * p + 8 : 5 * p + 18;
        if (idx >= base && idx < base + 5) {
            ch = kDeviceOrder[p];
            src = idx - base;
            return true;
        }
    }
    return false;
}

EqBand* BandOf(ProgramImage& p, OutputScene& sc, int idx) {
    struct Range {
        int first;
        int n;
        EqBand* bands;
    };
    const Range ranges[] = {
        {0, 15, p.MusicLeft.bands},   {15, 5, p.MusicLeft.extraBands},
        {20, 15, p.MusicRight.bands}, {35, 5, p.MusicRight.extraBands},
        {40, 20, p.Mic1.bands},       {60, 5, p.Mic1.extraBands},
        {65, 20, p.Mic2.bands},       {85, 5, p.Mic2.extraBands},
        {90, 7, p.EchoA.bands},       {97, 7, p.Reverb.bands},
        {104, 7, p.EchoB.bands},
    };
    for (const Range& r : ranges) {
        if (idx >= r.first && idx < r.first + r.n) {
            return &r.bands[idx - r.first];
        }
    }
    if (idx >= 111 && idx < 191) {
        return &sc.channels[(idx - 111) / 10].bands[(idx - 111) % 10];
    }
    return nullptr;
}

PassFilter* FilterOf(ProgramImage& p, OutputScene& sc, int idx, int kind) {
    if (idx == 15 || idx == 16) {
        return kind == 0 ? &(idx == 15 ? p.MusicLeft : p.MusicRight).mainHpf : nullptr;
    }
    PassFilter* pairs[15][2] = {
        {&p.MusicLeft.hpf, &p.MusicLeft.lpf}, {&p.MusicRight.hpf, &p.MusicRight.lpf},
        {&p.Mic1.hpf, &p.Mic1.lpf},           {&p.Mic2.hpf, &p.Mic2.lpf},
        {&p.EchoA.hpf, &p.EchoA.lpf},         {&p.Reverb.hpf, &p.Reverb.lpf},
        {&p.EchoB.hpf, &p.EchoB.lpf},
    };
    for (int ch = 0; ch < 8; ++ch) {
        pairs[7 + ch][0] = &sc.channels[ch].hpf;
        pairs[7 + ch][1] = &sc.channels[ch].lpf;
    }
    if (idx < 0 || idx > 14 || kind < 0 || kind > 1) {
        return nullptr;
    }
    return pairs[idx][kind];
}

U16LE* TimeOf(ProgramImage& p, OutputScene& sc, int idx) {
    U16LE* t[18] = {&p.EchoA.preDelay,  &p.EchoA.rightPreDelay, &p.EchoA.delay, &p.EchoA.rightDelay,
                    &p.EchoB.preDelay,  &p.EchoB.rightPreDelay, &p.EchoB.delay, &p.EchoB.rightDelay,
                    &p.Reverb.preDelay, &p.Reverb.time};
    for (int ch = 0; ch < 8; ++ch) {
        t[10 + ch] = &sc.channels[ch].delay;
    }
    return idx >= 0 && idx < 18 ? t[idx] : nullptr;
}

U8* LevelOf(ProgramImage& p, OutputScene& sc, int idx, bool isSwitch) {
    switch (idx) {
        case 0:
            return isSwitch ? nullptr : &p.EchoA.repeat;
        case 1:
            return isSwitch ? &p.EchoA.wetSwitch : &p.EchoA.wetLevel;
        case 2:
            return isSwitch ? &p.EchoA.drySwitch : &p.EchoA.dryLevel;
        case 3:
            return isSwitch ? nullptr : &p.EchoB.repeat;
        case 4:
            return isSwitch ? &p.EchoB.wetSwitch : &p.EchoB.wetLevel;
        case 5:
            return isSwitch ? &p.EchoB.drySwitch : &p.EchoB.dryLevel;
        case 6:
            return isSwitch ? &p.Reverb.wetSwitch : &p.Reverb.wetLevel;
        case 7:
            return isSwitch ? &p.Reverb.drySwitch : &p.Reverb.dryLevel;
        default:
            break;
    }
    int ch = 0;
    int src = 0;
    if (!SendOf(idx, ch, src)) {
        return nullptr;
    }
    MixSend& s = sc.channels[ch].sends[src];
    return isSwitch ? &s.toggle : &s.level;
}

U8* BypassOf(ProgramImage& p, OutputScene& sc, int idx) {
    U8* b[19] = {&p.MusicLeft.eqBypass,     &p.MusicLeft.extraBypass, &p.MusicRight.eqBypass,
                 &p.MusicRight.extraBypass, &p.Mic1.eqBypass,         &p.Mic1.extraBypass,
                 &p.Mic2.eqBypass,          &p.Mic2.extraBypass,      &p.EchoA.eqBypass,
                 &p.Reverb.eqBypass,        &p.EchoB.eqBypass};
    for (int ch = 0; ch < 8; ++ch) {
        b[11 + ch] = &sc.channels[ch].eqBypass;
    }
    return idx >= 0 && idx < 19 ? b[idx] : nullptr;
}

}  // namespace

std::string ApplyParameterFrame(ParamImage& img, int scene, const uint8_t* f) {
    if (f[0] != 0xFF || f[1] != 0x55) {
        return "bad header";
    }
    const int count = f[2] | (f[3] << 8);
    unsigned sum = 0;
    for (int i = 2; i <= count + 2; ++i) {
        sum += f[i];
    }
    if ((sum & 0xFF) != f[count + 3]) {
        return "bad checksum";
    }
    const int cmd = f[4];
    const int idx = f[5];
    const uint8_t* d = f + 6;
    ProgramImage& p = img.program;
    SystemBlock& s = img.system.block;
    OutputScene& sc = p.scenes[scene - 1];
    auto expect = [&](int n) { return count == n; };

    switch (cmd) {
        case 0x01: {
            U8* v[3] = {&s.musicVolume, &s.micVolume, &s.effectVolume};
            if (!expect(4) || idx > 2)
                return Fail("volume", cmd, idx);
            *v[idx] = d[0];
            return {};
        }
        case 0x02:
        case 0x0B: {
            U8* v = LevelOf(p, sc, idx, cmd == 0x0B);
            if (!expect(4) || v == nullptr)
                return Fail("level", cmd, idx);
            *v = d[0];
            return {};
        }
        case 0x03: {
            EqBand* b = BandOf(p, sc, idx);
            if (!expect(8) || b == nullptr)
                return Fail("band", cmd, idx);
            PutRecord(*b, d);
            return {};
        }
        case 0x04: {
            PassFilter* pf = FilterOf(p, sc, idx, d[0]);
            if (!expect(7) || pf == nullptr)
                return Fail("filter", cmd, idx);
            PutRecord(*pf, d);
            return {};
        }
        case 0x05: {
            U16LE* t = TimeOf(p, sc, idx);
            if (!expect(5) || t == nullptr)
                return Fail("time", cmd, idx);
            t->set(static_cast<uint16_t>(d[0] | (d[1] << 8)));
            return {};
        }
        case 0x06: {
            if (!expect(5) || idx > 1 || d[0] != 0)
                return Fail("feedback", cmd, idx);
            (idx == 0 ? p.Mic1 : p.Mic2).feedback = d[1];
            return {};
        }
        case 0x07: {
            Limiter* l[8] = {&p.Mic1.limiter,         &p.Mic2.limiter,
                             &sc.channels[0].limiter, &sc.channels[2].limiter,
                             &sc.channels[3].limiter, &sc.channels[4].limiter,
                             &sc.channels[6].limiter, &p.MusicLeft.limiter};
            if (!expect(7) || idx > 7)
                return Fail("limiter", cmd, idx);
            PutRecord(*l[idx], d);
            return {};
        }
        case 0x08:
            if (!expect(5) || idx > 7 || d[1] != 0)
                return Fail("mute", cmd, idx);
            sc.channels[idx].mute = d[0];
            return {};
        case 0x09:
            if (!expect(5) || f[5] > 15 || f[6] != 0 || f[7] != 0)
                return Fail("key", cmd, idx);
            s.keyAndSensitivity = static_cast<uint8_t>((f[5] << 4) | (s.keyAndSensitivity & 0x0F));
            return {};
        case 0x0A: {
            NoiseGate* g[3] = {&p.Mic1.noiseGate, &p.Mic2.noiseGate, &p.MusicLeft.noiseGate};
            if (!expect(7) || idx > 2)
                return Fail("gate", cmd, idx);
            if (d[3] != (d[0] != 0 ? 1 : 0))
                return Fail("gate enable", cmd, idx);
            PutRecord(*g[idx], d);
            return {};
        }
        case 0x0D:
            if (!expect(3))
                return Fail("input", cmd, idx);
            s.inputSelect = f[5];
            return {};
        case 0x11: {
            if (!expect(13) || idx > 5)
                return Fail("deq", cmd, idx);
            PutRecord((idx < 3 ? p.MusicLeft : p.MusicRight).deq[idx % 3], d);
            return {};
        }
        case 0x12: {
            Exciter* e[8] = {&p.MusicLeft.highExciter, &p.MusicRight.highExciter,
                             &p.Mic1.highExciter,      &p.Mic2.highExciter,
                             &p.MusicLeft.lowExciter,  &p.MusicRight.lowExciter,
                             &p.Mic1.lowExciter,       &p.Mic2.lowExciter};
            if (!expect(13) || idx > 7)
                return Fail("exciter", cmd, idx);
            if (d[0] != ((d[3] | d[4]) != 0 ? 1 : 0))
                return Fail("exciter enable", cmd, idx);
            for (int i = 5; i < 10; ++i) {
                if (d[i] != 0)
                    return Fail("exciter padding", cmd, idx);
            }
            PutRecord(*e[idx], d + 1);
            return {};
        }
        case 0x13: {
            if (!expect(4) || idx > 6)
                return Fail("0x13", cmd, idx);
            if (idx == 0) {
                if (d[0] > 15)
                    return Fail("sensitivity", cmd, idx);
                s.keyAndSensitivity = static_cast<uint8_t>((s.keyAndSensitivity & 0xF0) | d[0]);
            } else if (idx <= 2) {
                (idx == 1 ? p.Mic1 : p.Mic2).level = d[0];
            } else {
                s.inputGains[idx - 3] = d[0];
            }
            return {};
        }
        case 0x14: {
            U8* b = BypassOf(p, sc, idx);
            if (!expect(4) || b == nullptr)
                return Fail("bypass", cmd, idx);
            *b = d[0];
            return {};
        }
        case 0x87:
            if (!expect(4) || idx > 5)
                return Fail("link", cmd, idx);
            if (idx == 0) {
                p.MicLink = d[0];
            } else if (idx == 1) {
                p.MusicLink = d[0];
            } else {
                p.OutputLinks[idx - 2] = d[0];
            }
            return {};
        case 0x89: {
            U8* m[3] = {&s.musicMax, &s.micMax, &s.effectMax};
            if (!expect(4) || idx > 2)
                return Fail("max", cmd, idx);
            *m[idx] = d[0];
            return {};
        }
        case 0x8A:
            if (!expect(3))
                return Fail("phantom", cmd, idx);
            s.rearMicPhantom = f[5];
            return {};
        case 0x8B:
            if (!expect(3))
                return Fail("remote", cmd, idx);
            s.irRemote = f[5];
            return {};
        case 0x8E:
            if (!expect(3))
                return Fail("mode", cmd, idx);
            p.OutputMode = f[5];
            return {};
        case 0x0C:
        case 0x18:
            if (!expect(3))
                return Fail("poll", cmd, idx);
            return {};
        default:
            return Fail("unknown command", cmd, idx);
    }
}

}  // namespace qxtest
