#include "AuditReader.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace qx {

bool AuditFilter::Keeps(const AuditRecord& r) const {
    if (!room.empty() && r.room != room && r.port != room) {
        return false;
    }
    if (sinceMs != 0 && r.timeMs < sinceMs) {
        return false;
    }
    if (!session.empty() && r.session != session) {
        return false;
    }
    if (!field.empty() && !CAuditReader::Matches(field, r.field) &&
        !CAuditReader::Matches(field, r.caption)) {
        return false;
    }
    return true;
}

bool CAuditReader::Matches(const std::string& pattern, const std::string& text) {
    if (text.empty()) {
        return pattern.empty();
    }
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    // Greedy match with one back-up point per star.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string::npos;
    std::size_t mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool CAuditReader::ParseSince(const std::string& text, int64_t nowMs, int64_t& sinceMs) {
    if (text.size() >= 2 && std::all_of(text.begin(), text.end() - 1,
                                        [](unsigned char c) { return std::isdigit(c) != 0; })) {
        const int64_t n = std::stoll(text.substr(0, text.size() - 1));
        const char unit = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
        const int64_t unitMs = unit == 'm'   ? 60'000
                               : unit == 'h' ? 3'600'000
                               : unit == 'd' ? 86'400'000
                                             : 0;
        if (unitMs != 0) {
            sinceMs = nowMs - n * unitMs;
            return true;
        }
    }
    const QString q = QString::fromStdString(text).trimmed();
    QDateTime t = QDateTime::fromString(q, Qt::ISODateWithMs);
    if (!t.isValid()) {
        for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
            t = QDateTime::fromString(q, QLatin1String(format));
            if (t.isValid()) {
                break;
            }
        }
    }
    if (!t.isValid()) {
        return false;
    }
    if (t.timeSpec() == Qt::LocalTime) {
        t.setTimeSpec(Qt::UTC);  // the log's times are UTC; so are those typed without a zone
    }
    sinceMs = t.toMSecsSinceEpoch();
    return true;
}

std::vector<AuditRecord> CAuditReader::Read(const std::string& path, const AuditFilter& filter,
                                            int* skipped) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (int n = 1; fs::exists(path + "." + std::to_string(n), ec); ++n) {
        files.insert(files.begin(), path + "." + std::to_string(n));
    }
    files.push_back(path);
    std::vector<AuditRecord> out;
    int bad = 0;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty()) {
                continue;
            }
            AuditRecord r;
            if (!AuditRecord::FromJsonLine(line, r)) {
                ++bad;
                continue;
            }
            if (filter.Keeps(r)) {
                out.push_back(std::move(r));
            }
        }
    }
    if (skipped != nullptr) {
        *skipped = bad;
    }
    return out;
}

}  // namespace qx
