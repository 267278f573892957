#include "ParamCatalogue.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "ByteField.h"
#include "DataConver.h"
#include "LabelRules.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr int kSystemBase = static_cast<int>(offsetof(ParamImage, system));

const char* const kFilterKindTexts[] = {"HPF", "LPF"};
const char* const kSwitchTexts[] = {"OFF", "ON"};
const char* const kInputSelectTexts[] = {"Auto",  "VOD",   "BGM",   "COAX", "OPTI",
                                         "HDMI1", "HDMI2", "HDMI3", "ARC"};
const char* const kSensitivityTexts[] = {"L", "H"};
const char* const kEnableTexts[] = {"Disable", "Enable"};
const char* const kOutputModeTexts[] = {"Auto", "Sing", "Disco", "Decode"};
const char* const kChannelNames[] = {"MainL", "MainR", "Center",    "SUB",
                                     "RearL", "RearR", "SurroundL", "SurroundR"};
const char* const kSourceNames[] = {"Music", "Mic", "EchoA", "EchoB", "Reverb"};

// Builds the table by walking the records in their byte order.
class CatalogueBuilder {
  public:
    std::vector<ParamField> fields;

    void Add(const std::string& name, int offset, int width, FieldKind kind, int minimum,
             int maximum, uint8_t mask = 0) {
        ParamField f;
        f.name = name;
        f.offset = offset;
        f.width = width;
        f.mask = mask;
        f.kind = kind;
        f.minimum = minimum;
        f.maximum = maximum;
        fields.push_back(std::move(f));
    }
    void Byte(const std::string& name, int offset, FieldKind kind, int minimum, int maximum) {
        Add(name, offset, 1, kind, minimum, maximum);
    }
    void Word(const std::string& name, int offset, FieldKind kind, int minimum, int maximum) {
        Add(name, offset, 2, kind, minimum, maximum);
    }
    void Reserved(const std::string& name, int offset, int width) {
        Add(name, offset, width, FieldKind::Bytes, 0, 255);
    }

    // Offsets come from the records themselves, so the table follows every layout change and
    // two fields of the same width can never be swapped unnoticed.
    static int At(int base, std::size_t offset) { return base + static_cast<int>(offset); }

