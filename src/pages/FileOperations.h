#pragma once
// The editor's file operations behind the System page's mode buttons: the file dialogs (in
// the MusicFile folder, filters "*.dia" and "*.dat"), the device-mode operations on the
// image and the bank, the check that a file's fields lie within their ranges before it
// replaces the image, and the error boxes ("MusicFile Write Error", "File read Error" with
// the path and the reason). Everything runs on the user-interface thread.
//
// What a person is asked and shown goes through Prompts, so that tests and scripted runs
// answer without dialogs.

#include <QString>
#include <functional>

#include "DeviceModes.h"

class QWidget;

namespace qx {

class CFileOperations {
  public:
    struct Prompts {
        // A path to save to (save = true) or to open, for a filter such as "*.dia"; empty
        // when the person cancelled.
        std::function<QString(bool save, const QString& filter)> choosePath;
        // An error box: caption and text.
        std::function<void(const QString& caption, const QString& text)> showError;
        // A warning the person confirms (true) or declines.
        std::function<bool(const QString& text)> confirm;
    };

    // How many out-of-range fields a warning names before it counts the rest.
    static constexpr int kNamedFields = 5;

    // owner: the parent of the dialogs. hooks: what online operations send and refresh.
    CFileOperations(QWidget* owner, DeviceModeHooks hooks);

    void SetPrompts(Prompts prompts) { m_prompts = std::move(prompts); }
    CDeviceModes& Modes() { return m_modes; }
    // The folder the dialogs start in.
    const QString& Folder() const { return m_folder; }

    void Recall(int program);
    void Store(int program, const QString& name);
    void ExportProgram();
    void ImportProgram();
    // Online this asks the processor for all its programs; SaveReceivedBank finishes.
    void ExportAllPrograms();
    // The processor's programs arrived (the session's bankReceived): the bank takes the system
    // block, then the person chooses where to save it.
    void SaveReceivedBank();
    void ImportAllPrograms();
    // The person stopped a bank read or write: an "Import all" waiting for its backup does not
    // go on (nothing is written), and no bank is saved.
    void TransferStopped() { m_pendingImport.clear(); }
    // The question before a store: "Overwrite program 6 'EMU PROGRAM 06'?".
    static QString OverwriteQuestion(int program);
    // While connected, "Import all" first reads the processor's bank into a backup file; the
    // path of the last backup written, "" before any.
    const QString& LastBackup() const { return m_lastBackup; }

    // The warning for out-of-range fields, in the language in force: the first few names and
    // how many more there are.
    static QString RangeWarning(const std::vector<std::string>& names);

  private:
    QString ChoosePath(bool save, const char* extension);
    bool ConfirmRanges(const std::vector<std::string>& names);
    void Report(const ModeResult& result);
    // Online "Import all" once the processor's bank is backed up: asks and imports.
    void FinishImportAll();

    QWidget* m_owner;
    CDeviceModes m_modes;
    Prompts m_prompts;
    QString m_folder;
    QString m_pendingImport;  // the file "Import all" writes once the backup is read
    QString m_lastBackup;
};

}  // namespace qx
