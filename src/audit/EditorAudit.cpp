#include "EditorAudit.h"

#include "CommProtocol.h"
#include "DeviceModes.h"
#include "ImageModel.h"
#include "ParameterSet.h"

namespace qx {

namespace {

bool SameBytes(const U8* a, const U8* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (LoadByte(a[i]) != LoadByte(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

CEditorAudit::CEditorAudit(CImageModel& model, CAuditLog& log, QObject* parent)
    : QObject(parent), m_model(model), m_log(log) {
    connect(&model, &CImageModel::Changed, this, &CEditorAudit::OnNotice);
}

AuditPlace CEditorAudit::Place() const {
    AuditPlace place = m_place ? m_place() : AuditPlace{};
    if (place.room.empty()) {
        place.room = m_room;
    }
    return place;
}

AuditRecord CEditorAudit::Command(const char* action) const {
    AuditRecord r;
    r.action = action;
    const AuditPlace place = Place();
    r.port = place.port;
    r.room = place.room;
    r.program = place.program;
    return r;
}

void CEditorAudit::Keep(AuditRecord record) {
    m_log.Append(record);
    m_records.push_back(std::move(record));
    while (m_records.size() > kKeptRecords) {
        m_records.pop_front();
    }
}

void CEditorAudit::OnNotice(const ImageNotice& notice) {
    if (!m_connected) {
        return;
    }
    const AuditPlace place = Place();
    std::vector<AuditRecord> records = CNoticeAudit::Records(notice, place);
    if (records.empty()) {
        return;
    }
    for (AuditRecord& r : records) {
        Keep(std::move(r));
    }
    emit Recorded();
}

void CEditorAudit::OnDeviceCommand(uint8_t command, uint8_t argument) {
    if (!m_connected) {
        return;
    }
    const SystemBlock& system = m_model.Image().system.block;
    AuditRecord r;
    if (command == kCmdRecall) {
        r = Command("recall");
        r.program = argument;
        r.detail = CDeviceModes::ProgramLabel(argument);
    } else if (command == kCmdStore && argument != 0) {
        r = Command("store");
        r.program = argument;
        static const ParamField* const name = CParamCatalogue::Find("name");
        r.detail = CDeviceModes::ProgramLabel(argument) + " " +
                   CParamCatalogue::Display(CParamCatalogue::Bytes(m_model.Image()), *name);
    } else if (command == kCmdSystemPassword || command == kCmdPanelPassword) {
        // Only which password, and whether it changed or was given to unlock storing.
        const bool system_ = command == kCmdSystemPassword;
        const bool same = system_ ? SameBytes(PasswordScratch.newSystem, system.systemPassword,
                                              sizeof PasswordScratch.newSystem)
                                  : SameBytes(PasswordScratch.newPanel, system.panelPassword,
                                              sizeof PasswordScratch.newPanel);
        r = Command(same ? "unlock" : "password");
        r.detail = system_ ? "system password" : "panel password";
    } else {
        return;
    }
    Keep(std::move(r));
    emit Recorded();
}

}  // namespace qx
