#pragma once
// What qxctl shows of the link: a progress bar on a terminal, and the link's failures kept as
// text for the one error line.

#include <QString>
#include <atomic>
#include <iosfwd>
#include <string>

#include "LinkUi.h"

namespace qx {

class CTerminalLinkUi : public CLinkUi {
  public:
    // Draws the bar on err when it is a terminal (or when forced, for tests).
    explicit CTerminalLinkUi(std::ostream& err, bool drawProgress);

    void StartProgress(int total) override;
    void SetProgress(int step) override;
    void ShowUnableToOpen() override { m_unableToOpen = true; }
    void ShowPortError(const QString& text) override { m_problem = text.toStdString(); }
    void ShowWrongProgram() override {
        m_problem = "the processor answered with another program than asked for";
    }
    // qxctl watches the idle polls' replies to know when the line has settled.
    bool TakeMonitorRequest() override { return true; }

    bool UnableToOpen() const { return m_unableToOpen; }
    const std::string& Problem() const { return m_problem; }
    // Ends a drawn bar with a newline.
    void FinishProgress();

  private:
    void Draw(int step);

    std::ostream& m_err;
    bool m_draw;
    int m_total = 0;
    bool m_drawn = false;
    bool m_unableToOpen = false;
    std::string m_problem;
};

}  // namespace qx
