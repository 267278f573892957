#include "NoticeAudit.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "FieldCaption.h"

namespace qx {

namespace {

constexpr const char* kSecretLabel = "(changed)";

// The bytes of a change laid out at their place in an image, so the catalogue reads them.
struct Scratch {
    ParamImage before{};
    ParamImage after{};

    void Load(const ImageChange& change) {
        const std::size_t room =
            sizeof(ParamImage) - std::min(change.range.offset, sizeof(ParamImage));
        const std::size_t n =
            std::min({change.range.size, room, change.before.size(), change.after.size()});
        std::memcpy(CParamCatalogue::Bytes(before) + change.range.offset, change.before.data(), n);
        std::memcpy(CParamCatalogue::Bytes(after) + change.range.offset, change.after.data(), n);
    }
};

bool Inside(const ParamField& f, const ImageRange& range) {
    const auto first = static_cast<std::size_t>(f.offset);
    return first >= range.offset && first + static_cast<std::size_t>(f.width) <= range.End();
}

bool SameBytes(const uint8_t* a, const uint8_t* b, const ParamField& f) {
    const uint8_t mask = f.mask == 0 ? 0xFF : f.mask;
    for (int i = 0; i < f.width; ++i) {
        if (((a[f.offset + i] ^ b[f.offset + i]) & mask) != 0) {
            return false;
        }
    }
    return true;
}

AuditRecord FieldRecord(const ParamField& f, const Scratch& s, const ImageChange& change,
                        const AuditPlace& place) {
    AuditRecord r;
    r.action = "field";
    r.cause = CNoticeAudit::CauseOf(change.origin);
    r.port = place.port;
    r.room = place.room;
    r.program = place.program;
    r.field = f.name;
    r.caption = FieldCaption(f, false);
    const uint8_t* before = CParamCatalogue::Bytes(s.before);
    const uint8_t* after = CParamCatalogue::Bytes(s.after);
    if (CNoticeAudit::IsSecret(f)) {
        r.oldLabel = r.newLabel = kSecretLabel;
    } else if (f.IsBytes()) {
        r.oldLabel = CParamCatalogue::Display(before, f);
        r.newLabel = CParamCatalogue::Display(after, f);
    } else {
        r.hasCodes = true;
        r.oldCode = CParamCatalogue::Read(before, f);
        r.newCode = CParamCatalogue::Read(after, f);
        r.oldLabel = CParamCatalogue::DisplayCode(f, r.oldCode);
        r.newLabel = CParamCatalogue::DisplayCode(f, r.newCode);
    }
    r.detail = change.origin.label;
    return r;
}

}  // namespace

AuditCause CNoticeAudit::CauseOf(const ChangeOrigin& origin) {
    switch (origin.source) {
        case ChangeSource::History:
            return AuditCause::Undo;
        case ChangeSource::File:
            return AuditCause::File;
        case ChangeSource::Rule:
            return AuditCause::Rule;
        case ChangeSource::Control:
        case ChangeSource::Processor:
            break;
    }
    return AuditCause::Control;
}

bool CNoticeAudit::IsSecret(const ParamField& field) {
    std::string name = field.name;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find("password") != std::string::npos;
}

void CNoticeAudit::AppendRecords(const ImageChange& change, const AuditPlace& place,
                                 std::vector<AuditRecord>& out) {
    if (change.origin.source == ChangeSource::Processor) {
        return;
    }
    auto scratch = std::make_unique<Scratch>();
    scratch->Load(change);
    const uint8_t* before = CParamCatalogue::Bytes(scratch->before);
    const uint8_t* after = CParamCatalogue::Bytes(scratch->after);
    if (!change.field.empty()) {
        const ParamField* f = CParamCatalogue::Find(change.field);
        if (f != nullptr && Inside(*f, change.range) && !SameBytes(before, after, *f)) {
            out.push_back(FieldRecord(*f, *scratch, change, place));
        }
        if (f != nullptr) {
            return;
        }
    }
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (Inside(f, change.range) && !SameBytes(before, after, f)) {
            out.push_back(FieldRecord(f, *scratch, change, place));
        }
    }
}

std::vector<AuditRecord> CNoticeAudit::Records(const ImageNotice& notice, const AuditPlace& place) {
    std::vector<AuditRecord> out;
    std::string importedFrom;
    bool imported = false;
    for (const ImageChange& change : notice.Changes()) {
        // A file that replaced records or blocks is named once before its fields.
        if (change.origin.source == ChangeSource::File && change.field.empty() &&
            (!imported || importedFrom != change.origin.label)) {
            AuditRecord r;
            r.action = "import";
            r.cause = AuditCause::File;
            r.port = place.port;
            r.room = place.room;
            r.program = place.program;
            r.detail = change.origin.label;
            out.push_back(std::move(r));
            imported = true;
            importedFrom = change.origin.label;
        }
        AppendRecords(change, place, out);
    }
    return out;
}

}  // namespace qx
