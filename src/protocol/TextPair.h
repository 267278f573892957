#pragma once
// Every text a person reads exists in Chinese and in English. A text is a pair of literals held
// at the place that shows it; the language in force picks one at the moment it is shown.

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qx {

// The interface language: true Chinese, false English. Read and written on the user-interface
// thread only; the language button toggles it.
extern bool useChinese;

struct TextPair {
    const char* chinese;
    const char* english;

    const char* Get() const { return useChinese ? chinese : english; }
    const char* Get(bool chinese_) const { return chinese_ ? chinese : english; }
};

// The pair's text in the language in force with the arguments in place of %1, %2, ...
std::string Tr(const TextPair& text, std::initializer_list<std::string> args = {});

// True for a locale name that means Chinese (PRC): "zh_CN", "zh-CN", "zh_Hans_CN", with or
// without an encoding (".UTF-8", ".GBK") or modifier ("@..."), in any letter case. The
// Qt-based editor passes QLocale::system().name(); headless tools use SystemLocaleName().
bool IsChinesePrcLocale(std::string_view localeName);

// The locale name of the messages category from the environment, by POSIX precedence:
// LC_ALL, then LC_MESSAGES, then LANG; empty when none is set.
std::string SystemLocaleName();

// Sets useChinese for the start of a run: Chinese exactly when the locale is Chinese (PRC).
void ChooseInitialLanguage(std::string_view localeName);

// The ten tab names, index = tab number.
constexpr int kTabCount = 10;
extern const std::array<TextPair, kTabCount> kTabNames;

// Main window texts.
constexpr TextPair kTextWindowTitle{"人声处理器 KR38-1.01", "Zelvoro QX-1.01"};
constexpr TextPair kTextMusicVol{"音乐音量", "Music Vol"};
constexpr TextPair kTextMicVol{"话筒音量", "Mic Vol"};
constexpr TextPair kTextEffectVol{"效果音量", "Effect Vol"};
constexpr TextPair kTextLanguageButton{"English", "中文"};  // names the other language
constexpr TextPair kTextConnect{"联机", "Connect"};
constexpr TextPair kTextDisconnect{"断开", "Disconnect"};
constexpr TextPair kTextOffLine{"脱机", "Off Line"};

// Message-box texts.
constexpr TextPair kTextUnableToOpenDevice{"不能打开设备!", "Unable to Open Device!"};

}  // namespace qx
