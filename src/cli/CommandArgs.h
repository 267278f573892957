#pragma once
// The arguments of one qxctl command: positional words and options, "--name value" or
// "--name=value". Options a command does not know are errors, and so is an option given twice,
// except --port, which names several ports.

#include <map>
#include <string>
#include <vector>

namespace qx {

class CCommandArgs {
  public:
    // valueOptions take a value, flags do not; "--help" is always a flag.
    bool Parse(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags, std::string& error);

    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Has(const std::string& option) const { return m_options.count(option) != 0; }
    // The last value given for an option, or fallback.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> Values(const std::string& option) const;

    // A whole number of at most three digits within [low, high]; false otherwise.
    static bool ParseInt(const std::string& text, int low, int high, int& value);

  private:
    std::vector<std::string> m_positional;
    std::multimap<std::string, std::string> m_options;
};

}  // namespace qx
