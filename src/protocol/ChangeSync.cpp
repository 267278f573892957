#include "ChangeSync.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "ParameterSet.h"
#include "SceneSelector.h"

namespace qx {

namespace {

bool pollToggle = false;

constexpr int kProg = offsetof(ParamImage, program);
constexpr int kSys = offsetof(ParamImage, system) + offsetof(SystemImage, block);
constexpr int kScenes = kProg + offsetof(ProgramImage, scenes);

constexpr int Prog(std::size_t blockOffset) {
    return kProg + static_cast<int>(blockOffset);
}
constexpr int Sys(std::size_t fieldOffset) {
    return kSys + static_cast<int>(fieldOffset);
}
constexpr int Chan(int ch, std::size_t fieldOffset) {
    return ch * static_cast<int>(sizeof(OutputChannelRecord)) + static_cast<int>(fieldOffset);
}

// Output channels in the order the device numbers them.
constexpr int kDeviceOrder[kOutputChannels] = {kMainL,     kCenter, kSub,   kRearL,
                                               kSurroundL, kMainR,  kRearR, kSurroundR};

// A range of image bytes.
struct SyncSpan {
    uint16_t offset;  // into ParamImage
    uint16_t length;
};

constexpr uint16_t kNoItem = 0xFFFF;
constexpr int kChunk = 16;  // bytes swept at once when looking for a difference's items

// Where the items' bytes lie with one output scene in force: every byte any item covers,
// merged into ranges in image order, and for each image byte the items that cover it (the
// byte of the two nibble items has two). Equal images are then one sweep of those ranges,
// and a difference leads straight to its items, whatever the order they are visited in.
struct SceneMap {
    std::vector<SyncSpan> spans;
    std::vector<std::array<uint16_t, 2>> cover;  // per image byte, kNoItem where unused
};

class ItemTable {
  public:
    ItemTable() {
        Build();
        for (int scene = 1; scene <= kSceneCount; ++scene) {
            MapScene(scene);
        }
    }
    const std::vector<SyncItem>& items() const { return m_items; }
    // With the output scene in force (1..3).
    const SceneMap& scene(int scene) const { return m_scenes[scene - 1]; }

  private:
    std::vector<SyncItem> m_items;
    SceneMap m_scenes[kSceneCount];

    void MapScene(int scene) {
        SceneMap& map = m_scenes[scene - 1];
        map.cover.assign(sizeof(ParamImage), {kNoItem, kNoItem});
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const int off = SyncItemOffset(m_items[i], scene);
            for (int b = off; b < off + m_items[i].length; ++b) {
                auto& slots = map.cover[static_cast<std::size_t>(b)];
                (slots[0] == kNoItem ? slots[0] : slots[1]) = static_cast<uint16_t>(i);
            }
        }
        for (std::size_t b = 0; b < map.cover.size(); ++b) {
            if (map.cover[b][0] == kNoItem) {
                continue;
            }
            if (!map.spans.empty() && map.spans.back().offset + map.spans.back().length == b) {
                ++map.spans.back().length;
            } else {
                map.spans.push_back({static_cast<uint16_t>(b), 1});
            }
        }
    }

    // A command with an index byte followed by the item's bytes.
    SyncItem& Indexed(uint8_t cmd, int idx, int offset, int length, bool scene = false) {
        return Add(cmd, static_cast<uint8_t>(length + 3), idx, offset, length, 6, scene);
    }
    // A command whose only data is the item's byte.
    void Bare(uint8_t cmd, int offset) { Add(cmd, 3, -1, offset, 1, 5, false); }

    SyncItem& Add(uint8_t cmd, uint8_t count, int idx, int offset, int length, int dataPos,
                  bool scene) {
        SyncItem item{};
        item.command = cmd;
        item.count = count;
        item.index = static_cast<int16_t>(idx);
        item.offset = static_cast<uint16_t>(offset);
        item.length = static_cast<uint8_t>(length);
        item.dataPos = static_cast<uint8_t>(dataPos);
        item.sceneRelative = scene;
        item.kind = SyncKind::Plain;
        item.derived = SyncDerived::None;
        m_items.push_back(item);
        return m_items.back();
    }

