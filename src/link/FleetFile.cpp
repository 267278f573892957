#include "FleetFile.h"

#include <QString>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "NetSerialLine.h"
#include "TextPair.h"

namespace qx {

namespace {

// Just enough JSON for the fleet file, with the line each value starts on.
struct Member;

struct Value {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    int line = 1;
    std::string text;
    std::vector<Value> items;
    std::vector<Member> members;  // in order, duplicates kept
    std::vector<int> memberLines;
};

// A pair would need Value complete where Value is being declared; a struct of its own does not.
struct Member {
    std::string key;
    Value value;
};

class CParser {
  public:
    explicit CParser(const std::string& text) : m_text(text) {}

    bool Document(Value& v) {
        if (!Parse(v, 0)) {
            return false;
        }
        Skip();
        if (m_pos != m_text.size()) {
            return Fail(Tr({"JSON 之后还有多余内容", "text after the JSON value"}));
        }
        return true;
    }
    const std::string& Error() const { return m_error; }

  private:
    bool Fail(const std::string& why) {
        m_error = std::to_string(m_line) + ": " + why;
        return false;
    }
    void Skip() {
        while (m_pos < m_text.size() && std::strchr(" \t\r\n", m_text[m_pos]) != nullptr) {
            m_line += m_text[m_pos] == '\n' ? 1 : 0;
            ++m_pos;
        }
    }
    bool Parse(Value& v, int depth) {
        Skip();
        if (depth > 32) {
            return Fail(Tr({"嵌套过深", "nested too deeply"}));
        }
        if (m_pos >= m_text.size()) {
            return Fail(Tr({"JSON 不完整", "the JSON ends too early"}));
        }
        v.line = m_line;
        const char c = m_text[m_pos];
        if (c == '{') {
            return Object(v, depth);
        }
        if (c == '[') {
            v.kind = Value::kArray;
            ++m_pos;
            Skip();
            if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                ++m_pos;
                return true;
            }
            for (;;) {
                Value item;
                if (!Parse(item, depth + 1)) {
                    return false;
                }
                v.items.push_back(std::move(item));
                Skip();
                if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                    ++m_pos;
                    continue;
                }
                if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                    ++m_pos;
                    return true;
                }
                return Fail(Tr({"缺少“,”或“]”", "expected ',' or ']'"}));
            }
        }
        if (c == '"') {
            v.kind = Value::kString;
            return String(v.text);
        }
        for (const char* word : {"true", "false", "null"}) {
            if (m_text.compare(m_pos, std::strlen(word), word) == 0) {
                v.kind = word[0] == 'n' ? Value::kNull : Value::kBool;
                v.text = word;
                m_pos += std::strlen(word);
                return true;
            }
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            v.kind = Value::kNumber;
            while (m_pos < m_text.size() &&
                   std::strchr("+-.eE0123456789", m_text[m_pos]) != nullptr) {
                v.text += m_text[m_pos++];
            }
            return true;
        }
        return Fail(Tr({"无法识别的 JSON", "not JSON here"}));
    }
    bool Object(Value& v, int depth) {
        v.kind = Value::kObject;
        ++m_pos;
        Skip();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            Skip();
            std::string key;
            const int keyLine = m_line;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !String(key)) {
                return m_error.empty() ? Fail(Tr({"缺少键名", "expected a key in quotes"})) : false;
            }
            Skip();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':') {
                return Fail(Tr({"缺少“:”", "expected ':'"}));
            }
            ++m_pos;
            Value member;
            if (!Parse(member, depth + 1)) {
                return false;
            }
            v.members.push_back(Member{std::move(key), std::move(member)});
            v.memberLines.push_back(keyLine);
            Skip();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                ++m_pos;
                return true;
            }
            return Fail(Tr({"缺少“,”或“}”", "expected ',' or '}'"}));
        }
    }
    bool String(std::string& out) {
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return true;
            }
            if (c == '\n' || static_cast<unsigned char>(c) < 0x20) {
                return Fail(Tr({"字符串中有控制字符", "a control character inside a string"}));
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                break;
            }
            const char e = m_text[m_pos++];
            switch (e) {
                case '"':
                case '\\':
                case '/':
                    out += e;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    if (m_pos + 4 > m_text.size()) {
                        return Fail(Tr({"错误的 \\u 转义", "a bad \\u escape"}));
                    }
                    const unsigned long code =
                        std::strtoul(m_text.substr(m_pos, 4).c_str(), nullptr, 16);
                    m_pos += 4;
                    out += QString(QChar(static_cast<char16_t>(code))).toStdString();
                    break;
                }
                default:
                    return Fail(Tr({"错误的转义", "a bad escape"}));
            }
        }
        return Fail(Tr({"字符串没有结束", "a string without its closing quote"}));
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    std::string m_error;
};

bool LineFail(std::string& error, int line, const std::string& why) {
    error = std::to_string(line) + ": " + why;
    return false;
}

// Room names become parts of file names: letters, digits and - _ . only, never a path.
bool FitForFileName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FleetRoom::HasTag(const std::string& tag) const {
    for (const std::string& t : tags) {
        if (t == tag) {
            return true;
        }
    }
    return false;
}

