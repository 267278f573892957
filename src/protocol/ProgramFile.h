#pragma once
// The two file formats of the editor, raw little-endian bytes with no header:
// - the program file (".dia", 2778 bytes): the system block with its extraWord (66 bytes),
//   then the program (2712 bytes); the same bytes as a ParamImage, system block first;
// - the all-programs file (".dat", 57019 bytes): a BankImage byte for byte.
//
// Reading checks the whole file before anything is handed back, so a short, long or damaged
// file never leaves a half-loaded image. Writing goes to a temporary file beside the target
// that is renamed over it once complete, so a failed write never destroys the old file.

#include <cstddef>
#include <string>

#include "ProgramImage.h"

namespace qx {

inline constexpr const char* kProgramExtension = ".dia";
inline constexpr const char* kBankExtension = ".dat";
inline constexpr const char* kWriteError = "MusicFile Write Error";
inline constexpr const char* kReadError = "File read Error";
inline constexpr const char* kMusicFolder = "MusicFile";
inline constexpr const char* kModeFolder = "Mode";

// The outcome of a file operation: ok, or the system's error headline with the reason.
struct FileResult {
    bool ok = true;
    std::string error;  // "File read Error: <path>: <reason>" and the like

    static FileResult Success() { return {}; }
    static FileResult Failure(const std::string& headline, const std::string& path,
                              const std::string& reason);
};

// The byte order of a program file.
struct ProgramFileImage {
    SystemImage system;
    ProgramImage program;
};
static_assert(sizeof(ProgramFileImage) == 2778);
static_assert(offsetof(ProgramFileImage, system) == 0);
static_assert(offsetof(ProgramFileImage, program) == 66);

class CProgramFile {
  public:
    // Appends ".dia" / ".dat" when the path does not already contain it anywhere.
    static std::string ProgramFilePath(const std::string& path);
    static std::string BankFilePath(const std::string& path);
    // An all-programs import path must contain ".dat"; others are ignored.
    static bool IsBankFilePath(const std::string& path);

    // The folder file dialogs open in, below the working directory.
    static std::string MusicFileFolder(const std::string& workingDirectory);
    // Creates the "MusicFile" and "Mode" folders below the working directory when missing.
    // The application calls this once at start-up.
    static bool CreateFileFolders(const std::string& workingDirectory);

    // Whole-file reads: the file must have exactly the size of its format.
    static FileResult ReadProgram(const std::string& path, ParamImage& out);
    static FileResult ReadBank(const std::string& path, BankImage& out);
    // Safe writes of the images as they are (the path is used unchanged).
    static FileResult WriteProgram(const std::string& path, const ParamImage& image);
    static FileResult WriteBank(const std::string& path, const BankImage& image);

    // Writes n bytes to path through a temporary file and a rename.
    static FileResult WriteBytes(const std::string& path, const void* data, std::size_t n);
    // Reads a file that must be exactly n bytes; what names the format in messages.
    static FileResult ReadExact(const std::string& path, void* out, std::size_t n,
                                const char* what);
};

}  // namespace qx
