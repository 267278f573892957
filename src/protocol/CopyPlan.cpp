#include "CopyPlan.h"

#include <cstring>
#include <iterator>
#include <memory>

#include "ByteField.h"
#include "TextPair.h"

namespace qx {

namespace {

struct Span {
    std::size_t offset;  // inside the endpoint's record
    std::size_t size;
};

#define QX_SPAN(Record, first, last)                                                \
    Span {                                                                          \
        offsetof(Record, first),                                                    \
            offsetof(Record, last) + sizeof(Record::last) - offsetof(Record, first) \
    }

constexpr TextPair kOutputNames[kOutputChannels] = {
    {"主左", "Main L"}, {"主右", "Main R"}, {"中置", "Center"},       {"超低", "SUB"},
    {"后左", "Rear L"}, {"后右", "Rear R"}, {"环绕左", "Surround L"}, {"环绕右", "Surround R"},
};
constexpr TextPair kSceneNames[kSceneCount] = {
    {"唱歌", "Sing"}, {"热舞", "Disco"}, {"解码", "Decode"}};

std::string Fill(const TextPair& text, bool chinese, std::initializer_list<std::string> args) {
    std::string s = text.Get(chinese);
    int n = 1;
    for (const std::string& a : args) {
        const std::string mark = "%" + std::to_string(n++);
        const auto at = s.find(mark);
        if (at != std::string::npos) {
            s.replace(at, mark.size(), a);
        }
    }
    return s;
}

std::size_t RecordOffset(const CopyEndpoint& e) {
    switch (e.kind) {
        case CopyKind::Music:
            return offsetof(ProgramImage, MusicLeft) + e.index * sizeof(MusicChannel);
        case CopyKind::Mic:
            return offsetof(ProgramImage, Mic1) + e.index * sizeof(MicChannel);
        case CopyKind::DynamicEq:
            return offsetof(ProgramImage, MusicLeft) + e.index * sizeof(MusicChannel) +
                   offsetof(MusicChannel, deq);
        case CopyKind::Output:
            return offsetof(ProgramImage, scenes) + (e.scene - 1) * sizeof(OutputScene) +
                   e.index * sizeof(OutputChannelRecord);
    }
    return 0;
}

bool Valid(const CopyEndpoint& e) {
    const int count = e.kind == CopyKind::Output ? kOutputChannels : 2;
    return e.index >= 0 && e.index < count &&
           (e.kind != CopyKind::Output || (e.scene >= 1 && e.scene <= kSceneCount));
}

// The processor reads a stereo pair's limiter from its left output only.
bool LimiterSent(int output) {
    return output != kMainR && output != kRearR && output != kSurroundR;
}

// The byte spans of one part of an endpoint's record; empty when it has no such part.
std::vector<Span> SpansOf(CopyKind kind, CopyPart part) {
    switch (kind) {
        case CopyKind::Music:
            if (part == kCopyEq) {
                return {QX_SPAN(MusicChannel, bands, extraBypass)};
            }
            if (part == kCopyFilters) {
                return {QX_SPAN(MusicChannel, hpf, lpf), QX_SPAN(MusicChannel, mainHpf, mainHpf)};
            }
            return {};
        case CopyKind::Mic:
            switch (part) {
                case kCopyEq:
                    return {QX_SPAN(MicChannel, bands, extraBypass)};
                case kCopyFilters:
                    return {QX_SPAN(MicChannel, hpf, lpf)};
                case kCopyDynamics:
                    return {QX_SPAN(MicChannel, limiter, noiseGate)};
                case kCopyLevels:
                    return {QX_SPAN(MicChannel, level, level)};
                default:
                    return {};
            }
        case CopyKind::DynamicEq:
            if (part == kCopyEq) {
                return {{0, sizeof(MusicChannel::deq)}};
            }
            return {};
        case CopyKind::Output:
            switch (part) {
                case kCopyEq:
                    return {QX_SPAN(OutputChannelRecord, bands, eqBypass)};
                case kCopyFilters:
                    return {QX_SPAN(OutputChannelRecord, hpf, lpf)};
                case kCopyDynamics:
                    return {QX_SPAN(OutputChannelRecord, limiter, limiter)};
                case kCopyLevels:
                    return {QX_SPAN(OutputChannelRecord, sends, sends)};
                case kCopyMute:
                    return {QX_SPAN(OutputChannelRecord, mute, mute)};
                case kCopyDelay:
                    return {QX_SPAN(OutputChannelRecord, delay, delay)};
                default:
                    return {};
            }
    }
    return {};
}

constexpr CopyPart kParts[] = {kCopyEq,     kCopyFilters, kCopyDynamics,
                               kCopyLevels, kCopyMute,    kCopyDelay};
constexpr TextPair kPartNames[] = {{"均衡", "equaliser"}, {"滤波器", "filters"},
                                   {"动态", "dynamics"},  {"电平", "levels"},
                                   {"静音", "mute"},      {"延时", "delay"}};

}  // namespace

bool CCopyPlan::Partner(const CopyEndpoint& source, CopyEndpoint& partner) {
    partner = source;
    if (source.kind != CopyKind::Output) {
        partner.index = 1 - source.index;
        return true;
    }
    switch (source.index) {
        case kMainL:
        case kRearL:
        case kSurroundL:
            partner.index = source.index + 1;
            return true;
        case kMainR:
        case kRearR:
        case kSurroundR:
            partner.index = source.index - 1;
            return true;
        default:
            return false;
    }
}

std::string CCopyPlan::Name(const CopyEndpoint& e, bool chinese) {
    switch (e.kind) {
        case CopyKind::Music:
            return (e.index == 0 ? TextPair{"音乐左", "Music Left"}
                                 : TextPair{"音乐右", "Music Right"})
                .Get(chinese);
        case CopyKind::Mic:
            return Fill({"话筒%1", "Mic %1"}, chinese, {std::to_string(e.index + 1)});
        case CopyKind::DynamicEq:
            return (e.index == 0 ? TextPair{"动态EQ 左", "Dynamic EQ Left"}
                                 : TextPair{"动态EQ 右", "Dynamic EQ Right"})
                .Get(chinese);
        case CopyKind::Output:
            if (!Valid(e)) {
                break;
            }
            return Fill(
                {"场景%1 %2", "Scene %1 %2"}, chinese,
                {kSceneNames[e.scene - 1].Get(chinese), kOutputNames[e.index].Get(chinese)});
    }
    return "?";
}

std::string CCopyPlan::SceneName(int scene, bool chinese) {
    if (scene < 1 || scene > kSceneCount) {
        return "?";
    }
    return Fill({"场景%1", "Scene %1"}, chinese, {kSceneNames[scene - 1].Get(chinese)});
}

int CCopyPlan::BandCount(const CopyEndpoint& e) {
    switch (e.kind) {
        case CopyKind::Music:
            return static_cast<int>(sizeof(MusicChannel::bands) / sizeof(EqBand));
        case CopyKind::Mic:
            return static_cast<int>(sizeof(MicChannel::bands) / sizeof(EqBand));
        case CopyKind::DynamicEq:
            return static_cast<int>(sizeof(MusicChannel::deq) / sizeof(DynamicEqBand));
        case CopyKind::Output:
            return static_cast<int>(sizeof(OutputChannelRecord::bands) / sizeof(EqBand));
    }
    return 0;
}

unsigned CCopyPlan::PartsOf(const CopyEndpoint& e) {
    unsigned parts = 0;
    for (CopyPart p : kParts) {
        if (!SpansOf(e.kind, p).empty()) {
            parts |= p;
        }
    }
    return parts;
}

CopyPlan CCopyPlan::Plan(const CopyEndpoint& source, const std::vector<CopyEndpoint>& targets,
                         unsigned parts, bool chinese) {
    CopyPlan plan;
    if (!Valid(source)) {
        return plan;
    }
    const std::size_t from = RecordOffset(source);
    for (const CopyEndpoint& target : targets) {
        if (!Valid(target) || target == source) {
            continue;
        }
        const std::size_t to = RecordOffset(target);
        for (std::size_t k = 0; k < std::size(kParts); ++k) {
            const CopyPart part = kParts[k];
            if ((parts & part) == 0) {
                continue;
            }
            const std::string what = kPartNames[k].Get(chinese);
            if (part == kCopyEq && BandCount(source) != BandCount(target)) {
                plan.skipped.push_back(
                    Fill({"%1 → %2：%3不复制，频段数不同（%4 与 %5）",
                          "%1 → %2: %3 not copied, band counts differ (%4 and %5)"},
                         chinese,
                         {Name(source, chinese), Name(target, chinese), what,
                          std::to_string(BandCount(source)), std::to_string(BandCount(target))}));
                continue;
            }
            if (source.kind != target.kind) {
                plan.skipped.push_back(Fill({"%1 → %2：%3不复制，通道种类不同",
                                             "%1 → %2: %3 not copied, different kinds of channel"},
                                            chinese,
                                            {Name(source, chinese), Name(target, chinese), what}));
                continue;
            }
            const std::vector<Span> spans = SpansOf(source.kind, part);
            if (spans.empty()) {
                plan.skipped.push_back(
                    Fill({"%1 没有%2", "%1 has no %2"}, chinese, {Name(source, chinese), what}));
                continue;
            }
            if (part == kCopyDynamics && target.kind == CopyKind::Output &&
                !LimiterSent(target.index)) {
                plan.skipped.push_back(
                    Fill({"%1：压限跟随左声道", "%1: its limiter follows the left output"}, chinese,
                         {Name(target, chinese)}));
                continue;
            }
            for (const Span& s : spans) {
                plan.writes.push_back({from + s.offset, to + s.offset, s.size});
            }
        }
    }
    return plan;
}

std::vector<CopyEndpoint> CCopyPlan::AllOutputs(int scene) {
    std::vector<CopyEndpoint> all;
    for (int ch = 0; ch < kOutputChannels; ++ch) {
        all.push_back({CopyKind::Output, ch, scene});
    }
    return all;
}

CopyPlan CCopyPlan::PlanScene(int from, int to, unsigned parts, bool chinese) {
    CopyPlan plan;
    if (from == to) {
        return plan;
    }
    for (int ch = 0; ch < kOutputChannels; ++ch) {
        // Each output onto the same output of the other scene; a right output keeps its own
        // (unsent) limiter, as the copy to one output does.
        CopyPlan one =
            Plan({CopyKind::Output, ch, from}, {{CopyKind::Output, ch, to}}, parts, chinese);
        plan.writes.insert(plan.writes.end(), one.writes.begin(), one.writes.end());
        plan.skipped.insert(plan.skipped.end(), one.skipped.begin(), one.skipped.end());
    }
    return plan;
}

void CCopyPlan::ApplyTo(const ParamImage& image, const CopyPlan& plan, ParamImage& out) {
    // Sources are read from the untouched image, so no write feeds a later one.
    AtomicCopy(&out, &image, sizeof(ParamImage));
    const uint8_t* src = CParamCatalogue::Bytes(image);
    uint8_t* dst = CParamCatalogue::Bytes(out);
    for (const CopyWrite& w : plan.writes) {
        if (w.from + w.size <= sizeof(ProgramImage) && w.to + w.size <= sizeof(ProgramImage)) {
            AtomicCopy(dst + w.to, src + w.from, w.size);
        }
    }
}

std::vector<FieldDifference> CCopyPlan::Preview(const ParamImage& image, const CopyPlan& plan) {
    auto after = std::make_unique<ParamImage>();
    ApplyTo(image, plan, *after);
    return CImageDiff::Compare(image, *after, false);
}

}  // namespace qx