std::string CFleetFile::AddressProblem(const std::string& port) {
    const QString name = QString::fromStdString(port);
    if (port.empty()) {
        return Tr({"地址为空", "the address is empty"});
    }
    if (port.find("://") != std::string::npos) {
        NetAddress address;
        QString why;
        if (!CNetSerialLine::ParseAddress(name, address, why)) {
            return why.toStdString();
        }
        return {};
    }
    for (const char c : port) {
        if (static_cast<unsigned char>(c) < 0x20 || c == ' ') {
            return Tr(
                {"设备路径中有空格或控制字符", "a space or control character in a device path"});
        }
    }
    return {};
}

bool CFleetFile::Parse(const std::string& text, std::vector<FleetRoom>& rooms, std::string& error) {
    rooms.clear();
    Value root;
    CParser parser(text);
    if (!parser.Document(root)) {
        error = parser.Error();
        return false;
    }
    if (root.kind != Value::kObject) {
        return LineFail(
            error, root.line,
            Tr({"应为对象 {\"rooms\": [...]}", "expected an object {\"rooms\": [...]}"}));
    }
    const Value* list = nullptr;
    for (std::size_t i = 0; i < root.members.size(); ++i) {
        const auto& [key, value] = root.members[i];
        if (key != "rooms") {
            return LineFail(error, root.memberLines[i],
                            Tr({"未知的键“%1”", "unknown key '%1'"}, {key}));
        }
        if (list != nullptr) {
            return LineFail(error, root.memberLines[i],
                            Tr({"“rooms”出现了两次", "'rooms' given twice"}));
        }
        list = &value;
    }
    if (list == nullptr || list->kind != Value::kArray) {
        return LineFail(error, list == nullptr ? root.line : list->line,
                        Tr({"需要房间列表 \"rooms\": [...]", "expected a list \"rooms\": [...]"}));
    }
    if (list->items.empty()) {
        return LineFail(error, list->line, Tr({"没有房间", "no rooms"}));
    }
    std::map<std::string, int> seen;
    for (const Value& entry : list->items) {
        if (entry.kind != Value::kObject) {
            return LineFail(error, entry.line,
                            Tr({"每个房间应为一个对象", "each room is an object"}));
        }
        FleetRoom room;
        room.line = entry.line;
        bool hasName = false;
        bool hasPort = false;
        for (std::size_t i = 0; i < entry.members.size(); ++i) {
            const auto& [key, value] = entry.members[i];
            const int line = entry.memberLines[i];
            if (key == "name" || key == "port") {
                if (value.kind != Value::kString) {
                    return LineFail(error, line,
                                    Tr({"“%1”应为字符串", "'%1' must be a string"}, {key}));
                }
                bool& has = key == "name" ? hasName : hasPort;
                if (has) {
                    return LineFail(error, line, Tr({"“%1”出现了两次", "'%1' given twice"}, {key}));
                }
                has = true;
                (key == "name" ? room.name : room.port) = value.text;
            } else if (key == "tags") {
                if (value.kind != Value::kArray) {
                    return LineFail(
                        error, line,
                        Tr({"“tags”应为字符串列表", "'tags' must be a list of strings"}));
                }
                for (const Value& tag : value.items) {
                    if (tag.kind != Value::kString) {
                        return LineFail(
                            error, tag.line,
                            Tr({"“tags”应为字符串列表", "'tags' must be a list of strings"}));
                    }
                    room.tags.push_back(tag.text);
                }
            } else {
                return LineFail(error, line, Tr({"未知的键“%1”", "unknown key '%1'"}, {key}));
            }
        }
        if (!hasName) {
            return LineFail(error, entry.line, Tr({"房间没有“name”", "a room without 'name'"}));
        }
        if (!FitForFileName(room.name)) {
            return LineFail(error, entry.line,
                            Tr({"房间名“%1”只能包含字母、数字和 - _ .（最多 64 个）",
                                "room name '%1' may hold only letters, digits and - _ . "
                                "(at most 64)"},
                               {room.name}));
        }
        if (!hasPort) {
            return LineFail(error, entry.line,
                            Tr({"房间 %1 没有“port”", "room %1 has no 'port'"}, {room.name}));
        }
        const std::string problem = AddressProblem(room.port);
        if (!problem.empty()) {
            return LineFail(error, entry.line,
                            Tr({"房间 %1 的地址“%2”错误：%3", "room %1: bad address '%2': %3"},
                               {room.name, room.port, problem}));
        }
        const auto [it, fresh] = seen.emplace(room.name, entry.line);
        if (!fresh) {
            return LineFail(
                error, entry.line,
                Tr({"房间名 %1 重复（第 %2 行已有）", "duplicate room name %1 (also on line %2)"},
                   {room.name, std::to_string(it->second)}));
        }
        rooms.push_back(std::move(room));
    }
    return true;
}

bool CFleetFile::Load(const std::string& path, std::vector<FleetRoom>& rooms, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    if (!Parse(s.str(), rooms, error)) {
        error = path + ":" + error;
        return false;
    }
    return true;
}

const FleetRoom* CFleetFile::Find(const std::vector<FleetRoom>& rooms, const std::string& name) {
    for (const FleetRoom& r : rooms) {
        if (r.name == name) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace qx
