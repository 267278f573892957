// Speed of the Music page: a whole refresh from the parameter image (ten strips, every bound
// control, the curve view redrawn) with and without the page's repaint, and one slider drag step
// from the mouse event to the repainted slider and value label. The drag step includes the report
// the slider's 50 ms tick posts (the store and the label's new text) but not the wait for that
// tick.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "BitmapSlider.h"
#include "CurveSets.h"
#include "Edit_Static.h"
#include "MusicDlg.h"
#include "PageGlobals.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void BM_MusicPageRefresh(benchmark::State& state) {
    CMusicDlg page;
    page.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        page.RefreshFromParameters();
        page.repaint();
    }
}
BENCHMARK(BM_MusicPageRefresh)->Unit(benchmark::kMillisecond);

// The refresh alone, its painting left to the event loop.
void BM_MusicPageRefreshOnly(benchmark::State& state) {
    CMusicDlg page;
    page.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        page.RefreshFromParameters();
    }
}
BENCHMARK(BM_MusicPageRefreshOnly)->Unit(benchmark::kMillisecond);

void BM_MusicSliderDragStep(benchmark::State& state) {
    CMusicDlg page;
    page.show();
    QCoreApplication::processEvents();
    auto* slider = page.Binding().Get<CBitmapSlider>(1038);  // limiter threshold
    auto* label = page.Binding().Get<CEdit_Static>(1037);
    const int y = slider->height() / 2;
    const int left = 8;
    const int right = slider->width() - 8;
    Send(slider, QEvent::MouseButtonPress, {left, y}, Qt::LeftButton, Qt::LeftButton);
    int x = left;
    int step = 3;
    for (auto _ : state) {
        x += step;
        if (x >= right || x <= left) {
            step = -step;
        }
        Send(slider, QEvent::MouseMove, {x, y}, Qt::NoButton, Qt::LeftButton);
        emit slider->Tracking(1038, slider->GetPos());  // what the tick reports
        slider->repaint();
        label->repaint();
    }
    Send(slider, QEvent::MouseButtonRelease, {x, y}, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_MusicSliderDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace
