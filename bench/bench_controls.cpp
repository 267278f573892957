// Speed of the skinned controls: one slider drag step (mouse move and repaint into an
// off-screen image), one full repaint of the main window's tab control, and drawing the whole
// skin for a screen's pixel density (what the first window on a new screen pays).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "BitmapSlider.h"
#include "EnTabCtrl.h"
#include "MonitorPicture.h"
#include "SkinBitmaps.h"

namespace {

void BM_SliderDragStep(benchmark::State& state) {
    QWidget parent;
    auto* slider = new qx::CBitmapSlider(&parent, 3600);
    slider->SetBitmapChannel(qx::skinid::kSliderChannel, qx::skinid::kSliderActiveChannel);
    slider->SetBitmapThumb(qx::skinid::kSliderThumb, qx::skinid::kSliderThumb);
    slider->SetRange(0, 200);
    slider->SetPos(100);
    const int centre = slider->CentreOf(100);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(centre, 9), QPointF(centre, 9),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &press);
    QImage target(slider->size(), QImage::Format_ARGB32_Premultiplied);
    int x = centre;
    int direction = 1;
    for (auto _ : state) {
        x += direction * 3;
        if (x > 175 || x < 8) {
            direction = -direction;
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 9), QPointF(x, 9), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
        slider->render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, 9), QPointF(x, 9), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &release);
    QCoreApplication::removePostedEvents(slider);
}
BENCHMARK(BM_SliderDragStep);

void BM_TabControlRepaint(benchmark::State& state) {
    qx::CEnTabCtrl::SetLook(true, 31);
    qx::CEnTabCtrl tabs(nullptr, 2);
    tabs.SetBackgroundColor(QColor(255, 255, 255));
    tabs.resize(1265, 640);
    const char* labels[] = {"音乐", "动态均衡", "话筒", "效果", "主输出",
                            "中置", "超低音",   "后置", "环绕", "系统"};
    for (int i = 0; i < 10; ++i) {
        tabs.InsertItem(i, QString::fromUtf8(labels[i]));
    }
    tabs.SetItemWidth(80);
    tabs.SetCurSel(9);
    QImage target(tabs.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        tabs.PaintAll(painter);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_TabControlRepaint);

// Every skin bitmap but the System page's large pictures, drawn afresh at density
// state.range(0) / 100 (100 is the plain screen's set).
void BM_SkinForDensity(benchmark::State& state) {
    const qreal ratio = static_cast<qreal>(state.range(0)) / 100.0;
    const QStringList path = qx::CSkinBitmaps::SearchPath();
    QList<int> ids = qx::CSkinBitmaps::Ids();
    ids.removeAll(qx::CMonitorPicture::kChineseId);
    ids.removeAll(qx::CMonitorPicture::kEnglishId);
    qint64 bytes = 0;
    for (auto _ : state) {
        qx::CSkinBitmaps::SetSearchPath(path);  // drops every image made so far
        bytes = 0;
        for (int id : ids) {
            const QImage image = qx::CSkinBitmaps::Get(id, ratio);
            bytes += image.sizeInBytes();
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SkinForDensity)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
