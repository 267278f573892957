#pragma once
// Catalogue names with wildcards, as --keep and --fields take them: '*' stands for any run of
// characters (dots and brackets included), '?' for one; everything else, brackets included,
// stands for itself, case aside. "Mic*.level", "Scene[*].*.mute".

#include <string>
#include <vector>

namespace qx {

class CFieldPattern {
  public:
    static bool Matches(const std::string& pattern, const std::string& name);
    static bool MatchesAny(const std::vector<std::string>& patterns, const std::string& name);
    // True when some catalogue field matches pattern (a pattern that matches none is a typo).
    static bool MatchesSomeField(const std::string& pattern);
};

}  // namespace qx
