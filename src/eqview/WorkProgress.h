#pragma once
// Runs a piece of work off the user-interface thread behind a progress dialog with Cancel,
// keeping the window painted and answering meanwhile. The work is told a share done (0..1,
// or negative when it only asks) and learns from the answer whether to go on.

#include <functional>
#include <string>

class QWidget;

namespace qx {

using WorkProgress = std::function<bool(double done)>;

// Returns when the work has finished; false when the person cancelled (the work saw its
// progress answer false and stopped).
bool RunWithProgress(QWidget* parent, const std::string& title,
                     const std::function<void(const WorkProgress&)>& work);

}  // namespace qx
