#pragma once
// What a page's enabling rules decide: for every control id the rules govern, whether a person
// can use it, and for some whether it is shown at all. A page's rules are a pure function from
// a plain state record to one of these; the page applies it to its widgets (ApplyEnabling).
// Ids the rules do not mention are left as they are.

#include <map>
#include <span>

namespace qx {

class CFieldBinding;

struct Enabling {
    std::map<int, bool> enabled;
    std::map<int, bool> shown;

    void Enable(int id, bool on) { enabled[id] = on; }
    void Enable(std::span<const int> ids, bool on) {
        for (int id : ids) {
            enabled[id] = on;
        }
    }
    void Show(std::span<const int> ids, bool on) {
        for (int id : ids) {
            shown[id] = on;
        }
    }
    // Whether the rules govern an id, and what they decided.
    bool Governs(int id) const { return enabled.count(id) != 0; }
    bool IsEnabled(int id) const {
        const auto it = enabled.find(id);
        return it != enabled.end() && it->second;
    }
    bool IsShown(int id) const {
        const auto it = shown.find(id);
        return it == shown.end() || it->second;
    }
};

// Sets the enabled state of every governed control the binding knows (a skinned slider through
// its own Enable, which also ends a drag); ids without a widget are skipped.
void ApplyEnabled(const CFieldBinding& binding, const Enabling& rules);
// Shows or hides every control whose visibility the rules decide.
void ApplyShown(const CFieldBinding& binding, const Enabling& rules);

}  // namespace qx
