#pragma once
// One equaliser as a page shows it, for the demonstration programs: a page of the skin's
// colour with a row of band strips above the curve view, on the editor's start-up image.

#include <QWidget>
#include <vector>

namespace qx {

class CEQCurveStatic;
class CEQDlg;

class CEqDemoPage : public QWidget {
  public:
    // The curve sets are installed and the image reset first. `group` sizes the curve sets as
    // the page of that equaliser does; at most maxStrips strips, one per band.
    CEqDemoPage(int eq, int group, int maxStrips);

    CEQCurveStatic* View() const { return m_view; }
    const std::vector<CEQDlg*>& Strips() const { return m_strips; }

  private:
    CEQCurveStatic* m_view;
    std::vector<CEQDlg*> m_strips;
};

}  // namespace qx
