#pragma once
// The fit dialog's chart: target, measurement, the prediction with the equaliser as it is and
// with the fitted bands, over 10 Hz .. 30 kHz, the fit's range shaded.

#include <QWidget>

#include "RoomCurve.h"

namespace qx {

class CFitPreview : public QWidget {
    Q_OBJECT
  public:
    explicit CFitPreview(QWidget* parent = nullptr);
    void SetCurves(const GridCurve& target, const GridCurve& before, const GridCurve& after,
                   double lowHz, double highHz);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    GridCurve m_target{};
    GridCurve m_before{};
    GridCurve m_after{};
    double m_lowHz = 20.0;
    double m_highHz = 500.0;
    bool m_hasAfter = false;
};

}  // namespace qx