    void Build() {
        const int echoA = offsetof(ProgramImage, EchoA);
        const int echoB = offsetof(ProgramImage, EchoB);
        const int reverb = offsetof(ProgramImage, Reverb);
        const int mic1 = offsetof(ProgramImage, Mic1);
        const int mic2 = offsetof(ProgramImage, Mic2);
        const int musL = offsetof(ProgramImage, MusicLeft);
        const int musR = offsetof(ProgramImage, MusicRight);

        // 1. Master volumes.
        Indexed(0x01, 2, Sys(offsetof(SystemBlock, effectVolume)), 1);
        Indexed(0x01, 1, Sys(offsetof(SystemBlock, micVolume)), 1);
        Indexed(0x01, 0, Sys(offsetof(SystemBlock, musicVolume)), 1);

        // 2. Effect levels and switches, then the mix sends of the output channels.
        auto level = [&](int idx, int off) { Indexed(0x02, idx, off, 1); };
        auto toggle = [&](int idx, int off) { Indexed(0x0B, idx, off, 1); };
        const int echoBlocks[2] = {echoA, echoB};
        for (int e = 0; e < 2; ++e) {
            const int b = echoBlocks[e];
            level(3 * e + 0, Prog(b + offsetof(EchoBlock, repeat)));
            level(3 * e + 1, Prog(b + offsetof(EchoBlock, wetLevel)));
            toggle(3 * e + 1, Prog(b + offsetof(EchoBlock, wetSwitch)));
            level(3 * e + 2, Prog(b + offsetof(EchoBlock, dryLevel)));
            toggle(3 * e + 2, Prog(b + offsetof(EchoBlock, drySwitch)));
        }
        level(6, Prog(reverb + offsetof(ReverbBlock, wetLevel)));
        level(7, Prog(reverb + offsetof(ReverbBlock, dryLevel)));
        toggle(6, Prog(reverb + offsetof(ReverbBlock, wetSwitch)));
        toggle(7, Prog(reverb + offsetof(ReverbBlock, drySwitch)));
        for (int p = 0; p < kOutputChannels; ++p) {
            const int ch = kDeviceOrder[p];
            const int base = p <= 4 ? 5 * p + 8 : 5 * p + 18;
            for (int s = 0; s < kMixSources; ++s) {
                const int send = offsetof(OutputChannelRecord, sends) + s * sizeof(MixSend);
                Indexed(0x02, base + s, Chan(ch, send + offsetof(MixSend, level)), 1, true);
            }
            for (int s = 0; s < kMixSources; ++s) {
                const int send = offsetof(OutputChannelRecord, sends) + s * sizeof(MixSend);
                Indexed(0x0B, base + s, Chan(ch, send + offsetof(MixSend, toggle)), 1, true);
            }
        }

        // 3. EQ bands 0..190.
        int idx = 0;
        auto bands = [&](int off, int n) {
            for (int b = 0; b < n; ++b) {
                Indexed(0x03, idx++, Prog(off + b * sizeof(EqBand)), sizeof(EqBand));
            }
        };
        bands(musL + offsetof(MusicChannel, bands), 15);
        bands(musL + offsetof(MusicChannel, extraBands), 5);
        bands(musR + offsetof(MusicChannel, bands), 15);
        bands(musR + offsetof(MusicChannel, extraBands), 5);
        bands(mic1 + offsetof(MicChannel, bands), 20);
        bands(mic1 + offsetof(MicChannel, extraBands), 5);
        bands(mic2 + offsetof(MicChannel, bands), 20);
        bands(mic2 + offsetof(MicChannel, extraBands), 5);
        bands(echoA + offsetof(EchoBlock, bands), 7);
        bands(reverb + offsetof(ReverbBlock, bands), 7);
        bands(echoB + offsetof(EchoBlock, bands), 7);
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            for (int b = 0; b < 10; ++b) {
                const int off = offsetof(OutputChannelRecord, bands) + b * sizeof(EqBand);
                Indexed(0x03, idx++, Chan(ch, off), sizeof(EqBand), true);
            }
        }

