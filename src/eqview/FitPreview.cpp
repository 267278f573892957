#include "FitPreview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "CurveGeometry.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr double kSpanDb = 36.0;

}  // namespace

CFitPreview::CFitPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(520, 240);
    m_target.fill(std::nan(""));
    m_before.fill(std::nan(""));
    m_after.fill(std::nan(""));
}

void CFitPreview::SetCurves(const GridCurve& target, const GridCurve& before,
                            const GridCurve& after, double lowHz, double highHz) {
    m_target = target;
    m_before = before;
    m_after = after;
    m_lowHz = lowHz;
    m_highHz = highHz;
    m_hasAfter = std::any_of(after.begin(), after.end(), [](double v) { return HasLevel(v); });
    update();
}

void CFitPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect().adjusted(30, 8, -8, -18);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(0, 120, 0));
    p.drawRect(r);
    const auto& grid = DisplayGrid();
    auto x = [&r](double hz) { return r.left() + FreqToX(hz, r.width()); };
    // Centre on the target's mean over the range; +-18 dB around it.
    double centre = 0.0;
    int n = 0;
    for (int g = 0; g < kGridPoints; ++g) {
        if (grid[g].hz >= m_lowHz && grid[g].hz <= m_highHz && HasLevel(m_before[g])) {
            centre += m_before[g];
            ++n;
        }
    }
    centre = n > 0 ? std::round(centre / n) : 0.0;
    auto y = [&r, centre](double db) {
        return r.top() + (centre + kSpanDb / 2 - db) / kSpanDb * r.height();
    };
    p.fillRect(QRectF(QPointF(x(m_lowHz), r.top() + 1), QPointF(x(m_highHz), r.bottom())),
               QColor(30, 40, 30));
    p.setPen(QColor(0, 70, 0));
    for (double db = -18; db <= 18; db += 6) {
        p.drawLine(QPointF(r.left(), y(centre + db)), QPointF(r.right(), y(centre + db)));
    }
    for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0}) {
        p.drawLine(QPointF(x(hz), r.top()), QPointF(x(hz), r.bottom()));
    }
    p.setPen(QColor(150, 150, 150));
    for (double hz : {20.0, 100.0, 500.0, 1000.0, 10000.0}) {
        p.drawText(QPointF(x(hz) - 8, rect().bottom() - 4),
                   hz >= 1000.0 ? QString::number(hz / 1000.0) + "K" : QString::number(hz));
    }
    for (double db = -12; db <= 12; db += 12) {
        p.drawText(QPointF(2, y(centre + db) + 4), QString::number(db, 'f', 0));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    auto curve = [&](const GridCurve& c, const QPen& pen, double shift) {
        std::vector<QPointF> run;
        p.setPen(pen);
        for (int g = 0; g <= kGridPoints; ++g) {
            if (g == kGridPoints || !HasLevel(c[g])) {
                if (run.size() > 1) {
                    p.drawPolyline(run.data(), static_cast<int>(run.size()));
                }
                run.clear();
                continue;
            }
            run.emplace_back(x(grid[g].hz), y(c[g] + shift));
        }
    };
    // The target's level is matched to the result over the range, as the fit measures it.
    const GridCurve& result = m_hasAfter ? m_after : m_before;
    double shift = 0.0;
    int count = 0;
    for (int g = 0; g < kGridPoints; ++g) {
        if (grid[g].hz >= m_lowHz && grid[g].hz <= m_highHz && HasLevel(result[g]) &&
            HasLevel(m_target[g])) {
            shift += result[g] - m_target[g];
            ++count;
        }
    }
    curve(m_target, QPen(QColor(210, 230, 90), 1.5, Qt::DashLine),
          count > 0 ? shift / count : centre);
    curve(m_before, QPen(QColor(255, 170, 60), 1.2), 0.0);
    if (m_hasAfter) {
        curve(m_after, QPen(QColor(90, 200, 255), 2.0), 0.0);
    }
    p.setPen(QColor(200, 200, 200));
    p.drawText(r.adjusted(6, 4, -6, -4), Qt::AlignRight | Qt::AlignTop,
               QString::fromStdString(Tr({"橙：现在  蓝：拟合后  虚线：目标",
                                          "orange: now   blue: fitted   dashed: target"})));
}

}  // namespace qx
