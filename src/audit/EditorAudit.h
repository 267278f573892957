#pragma once
// What the editor sends to a processor, into the audit log: every change the image model
// announces while a processor is connected (except the processor's own images), and the
// device commands the session sends (recall, store, password changes). The records of this
// run are also kept here, newest last, for the editor's view of them.
//
// Lives on the user-interface thread; appending never waits for the disk (CAuditLog).

#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>

#include "AuditLog.h"
#include "NoticeAudit.h"

namespace qx {

class CImageModel;

class CEditorAudit : public QObject {
    Q_OBJECT
  public:
    static constexpr std::size_t kKeptRecords = 5000;

    CEditorAudit(CImageModel& model, CAuditLog& log, QObject* parent = nullptr);

    // The port, room and program the changes go to now.
    void SetPlace(std::function<AuditPlace()> place) { m_place = std::move(place); }
    // The room's name, when the processor was opened as a room of a fleet file.
    void SetRoom(std::string room) { m_room = std::move(room); }
    // True once a processor answered on the open port; false when the link is closed.
    void SetConnected(bool connected) { m_connected = connected; }
    bool Connected() const { return m_connected; }

    // The session sent a device command (called before it goes out, while the image still
    // holds the passwords as they were).
    void OnDeviceCommand(uint8_t command, uint8_t argument);
    void OnNotice(const ImageNotice& notice);

    // This run's records, oldest first (at most kKeptRecords).
    const std::deque<AuditRecord>& SessionRecords() const { return m_records; }

  signals:
    // Records were appended.
    void Recorded();

  private:
    void Keep(AuditRecord record);
    AuditRecord Command(const char* action) const;
    AuditPlace Place() const;

    CImageModel& m_model;
    CAuditLog& m_log;
    std::function<AuditPlace()> m_place;
    std::string m_room;
    bool m_connected = false;
    std::deque<AuditRecord> m_records;
};

}  // namespace qx
