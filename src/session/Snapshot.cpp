#include "Snapshot.h"

#include <filesystem>
#include <memory>

#include "ByteField.h"
#include "ParameterSet.h"
#include "ProgramFile.h"

namespace qx {

CSnapshot& CSnapshot::Instance() {
    static CSnapshot* instance = new CSnapshot;  // lives as long as the program
    return *instance;
}

QString CSnapshot::DatedPath(const QString& folder, const char* stem, const char* extension,
                             std::time_t now) {
    namespace fs = std::filesystem;
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
    const std::string base = (fs::path(folder.toStdString()) / stem).string() + stamp;
    std::string candidate = base + extension;
    std::error_code ec;
    // Two snapshots within one second must not overwrite the first.
    for (int n = 2; fs::exists(candidate, ec); ++n) {
        candidate = base + "-" + std::to_string(n) + extension;
    }
    return QString::fromStdString(candidate);
}

QString CSnapshot::Keep(const char* stem, const TextPair& why) {
    emit taking(QString::fromLatin1(stem));
    std::error_code ec;
    std::filesystem::create_directories(m_folder.toStdString(), ec);
    auto image = std::make_unique<ParamImage>();
    {
        ParamGuard guard(ParamLock);
        AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
    }
    const QString path = DatedPath(m_folder, stem, kProgramExtension, std::time(nullptr));
    const FileResult r = CProgramFile::WriteProgram(path.toStdString(), *image);
    const QString reason = QString::fromUtf8(why.Get());
    if (!r.ok) {
        emit kept(QString(), QString::fromStdString(r.error), reason);
        return {};
    }
    emit kept(path, QString(), reason);
    return path;
}

QString CSnapshot::KeepIfEdited(const char* stem, const TextPair& why) {
    return Edited() ? Keep(stem, why) : QString();
}

}  // namespace qx
