#include "StepCaption.h"

#include <cstring>
#include <memory>
#include <vector>

#include "FieldCaption.h"
#include "TextPair.h"

namespace qx {

namespace {

// For every byte of the image, the fields that hold a bit of it.
const std::vector<std::vector<const ParamField*>>& FieldsByByte() {
    static const auto index = [] {
        std::vector<std::vector<const ParamField*>> out(sizeof(ParamImage));
        for (const ParamField& f : CParamCatalogue::Fields()) {
            for (int i = 0; i < f.width; ++i) {
                const auto at = static_cast<std::size_t>(f.offset + i);
                if (at < out.size() && (out[at].empty() || out[at].back() != &f)) {
                    out[at].push_back(&f);
                }
            }
        }
        return out;
    }();
    return index;
}

std::string CodeText(const ParamField& f, const uint8_t* image) {
    if (f.IsBytes()) {
        return CParamCatalogue::Display(image, f);
    }
    return {};
}

}  // namespace

StepCaption StepCaption::Of(const StepRuns& runs, const ParamImage& after, std::string label) {
    StepCaption c;
    c.label = std::move(label);
    auto before = std::make_unique<ParamImage>();
    std::memcpy(before.get(), &after, sizeof(ParamImage));
    auto* b = CParamCatalogue::Bytes(*before);
    for (const StepRuns::Run& r : runs.runs) {
        std::memcpy(b + r.offset, runs.Before(r), r.size);
    }
    const uint8_t* a = CParamCatalogue::Bytes(after);
    for (const StepRuns::Run& r : runs.runs) {
        for (uint32_t i = r.offset; i < r.offset + r.size && i < sizeof(ParamImage); ++i) {
            for (const ParamField* f : FieldsByByte()[i]) {
                // A field wider than a byte is met once per byte of the run: count it at its
                // first byte in the run.
                if (static_cast<uint32_t>(f->offset) < i &&
                    static_cast<uint32_t>(f->offset) >= r.offset) {
                    continue;
                }
                const bool differs =
                    f->IsBytes() ? CodeText(*f, b) != CodeText(*f, a)
                                 : CParamCatalogue::Read(b, *f) != CParamCatalogue::Read(a, *f);
                if (!differs) {
                    continue;
                }
                if (c.fieldCount++ == 0) {
                    c.field = f;
                    if (!f->IsBytes()) {
                        c.before = CParamCatalogue::Read(b, *f);
                        c.after = CParamCatalogue::Read(a, *f);
                    }
                }
            }
        }
    }
    c.kind = c.fieldCount == 1 && !c.field->IsBytes() ? Kind::Field : Kind::Fields;
    return c;
}

StepCaption StepCaption::Received() {
    StepCaption c;
    c.kind = Kind::Received;
    return c;
}

std::string StepCaption::Text(bool chinese) const {
    const auto tr = [chinese](const TextPair& pair) {
        return std::string(chinese ? pair.chinese : pair.english);
    };
    const auto fill = [](std::string text, const std::string& a, const std::string& b = {}) {
        if (const auto at = text.find("%1"); at != std::string::npos) {
            text.replace(at, 2, a);
        }
        if (const auto at = text.find("%2"); at != std::string::npos) {
            text.replace(at, 2, b);
        }
        return text;
    };
    switch (kind) {
        case Kind::Received:
            return tr(
                {"从处理器读取的参数（不可撤销）", "Image received from the processor (no undo)"});
        case Kind::Field:
            return FieldChangeText(*field, before, after, chinese);
        case Kind::Fields:
            break;
    }
    const std::string count = std::to_string(fieldCount);
    if (!label.empty()) {
        return fieldCount > 0 ? fill(tr({"%1（%2 项）", "%1 (%2 fields)"}), label, count) : label;
    }
    if (field == nullptr) {
        return tr({"更改", "Change"});
    }
    if (fieldCount == 1) {
        return FieldCaption(*field, chinese);
    }
    return fill(tr({"%1 等 %2 项", "%1 and %2 more"}), FieldCaption(*field, chinese),
                std::to_string(fieldCount - 1));
}

}  // namespace qx