        // 4. Filters: high-pass then low-pass of each index.
        auto filters = [&](int i, int hpf, int lpf, bool scene) {
            Indexed(0x04, i, hpf, sizeof(PassFilter), scene);
            if (lpf >= 0) {
                Indexed(0x04, i, lpf, sizeof(PassFilter), scene);
            }
        };
        filters(0, Prog(musL + offsetof(MusicChannel, hpf)),
                Prog(musL + offsetof(MusicChannel, lpf)), false);
        filters(1, Prog(musR + offsetof(MusicChannel, hpf)),
                Prog(musR + offsetof(MusicChannel, lpf)), false);
        filters(2, Prog(mic1 + offsetof(MicChannel, hpf)), Prog(mic1 + offsetof(MicChannel, lpf)),
                false);
        filters(3, Prog(mic2 + offsetof(MicChannel, hpf)), Prog(mic2 + offsetof(MicChannel, lpf)),
                false);
        filters(4, Prog(echoA + offsetof(EchoBlock, hpf)), Prog(echoA + offsetof(EchoBlock, lpf)),
                false);
        filters(5, Prog(reverb + offsetof(ReverbBlock, hpf)),
                Prog(reverb + offsetof(ReverbBlock, lpf)), false);
        filters(6, Prog(echoB + offsetof(EchoBlock, hpf)), Prog(echoB + offsetof(EchoBlock, lpf)),
                false);
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            filters(7 + ch, Chan(ch, offsetof(OutputChannelRecord, hpf)),
                    Chan(ch, offsetof(OutputChannelRecord, lpf)), true);
        }
        filters(15, Prog(musL + offsetof(MusicChannel, mainHpf)), -1, false);
        filters(16, Prog(musR + offsetof(MusicChannel, mainHpf)), -1, false);

