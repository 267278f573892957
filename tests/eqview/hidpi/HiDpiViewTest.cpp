// The curve view on a screen of twice the pixel density: drawn at the screen's resolution,
// with lines on whole device pixels, while its geometry stays in logical pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "KTVEQ.h"
#include "ParameterSet.h"

namespace qx {
namespace {

class HiDpiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_SCALE_FACTOR", "2");
        static int argc = 1;
        static char name[] = "qx_eqview_hidpi_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        InstallCurveSets();
        ResetParameters();
    }
    void TearDown() override { m_app.reset(); }

  private:
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new HiDpiEnvironment);

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST(HiDpiView, DrawsAtDevicePixelsWithCrispLinesAndLogicalGeometry) {
    CEQCurveStatic view;
    view.resize(1235, 307);
    view.show();
    ASSERT_EQ(view.devicePixelRatioF(), 2.0);
    view.InitPlot();
    view.SizeCurveSets(0);
    view.ShowEq(kEqMusicLeft);
    EXPECT_EQ(view.PlotRect(), (Rect{35, 10, 1225, 287}));
    EXPECT_EQ(view.CurveSet()->PlotWidth(), 1190);

    const QImage& frame = view.Frame();
    ASSERT_EQ(frame.size(), QSize(2470, 614));
    // The plot's left border is one logical pixel: two device columns of the exact colour.
    const QRgb green = qRgb(0, 180, 0) & 0xFFFFFF;
    EXPECT_EQ(Rgb(frame, 70, 300), green);
    EXPECT_EQ(Rgb(frame, 71, 300), green);
    EXPECT_EQ(Rgb(frame, 69, 300), 0u);
    EXPECT_EQ(Rgb(frame, 72, 300), 0u);
    // The flat total curve covers the fourth grid line's device rows in its own colour.
    const int row = 2 * (10 + static_cast<int>(277 / 12.0 * 4));
    EXPECT_EQ(Rgb(frame, 800, row), qRgb(255, 49, 68) & 0xFFFFFF);
    EXPECT_EQ(Rgb(frame, 800, row + 1), qRgb(255, 49, 68) & 0xFFFFFF);

    // Pointer positions are logical: a band dragged to the logical top reaches +12 dB.
    CFilter* band = view.CurveSet()->GetAt(4);
    const Point c = band->Handle().Center();
    auto send = [&view](QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    send(QEvent::MouseMove, {c.x, c.y}, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, {c.x, c.y}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {c.x, 10}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {c.x, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(ParameterSet.program.MusicLeft.bands[4].gainCode, 180);
}

}  // namespace
}  // namespace qx
