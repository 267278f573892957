#include "TerminalLinkUi.h"

#include <ostream>

#include "TextPair.h"

namespace qx {

CTerminalLinkUi::CTerminalLinkUi(std::ostream& err, bool drawProgress)
    : m_err(err), m_draw(drawProgress) {}

void CTerminalLinkUi::ShowWrongProgram() {
    m_problem = Tr({"处理器回复的程序不是所请求的程序",
                    "the processor answered with another program than asked for"});
}

void CTerminalLinkUi::StartProgress(int total) {
    m_total = total;
    m_inFlight.clear();
    Draw(0);
}

void CTerminalLinkUi::SetProgress(int step) {
    // Told after the frame of this step was written: its reply is awaited now.
    m_inFlight = LabelOf(step);
    Draw(step);
    if (step >= m_total) {
        FinishProgress();
    }
}

std::string CTerminalLinkUi::LabelOf(int step) const {
    int end = 0;
    for (const auto& [count, label] : m_phases) {
        end += count;
        if (step <= end) {
            return label;
        }
    }
    return {};
}

void CTerminalLinkUi::Draw(int step) {
    if (!m_draw || m_total <= 0) {
        return;
    }
    constexpr int kWidth = 30;
    const int filled = step * kWidth / m_total;
    const std::string label = LabelOf(step < 1 ? 1 : step);
    // \x1b[K clears what a longer label left on the line.
    m_err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
          << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] "
          << (label.empty() ? "" : label + " ") << step << "/" << m_total << "\x1b[K" << std::flush;
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