        // 5. 16-bit times.
        idx = 0;
        for (int b : echoBlocks) {
            Indexed(0x05, idx++, Prog(b + offsetof(EchoBlock, preDelay)), 2);
            Indexed(0x05, idx++, Prog(b + offsetof(EchoBlock, rightPreDelay)), 2);
            Indexed(0x05, idx++, Prog(b + offsetof(EchoBlock, delay)), 2);
            Indexed(0x05, idx++, Prog(b + offsetof(EchoBlock, rightDelay)), 2);
        }
        Indexed(0x05, idx++, Prog(reverb + offsetof(ReverbBlock, preDelay)), 2);
        Indexed(0x05, idx++, Prog(reverb + offsetof(ReverbBlock, time)), 2);
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            Indexed(0x05, idx++, Chan(ch, offsetof(OutputChannelRecord, delay)), 2, true);
        }

        // 6. Limiters.
        Indexed(0x07, 0, Prog(mic1 + offsetof(MicChannel, limiter)), sizeof(Limiter));
        Indexed(0x07, 1, Prog(mic2 + offsetof(MicChannel, limiter)), sizeof(Limiter));
        const int limited[5] = {kMainL, kCenter, kSub, kRearL, kSurroundL};
        for (int i = 0; i < 5; ++i) {
            Indexed(0x07, 2 + i, Chan(limited[i], offsetof(OutputChannelRecord, limiter)),
                    sizeof(Limiter), true);
        }
        Indexed(0x07, 7, Prog(musL + offsetof(MusicChannel, limiter)), sizeof(Limiter));

        // 7. Channel mutes: idx, value, 0.
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            Add(0x08, 5, ch, Chan(ch, offsetof(OutputChannelRecord, mute)), 1, 6, true);
        }

        // 8. Sensitivity nibble, mic levels, input gains.
        const int keySens = Sys(offsetof(SystemBlock, keyAndSensitivity));
        Indexed(0x13, 0, keySens, 1).kind = SyncKind::LowNibble;
        Indexed(0x13, 1, Prog(mic1 + offsetof(MicChannel, level)), 1);
        Indexed(0x13, 2, Prog(mic2 + offsetof(MicChannel, level)), 1);
        for (int i = 0; i < 4; ++i) {
            Indexed(0x13, 3 + i, Sys(offsetof(SystemBlock, inputGains) + i), 1);
        }

        // 9. EQ bypass bytes.
        Indexed(0x14, 0, Prog(musL + offsetof(MusicChannel, eqBypass)), 1);
        Indexed(0x14, 1, Prog(musL + offsetof(MusicChannel, extraBypass)), 1);
        Indexed(0x14, 2, Prog(musR + offsetof(MusicChannel, eqBypass)), 1);
        Indexed(0x14, 3, Prog(musR + offsetof(MusicChannel, extraBypass)), 1);
        Indexed(0x14, 4, Prog(mic1 + offsetof(MicChannel, eqBypass)), 1);
        Indexed(0x14, 5, Prog(mic1 + offsetof(MicChannel, extraBypass)), 1);
        Indexed(0x14, 6, Prog(mic2 + offsetof(MicChannel, eqBypass)), 1);
        Indexed(0x14, 7, Prog(mic2 + offsetof(MicChannel, extraBypass)), 1);
        Indexed(0x14, 8, Prog(echoA + offsetof(EchoBlock, eqBypass)), 1);
        Indexed(0x14, 9, Prog(reverb + offsetof(ReverbBlock, eqBypass)), 1);
        Indexed(0x14, 10, Prog(echoB + offsetof(EchoBlock, eqBypass)), 1);
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            Indexed(0x14, 11 + ch, Chan(ch, offsetof(OutputChannelRecord, eqBypass)), 1, true);
        }

        // 10. Link bytes.
        Indexed(0x87, 0, Prog(offsetof(ProgramImage, MicLink)), 1);
        Indexed(0x87, 1, Prog(offsetof(ProgramImage, MusicLink)), 1);
        for (int i = 0; i < 4; ++i) {
            Indexed(0x87, 2 + i, Prog(offsetof(ProgramImage, OutputLinks) + i), 1);
        }

        // 11. Dynamic EQ bands.
        for (int i = 0; i < 6; ++i) {
            const int m = i < 3 ? musL : musR;
            const int off = m + offsetof(MusicChannel, deq) + (i % 3) * sizeof(DynamicEqBand);
            Indexed(0x11, i, Prog(off), sizeof(DynamicEqBand));
        }

        // 12. Feedback suppression: idx, 0, value.
        Add(0x06, 5, 0, Prog(mic1 + offsetof(MicChannel, feedback)), 1, 7, false);
        Add(0x06, 5, 1, Prog(mic2 + offsetof(MicChannel, feedback)), 1, 7, false);

        // 13. Music key: key, 0, 0.
        Add(0x09, 5, -1, keySens, 1, 5, false).kind = SyncKind::HighNibble;

        // 14. Input selection.
        Bare(0x0D, Sys(offsetof(SystemBlock, inputSelect)));

        // 15. Noise gates: idx, 3 gate bytes, enable.
        const int gates[3] = {mic1 + static_cast<int>(offsetof(MicChannel, noiseGate)),
                              mic2 + static_cast<int>(offsetof(MicChannel, noiseGate)),
                              musL + static_cast<int>(offsetof(MusicChannel, noiseGate))};
        for (int i = 0; i < 3; ++i) {
            SyncItem& it = Add(0x0A, 7, i, Prog(gates[i]), sizeof(NoiseGate), 6, false);
            it.derived = SyncDerived::GateEnable;
            it.derivedPos = 9;
        }

        // 16. Exciters: idx, enable, 4 exciter bytes, five zero bytes.
        const int highs[4] = {musL + static_cast<int>(offsetof(MusicChannel, highExciter)),
                              musR + static_cast<int>(offsetof(MusicChannel, highExciter)),
                              mic1 + static_cast<int>(offsetof(MicChannel, highExciter)),
                              mic2 + static_cast<int>(offsetof(MicChannel, highExciter))};
        const int lows[4] = {musL + static_cast<int>(offsetof(MusicChannel, lowExciter)),
                             musR + static_cast<int>(offsetof(MusicChannel, lowExciter)),
                             mic1 + static_cast<int>(offsetof(MicChannel, lowExciter)),
                             mic2 + static_cast<int>(offsetof(MicChannel, lowExciter))};
        for (int i = 0; i < 8; ++i) {
            const int off = i < 4 ? highs[i] : lows[i - 4];
            SyncItem& it = Add(0x12, 13, i, Prog(off), sizeof(Exciter), 7, false);
            it.derived = SyncDerived::ExciterEnable;
            it.derivedPos = 6;
        }

        // 17..20. Maximum volumes, phantom power, IR remote, output mode.
        Indexed(0x89, 0, Sys(offsetof(SystemBlock, musicMax)), 1);
        Indexed(0x89, 1, Sys(offsetof(SystemBlock, micMax)), 1);
        Indexed(0x89, 2, Sys(offsetof(SystemBlock, effectMax)), 1);
        Bare(0x8A, Sys(offsetof(SystemBlock, rearMicPhantom)));
        Bare(0x8B, Sys(offsetof(SystemBlock, irRemote)));
        Bare(0x8E, Prog(offsetof(ProgramImage, OutputMode)));
    }
};

