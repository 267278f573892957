#include "TerminalLinkUi.h"

#include <ostream>

namespace qx {

CTerminalLinkUi::CTerminalLinkUi(std::ostream& err, bool drawProgress)
    : m_err(err), m_draw(drawProgress) {}

void CTerminalLinkUi::StartProgress(int total) {
    m_total = total;
    Draw(0);
}

void CTerminalLinkUi::SetProgress(int step) {
    Draw(step);
    if (step >= m_total) {
        FinishProgress();
    }
}

void CTerminalLinkUi::Draw(int step) {
    if (!m_draw || m_total <= 0) {
        return;
    }
    constexpr int kWidth = 30;
    const int filled = step * kWidth / m_total;
    m_err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << step << "/"
          << m_total << std::flush;
    m_drawn = true;
}

void CTerminalLinkUi::FinishProgress() {
    if (m_drawn) {
        m_err << "\n" << std::flush;
        m_drawn = false;
    }
    m_total = 0;
}

}  // namespace qx
