#include "RoomOverlay.h"

#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "CurveGeometry.h"
#include "KTVEQ.h"
#include "RoomTuning.h"
#include "SkinFonts.h"
#include "TextPair.h"

namespace qx {

namespace {

const QColor kMeasuredColor(255, 170, 60);
const QColor kPredictedColor(90, 200, 255);
const QColor kTargetColor(210, 230, 90);
constexpr int kLegendFontPixels = 12;

// One polyline per run of points that have a level.
void DrawCurve(QPainter& p, const Rect& plot, const std::array<double, kGridPoints>& db,
               const QPen& pen) {
    const auto& grid = DisplayGrid();
    p.setPen(pen);
    std::vector<QPointF> run;
    auto flush = [&]() {
        if (run.size() > 1) {
            p.drawPolyline(run.data(), static_cast<int>(run.size()));
        }
        run.clear();
    };
    for (int g = 0; g < kGridPoints; ++g) {
        if (!HasLevel(db[g])) {
            flush();
            continue;
        }
        run.emplace_back(FreqToX(grid[g].hz, plot.Width()) + plot.left,
                         DbToY(db[g], plot.Height()) + plot.top);
    }
    flush();
}

}  // namespace

void DrawRoomOverlay(QPainter& p, const Rect& plot, const RoomState& s, const CKTVEQ* set) {
    p.save();
    p.setClipRect(QRect(plot.left, plot.top, plot.Width(), plot.Height()));
    // Drawn without antialiasing: the three curves follow every drag step, and smoothing
    // them would cost more than the equaliser's own curve and handles together.
    p.setRenderHint(QPainter::Antialiasing, false);
    std::array<double, kGridPoints> target{};
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        target[g] = s.target.LevelAt(grid[g].hz);
    }
    DrawCurve(p, plot, target, QPen(kTargetColor, 1.0, Qt::DashLine));
    if (s.HasMeasurement()) {
        std::array<double, kGridPoints> measured = s.curve;
        for (double& v : measured) {
            v -= s.offsetDb;
        }
        DrawCurve(p, plot, measured, QPen(kMeasuredColor, 1.0));
        if (set != nullptr) {
            const auto total = set->TotalResponse();
            std::array<double, kGridPoints> predicted = measured;
            for (int g = 0; g < kGridPoints; ++g) {
                predicted[g] += total[g];
            }
            DrawCurve(p, plot, predicted, QPen(kPredictedColor, 2.0));
        }
    }
    p.setFont(CSkinFonts::Arial(kLegendFontPixels));
    const QFontMetrics fm(p.font());
    int x = plot.right - 8;
    const int y = plot.top + 4 + fm.ascent();
    auto item = [&](const QColor& c, const std::string& text) {
        const QString t = QString::fromStdString(text);
        x -= fm.horizontalAdvance(t);
        p.setPen(c);
        p.drawText(x, y, t);
        x -= 14;
    };
    item(kTargetColor, Tr({"目标", "target"}));
    if (s.HasMeasurement()) {
        char level[32];
        std::snprintf(level, sizeof level, "%.0f", s.offsetDb);
        item(kPredictedColor, Tr({"预测", "predicted"}));
        item(kMeasuredColor,
             s.smoothing > 0
                 ? Tr({"测量 (1/%1 倍频程, 0 dB = %2 dB)", "measured (1/%1 oct, 0 dB = %2 dB)"},
                      {std::to_string(s.smoothing), level})
                 : Tr({"测量 (0 dB = %1 dB)", "measured (0 dB = %1 dB)"}, {level}));
    }
    p.restore();
}

}  // namespace qx