const ItemTable& Table() {
    static const ItemTable table;
    return table;
}

// True when any of the n bytes differ. Reads every current byte once, atomically, eight at a
// time without a branch per byte: equal images, the worker's usual case, cost one sweep of
// the synchronised bytes. (An atomic load is never merged with its neighbours, so the
// unrolling is ours to write.)
inline unsigned ByteDiff(const uint8_t* cur, const uint8_t* sent, int i) {
    return static_cast<unsigned>(LoadByte(cur[i]) ^ sent[i]);
}

bool RunDiffers(const uint8_t* cur, const uint8_t* sent, int n) {
    unsigned a = 0;
    unsigned b = 0;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        a |= ByteDiff(cur, sent, i) | ByteDiff(cur, sent, i + 1) | ByteDiff(cur, sent, i + 2) |
             ByteDiff(cur, sent, i + 3);
        b |= ByteDiff(cur, sent, i + 4) | ByteDiff(cur, sent, i + 5) | ByteDiff(cur, sent, i + 6) |
             ByteDiff(cur, sent, i + 7);
    }
    for (; i < n; ++i) {
        a |= ByteDiff(cur, sent, i);
    }
    return (a | b) != 0;
}

bool AnyDifference(const std::vector<SyncSpan>& spans, const uint8_t* cur, const uint8_t* sent) {
    for (const SyncSpan& span : spans) {
        if (RunDiffers(cur + span.offset, sent + span.offset, span.length)) {
            return true;
        }
    }
    return false;
}

bool Differs(const SyncItem& item, const uint8_t* cur, const uint8_t* sent) {
    switch (item.kind) {
        case SyncKind::LowNibble:
            return ((LoadByte(cur[0]) ^ sent[0]) & 0x0F) != 0;
        case SyncKind::HighNibble:
            return ((LoadByte(cur[0]) ^ sent[0]) & 0xF0) != 0;
        case SyncKind::Plain:
            break;
    }
    for (int i = 0; i < item.length; ++i) {
        if (LoadByte(cur[i]) != sent[i]) {
            return true;
        }
    }
    return false;
}

void StartFrame(FrameRecord& out, uint8_t command, int count) {
    out.bytes[0] = kHeader1;
    out.bytes[1] = kHeader2;
    std::memset(out.bytes + 4, 0, static_cast<std::size_t>(count));
    out.SetCount(count);
    out.bytes[4] = command;
    out.clearsBusy = 0;
    out.storeDelay = 0;
    out.notifyOnFailure = 0;
    out.progressStep = 0;
    out.slowReply = 0;
}

