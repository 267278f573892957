#pragma once
// Device modes and file operations on the parameter image and the program bank: recall and
// store of stored programs, program files and all-programs files. These are the operations
// behind the System page's mode and file buttons, free of any window: the page (or qxctl)
// chooses the file and calls them on the user-interface thread.
//
// Online work is handed to an injected "send device command" function (the main window's
// SendDeviceCommand in the editor, the link's in qxctl, a fake in tests); the operations
// decide themselves whether they are online by reading the `online` flag.

#include <cstdint>
#include <functional>
#include <string>

#include "ProgramFile.h"
#include "TextPair.h"

namespace qx {

constexpr int kStorablePrograms = 16;  // programs 17..21 (F1..F5) are never stored into

// Why PadName refused a name.
constexpr TextPair kTextBadProgramName{
    "程序名最多 20 个字节，只能是可打印的 ASCII 字符（字母、数字、符号和空格）",
    "a program name has at most 20 bytes of printable ASCII (letters, digits, signs and spaces)"};

struct DeviceModeHooks {
    // Queues one bulk command (with its follow-ups) while online.
    std::function<void(uint8_t command, uint8_t argument)> sendDeviceCommand;
    // Numbers the queued frames and shows the progress display.
    std::function<void()> startQueueProgress;
    // Reloads the visible page, the master volumes and the title from the image.
    std::function<void()> refresh;
};

struct ModeResult {
    enum Status {
        kDone,     // finished (offline, or files only)
        kQueued,   // frames were queued; the device will answer
        kIgnored,  // nothing to do (e.g. an import path without ".dat")
        kRefused,  // not allowed now; message says why
        kFailed,   // a file error; message holds it
    };
    Status status = kDone;
    std::string message;

    bool Succeeded() const { return status == kDone || status == kQueued; }
};

class CDeviceModes {
  public:
    explicit CDeviceModes(DeviceModeHooks hooks = {});

    // Imports bring fields outside their ranges to the range's ends, so that what is shown is
    // what is sent (the editor: on; qxctl pushes files as they are).
    void SetClampOnImport(bool clamp) { m_clamp = clamp; }

    // Program labels: "7", "F3" (program 19).
    static std::string ProgramLabel(int program);
    // "7" or "F3" (case-insensitive) to 1..21; 0 when the text names no program.
    static int ParseProgramLabel(const std::string& text);
    // A name as stored: padded with spaces to 20 bytes. Longer names and anything but
    // printable ASCII are refused (returns false).
    static bool PadName(const std::string& name, uint8_t (&out)[kNameLength]);
    // A stored name as shown: trimmed of spaces (and NULs) at both ends.
    static std::string ShownName(const U8 (&name)[kNameLength]);
    // The bank program a stored current-program number selects: 1..21 as is, anything else
    // (0 at start-up, or a damaged value) selects program 1.
    static int BankProgramFor(int currentProgram);

    ModeResult RecallProgram(int program);
    ModeResult StoreProgram(int program, const std::string& name);

    // Writes the current image to a program file (".dia" appended when missing).
    ModeResult ExportProgram(const std::string& path);
    ModeResult ImportProgram(const std::string& path);

    // "Export all": online it queues the read of all 21 programs (kQueued) and the caller
    // finishes with OnModesReceived and WriteAllPrograms once the last program arrived;
    // offline it needs a bank and writes it at once.
    ModeResult ExportAllPrograms(const std::string& path);
    // The modes-received handling: the bank now holds the device's programs.
    void OnModesReceived();
    // Writes the bank to an all-programs file (".dat" appended when missing).
    ModeResult WriteAllPrograms(const std::string& path);
    // keepPasswords: the system and panel passwords in force stay (the file's are not taken).
    ModeResult ImportAllPrograms(const std::string& path, bool keepPasswords = false);

  private:
    void Send(uint8_t command, uint8_t argument);
    void Refresh();

    DeviceModeHooks m_hooks;
    bool m_clamp = false;
};

}  // namespace qx