    void Band(const std::string& p, int o) {
        Word(p + ".freqCode", At(o, offsetof(EqBand, freqCode)), FieldKind::Frequency, 0,
             kMaxFreqCode);
        Byte(p + ".gainCode", At(o, offsetof(EqBand, gainCode)), FieldKind::Gain, 0, kMaxGainCode);
        Byte(p + ".qCode", At(o, offsetof(EqBand, qCode)), FieldKind::Q, 0, kMaxQCode);
        Byte(p + ".type", At(o, offsetof(EqBand, type)), FieldKind::BandType, 0,
             kBandTypeCodes - 1);
    }
    void Bands(const std::string& p, int o, int count) {
        for (int i = 0; i < count; ++i) {
            Band(p + "[" + std::to_string(i) + "]", At(o, i * sizeof(EqBand)));
        }
    }
    void Filter(const std::string& p, int o) {
        Byte(p + ".kind", At(o, offsetof(PassFilter, kind)), FieldKind::FilterKind, 0, 1);
        Word(p + ".freqCode", At(o, offsetof(PassFilter, freqCode)), FieldKind::Frequency, 0,
             kMaxFreqCode);
        Byte(p + ".slope", At(o, offsetof(PassFilter, slope)), FieldKind::Slope, 0,
             kSlopeCodes - 1);
    }
    void Limit(const std::string& p, int o, FieldKind levelKind) {
        Byte(p + ".level", At(o, offsetof(Limiter, level)), levelKind, 0, 34);
        Byte(p + ".attack", At(o, offsetof(Limiter, attack)), FieldKind::Attack, 0,
             kAttackCodes - 1);
        Byte(p + ".release", At(o, offsetof(Limiter, release)), FieldKind::Release, 0,
             kReleaseCodes - 1);
        Byte(p + ".ratio", At(o, offsetof(Limiter, ratio)), FieldKind::Ratio, 0, kRatioCodes - 1);
    }
    void Gate(const std::string& p, int o) {
        Byte(p + ".threshold", At(o, offsetof(NoiseGate, threshold)), FieldKind::GateThreshold, 0,
             60);
        Byte(p + ".attack", At(o, offsetof(NoiseGate, attack)), FieldKind::Attack, 0,
             kAttackCodes - 1);
        Byte(p + ".release", At(o, offsetof(NoiseGate, release)), FieldKind::Release, 0,
             kReleaseCodes - 1);
    }
    void Excite(const std::string& p, int o) {
        Word(p + ".freqCode", At(o, offsetof(Exciter, freqCode)), FieldKind::Frequency, 0,
             kMaxFreqCode);
        Byte(p + ".harmonic", At(o, offsetof(Exciter, harmonic)), FieldKind::Amount, 0,
             kExciterCodes - 1);
        Byte(p + ".timbre", At(o, offsetof(Exciter, timbre)), FieldKind::Amount, 0,
             kExciterCodes - 1);
    }
    void Dynamic(const std::string& p, int o) {
        Band(p, At(o, offsetof(DynamicEqBand, band)));
        Byte(p + ".threshold", At(o, offsetof(DynamicEqBand, threshold)), FieldKind::DeqThreshold,
             0, 60);
        Byte(p + ".attack", At(o, offsetof(DynamicEqBand, attack)), FieldKind::Attack, 0,
             kAttackCodes - 1);
        Byte(p + ".release", At(o, offsetof(DynamicEqBand, release)), FieldKind::Release, 0,
             kReleaseCodes - 1);
        Byte(p + ".ratio", At(o, offsetof(DynamicEqBand, ratio)), FieldKind::Ratio, 0,
             kRatioCodes - 1);
        Byte(p + ".reserved", At(o, offsetof(DynamicEqBand, reserved)), FieldKind::Number, 0, 255);
    }
    // The parts every effect block shares (the echoes' and the reverb's first 48 bytes).
    template <class Block>
    void EffectHead(const std::string& p, int o) {
        Bands(p + ".bands", At(o, offsetof(Block, bands)), 7);
        Byte(p + ".eqBypass", At(o, offsetof(Block, eqBypass)), FieldKind::Switch, 0, 1);
        Byte(p + ".wetLevel", At(o, offsetof(Block, wetLevel)), FieldKind::Percent, 0, 100);
        Byte(p + ".wetSwitch", At(o, offsetof(Block, wetSwitch)), FieldKind::Switch, 0, 1);
        Byte(p + ".dryLevel", At(o, offsetof(Block, dryLevel)), FieldKind::Percent, 0, 100);
        Byte(p + ".drySwitch", At(o, offsetof(Block, drySwitch)), FieldKind::Switch, 0, 1);
        Filter(p + ".hpf", At(o, offsetof(Block, hpf)));
        Filter(p + ".lpf", At(o, offsetof(Block, lpf)));
    }
    void Echo(const std::string& p, int o) {
        EffectHead<EchoBlock>(p, o);
        Word(p + ".preDelay", At(o, offsetof(EchoBlock, preDelay)), FieldKind::Tenths, 0, 1500);
        Word(p + ".rightPreDelay", At(o, offsetof(EchoBlock, rightPreDelay)), FieldKind::Percent, 0,
             50);
        Word(p + ".delay", At(o, offsetof(EchoBlock, delay)), FieldKind::Tenths, 0, 5000);
        Word(p + ".rightDelay", At(o, offsetof(EchoBlock, rightDelay)), FieldKind::PercentFrom50, 0,
             100);
        Byte(p + ".repeat", At(o, offsetof(EchoBlock, repeat)), FieldKind::Percent, 0, 90);
    }
    void Reverb(const std::string& p, int o) {
        EffectHead<ReverbBlock>(p, o);
        Word(p + ".preDelay", At(o, offsetof(ReverbBlock, preDelay)), FieldKind::Tenths, 0, 2000);
        Word(p + ".time", At(o, offsetof(ReverbBlock, time)), FieldKind::Tenths, 0, 50000);
    }
    void Mic(const std::string& p, int o) {
        Byte(p + ".level", At(o, offsetof(MicChannel, level)), FieldKind::HalfDb, 0, 40);
        Byte(p + ".feedback", At(o, offsetof(MicChannel, feedback)), FieldKind::Feedback, 0,
             kFeedbackCodes - 1);
        Limit(p + ".limiter", At(o, offsetof(MicChannel, limiter)), FieldKind::LimiterDbv);
        Gate(p + ".noiseGate", At(o, offsetof(MicChannel, noiseGate)));
        Filter(p + ".hpf", At(o, offsetof(MicChannel, hpf)));
        Filter(p + ".lpf", At(o, offsetof(MicChannel, lpf)));
        Bands(p + ".bands", At(o, offsetof(MicChannel, bands)), 20);
        Byte(p + ".eqBypass", At(o, offsetof(MicChannel, eqBypass)), FieldKind::Switch, 0, 1);
        Bands(p + ".extraBands", At(o, offsetof(MicChannel, extraBands)), 5);
        Byte(p + ".extraBypass", At(o, offsetof(MicChannel, extraBypass)), FieldKind::Switch, 0, 1);
        Excite(p + ".lowExciter", At(o, offsetof(MicChannel, lowExciter)));
        Excite(p + ".highExciter", At(o, offsetof(MicChannel, highExciter)));
        Reserved(p + ".reserved", At(o, offsetof(MicChannel, reserved)), 5);
    }
    void Music(const std::string& p, int o) {
        Limit(p + ".limiter", At(o, offsetof(MusicChannel, limiter)), FieldKind::LimiterDbv);
        Gate(p + ".noiseGate", At(o, offsetof(MusicChannel, noiseGate)));
        Filter(p + ".hpf", At(o, offsetof(MusicChannel, hpf)));
        Filter(p + ".lpf", At(o, offsetof(MusicChannel, lpf)));
        Bands(p + ".bands", At(o, offsetof(MusicChannel, bands)), 15);
        Byte(p + ".eqBypass", At(o, offsetof(MusicChannel, eqBypass)), FieldKind::Switch, 0, 1);
        Bands(p + ".extraBands", At(o, offsetof(MusicChannel, extraBands)), 5);
        Byte(p + ".extraBypass", At(o, offsetof(MusicChannel, extraBypass)), FieldKind::Switch, 0,
             1);
        Filter(p + ".mainHpf", At(o, offsetof(MusicChannel, mainHpf)));
        for (int i = 0; i < 3; ++i) {
            Dynamic(p + ".deq[" + std::to_string(i) + "]",
                    At(o, offsetof(MusicChannel, deq) + i * sizeof(DynamicEqBand)));
        }
        Excite(p + ".lowExciter", At(o, offsetof(MusicChannel, lowExciter)));
        Excite(p + ".highExciter", At(o, offsetof(MusicChannel, highExciter)));
        Reserved(p + ".reserved", At(o, offsetof(MusicChannel, reserved)), 5);
    }
    void Output(const std::string& p, int o) {
        Byte(p + ".mute", At(o, offsetof(OutputChannelRecord, mute)), FieldKind::Switch, 0, 1);
        for (int s = 0; s < kMixSources; ++s) {
            const std::string send = p + ".send." + kSourceNames[s];
            const int at = At(o, offsetof(OutputChannelRecord, sends) + s * sizeof(MixSend));
            Byte(send + ".level", At(at, offsetof(MixSend, level)), FieldKind::Percent, 0, 200);
            Byte(send + ".toggle", At(at, offsetof(MixSend, toggle)), FieldKind::Switch, 0, 1);
        }
        Bands(p + ".bands", At(o, offsetof(OutputChannelRecord, bands)), 10);
        Byte(p + ".eqBypass", At(o, offsetof(OutputChannelRecord, eqBypass)), FieldKind::Switch, 0,
             1);
        Limit(p + ".limiter", At(o, offsetof(OutputChannelRecord, limiter)), FieldKind::LimiterDb);
        Filter(p + ".hpf", At(o, offsetof(OutputChannelRecord, hpf)));
        Filter(p + ".lpf", At(o, offsetof(OutputChannelRecord, lpf)));
        Word(p + ".delay", At(o, offsetof(OutputChannelRecord, delay)), FieldKind::Tenths, 0, 1500);
    }