// Reads every byte of the item once, puts it into the frame and into the sent copy.
void BuildItemFrame(const SyncItem& item, const uint8_t* cur, uint8_t* sent, FrameRecord& out) {
    StartFrame(out, item.command, item.count);
    if (item.index >= 0) {
        out.bytes[5] = static_cast<uint8_t>(item.index);
    }
    uint8_t* data = out.bytes + item.dataPos;
    switch (item.kind) {
        case SyncKind::LowNibble: {
            const uint8_t v = LoadByte(cur[0]) & 0x0F;
            data[0] = v;
            sent[0] = static_cast<uint8_t>((sent[0] & 0xF0) | v);
            break;
        }
        case SyncKind::HighNibble: {
            const uint8_t v = LoadByte(cur[0]) & 0xF0;
            data[0] = static_cast<uint8_t>(v >> 4);
            sent[0] = static_cast<uint8_t>((sent[0] & 0x0F) | v);
            break;
        }
        case SyncKind::Plain:
            for (int i = 0; i < item.length; ++i) {
                const uint8_t v = LoadByte(cur[i]);
                data[i] = v;
                if (sent[i] != v) {
                    sent[i] = v;
                }
            }
            break;
    }
    switch (item.derived) {
        case SyncDerived::GateEnable:
            out.bytes[item.derivedPos] = data[0] != 0 ? 1 : 0;
            break;
        case SyncDerived::ExciterEnable:
            out.bytes[item.derivedPos] = (data[2] | data[3]) != 0 ? 1 : 0;
            break;
        case SyncDerived::None:
            break;
    }
    FinishFrame(out);
}

}  // namespace

std::span<const SyncItem> SyncItems() {
    return Table().items();
}

const SyncItem* FindSyncItem(uint8_t command, int index) {
    for (const SyncItem& item : Table().items()) {
        if (item.command == command && (item.index < 0 || item.index == index)) {
            return &item;
        }
    }
    return nullptr;
}

int SyncItemOffset(const SyncItem& item, int scene) {
    if (!item.sceneRelative) {
        return item.offset;
    }
    if (scene < 1 || scene > kSceneCount) {
        scene = 1;
    }
    return kScenes + (scene - 1) * static_cast<int>(sizeof(OutputScene)) + item.offset;
}

void BuildParameterFrame(const ParamImage& current, ParamImage& sent, int scene, FrameRecord& out) {
    const uint8_t* cur = BytesOf(current);
    uint8_t* snt = BytesOf(sent);
    if (scene < 1 || scene > kSceneCount) {
        scene = 1;
    }
    const ItemTable& table = Table();
    const SceneMap& map = table.scene(scene);
    if (AnyDifference(map.spans, cur, snt)) {
        // The first item in visiting order among those whose bytes differ.
        const std::vector<SyncItem>& items = table.items();
        int first = kNoItem;
        for (const SyncSpan& span : map.spans) {
            const int end = span.offset + span.length;
            for (int chunk = span.offset; chunk < end; chunk += kChunk) {
                const int chunkEnd = std::min(chunk + kChunk, end);
                if (!RunDiffers(cur + chunk, snt + chunk, chunkEnd - chunk)) {
                    continue;
                }
                for (int b = chunk; b < chunkEnd; ++b) {
                    for (uint16_t i : map.cover[static_cast<std::size_t>(b)]) {
                        const int off = i < first ? SyncItemOffset(items[i], scene) : 0;
                        if (i < first && Differs(items[i], cur + off, snt + off)) {
                            first = i;
                        }
                    }
                }
            }
        }
        if (first != kNoItem) {
            const SyncItem& item = items[static_cast<std::size_t>(first)];
            const int off = SyncItemOffset(item, scene);
            BuildItemFrame(item, cur + off, snt + off, out);
            return;
        }
    }
    const uint8_t poll = pollToggle ? kPollB : kPollA;
    pollToggle = !pollToggle;
    StartFrame(out, poll, 3);
    out.bytes[5] = current.program.OutputMode;
    FinishFrame(out);
}

bool NextParameterFrame() {
    ParamGuard guard(ParamLock);
    BuildParameterFrame(ParameterSet, SentImage, SceneInForce(), TxFrame);
    return true;
}

void ResetPollToggle() {
    pollToggle = false;
}

}  // namespace qx
