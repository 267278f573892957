#include "FieldCaption.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "TextPair.h"

namespace qx {

namespace {

struct Word {
    std::string_view key;
    TextPair text;
};

// Every part of a catalogue name, as the pages caption it. A part not listed here (a field
// added later) reads as its own name, so a caption is never empty.
// clang-format off
constexpr Word kWords[] = {
    {"MusicLeft", {"音乐左", "Music Left"}},
    {"MusicRight", {"音乐右", "Music Right"}},
    {"Mic1", {"话筒1", "Mic 1"}},
    {"Mic2", {"话筒2", "Mic 2"}},
    {"EchoA", {"回声A", "Echo A"}},
    {"EchoB", {"回声B", "Echo B"}},
    {"Reverb", {"混响", "Reverb"}},
    {"ReverbShadow", {"混响副本", "Reverb copy"}},
    {"MusicLink", {"音乐同步", "Music SYNC"}},
    {"MicLink", {"话筒同步", "Mic SYNC"}},
    {"OutputMode", {"输出模式", "Output mode"}},
    {"OutputLinks", {"输出联动", "Output link"}},
    {"imageSum", {"校验和", "checksum"}},
    {"name", {"程序名", "program name"}},
    {"MainL", {"主左", "Main L"}},
    {"MainR", {"主右", "Main R"}},
    {"Center", {"中置", "Center"}},
    {"SUB", {"超低音", "SUB"}},
    {"RearL", {"后左", "Rear L"}},
    {"RearR", {"后右", "Rear R"}},
    {"SurroundL", {"环绕左", "Surround L"}},
    {"SurroundR", {"环绕右", "Surround R"}},
    {"Music", {"音乐", "Music"}},
    {"Mic", {"话筒", "Mic"}},
    {"bands", {"频段", "band"}},
    {"extraBands", {"附加频段", "extra band"}},
    {"deq", {"动态EQ频段", "dynamic EQ band"}},
    {"inputGains", {"输入增益", "input gain"}},
    {"gainCode", {"增益", "gain"}},
    {"freqCode", {"频率", "frequency"}},
    {"qCode", {"Q值", "Q"}},
    {"type", {"类型", "type"}},
    {"kind", {"种类", "kind"}},
    {"slope", {"斜率", "slope"}},
    {"hpf", {"高通", "high-pass"}},
    {"lpf", {"低通", "low-pass"}},
    {"mainHpf", {"主通道高通", "main high-pass"}},
    {"eqBypass", {"EQ直通", "EQ bypass"}},
    {"extraBypass", {"附加EQ直通", "extra EQ bypass"}},
    {"limiter", {"压限", "limiter"}},
    {"noiseGate", {"噪声门", "noise gate"}},
    {"level", {"电平", "level"}},
    {"attack", {"启动时间", "attack"}},
    {"release", {"释放时间", "release"}},
    {"ratio", {"压缩比例", "ratio"}},
    {"threshold", {"启动电平", "threshold"}},
    {"lowExciter", {"低音激励", "low exciter"}},
    {"highExciter", {"高音激励", "high exciter"}},
    {"harmonic", {"谐波量", "harmonic"}},
    {"timbre", {"音品", "timbre"}},
    {"wetLevel", {"湿声电平", "wet level"}},
    {"wetSwitch", {"湿声开关", "wet switch"}},
    {"dryLevel", {"干声电平", "dry level"}},
    {"drySwitch", {"干声开关", "dry switch"}},
    {"preDelay", {"预延时", "pre-delay"}},
    {"rightPreDelay", {"右预延时", "right pre-delay"}},
    {"delay", {"延时", "delay"}},
    {"rightDelay", {"右延时", "right delay"}},
    {"repeat", {"重复", "repeat"}},
    {"time", {"混响时间", "time"}},
    {"feedback", {"啸叫抑制", "feedback"}},
    {"reserved", {"保留", "reserved"}},
    {"mute", {"静音", "mute"}},
    {"send", {"发送", "send"}},
    {"toggle", {"开关", "switch"}},
    {"System", {"系统", "System"}},
    {"currentProgram", {"当前程序", "current program"}},
    {"musicVolume", {"音乐音量", "music volume"}},
    {"micVolume", {"话筒音量", "mic volume"}},
    {"effectVolume", {"效果音量", "effect volume"}},
    {"musicMute", {"音乐静音", "music mute"}},
    {"micMute", {"话筒静音", "mic mute"}},
    {"effectMute", {"效果静音", "effect mute"}},
    {"musicMax", {"音乐最大音量", "music maximum"}},
    {"micMax", {"话筒最大音量", "mic maximum"}},
    {"effectMax", {"效果最大音量", "effect maximum"}},
    {"rearMicPhantom", {"后话筒幻像电源", "rear mic phantom power"}},
    {"inputSelect", {"输入选择", "input select"}},
    {"key", {"变调", "key"}},
    {"sensitivity", {"灵敏度", "sensitivity"}},
    {"irRemote", {"红外遥控", "IR remote"}},
    {"panelPassword", {"面板密码", "panel password"}},
    {"systemPassword", {"系统密码", "system password"}},
    {"extraWord", {"附加字", "extra word"}},
};

// Scenes 1..3 of the output page.
constexpr TextPair kSceneNames[] = {
    {"唱歌场景", "Scene Sing"}, {"迪高场景", "Scene Disco"}, {"影院场景", "Scene Decode"},
};
// clang-format on

std::string WordText(std::string_view part, bool chinese) {
    for (const Word& w : kWords) {
        if (w.key == part) {
            return chinese ? w.text.chinese : w.text.english;
        }
    }
    return std::string(part);
}

// Appends one part of the name ("bands[4]", "Scene[2]", "limiter"), numbering arrays from 1
// as the pages do.
void AppendPart(std::string& out, std::string_view part, bool chinese) {
    std::string_view word = part;
    int index = -1;
    if (const auto open = part.find('['); open != std::string_view::npos) {
        word = part.substr(0, open);
        index = std::atoi(std::string(part.substr(open + 1)).c_str());
    }
    std::string text;
    if (word == "Scene" && index >= 1 && index <= 3) {
        text = chinese ? kSceneNames[index - 1].chinese : kSceneNames[index - 1].english;
    } else {
        text = WordText(word, chinese);
        if (index >= 0) {
            text += (chinese ? "" : " ") + std::to_string(index + 1);
        }
    }
    if (text.empty()) {
        return;
    }
    if (!out.empty() && !chinese) {
        out += ' ';
    }
    out += text;
}

}  // namespace

std::string FieldCaption(const ParamField& field, bool chinese) {
    std::string out;
    std::string_view rest = field.name;
    // "System.musicVolume" reads as "music volume": the page the field is on says System.
    if (rest.starts_with("System.")) {
        rest.remove_prefix(7);
    }
    while (!rest.empty()) {
        const auto dot = rest.find('.');
        AppendPart(out, rest.substr(0, dot), chinese);
        if (dot == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(dot + 1);
    }
    if (!chinese && !out.empty()) {
        out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    }
    return out;
}

std::string FieldChangeText(const ParamField& field, uint32_t before, uint32_t after,
                            bool chinese) {
    // A gain reads with its sign either side of the arrow, as a person compares them.
    const auto value = [&field](uint32_t code) {
        std::string text = CParamCatalogue::DisplayCode(field, code);
        if (field.kind == FieldKind::Gain && !text.empty() && text[0] != '-' &&
            text.rfind("0.0", 0) != 0) {
            text.insert(0, "+");
        }
        return text;
    };
    return FieldCaption(field, chinese) + " " + value(before) + " \u2192 " + value(after);
}

}  // namespace qx
