// Speed of a curve-view drag step with a room measured beside the equaliser: the measurement
// (1/48-octave points, 1/6-octave smoothing), the predicted result and a house curve are drawn
// with every step, from the mouse event to the repainted view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>

#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "KTVEQ.h"
#include "ParameterSet.h"
#include "RoomTuning.h"

namespace {

using namespace qx;

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void BM_CurveViewDragStepWithRoom(benchmark::State& state) {
    Measurement m;
    for (double f = 10.0; f < 24000.0; f *= std::pow(2.0, 1.0 / 48)) {
        const double x = std::log2(f / 63.0) / 0.06;
        m.hz.push_back(f);
        m.db.push_back(80.0 + 9.0 / (1 + x * x) + std::sin(std::log2(f) * 17.0));
    }
    auto& tuning = CRoomTuning::Instance();
    tuning.SetMeasurement(kEqMic1, m, "bench");
    tuning.SetSmoothing(kEqMic1, 6);
    RoomTarget house;
    house.kind = RoomTarget::Kind::House;
    house.house.hz = {20.0, 200.0, 20000.0};
    house.house.db = {4.0, 0.0, -4.0};
    tuning.SetTarget(kEqMic1, house);

    CEQCurveStatic view;
    view.resize(1235, 307);
    view.InitPlot();
    view.SizeCurveSets(2);
    view.ShowEq(kEqMic1);
    CKTVEQ* set = view.CurveSet();
    for (int i = 0; i < set->BandCount(); ++i) {
        set->GetAt(i)->SetType(kTypePeaking);
        set->GetAt(i)->SetGainCode(60 + (i * 37) % 120);
    }
    view.show();
    QCoreApplication::processEvents();
    const Point c = set->GetAt(5)->Handle().Center();
    Send(&view, QEvent::MouseMove, {c.x, c.y}, Qt::NoButton, Qt::NoButton);
    Send(&view, QEvent::MouseButtonPress, {c.x, c.y}, Qt::LeftButton, Qt::LeftButton);
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 1000;
        Send(&view, QEvent::MouseMove, {35 + x, 10 + (x * 3) % 300}, Qt::NoButton, Qt::LeftButton);
        view.repaint();
        benchmark::DoNotOptimize(view.Frame().constBits());
    }
    Send(&view, QEvent::MouseButtonRelease, {35 + x, 10}, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::removePostedEvents(&view);
    tuning.Clear(kEqMic1);
}
BENCHMARK(BM_CurveViewDragStepWithRoom)->Unit(benchmark::kMicrosecond);

}  // namespace
