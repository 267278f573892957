#pragma once
// Work done offline is never lost by connecting. The editor remembers the image it last
// loaded (the defaults, a file, the processor's); before the processor's image replaces the
// editor's, an image that differs from it is kept as a program file in the MusicFile folder.

#include <ctime>
#include <memory>
#include <string>

#include "ProgramFile.h"
#include "ProgramImage.h"

namespace qx {

class COfflineWork {
  public:
    COfflineWork();
    ~COfflineWork();

    // The image now counts as loaded. Takes ParamLock while it copies.
    void NoteLoaded(const ParamImage& image);
    // True when the image differs from the one last loaded. Takes ParamLock.
    bool Changed(const ParamImage& image) const;

    // When the image changed: writes it to folder/offline-YYYYMMDD-HHMMSS.dia (a new name
    // when that exists), notes it as loaded and returns the path in `path`. An unchanged
    // image writes nothing and leaves `path` empty.
    FileResult KeepIfChanged(const ParamImage& image, const std::string& folder, std::time_t now,
                             std::string& path);

    // The file name for a moment, in local time.
    static std::string FileName(std::time_t now);

  private:
    std::unique_ptr<ParamImage> m_loaded;
};

}  // namespace qx
