#include "OfflineWork.h"

#include <cstring>
#include <filesystem>

#include "ByteField.h"
#include "ParameterSet.h"

namespace qx {

namespace {

void CopyUnderLock(ParamImage& to, const ParamImage& from) {
    ParamGuard guard(ParamLock);
    AtomicCopy(&to, &from, sizeof(ParamImage));
}

}  // namespace

COfflineWork::COfflineWork() : m_loaded(std::make_unique<ParamImage>()) {
    std::memset(static_cast<void*>(m_loaded.get()), 0, sizeof(ParamImage));
}

COfflineWork::~COfflineWork() = default;

void COfflineWork::NoteLoaded(const ParamImage& image) {
    CopyUnderLock(*m_loaded, image);
}

bool COfflineWork::Changed(const ParamImage& image) const {
    ParamImage now;
    CopyUnderLock(now, image);
    return std::memcmp(&now, m_loaded.get(), sizeof(ParamImage)) != 0;
}

std::string COfflineWork::FileName(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char name[64];
    std::strftime(name, sizeof name, "offline-%Y%m%d-%H%M%S", &local);
    return name;
}

FileResult COfflineWork::KeepIfChanged(const ParamImage& image, const std::string& folder,
                                       std::time_t now, std::string& path) {
    path.clear();
    ParamImage snapshot;
    CopyUnderLock(snapshot, image);
    if (std::memcmp(&snapshot, m_loaded.get(), sizeof(ParamImage)) == 0) {
        return FileResult::Success();
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string stem = (fs::path(folder) / FileName(now)).string();
    std::string candidate = stem + kProgramExtension;
    // Two connections within one second must not overwrite the first file.
    for (int n = 2; fs::exists(candidate, ec); ++n) {
        candidate = stem + "-" + std::to_string(n) + kProgramExtension;
    }
    FileResult result = CProgramFile::WriteProgram(candidate, snapshot);
    if (result.ok) {
        path = candidate;
        *m_loaded = snapshot;
    }
    return result;
}

}  // namespace qx
