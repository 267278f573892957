// Speed of the curve view on the Music page's 1235 x 307 size with a 22-filter set (the first
// microphone: 20 bands, H and L): one full repaint, and one drag step from the mouse event to
// the repainted view, beside the drag-step math alone so the drawing's share shows.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "KTVEQ.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

// A shown view of the first microphone with peaking bands of varied gains and both crossovers
// on, so every step draws a real curve.
struct ShownView {
    CEQCurveStatic view;
    CKTVEQ* set = nullptr;

    ShownView() {
        view.resize(1235, 307);
        view.InitPlot();
        view.SizeCurveSets(2);
        view.ShowEq(kEqMic1);
        set = view.CurveSet();
        for (int i = 0; i < set->BandCount(); ++i) {
            CFilter* f = set->GetAt(i);
            f->SetType(kTypePeaking);
            f->SetGainCode(60 + (i * 37) % 120);
            f->SetQCode(10 + (i * 13) % 60);
        }
        set->GetHighPass()->SetSlopeCode(8);
        set->GetHighPass()->SetPassFreqCode(60);
        set->GetLowPass()->SetSlopeCode(11);
        set->GetLowPass()->SetPassFreqCode(320);
        view.SelectBand(5, 1);
        view.show();
        QCoreApplication::processEvents();
    }
};

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void BM_CurveViewFullRepaint(benchmark::State& state) {
    ShownView s;
    for (auto _ : state) {
        s.view.Redraw();
        s.view.repaint();
        benchmark::DoNotOptimize(s.view.Frame().constBits());
    }
}
BENCHMARK(BM_CurveViewFullRepaint)->Unit(benchmark::kMicrosecond);

void BM_CurveViewDragStep(benchmark::State& state) {
    ShownView s;
    const Point c = s.set->GetAt(5)->Handle().Center();
    Send(&s.view, QEvent::MouseMove, {c.x, c.y}, Qt::NoButton, Qt::NoButton);
    Send(&s.view, QEvent::MouseButtonPress, {c.x, c.y}, Qt::LeftButton, Qt::LeftButton);
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 1000;
        Send(&s.view, QEvent::MouseMove, {35 + x, 10 + (x * 3) % 300}, Qt::NoButton,
             Qt::LeftButton);
        s.view.repaint();
        benchmark::DoNotOptimize(s.view.Frame().constBits());
    }
    Send(&s.view, QEvent::MouseButtonRelease, {35 + x, 10}, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::removePostedEvents(&s.view);
}
BENCHMARK(BM_CurveViewDragStep)->Unit(benchmark::kMicrosecond);

// The same step without drawing: new codes, the band's response and the total curve.
void BM_DragStepMathOnly(benchmark::State& state) {
    ShownView s;
    CFilter& f = *s.set->GetAt(5);
    f.BeginDrag(f.Handle().Center());
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 1000;
        f.DragBand({35 + x, 10 + (x * 3) % 300});
        s.set->SumCurve();
        benchmark::DoNotOptimize(s.set->TotalCurve().data());
    }
}
BENCHMARK(BM_DragStepMathOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
