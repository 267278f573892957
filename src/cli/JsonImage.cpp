#include "JsonImage.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "ParamCatalogue.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr const char* kFormat = "qx-program";

bool Printable(const uint8_t* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (p[i] < 0x20 || p[i] >= 0x7F) {
            return false;
        }
    }
    return true;
}

uint32_t StorableMaximum(const ParamField& f) {
    if (f.mask != 0) {
        uint32_t m = f.mask;
        while ((m & 1) == 0) {
            m >>= 1;
        }
        return m;
    }
    return f.width == 2 ? 0xFFFF : 0xFF;
}

// The first key that appears twice in one object of valid JSON text, as written; QJsonDocument
// silently keeps the last, and a file holding two values for one field is not to be trusted.
bool FindDuplicateKey(const std::string& text, std::string& duplicate) {
    struct Level {
        bool object;
        std::set<std::string> keys;
    };
    std::vector<Level> levels;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '[') {
            levels.push_back({c == '{', {}});
        } else if (c == '}' || c == ']') {
            if (!levels.empty()) {
                levels.pop_back();
            }
        } else if (c == '"') {
            std::size_t end = i + 1;
            while (end < text.size() && text[end] != '"') {
                end += text[end] == '\\' ? 2 : 1;
            }
            const std::string token = text.substr(i + 1, end - i - 1);
            std::size_t next = end + 1;
            while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) {
                ++next;
            }
            const bool isKey = next < text.size() && text[next] == ':';
            if (isKey && !levels.empty() && levels.back().object &&
                !levels.back().keys.insert(token).second) {
                duplicate = token;
                return true;
            }
            i = end;
        }
    }
    return false;
}

std::string TypeName(const QJsonValue& v) {
    switch (v.type()) {
        case QJsonValue::Null:
            return "null";
        case QJsonValue::Bool:
            return Tr({"布尔值", "a boolean"});
        case QJsonValue::Double:
            return Tr({"数字", "a number"});
        case QJsonValue::String:
            return Tr({"字符串", "a string"});
        case QJsonValue::Array:
            return Tr({"数组", "an array"});
        case QJsonValue::Object:
            return Tr({"对象", "an object"});
        case QJsonValue::Undefined:
            break;
    }
    return Tr({"无", "nothing"});
}

}  // namespace

std::string CJsonImage::Quote(const std::string& text) {
    std::string s = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            s.push_back('\\');
        }
        s.push_back(c);
    }
    return s + "\"";
}

std::string CJsonImage::ToJson(const ParamImage& image) {
    const uint8_t* bytes = CParamCatalogue::Bytes(image);
    std::ostringstream out;
    out << "{\n  \"format\": \"" << kFormat << "\",\n  \"fields\": {";
    bool first = true;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        out << (first ? "\n" : ",\n") << "    " << Quote(f.name) << ": ";
        first = false;
        if (f.kind == FieldKind::Text && Printable(bytes + f.offset, f.width)) {
            out << Quote(std::string(reinterpret_cast<const char*>(bytes + f.offset),
                                     static_cast<std::size_t>(f.width)));
        } else if (f.IsBytes()) {
            out << "\"" << (f.kind == FieldKind::Text ? "hex:" : "")
                << CParamCatalogue::RawText(bytes, f) << "\"";
        } else {
            out << CParamCatalogue::Read(bytes, f);
        }
    }
    out << "\n  }\n}\n";
    return out.str();
}

