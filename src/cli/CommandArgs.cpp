#include "CommandArgs.h"

#include <algorithm>

#include "TextPair.h"

namespace qx {

bool CCommandArgs::ParseInt(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

bool CCommandArgs::Parse(const std::vector<std::string>& args,
                         const std::vector<std::string>& valueOptions,
                         const std::vector<std::string>& flags, std::string& error) {
    m_positional.clear();
    m_options.clear();
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-' ||
            (a[1] != '-' && a != "-o" && a != "-h")) {
            m_positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::string value;
        bool inlineValue = false;
        if (const auto eq = a.find('='); eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        if (name == "-h") {
            name = "--help";
        }
        if (name == "--help" || known(flags, name)) {
            if (inlineValue) {
                error = Tr({"选项 %1 不接受值", "option %1 takes no value"}, {name});
                return false;
            }
            m_options.emplace(name, "");
        } else if (known(valueOptions, name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    error = Tr({"选项 %1 需要一个值", "option %1 needs a value"}, {name});
                    return false;
                }
                value = args[++i];
            }
            // Only lists (ports, fleet patterns) may be given several times; a second value of
            // any other option would silently win over the first.
            if (name != "--port" && name != "--keep" && name != "--fields" &&
                m_options.count(name) != 0) {
                error = Tr({"选项 %1 给出了两次", "option %1 is given twice"}, {name});
                return false;
            }
            m_options.emplace(name, value);
        } else {
            error = Tr({"未知选项 %1", "unknown option %1"}, {name});
            return false;
        }
    }
    return true;
}

std::string CCommandArgs::Value(const std::string& option, const std::string& fallback) const {
    const auto range = m_options.equal_range(option);
    std::string value = fallback;
    for (auto it = range.first; it != range.second; ++it) {
        value = it->second;
    }
    return value;
}

std::vector<std::string> CCommandArgs::Values(const std::string& option) const {
    std::vector<std::string> values;
    const auto range = m_options.equal_range(option);
    for (auto it = range.first; it != range.second; ++it) {
        values.push_back(it->second);
    }
    return values;
}

}  // namespace qx