    void Program() {
        Add("name", offsetof(ProgramImage, name), kNameLength, FieldKind::Text, 0, 255);
        Echo("EchoA", offsetof(ProgramImage, EchoA));
        Echo("EchoB", offsetof(ProgramImage, EchoB));
        Reverb("Reverb", offsetof(ProgramImage, Reverb));
        Reverb("ReverbShadow", offsetof(ProgramImage, ReverbShadow));
        Mic("Mic1", offsetof(ProgramImage, Mic1));
        Mic("Mic2", offsetof(ProgramImage, Mic2));
        Byte("MicLink", offsetof(ProgramImage, MicLink), FieldKind::Switch, 0, 1);
        Music("MusicLeft", offsetof(ProgramImage, MusicLeft));
        Music("MusicRight", offsetof(ProgramImage, MusicRight));
        Byte("MusicLink", offsetof(ProgramImage, MusicLink), FieldKind::Switch, 0, 1);
        for (int s = 0; s < kSceneCount; ++s) {
            const int base =
                static_cast<int>(offsetof(ProgramImage, scenes) + s * sizeof(OutputScene));
            for (int ch = 0; ch < kOutputChannels; ++ch) {
                Output("Scene[" + std::to_string(s + 1) + "]." + kChannelNames[ch],
                       base + ch * static_cast<int>(sizeof(OutputChannelRecord)));
            }
        }
        Byte("OutputMode", offsetof(ProgramImage, OutputMode), FieldKind::OutputMode, 0, 3);
        for (int i = 0; i < 4; ++i) {
            Byte("OutputLinks[" + std::to_string(i) + "]",
                 static_cast<int>(offsetof(ProgramImage, OutputLinks)) + i, FieldKind::Switch, 0,
                 1);
        }
        Byte("imageSum", offsetof(ProgramImage, imageSum), FieldKind::Number, 0, 255);
    }