bool CJsonImage::FromJson(const std::string& text, ParamImage& image, std::string& error,
                          bool keepAnyCode) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (doc.isNull()) {
        error = Tr({"不是 JSON：%1，位置 %2", "not JSON: %1 at offset %2"},
                   {parseError.errorString().toStdString(), std::to_string(parseError.offset)});
        return false;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("format").toString().toStdString() != kFormat) {
        error = Tr({"不是 JSON 格式的程序（\"format\" 必须是 \"%1\"）",
                    "not a program in JSON (\"format\" must be \"%1\")"},
                   {kFormat});
        return false;
    }
    std::string duplicate;
    if (FindDuplicateKey(text, duplicate)) {
        error = Tr({"键 \"%1\" 出现了两次", "the key \"%1\" appears twice"}, {duplicate});
        return false;
    }
    const QJsonValue fieldsValue = root.value("fields");
    if (fieldsValue.isUndefined()) {
        error = Tr({"缺少 \"fields\"", "\"fields\" is missing"});
        return false;
    }
    if (!fieldsValue.isObject()) {
        error = Tr({"\"fields\" 必须是对象，而不是%1", "\"fields\" must be an object, not %1"},
                   {TypeName(fieldsValue)});
        return false;
    }
    const QJsonObject fields = fieldsValue.toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const ParamField* f = CParamCatalogue::Find(it.key().toStdString());
        if (f == nullptr || f->name != it.key().toStdString()) {
            error = Tr({"未知字段 %1", "unknown field %1"}, {it.key().toStdString()});
            return false;
        }
    }

    auto result = std::make_unique<ParamImage>();
    std::memset(result.get(), 0, sizeof(ParamImage));
    uint8_t* bytes = CParamCatalogue::Bytes(*result);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        const QJsonValue v = fields.value(QString::fromStdString(f.name));
        if (v.isUndefined()) {
            error = Tr({"缺少字段 %1", "field %1 is missing"}, {f.name});
            return false;
        }
        ParsedValue parsed;
        if (f.IsBytes()) {
            if (!v.isString()) {
                error = Tr({"%1：应为字符串，而不是%2", "%1: expected a string, not %2"},
                           {f.name, TypeName(v)});
                return false;
            }
            const std::string s = v.toString().toStdString();
            std::string why;
            if (f.kind == FieldKind::Text && s.rfind("hex:", 0) != 0) {
                if (static_cast<int>(s.size()) > f.width ||
                    !Printable(reinterpret_cast<const uint8_t*>(s.data()),
                               static_cast<int>(s.size()))) {
                    error = Tr({"%1：应为最多 %2 个字节的可打印 ASCII 字符",
                                "%1: expected at most %2 bytes of printable ASCII"},
                               {f.name, std::to_string(f.width)});
                    return false;
                }
                parsed.bytes.assign(static_cast<std::size_t>(f.width), ' ');
                std::copy(s.begin(), s.end(), parsed.bytes.begin());
            } else if (!CParamCatalogue::Parse(f, s, parsed, why)) {
                error = f.name + ": " + why;
                return false;
            }
        } else {
            const uint32_t high =
                keepAnyCode ? StorableMaximum(f) : static_cast<uint32_t>(f.maximum);
            const uint32_t low = keepAnyCode ? 0 : static_cast<uint32_t>(f.minimum);
            if (!v.isDouble()) {
                error = Tr({"%1：应为整数，而不是%2", "%1: expected a whole number, not %2"},
                           {f.name, TypeName(v)});
                return false;
            }
            const double d = v.toDouble();
            if (std::floor(d) != d) {
                error = Tr({"%1：应为整数，而不是 %2", "%1: expected a whole number, not %2"},
                           {f.name, QString::number(d, 'g', 12).toStdString()});
                return false;
            }
            if (d < low || d > high) {
                error = Tr({"%1：%2 超出范围 %3..%4", "%1: %2 is out of range %3..%4"},
                           {f.name, QString::number(d, 'g', 12).toStdString(), std::to_string(low),
                            std::to_string(high)});
                if (!keepAnyCode && d >= 0 && d <= StorableMaximum(f)) {
                    error += Tr({"（--force 保留它）", " (--force keeps it)"});
                }
                return false;
            }
            parsed.code = static_cast<uint32_t>(d);
        }
        CParamCatalogue::Apply(bytes, f, parsed);
    }
    std::memcpy(&image, result.get(), sizeof(ParamImage));
    return true;
}

}  // namespace qx
