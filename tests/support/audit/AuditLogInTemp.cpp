// The editors a suite makes log what they send to a file of the suite's own, never into
// the person's audit log: the shared log takes its place from the environment on first use,
// after this is set.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

const bool kAuditLogInTemp = [] {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("qx-tests-audit-" + std::to_string(::getpid()) + ".jsonl"))
                                 .string();
    ::setenv("QX_AUDIT_LOG", path.c_str(), 1);
    return true;
}();

}  // namespace
