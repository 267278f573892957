#include "FieldPattern.h"

#include <cctype>

#include "ParamCatalogue.h"

namespace qx {

bool CFieldPattern::Matches(const std::string& pattern, const std::string& name) {
    // Iterative glob with one back-track point: linear in practice, no recursion to blow up.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool CFieldPattern::MatchesAny(const std::vector<std::string>& patterns, const std::string& name) {
    for (const std::string& pattern : patterns) {
        if (Matches(pattern, name)) {
            return true;
        }
    }
    return false;
}

bool CFieldPattern::MatchesSomeField(const std::string& pattern) {
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (Matches(pattern, f.name)) {
            return true;
        }
    }
    return false;
}

}  // namespace qx
