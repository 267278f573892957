#include "JsonImage.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>

#include "ParamCatalogue.h"

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

bool CJsonImage::FromJson(const std::string& text, ParamImage& image, std::string& error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (doc.isNull()) {
        error = "not JSON: " + parseError.errorString().toStdString() + " at offset " +
                std::to_string(parseError.offset);
        return false;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("format").toString().toStdString() != kFormat) {
        error = std::string("not a program in JSON (\"format\" must be \"") + kFormat + "\")";
        return false;
    }
    if (!root.value("fields").isObject()) {
        error = "\"fields\" is missing";
        return false;
    }
    const QJsonObject fields = root.value("fields").toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const ParamField* f = CParamCatalogue::Find(it.key().toStdString());
        if (f == nullptr || f->name != it.key().toStdString()) {
            error = "unknown field " + it.key().toStdString();
            return false;
        }
    }

    auto result = std::make_unique<ParamImage>();
    std::memset(result.get(), 0, sizeof(ParamImage));
    uint8_t* bytes = CParamCatalogue::Bytes(*result);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        const QJsonValue v = fields.value(QString::fromStdString(f.name));
        if (v.isUndefined()) {
            error = "field " + f.name + " is missing";
            return false;
        }
        ParsedValue parsed;
        if (f.IsBytes()) {
            if (!v.isString()) {
                error = f.name + ": expected a string";
                return false;
            }
            const std::string s = v.toString().toStdString();
            std::string why;
            if (f.kind == FieldKind::Text && s.rfind("hex:", 0) != 0) {
                if (static_cast<int>(s.size()) != f.width ||
                    !Printable(reinterpret_cast<const uint8_t*>(s.data()), f.width)) {
                    error = f.name + ": expected exactly " + std::to_string(f.width) +
                            " printable characters";
                    return false;
                }
                parsed.bytes.assign(s.begin(), s.end());
            } else if (!CParamCatalogue::Parse(f, s, parsed, why)) {
                error = f.name + ": " + why;
                return false;
            }
        } else {
            const double d = v.toDouble(-1);
            if (!v.isDouble() || d < 0 || d > StorableMaximum(f) || std::floor(d) != d) {
                error =
                    f.name + ": expected a whole number 0.." + std::to_string(StorableMaximum(f));
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