    void System() {
        auto at = [](std::size_t offset) { return kSystemBase + static_cast<int>(offset); };
        Byte("System.currentProgram", at(offsetof(SystemBlock, currentProgram)), FieldKind::Program,
             0, kProgramCount);
        const struct {
            const char* name;
            std::size_t offset;
            int maximum;
        } volumes[] = {{"effect", offsetof(SystemBlock, effectVolume), 70},
                       {"mic", offsetof(SystemBlock, micVolume), 84},
                       {"music", offsetof(SystemBlock, musicVolume), 84}};
        for (const auto& v : volumes) {
            Add(std::string("System.") + v.name + "Volume", at(v.offset), 1, FieldKind::Number, 0,
                v.maximum, 0x7F);
            Add(std::string("System.") + v.name + "Mute", at(v.offset), 1, FieldKind::Switch, 0, 1,
                0x80);
        }
        Byte("System.effectMax", at(offsetof(SystemBlock, effectMax)), FieldKind::Number, 0, 70);
        Byte("System.micMax", at(offsetof(SystemBlock, micMax)), FieldKind::Number, 0, 84);
        Byte("System.musicMax", at(offsetof(SystemBlock, musicMax)), FieldKind::Number, 0, 84);
        Byte("System.rearMicPhantom", at(offsetof(SystemBlock, rearMicPhantom)), FieldKind::Switch,
             0, 1);
        Byte("System.inputSelect", at(offsetof(SystemBlock, inputSelect)), FieldKind::InputSelect,
             0, 8);
        Add("System.key", at(offsetof(SystemBlock, keyAndSensitivity)), 1, FieldKind::Key, 0, 14,
            0xF0);
        Add("System.sensitivity", at(offsetof(SystemBlock, keyAndSensitivity)), 1,
            FieldKind::Sensitivity, 0, 1, 0x0F);
        for (int i = 0; i < 4; ++i) {
            Byte("System.inputGains[" + std::to_string(i) + "]",
                 at(offsetof(SystemBlock, inputGains)) + i, FieldKind::InputGain, 0, 40);
        }
        Byte("System.irRemote", at(offsetof(SystemBlock, irRemote)), FieldKind::Enable, 0, 1);
        Add("System.panelPassword", at(offsetof(SystemBlock, panelPassword)), 4, FieldKind::Text, 0,
            255);
        Add("System.systemPassword", at(offsetof(SystemBlock, systemPassword)), 6, FieldKind::Text,
            0, 255);
        Reserved("System.reserved", at(offsetof(SystemBlock, reserved)), 39);
        Word("System.extraWord", at(offsetof(SystemImage, extraWord)), FieldKind::Number, 0, 65535);
    }
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Squeeze(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        }
    }
    return out;
}

std::string Printf(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

template <std::size_t N>
std::string FromList(const char* const (&list)[N], uint32_t code) {
    return code < N ? list[code] : std::to_string(code);
}

LabelConfig Config(int minimum, int maximum, LabelRule rule, double factor, double offset,
                   const char* unit) {
    LabelConfig c;
    c.minimum = minimum;
    c.maximum = maximum;
    c.rule = rule;
    c.factor = factor;
    c.offset = offset;
    c.unit = unit;
    return c;
}

std::string Hex(const uint8_t* p, int n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < n; ++i) {
        s.push_back(digits[p[i] >> 4]);
        s.push_back(digits[p[i] & 15]);
    }
    return s;
}

bool ParseHex(const std::string& text, std::vector<uint8_t>& out) {
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits.push_back(c);
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return true;
}

int LowestBit(uint8_t mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask = static_cast<uint8_t>(mask >> 1);
        ++shift;
    }
    return shift;
}

// Splits "12.5ms" into 12.5 and "ms"; false when the text does not start with a number.
bool SplitNumber(const std::string& text, double& value, std::string& unit) {
    const char* begin = text.c_str();
    char* end = nullptr;
    value = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(value)) {
        return false;
    }
    // The unit is the whole rest of the text, so nothing after a stray NUL goes unread.
    unit = Squeeze(text.substr(static_cast<std::size_t>(end - begin)));
    return true;
}

