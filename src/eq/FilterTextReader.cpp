#include "FilterTextReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "TextPair.h"

namespace qx {

namespace {

constexpr std::size_t kMaxLineLength = 1000;
constexpr std::size_t kQuotedLength = 60;
constexpr double kDefaultQ = 0.7071;  // Butterworth pass filters, shelves of slope 1

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The line as a message quotes it: printable ASCII only, shortened.
std::string Quote(const std::string& line) {
    std::string q;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        q += (u >= 0x20 && u < 0x7F) ? c : '?';
        if (q.size() >= kQuotedLength) {
            q += "...";
            break;
        }
    }
    return "'" + q + "'";
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            ++i;
        }
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t') {
            ++j;
        }
        if (j > i) {
            words.push_back(s.substr(i, j - i));
        }
        i = j;
    }
    return words;
}

// A finite decimal number at the start of word; rest gets what follows it ("Hz" of "63Hz").
std::optional<double> Number(const std::string& word, std::string& rest) {
    const char* begin = word.data();
    if (!word.empty() && word[0] == '+') {
        ++begin;  // from_chars takes no plus sign
    }
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(begin, word.data() + word.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    rest = Upper(std::string(end, word.data() + word.size()));
    return value;
}

// Walks the words of one filter line.
class CWords {
  public:
    explicit CWords(std::vector<std::string> words) : m_words(std::move(words)) {}
    bool AtEnd() const { return m_next >= m_words.size(); }
    std::string Peek() const { return AtEnd() ? std::string() : Upper(m_words[m_next]); }
    std::string Take() { return AtEnd() ? std::string() : m_words[m_next++]; }

    // A number followed by one of the units (attached or as the next word), or by none when
    // units is empty. scale receives the unit's factor.
    bool TakeNumber(const std::vector<std::pair<std::string, double>>& units, double& value) {
        std::string rest;
        const auto n = Number(Take(), rest);
        if (!n) {
            return false;
        }
        double scale = 1.0;
        if (!units.empty()) {
            if (rest.empty()) {
                rest = Peek();
                if (!Matches(units, rest, scale)) {
                    return false;
                }
                ++m_next;
            } else if (!Matches(units, rest, scale)) {
                return false;
            }
        } else if (!rest.empty()) {
            return false;
        }
        value = *n * scale;
        return true;
    }

  private:
    static bool Matches(const std::vector<std::pair<std::string, double>>& units,
                        const std::string& word, double& scale) {
        for (const auto& [name, factor] : units) {
            if (word == name) {
                scale = factor;
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> m_words;
    std::size_t m_next = 0;
};

const std::vector<std::pair<std::string, double>> kHertz = {{"HZ", 1.0}, {"KHZ", 1000.0}};
const std::vector<std::pair<std::string, double>> kDecibel = {{"DB", 1.0}};

struct TypeWord {
    const char* word;
    TextFilterKind kind;
    bool needsQ;
};
constexpr TypeWord kTypes[] = {
    {"PK", TextFilterKind::Peaking, true},    {"PEQ", TextFilterKind::Peaking, true},
    {"LS", TextFilterKind::LowShelf, false},  {"LSC", TextFilterKind::LowShelf, false},
    {"HS", TextFilterKind::HighShelf, false}, {"HSC", TextFilterKind::HighShelf, false},
    {"HP", TextFilterKind::HighPass, false},  {"LP", TextFilterKind::LowPass, false},
    {"HPQ", TextFilterKind::HighPass, true},  {"LPQ", TextFilterKind::LowPass, true},
};

bool IsShelf(TextFilterKind k) {
    return k == TextFilterKind::LowShelf || k == TextFilterKind::HighShelf;
}
bool IsPass(TextFilterKind k) {
    return k == TextFilterKind::HighPass || k == TextFilterKind::LowPass;
}

// Reads the part after "Filter N:". Returns false with why set when the line is malformed or
// names a type no equaliser band can take; true with empty set for an empty slot ("None").
bool ReadFilter(const std::string& body, TextFilter& f, bool& empty, std::string& why) {
    empty = false;
    CWords w(Words(body));
    const std::string state = Upper(w.Take());
    if (state != "ON" && state != "OFF") {
        why = Tr({"冒号后应为 ON 或 OFF", "expected ON or OFF after the colon"});
        return false;
    }
    f.on = state == "ON";
    f.type = w.Take();
    const std::string type = Upper(f.type);
    if (type.empty()) {
        why = Tr({"缺少滤波器类型", "the filter type is missing"});
        return false;
    }
    if (type == "NONE") {
        empty = w.AtEnd();
        if (!empty) {
            why = Tr({"空滤波器 (None) 不带数值", "an empty filter (None) takes no values"});
        }
        return empty;
    }
    const TypeWord* t = nullptr;
    for (const TypeWord& candidate : kTypes) {
        if (type == candidate.word) {
            t = &candidate;
        }
    }
    if (t == nullptr) {
        why = Tr(
            {"滤波器类型 %1 在均衡器中没有对应类型 (可用 PK, LS, LSC, HS, HSC, HP, LP, HPQ, LPQ)",
             "filter type %1 has no equivalent in the equaliser (PK, LS, LSC, HS, HSC, HP, "
             "LP, HPQ, LPQ are taken)"},
            {f.type});
        return false;
    }
    f.kind = t->kind;
    // A shelf may carry its slope before Fc: "LS 6dB" or "LSC 12 dB".
    if (IsShelf(f.kind) && !w.AtEnd() && w.Peek() != "FC") {
        if (!w.TakeNumber(kDecibel, f.slopeDb) || f.slopeDb <= 0.0) {
            why = Tr({"%1 后应为以 dB 表示的搁架斜率或 Fc",
                      "expected a shelf slope in dB or Fc after %1"},
                     {f.type});
            return false;
        }
    }
    bool hasFc = false;
    bool hasGain = false;
    while (!w.AtEnd()) {
        const std::string key = Upper(w.Take());
        bool ok = false;
        if (key == "FC" && !hasFc) {
            ok = hasFc = w.TakeNumber(kHertz, f.hz);
        } else if (key == "GAIN" && !hasGain) {
            ok = hasGain = w.TakeNumber(kDecibel, f.gainDb);
        } else if (key == "Q" && !f.qGiven) {
            ok = f.qGiven = w.TakeNumber({}, f.q);
        } else if (key == "BW" && !f.qGiven && w.Peek() == "OCT") {
            w.Take();
            double octaves = 0.0;
            ok = f.qGiven = w.TakeNumber({}, octaves) && octaves > 0.0;
            f.q = ok ? OctavesToQ(octaves) : 0.0;
        } else {
            why = Tr({"意外的 '%1'", "unexpected '%1'"}, {key});
            return false;
        }
        if (!ok) {
            why = Tr(
                {"%1 后的值不是带单位的数字", "the value after %1 is not a number with its unit"},
                {key});
            return false;
        }
    }
    if (!hasFc || f.hz <= 0.0) {
        why = Tr({"需要大于 0 Hz 的 Fc 频率", "Fc with a frequency above 0 Hz is needed"});
        return false;
    }
    if (IsPass(f.kind) && hasGain) {
        why = Tr({"高通或低通滤波器不带增益", "a high-pass or low-pass filter takes no gain"});
        return false;
    }
    if (!IsPass(f.kind) && !hasGain) {
        why = Tr({"需要 Gain (增益)", "Gain is needed"});
        return false;
    }
    if ((t->needsQ || (IsPass(f.kind) && f.qGiven)) && (!f.qGiven || f.q <= 0.0)) {
        why = Tr({"需要大于 0 的 Q", "Q above 0 is needed"});
        return false;
    }
    if (f.qGiven && f.q <= 0.0) {
        why = Tr({"Q 必须大于 0", "Q must be above 0"});
        return false;
    }
    if (f.slopeDb > 0.0 && f.qGiven) {
        why = Tr(
            {"搁架滤波器只能带斜率或 Q, 不能两者都带", "a shelf takes a slope or a Q, not both"});
        return false;
    }
    if (f.slopeDb > 12.0) {
        why = Tr({"搁架斜率最大为每倍频程 12 dB", "a shelf slope is at most 12 dB per octave"});
        return false;
    }
    if (!f.qGiven) {
        f.q = f.slopeDb > 0.0 ? ShelfSlopeToQ(f.slopeDb, f.gainDb) : kDefaultQ;
    }
    return true;
}

// Splits on CR LF, LF and lone CR.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && Upper(s.substr(0, prefix.size())) == Upper(prefix);
}

}  // namespace

double ShelfSlopeToQ(double slopeDbPerOctave, double gainDb) {
    const double s = slopeDbPerOctave / 12.0;
    const double a = std::pow(10.0, gainDb / 40.0);
    const double inverse = (a + 1.0 / a) * (1.0 / s - 1.0) + 2.0;
    return inverse > 0.0 ? 1.0 / std::sqrt(inverse) : 0.0;
}

double OctavesToQ(double octaves) {
    const double p = std::pow(2.0, octaves);
    return std::sqrt(p) / (p - 1.0);
}

FilterText CFilterTextReader::Read(const std::string& input) {
    FilterText out;
    std::string text = input;
    if (text.size() >= 2 && ((static_cast<unsigned char>(text[0]) == 0xFF &&
                              static_cast<unsigned char>(text[1]) == 0xFE) ||
                             (static_cast<unsigned char>(text[0]) == 0xFE &&
                              static_cast<unsigned char>(text[1]) == 0xFF))) {
        out.problems.push_back(
            {1, Tr({"文本为 UTF-16 编码；请另存为 UTF-8 或 ANSI 纯文本",
                    "the text is UTF-16; save it as UTF-8 or plain ANSI text"})});
        return out;
    }
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    const std::vector<std::string> lines = Lines(text);
    bool header = false;
    bool seenContent = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string line = Trim(lines[i]);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.size() > kMaxLineLength) {
            out.problems.push_back({number, Tr({"此行太长，不是滤波器行",
                                                "the line is too long to be a filter line"})});
            continue;
        }
        if (!seenContent && Upper(line) == "FILTER SETTINGS FILE") {
            // A measurement export: everything up to the first filter describes it.
            header = true;
            seenContent = true;
            continue;
        }
        seenContent = true;
        const bool isFilter =
            StartsWithNoCase(line, "Filter") && line.find(':') != std::string::npos &&
            Trim(line.substr(6, line.find(':') - 6)).find_first_not_of("0123456789") ==
                std::string::npos;
        if (header && !isFilter) {
            continue;
        }
        header = false;
        if (StartsWithNoCase(line, "Preamp:")) {
            CWords w(Words(line.substr(7)));
            double db = 0.0;
            if (!w.TakeNumber(kDecibel, db) || !w.AtEnd()) {
                out.problems.push_back({number, Tr({"应为 'Preamp: <增益> dB'，实为 %1",
                                                    "expected 'Preamp: <gain> dB', found %1"},
                                                   {Quote(line)})});
                continue;
            }
            if (!out.hasPreamp) {
                out.preampLine = number;
            }
            out.hasPreamp = true;
            out.preampDb += db;
            continue;
        }
        if (!isFilter) {
            out.problems.push_back(
                {number, Tr({"无法识别的行 %1", "unknown line %1"}, {Quote(line)})});
            continue;
        }
        const auto colon = line.find(':');
        TextFilter f;
        f.line = number;
        const std::string digits = Trim(line.substr(6, colon - 6));
        if (!digits.empty()) {
            f.number = digits.size() > 6 ? -1 : std::stoi(digits);
        }
        bool empty = false;
        std::string why;
        if (!ReadFilter(line.substr(colon + 1), f, empty, why)) {
            out.problems.push_back({number, Tr({"%1：%2", "%1: %2"}, {why, Quote(line)})});
            continue;
        }
        if (!empty) {
            out.filters.push_back(f);
        }
    }
    return out;
}

}  // namespace qx
