#include "MeasurementReader.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace qx {

namespace {

constexpr std::size_t kProgressStep = 64u << 10;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

bool IsSeparator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

bool StartsNumber(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The fields of a point line. A line with semicolons may write its decimals with commas
// ("63,5;-2,1"), as spreadsheets of some locales export.
std::vector<std::string_view> Fields(std::string_view line, std::string& scratch) {
    std::string_view s = line;
    if (line.find(';') != std::string_view::npos && line.find(',') != std::string_view::npos) {
        scratch.assign(line);
        for (char& c : scratch) {
            if (c == ',') {
                c = '.';
            }
        }
        s = scratch;
    }
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSeparator(s[i])) {
            ++i;
        }
        std::size_t j = i;
        while (j < s.size() && !IsSeparator(s[j])) {
            ++j;
        }
        if (j > i) {
            fields.push_back(s.substr(i, j - i));
        }
        i = j;
    }
    return fields;
}

// A whole field as a number; false when anything is left over or nothing was read.
bool ParseField(std::string_view field, double& v) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    const char* end = field.data() + field.size();
    const auto r = std::from_chars(field.data(), end, v);
    return r.ec == std::errc() && r.ptr == end;
}

}  // namespace

MeasurementResult CMeasurementReader::Read(std::string_view text, const Progress& progress) {
    MeasurementResult result;
    auto fail = [&result](int line, std::string reason) {
        result.data = {};
        result.error = {line, std::move(reason)};
        return result;
    };
    if (text.size() > kMaxBytes) {
        return fail(0, "the file is larger than " + std::to_string(kMaxBytes >> 20) +
                           " MB, far more than a measurement holds");
    }
    if (text.substr(0, kBom.size()) == kBom) {
        text.remove_prefix(kBom.size());
    }
    const std::size_t total = text.size();
    std::size_t nextReport = kProgressStep;
    std::string scratch;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (progress && pos >= nextReport) {
            nextReport = pos + kProgressStep;
            if (!progress(static_cast<double>(std::min(pos, total)) / total)) {
                result.data = {};
                result.cancelled = true;
                return result;
            }
        }
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.remove_suffix(1);
        }
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
        if (line.empty() || line.front() == '*' || line.front() == '#') {
            continue;
        }
        if (!StartsNumber(line.front())) {
            if (result.data.Empty()) {
                continue;  // a header line above the points
            }
            return fail(lineNumber, "text where a point (frequency and level) was expected");
        }
        const auto fields = Fields(line, scratch);
        double hz = 0.0;
        double db = 0.0;
        if (!ParseField(fields[0], hz)) {
            return fail(lineNumber, "the frequency '" + std::string(fields[0].substr(0, 30)) +
                                        "' is not a number");
        }
        if (fields.size() < 2) {
            return fail(lineNumber, "a frequency without a level");
        }
        if (!ParseField(fields[1], db)) {
            return fail(lineNumber,
                        "the level '" + std::string(fields[1].substr(0, 30)) + "' is not a number");
        }
        if (!std::isfinite(hz) || !std::isfinite(db)) {
            return fail(lineNumber, "a value that is not a finite number");
        }
        if (hz <= 0.0) {
            return fail(lineNumber, "the frequency " + Number(hz) + " Hz is not above 0");
        }
        if (!result.data.Empty() && hz <= result.data.hz.back()) {
            return fail(lineNumber, "the frequency " + Number(hz) + " Hz does not rise above " +
                                        Number(result.data.hz.back()) + " Hz of the line before");
        }
        if (result.data.Size() >= kMaxPoints) {
            return fail(lineNumber, "more than " + std::to_string(kMaxPoints) +
                                        " points, far more than a measurement holds");
        }
        result.data.hz.push_back(hz);
        result.data.db.push_back(db);
    }
    if (result.data.Size() < kMinPoints) {
        return fail(0, result.data.Empty()
                           ? std::string("no points (lines of frequency and level) were found")
                           : std::string("only one point; a response needs at least two"));
    }
    if (progress) {
        progress(1.0);
    }
    return result;
}

MeasurementResult CMeasurementReader::ReadFile(const std::string& path, const Progress& progress) {
    MeasurementResult result;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        result.error = {0, path + ": " + ec.message()};
        return result;
    }
    if (size > kMaxBytes) {
        result.error = {0, path + " is larger than " + std::to_string(kMaxBytes >> 20) +
                               " MB, far more than a measurement holds"};
        return result;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(size))) {
        result.error = {0, path + ": cannot be read"};
        return result;
    }
    return Read(text, progress);
}

}  // namespace qx