bool IsWholeNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Turns a value in the field's unit into a code; false with a reason when it cannot.
bool ValueToCode(const ParamField& f, double v, const std::string& unit, uint32_t& code,
                 bool& rounded, std::string& error) {
    auto unitIs = [&unit](std::initializer_list<const char*> accepted) {
        for (const char* u : accepted) {
            if (unit == u) {
                return true;
            }
        }
        return false;
    };
    double exact = 0;  // the code before rounding
    switch (f.kind) {
        case FieldKind::Frequency: {
            double hz = v;
            if (unitIs({"khz", "k"})) {
                hz = v * 1000;
            } else if (!unitIs({"hz"})) {
                error = Tr({"频率需要单位 Hz 或 kHz", "a frequency needs Hz or kHz"});
                return false;
            }
            if (hz < kFreqTable[0] - 0.05 || hz > kFreqTable[kMaxFreqCode] + 0.5) {
                error = Tr({"%1 Hz 超出 19.7Hz..20600Hz", "%1 Hz is outside 19.7Hz..20600Hz"},
                           {Printf("%g", hz)});
                return false;
            }
            code = static_cast<uint32_t>(FreqToCode(hz));
            rounded = std::fabs(CodeToFreq(static_cast<int>(code)) - hz) > 1e-6 * hz;
            return true;
        }
        case FieldKind::Q:
            if (!unitIs({"", "q"})) {
                error = Tr({"Q 值没有单位", "a Q value has no unit"});
                return false;
            }
            if (v < kQTable[0] - 0.005 || v > kQTable[kMaxQCode] + 0.5) {
                error = Tr({"Q %1 超出 0.4..128", "Q %1 is outside 0.4..128"}, {Printf("%g", v)});
                return false;
            }
            code = static_cast<uint32_t>(QToCode(v));
            rounded = std::fabs(CodeToQ(static_cast<int>(code)) - v) > 1e-6 * v;
            return true;
        case FieldKind::Gain:
            if (!unitIs({"db"})) {
                error = Tr({"增益需要单位 dB", "a gain needs dB"});
                return false;
            }
            if (v < -24 - 0.1 || v > 24 + 0.1) {
                error = Tr({"超出范围（-24.0dB..24.0dB）", "out of range (-24.0dB..24.0dB)"});
                return false;
            }
            // The editor's own conversion, so a typed gain lands where the editor puts it.
            code = GainToCode(v);
            rounded = std::fabs(CodeToGain(static_cast<int>(code)) - v) > 1e-6;
            return true;
        case FieldKind::LimiterDbv:
        case FieldKind::LimiterDb:
            if (!unitIs({"db", "dbv"})) {
                error = Tr({"限幅电平需要单位 dBV 或 dB", "a limiter level needs dBV or dB"});
                return false;
            }
            exact = v + 22;
            break;
        case FieldKind::GateThreshold:
            if (!unitIs({"db", "dbv"})) {
                error = Tr({"门限需要单位 dBV（或 OFF）", "a gate threshold needs dBV (or OFF)"});
                return false;
            }
            exact = v + 78;
            if (std::lround(exact) == 0) {
                error = Tr({"-78dBV 不是门限；请用 OFF", "-78dBV is not a threshold; use OFF"});
                return false;
            }
            break;
        case FieldKind::DeqThreshold:
            if (!unitIs({"db", "dbv"})) {
                error = Tr({"门限需要单位 dBV", "a threshold needs dBV"});
                return false;
            }
            exact = v + 48;
            break;
        case FieldKind::HalfDb:
        case FieldKind::InputGain:
            if (!unitIs({"db", ""})) {
                error = Tr({"电平需要单位 dB", "a level needs dB"});
                return false;
            }
            exact = (v + 10) * 2;
            break;
        case FieldKind::Percent:
            if (!unitIs({"%"})) {
                error = Tr({"百分比需要 %", "a percentage needs %"});
                return false;
            }
            exact = v;
            break;
        case FieldKind::PercentFrom50:
            if (!unitIs({"%"})) {
                error = Tr({"百分比需要 %", "a percentage needs %"});
                return false;
            }
            exact = v + 50;
            break;
        case FieldKind::Tenths:
            if (unitIs({"ms"})) {
                exact = v * 10;
            } else if (unitIs({"s"})) {
                exact = v * 10000;
            } else {
                error = Tr({"时间需要单位 ms 或 s", "a time needs ms or s"});
                return false;
            }
            break;
        case FieldKind::Key:
            if (!unitIs({""})) {
                error = Tr({"变调没有单位", "a key shift has no unit"});
                return false;
            }
            exact = v + 7;
            break;
        default:
            error = Tr({"应为代码或显示的文字之一", "expected a code or one of the shown texts"});
            return false;
    }
    // Between two steps: the nearest, ties upward, as the numeric edits round.
    const double nearest = std::floor(exact + 0.5 + 1e-9);
    if (nearest < f.minimum || nearest > f.maximum) {
        error = Tr({"超出范围（%1..%2）", "out of range (%1..%2)"},
                   {CParamCatalogue::DisplayCode(f, f.minimum),
                    CParamCatalogue::DisplayCode(f, f.maximum)});
        return false;
    }
    rounded = std::fabs(exact - nearest) > 1e-6;
    code = static_cast<uint32_t>(nearest);
    return true;
}

// Fields whose codes stand for a short list of texts.
bool IsList(FieldKind kind) {
    switch (kind) {
        case FieldKind::BandType:
        case FieldKind::FilterKind:
        case FieldKind::Slope:
        case FieldKind::Attack:
        case FieldKind::Release:
        case FieldKind::Ratio:
        case FieldKind::Switch:
        case FieldKind::Feedback:
        case FieldKind::Amount:
        case FieldKind::InputSelect:
        case FieldKind::Sensitivity:
        case FieldKind::Enable:
        case FieldKind::OutputMode:
        case FieldKind::Program:
            return true;
        default:
            return false;
    }
}

// Fields whose values are read as plain signed numbers, so "-3" is a value, not a code.
bool TakesBareNumbers(FieldKind kind) {
    return kind == FieldKind::Q || kind == FieldKind::Key || kind == FieldKind::HalfDb ||
           kind == FieldKind::InputGain;
}

