#pragma once
// What qxctl shows of the link: a labelled progress bar on a terminal ("reading names 12/24"),
// and the link's failures kept as text for the one error line.

#include <QString>
#include <atomic>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "LinkUi.h"

namespace qx {

class CTerminalLinkUi : public CLinkUi {
  public:
    // Draws the bar on err when it is a terminal (or when forced, for tests).
    explicit CTerminalLinkUi(std::ostream& err, bool drawProgress);

    // What the frames of the next progress bar do, in queue order: (frame count, label).
    using Phases = std::vector<std::pair<int, std::string>>;
    void SetPhases(Phases phases) { m_phases = std::move(phases); }

    void StartProgress(int total) override;
    void SetProgress(int step) override;
    void ShowUnableToOpen() override { m_unableToOpen = true; }
    void ShowPortError(const QString& text) override { m_problem = text.toStdString(); }
    void ShowWrongProgram() override;
    // qxctl watches the idle polls' replies to know when the line has settled.
    bool TakeMonitorRequest() override { return true; }

    bool UnableToOpen() const { return m_unableToOpen; }
    const std::string& Problem() const { return m_problem; }
    // The label of the last frame written that has not been answered yet as far as the caller
    // knows ("reading the current program"); empty when none.
    const std::string& StepInFlight() const { return m_inFlight; }
    // The caller saw every reply of the bar arrive.
    void ClearStepInFlight() { m_inFlight.clear(); }
    // Ends a drawn bar with a newline.
    void FinishProgress();

  private:
    void Draw(int step);
    std::string LabelOf(int step) const;

    std::ostream& m_err;
    bool m_draw;
    int m_total = 0;
    bool m_drawn = false;
    bool m_unableToOpen = false;
    std::string m_problem;
    Phases m_phases;
    std::string m_inFlight;
};

}  // namespace qx
