#pragma once
// What the qxctl suites share: a fresh folder per test, whole files read back, and qxctl run
// in this process with what it printed kept.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "LinkTiming.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace clitest {

// An empty folder in the temporary directory, named for the running test and this process.
inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                          "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadText(path);
    return {text.begin(), text.end()};
}

// qxctl with exactly these words; out and err hold only what this run printed.
inline int RunQxctl(const std::vector<std::string>& args, std::ostringstream& out,
                    std::ostringstream& err,
                    const qx::LinkTiming& timing = qx::LinkTiming::Fast()) {
    out.str("");
    err.str("");
    qx::CQxctl cli(out, err);
    cli.SetLinkTiming(timing);
    return cli.Run(args);
}

// Runs qxctl in the given LC_ALL locale while it lives; the locale and the language before it
// come back afterwards.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* locale) : m_had(std::getenv("LC_ALL") != nullptr) {
        if (m_had) {
            m_saved = std::getenv("LC_ALL");
        }
        Set(locale);
    }
    ~ScopedLocale() {
        m_had ? ::setenv("LC_ALL", m_saved.c_str(), 1) : ::unsetenv("LC_ALL");
        qx::useChinese = false;
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    static void Set(const char* locale) { ::setenv("LC_ALL", locale, 1); }

  private:
    std::string m_saved;
    bool m_had;
};

}  // namespace clitest