// The shown slope names keep the device's spelling "Butuerworth"; the correct spelling is
// taken as well.
std::string WithSpellings(const ParamField& f, std::string squeezed) {
    if (f.kind == FieldKind::Slope) {
        if (const auto at = squeezed.find("butterworth"); at != std::string::npos) {
            squeezed.replace(at, 11, "butuerworth");
        }
    }
    return squeezed;
}

// "BY, PEQ, LS, HS": the texts a list field accepts.
std::string ListTexts(const ParamField& f) {
    std::string list;
    for (int c = f.minimum; c <= f.maximum; ++c) {
        if (c != f.minimum) {
            list += ", ";
        }
        list += CParamCatalogue::DisplayCode(f, static_cast<uint32_t>(c));
    }
    return list;
}

// A text field's value: printable ASCII padded with spaces, typed as is or quoted the way
// Display shows it ("\"Hello\"", with \\, \" and \xNN escapes).
bool ParseText(const ParamField& f, const std::string& typed, ParsedValue& out,
               std::string& error) {
    std::string chars = typed;
    const auto first = typed.find_first_not_of(" \t");
    const auto last = typed.find_last_not_of(" \t");
    if (first != std::string::npos && last > first && typed[first] == '"' && typed[last] == '"') {
        const std::string inner = typed.substr(first + 1, last - first - 1);
        chars.clear();
        for (std::size_t i = 0; i < inner.size(); ++i) {
            if (inner[i] != '\\' || i + 1 >= inner.size()) {
                chars.push_back(inner[i]);
            } else if (inner[i + 1] == 'x' && i + 3 < inner.size() &&
                       std::isxdigit(static_cast<unsigned char>(inner[i + 2])) &&
                       std::isxdigit(static_cast<unsigned char>(inner[i + 3]))) {
                chars.push_back(static_cast<char>(std::stoi(inner.substr(i + 2, 2), nullptr, 16)));
                i += 3;
            } else {
                chars.push_back(inner[++i]);
            }
        }
    }
    if (static_cast<int>(chars.size()) > f.width) {
        error = Tr({"最多 %1 个字节，而不是 %2", "at most %1 bytes, not %2"},
                   {std::to_string(f.width), std::to_string(chars.size())});
        return false;
    }
    for (char c : chars) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F) {
            error = Tr({"只允许可打印的 ASCII 字符（字母、数字、符号和空格）",
                        "only printable ASCII is allowed (letters, digits, signs and spaces)"});
            return false;
        }
    }
    out.bytes.assign(static_cast<std::size_t>(f.width), ' ');
    std::copy(chars.begin(), chars.end(), out.bytes.begin());
    return true;
}

}  // namespace

const std::vector<ParamField>& CParamCatalogue::Fields() {
    static const std::vector<ParamField> table = [] {
        CatalogueBuilder b;
        b.Program();
        b.System();
        return std::move(b.fields);
    }();
    return table;
}

const ParamField* CParamCatalogue::Find(const std::string& name) {
    static const std::unordered_map<std::string, const ParamField*> index = [] {
        std::unordered_map<std::string, const ParamField*> m;
        for (const ParamField& f : Fields()) {
            m.emplace(Lower(f.name), &f);
        }
        return m;
    }();
    const auto it = index.find(Lower(name));
    return it == index.end() ? nullptr : it->second;
}

std::vector<std::string> CParamCatalogue::OutOfRange(const ParamImage& image, bool withSystem) {
    std::vector<std::string> names;
    const uint8_t* bytes = Bytes(image);
    for (const ParamField& f : Fields()) {
        if ((withSystem || !f.IsSystem()) && !InRange(bytes, f)) {
            names.push_back(f.name);
        }
    }
    return names;
}

uint32_t CParamCatalogue::Read(const uint8_t* image, const ParamField& f) {
    const uint8_t* p = image + f.offset;
    if (f.mask != 0) {
        return static_cast<uint32_t>((LoadByte(*p) & f.mask) >> LowestBit(f.mask));
    }
    if (f.width == 2) {
        return static_cast<uint32_t>(LoadByte(p[0]) | (LoadByte(p[1]) << 8));
    }
    return LoadByte(*p);
}

