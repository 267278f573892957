#include "TextPair.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace qx {

bool useChinese = false;

const std::array<TextPair, kTabCount> kTabNames = {{
    {"音乐", "Music"},
    {"动态均衡", "DEQ"},
    {"话筒", "Mic"},
    {"效果", "Effect"},
    {"主输出", "Main"},
    {"中置", "Center"},
    {"超低音", "SUB"},
    {"后置", "Rear"},
    {"环绕", "Surround"},
    {"系统", "System"},
}};

std::string Tr(const TextPair& text, std::initializer_list<std::string> args) {
    const std::string pattern = text.Get();
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < args.size()) {
                out += *(args.begin() + index);
            }
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

bool IsChinesePrcLocale(std::string_view name) {
    // Drop ".encoding" and "@modifier", lower the case and unify the separators.
    const std::size_t cut = name.find_first_of(".@");
    if (cut != std::string_view::npos) {
        name = name.substr(0, cut);
    }
    std::string n;
    for (char c : name) {
        n += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return n == "zh_cn" || n == "zh_hans_cn";
}

std::string SystemLocaleName() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0') {
            return v;
        }
    }
    return {};
}

void ChooseInitialLanguage(std::string_view localeName) {
    useChinese = IsChinesePrcLocale(localeName);
}

}  // namespace qx
