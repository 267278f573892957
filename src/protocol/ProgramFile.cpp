#include "ProgramFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

namespace qx {

namespace fs = std::filesystem;

namespace {

std::string AppendIfMissing(const std::string& path, const char* extension) {
    return path.find(extension) == std::string::npos ? path + extension : path;
}

std::string ErrnoText() {
    return std::strerror(errno);
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) {
            std::fclose(f);
        }
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

FileResult FileResult::Failure(const std::string& headline, const std::string& path,
                               const std::string& reason) {
    FileResult r;
    r.ok = false;
    r.error = headline + ": " + path + ": " + reason;
    return r;
}

std::string CProgramFile::ProgramFilePath(const std::string& path) {
    return AppendIfMissing(path, kProgramExtension);
}

std::string CProgramFile::BankFilePath(const std::string& path) {
    return AppendIfMissing(path, kBankExtension);
}

bool CProgramFile::IsBankFilePath(const std::string& path) {
    return path.find(kBankExtension) != std::string::npos;
}

std::string CProgramFile::MusicFileFolder(const std::string& workingDirectory) {
    return (fs::path(workingDirectory) / kMusicFolder).string();
}

bool CProgramFile::CreateFileFolders(const std::string& workingDirectory) {
    std::error_code ec;
    bool ok = true;
    for (const char* folder : {kMusicFolder, kModeFolder}) {
        const fs::path p = fs::path(workingDirectory) / folder;
        if (!fs::is_directory(p, ec)) {
            ok = fs::create_directories(p, ec) && ok;
        }
    }
    return ok;
}

FileResult CProgramFile::ReadExact(const std::string& path, void* out, std::size_t n,
                                   const char* what) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return FileResult::Failure(kReadError, path, "is a folder, not a file");
    }
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        return FileResult::Failure(kReadError, path, ErrnoText());
    }
    // Read one byte more than the format so a longer file is recognised without trusting
    // the size the file system reports.
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[n + 1]);
    const std::size_t got = std::fread(buffer.get(), 1, n + 1, f.get());
    if (std::ferror(f.get())) {
        return FileResult::Failure(
            kReadError, path,
            "read failed after " + std::to_string(got) + " bytes: " + ErrnoText());
    }
    if (got != n) {
        std::string found;
        if (got > n) {
            const auto size = fs::file_size(path, ec);
            found = ec ? "more" : std::to_string(size);
        } else {
            found = std::to_string(got);
        }
        return FileResult::Failure(kReadError, path,
                                   std::string("not a ") + what + ": expected " +
                                       std::to_string(n) + " bytes, found " + found);
    }
    std::memcpy(out, buffer.get(), n);
    return FileResult::Success();
}

FileResult CProgramFile::WriteBytes(const std::string& path, const void* data, std::size_t n) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return FileResult::Failure(kWriteError, path, "is a folder, not a file");
    }
    const fs::path target(path);
    fs::path temp = target;
    temp += ".part";
    {
        FilePtr f(std::fopen(temp.c_str(), "wb"));
        if (!f) {
            return FileResult::Failure(kWriteError, path, ErrnoText());
        }
        const std::size_t put = std::fwrite(data, 1, n, f.get());
        const bool flushed = std::fflush(f.get()) == 0;
        if (put != n || !flushed) {
            const std::string why = ErrnoText();
            f.reset();
            fs::remove(temp, ec);
            return FileResult::Failure(
                kWriteError, path,
                "wrote " + std::to_string(put) + " of " + std::to_string(n) + " bytes: " + why);
        }
        if (std::fclose(f.release()) != 0) {
            const std::string why = ErrnoText();
            fs::remove(temp, ec);
            return FileResult::Failure(kWriteError, path, why);
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return FileResult::Failure(kWriteError, path, ec.message());
    }
    return FileResult::Success();
}

FileResult CProgramFile::ReadProgram(const std::string& path, ParamImage& out) {
    ProgramFileImage file;
    FileResult r = ReadExact(path, &file, sizeof file, "program file");
    if (r.ok) {
        std::memcpy(&out.system, &file.system, sizeof file.system);
        std::memcpy(&out.program, &file.program, sizeof file.program);
    }
    return r;
}

FileResult CProgramFile::ReadBank(const std::string& path, BankImage& out) {
    auto bank = std::make_unique<BankImage>();
    FileResult r = ReadExact(path, bank.get(), sizeof(BankImage), "all-programs file");
    if (!r.ok) {
        return r;
    }
    // The editor writes 1 here in every file; anything else is not a bank it wrote.
    const uint8_t valid = bank->bankValid;
    if (valid != 1) {
        return FileResult::Failure(kReadError, path,
                                   "damaged all-programs file: validity byte at offset 57018 is " +
                                       std::to_string(valid) + ", expected 1");
    }
    std::memcpy(&out, bank.get(), sizeof(BankImage));
    return r;
}

FileResult CProgramFile::WriteProgram(const std::string& path, const ParamImage& image) {
    ProgramFileImage file;
    std::memcpy(&file.system, &image.system, sizeof file.system);
    std::memcpy(&file.program, &image.program, sizeof file.program);
    return WriteBytes(path, &file, sizeof file);
}

FileResult CProgramFile::WriteBank(const std::string& path, const BankImage& image) {
    return WriteBytes(path, &image, sizeof image);
}

}  // namespace qx