std::string CParamCatalogue::DisplayCode(const ParamField& f, uint32_t code) {
    const int c = static_cast<int>(code);
    if (c < f.minimum || c > f.maximum) {
        return "code " + std::to_string(code);
    }
    switch (f.kind) {
        case FieldKind::Number:
            return std::to_string(code);
        case FieldKind::Frequency:
            return FormatFrequency(CodeToFreq(c)) + "Hz";
        case FieldKind::Gain:
            return Printf("%.1fdB", CodeToGain(c));
        case FieldKind::Q:
            return Printf("%g", CodeToQ(c));
        case FieldKind::BandType:
            return TableText(kBandTypeWords, c);
        case FieldKind::FilterKind:
            return FromList(kFilterKindTexts, code);
        case FieldKind::Slope:
            return TableText(kSlopeNames, c);
        case FieldKind::LimiterDbv:
        case FieldKind::LimiterDb:
        case FieldKind::Attack:
        case FieldKind::Release:
        case FieldKind::Ratio:
        case FieldKind::GateThreshold:
        case FieldKind::DeqThreshold:
        case FieldKind::HalfDb:
        case FieldKind::InputGain:
        case FieldKind::Percent:
        case FieldKind::PercentFrom50:
        case FieldKind::Tenths:
            return FormatLabel(c, LabelOf(f));
        case FieldKind::Switch:
            return FromList(kSwitchTexts, code);
        case FieldKind::Feedback:
            return TableText(kFeedbackNames, c);
        case FieldKind::Amount:
            return TableText(kExciterTexts, c);
        case FieldKind::InputSelect:
            return FromList(kInputSelectTexts, code);
        case FieldKind::Key:
            return c > 7 ? "+" + std::to_string(c - 7) : std::to_string(c - 7);
        case FieldKind::Sensitivity:
            return FromList(kSensitivityTexts, code);
        case FieldKind::Enable:
            return FromList(kEnableTexts, code);
        case FieldKind::OutputMode:
            return FromList(kOutputModeTexts, code);
        case FieldKind::Program:
            return c > 16 ? "F" + std::to_string(c - 16) : std::to_string(code);
        case FieldKind::Text:
        case FieldKind::Bytes:
            break;
    }
    return std::to_string(code);
}

LabelConfig CParamCatalogue::LabelOf(const ParamField& f) {
    const auto config = [&f](LabelRule rule, double factor, double offset, const char* unit) {
        return Config(f.minimum, f.maximum, rule, factor, offset, unit);
    };
    switch (f.kind) {
        case FieldKind::LimiterDbv:
            return config(LabelRule::L20, 1, 22, "dBV");
        case FieldKind::LimiterDb:
            return config(LabelRule::L20, 1, 22, "dB");
        case FieldKind::Attack:
            return config(LabelRule::T5, 1, 0, "ms");
        case FieldKind::Release:
            return config(LabelRule::T6, 1, 0, "");
        case FieldKind::Ratio:
            return config(LabelRule::T12, 1, 0, "");
        case FieldKind::GateThreshold:
            return config(LabelRule::L47, 1, 78, "dBV");
        case FieldKind::DeqThreshold:
            return config(LabelRule::L20, 1, 48, "dBV");
        case FieldKind::HalfDb:
            return config(LabelRule::L14, 0.5, 10, "dB");
        case FieldKind::InputGain:
            return config(LabelRule::L14, 0.5, 10, "");
        case FieldKind::Percent:
            return config(LabelRule::L20, 1, 0, "%");
        case FieldKind::PercentFrom50:
            return config(LabelRule::L20, 1, 50, "%");
        case FieldKind::Tenths:
            return config(LabelRule::L14, 0.1, 0, "ms");
        case FieldKind::Key:
            return config(LabelRule::L20, 1, 7, "");
        default:
            return config(LabelRule::L20, 1, 0, "");
    }
}

std::string CParamCatalogue::Display(const uint8_t* image, const ParamField& f) {
    if (f.kind == FieldKind::Bytes) {
        std::vector<uint8_t> bytes(static_cast<std::size_t>(f.width));
        AtomicCopy(bytes.data(), image + f.offset, bytes.size());
        return Hex(bytes.data(), f.width);
    }
    if (f.kind == FieldKind::Text) {
        // Shown trimmed of padding (spaces, and the zero bytes of a never-named program).
        std::vector<uint8_t> bytes(static_cast<std::size_t>(f.width));
        AtomicCopy(bytes.data(), image + f.offset, bytes.size());
        auto pad = [](uint8_t b) { return b == ' ' || b == 0; };
        std::size_t first = 0;
        std::size_t last = bytes.size();
        while (first < last && pad(bytes[first])) {
            ++first;
        }
        while (last > first && pad(bytes[last - 1])) {
            --last;
        }
        std::string s;
        for (std::size_t i = first; i < last; ++i) {
            const uint8_t b = bytes[i];
            if (b == '\\' || b == '"') {
                s += '\\';
                s.push_back(static_cast<char>(b));
            } else if (b >= 0x20 && b < 0x7F) {
                s.push_back(static_cast<char>(b));
            } else {
                s += "\\x" + Hex(&b, 1);
            }
        }
        return "\"" + s + "\"";
    }
    return DisplayCode(f, Read(image, f));
}

std::string CParamCatalogue::RawText(const uint8_t* image, const ParamField& f) {
    if (f.IsBytes()) {
        std::vector<uint8_t> bytes(static_cast<std::size_t>(f.width));
        AtomicCopy(bytes.data(), image + f.offset, bytes.size());
        return Hex(bytes.data(), f.width);
    }
    return std::to_string(Read(image, f));
}

