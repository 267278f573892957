#pragma once
// Snapshots of the editor's image taken before an operation replaces part of it (a recall
// over unstored edits, a SYNC that makes one channel follow the other, an import of every
// program): the image is written as a program file into the MusicFile folder, named for what
// it came before and when, and `kept` tells the window, which shows where it went.
// Everything runs on the user-interface thread.

#include <QObject>
#include <QString>
#include <ctime>
#include <functional>

#include "TextPair.h"

namespace qx {

// The snapshot taken before a recall replaces unstored edits.
constexpr char kBeforeRecallStem[] = "before-recall";

class CSnapshot : public QObject {
    Q_OBJECT
  public:
    static CSnapshot& Instance();

    void SetFolder(const QString& folder) { m_folder = folder; }
    const QString& Folder() const { return m_folder; }
    // Whether the image holds edits that reached neither a program store nor a file (the
    // session answers; with no session everything counts as edited).
    void SetEditedTest(std::function<bool()> edited) { m_edited = std::move(edited); }
    bool Edited() const { return !m_edited || m_edited(); }

    // Writes the editor's image to <folder>/<stem>-YYYYMMDD-HHMMSS.dia (a new name when that
    // exists) and emits kept. Returns the path, empty when it could not be written.
    QString Keep(const char* stem, const TextPair& why);
    // Keep, only when Edited().
    QString KeepIfEdited(const char* stem, const TextPair& why);

    // A free name <folder>/<stem>-YYYYMMDD-HHMMSS<extension> for the moment `now`.
    static QString DatedPath(const QString& folder, const char* stem, const char* extension,
                             std::time_t now);

  signals:
    // A snapshot named stem is being taken: the image still holds what the operation will
    // replace, for those who keep a copy of their own (A/B keeps the settings before a recall).
    void taking(const QString& stem);
    // A snapshot was written to path (error empty) or could not be (error says why); why is
    // what the snapshot came before, in the language in force.
    void kept(const QString& path, const QString& error, const QString& why);

  private:
    CSnapshot() = default;

    QString m_folder = QStringLiteral("MusicFile");
    std::function<bool()> m_edited;
};

}  // namespace qx