bool CParamCatalogue::InRange(const uint8_t* image, const ParamField& f) {
    if (f.IsBytes()) {
        return true;
    }
    const auto code = static_cast<int64_t>(Read(image, f));
    return code >= f.minimum && code <= f.maximum;
}

bool CParamCatalogue::Parse(const ParamField& f, const std::string& typed, ParsedValue& out,
                            std::string& error) {
    out = ParsedValue{};
    const auto first = typed.find_first_not_of(" \t");
    const auto last = typed.find_last_not_of(" \t");
    const std::string text =
        first == std::string::npos ? "" : typed.substr(first, last - first + 1);

    if (f.IsBytes()) {
        const std::string hexPrefix = "hex:";
        if (Lower(text.substr(0, hexPrefix.size())) == hexPrefix || f.kind == FieldKind::Bytes) {
            const std::string digits =
                Lower(text.substr(0, hexPrefix.size())) == hexPrefix ? text.substr(4) : text;
            if (!ParseHex(digits, out.bytes) || static_cast<int>(out.bytes.size()) != f.width) {
                error = Tr({"应为 %1 个十六进制字节", "expected %1 bytes in hex"},
                           {std::to_string(f.width)});
                return false;
            }
            return true;
        }
        return ParseText(f, typed, out, error);
    }

    if (text.empty()) {
        error = Tr({"没有给出值", "no value given"});
        return false;
    }
    if (IsWholeNumber(text)) {
        const long code = std::stol(text);
        if (code < f.minimum || code > f.maximum) {
            error = Tr({"代码 %1 超出范围 %2..%3", "code %1 is out of range %2..%3"},
                       {text, std::to_string(f.minimum), std::to_string(f.maximum)});
            return false;
        }
        out.code = static_cast<uint32_t>(code);
        return true;
    }
    // A value as it is shown ("OFF", "PEQ", "16ms", "F3", "1000Hz", ...), or the same number
    // written another way ("1ms" for "1.0ms").
    const std::string wanted = WithSpellings(f, Squeeze(text));
    double value = 0;
    std::string unit;
    const bool isNumber = SplitNumber(text, value, unit);
    if (f.maximum - f.minimum <= 1000) {
        for (int c = f.minimum; c <= f.maximum; ++c) {
            const std::string shown = DisplayCode(f, static_cast<uint32_t>(c));
            double shownValue = 0;
            std::string shownUnit;
            if (Squeeze(shown) == wanted ||
                (isNumber && SplitNumber(shown, shownValue, shownUnit) && shownUnit == unit &&
                 std::fabs(shownValue - value) < 1e-9)) {
                out.code = static_cast<uint32_t>(c);
                return true;
            }
        }
    }
    if (f.kind == FieldKind::BandType) {  // the selection lists' short name of PEQ
        if (wanted == "p") {
            out.code = 1;
            return true;
        }
    }
    if (IsList(f.kind)) {
        error = Tr(
            {"\"%1\" 不是 %2 之一（或代码 %3..%4）", "\"%1\" is not one of %2 (or a code %3..%4)"},
            {text, ListTexts(f), std::to_string(f.minimum), std::to_string(f.maximum)});
        return false;
    }
    if (!isNumber) {
        error = Tr({"\"%1\" 既不是代码，也不是这个字段的值",
                    "\"%1\" is neither a code nor a value of this field"},
                   {text});
        return false;
    }
    const bool negativeCode = text[0] == '-' && IsWholeNumber(text.substr(1));
    if (negativeCode && !TakesBareNumbers(f.kind)) {
        error = Tr({"不允许负的代码", "negative codes are not allowed"});
        std::string why;
        uint32_t ignored = 0;
        bool ignoredRounding = false;
        if (!ValueToCode(f, value, unit, ignored, ignoredRounding, why)) {
            error += " (" + why + ")";
        }
        return false;
    }
    if (!ValueToCode(f, value, unit, out.code, out.rounded, error)) {
        error = "\"" + text + "\": " + error;
        return false;
    }
    return true;
}

void CParamCatalogue::Apply(uint8_t* image, const ParamField& f, const ParsedValue& v) {
    uint8_t* p = image + f.offset;
    if (f.IsBytes()) {
        AtomicCopy(p, v.bytes.data(), static_cast<std::size_t>(f.width));
    } else if (f.mask != 0) {
        const uint8_t shifted = static_cast<uint8_t>((v.code << LowestBit(f.mask)) & f.mask);
        StoreByte(*p, static_cast<uint8_t>((LoadByte(*p) & ~f.mask) | shifted));
    } else if (f.width == 2) {
        StoreByte(p[0], static_cast<uint8_t>(v.code & 0xFF));
        StoreByte(p[1], static_cast<uint8_t>(v.code >> 8));
    } else {
        StoreByte(*p, static_cast<uint8_t>(v.code));
    }
}

}  // namespace qx
