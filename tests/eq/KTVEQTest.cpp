#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "KTVEQ.h"

using namespace qx;

namespace {

constexpr int kW = 600;
constexpr int kH = 360;

class RecordingSlider : public ILinkedSlider {
  public:
    void SetPosInverted(int value) override { last = value; }
    int GetPosInverted() const override { return last; }
    int last = -1;
};

// Three bands and both pass filters, flat, on a 600 x 360 plot.
struct Fixture {
    EqBand bands[3]{};
    PassFilter hpf{};
    PassFilter lpf{};
    CKTVEQ set;

    Fixture() {
        for (auto& b : bands) {
            b.freqCode = 204;
            b.gainCode = 120;
            b.qCode = 10;
            b.type = 0;
        }
        lpf.kind = 1;
        lpf.freqCode = 361;
        set.BuildEq(3, bands, &hpf, &lpf);
        set.Resize(kW, kH);
        set.SumCurve();
    }
    CFilter& Band(int i) { return *set.GetAt(i); }
};

Point Centre(const CFilter& f) {
    return f.Handle().Center();
}

}  // namespace

TEST(KTVEQTest, FlatSetLiesOneThirdBelowThePlotTop) {
    Fixture fx;
    const auto& total = fx.set.TotalCurve();
    EXPECT_FLOAT_EQ(total[0].x, 35.0f);
    EXPECT_FLOAT_EQ(total[kGridPoints - 1].x,
                    35.0f + kW * (std::log10(32000.0) - 1) / (std::log10(30000.0) - 1));
    for (const PointF& p : total) {
        ASSERT_FLOAT_EQ(p.y, kPlotTop + kH / 3.0f);
    }
    // A filter's outline is closed along the 0 dB line and never leaves the plot sideways.
    const auto& curve = fx.Band(0).CurvePoints();
    EXPECT_EQ(curve[0], (Point{35, 130}));
    EXPECT_EQ(curve[kCurvePoints - 1], (Point{kW + 35, 130}));
    for (const Point& p : curve) {
        ASSERT_LE(p.x, kW + 35);
        ASSERT_EQ(p.y, 130);
    }
}

TEST(KTVEQTest, TotalCurveAddsTheFilters) {
    Fixture fx;
    fx.Band(0).SetType(1);
    fx.Band(0).SetGainCode(180);  // +12 dB at 1000 Hz
    fx.Band(1).SetType(1);
    fx.Band(1).SetGainCode(60);  // -12 dB at 1000 Hz
    fx.Band(2).SetType(1);
    fx.Band(2).SetGainCode(150);  // +6 dB
    fx.set.SumCurve();
    EXPECT_NEAR(fx.set.TotalCurve()[239].y, kPlotTop + kH / 36.0 * (12 - 6), 1e-3);
}

TEST(KTVEQTest, BandHandleStaysInsideThePlot) {
    Fixture fx;
    CFilter& b = fx.Band(0);
    b.SetGainCode(180);  // +12 dB: handle top on the plot top
    EXPECT_EQ(b.Handle().top, kPlotTop);
    EXPECT_EQ(b.Handle().Height(), 16);
    b.SetGainCode(0);  // -24 dB: handle bottom on the plot bottom
    EXPECT_EQ(b.Handle().bottom, kPlotTop + kH);
    EXPECT_EQ(b.Handle().top, kPlotTop + kH - 16);

    fx.set.Resize(100, 50);
    for (int code : {0, 100, 300, 361}) {
        b.SetFreqCode(code);
        EXPECT_LE(b.Handle().right, kPlotLeft + 100);
        EXPECT_GE(b.Handle().left, kPlotLeft - 8);
        EXPECT_EQ(b.Handle().Width(), 16);
    }
    b.SetFreqCode(361);
    EXPECT_EQ(b.Handle().right, kPlotLeft + 100);
}

TEST(KTVEQTest, PassHandlesMayReachHalfOverTheRightEdge) {
    Fixture fx;
    CFilter& h = *fx.set.GetHighPass();
    CFilter& l = *fx.set.GetLowPass();
    // H sits on +2 dB, L on 0 dB.
    EXPECT_EQ(h.Handle().top, kPlotTop + 100);
    EXPECT_EQ(l.Handle().top, kPlotTop + 120);
    fx.set.Resize(100, 36);
    l.SetPassFreqCode(361);
    EXPECT_LE(l.Handle().right, kPlotLeft + 108);
    EXPECT_EQ(l.LabelRect().right, kPlotLeft + 100);
    EXPECT_EQ(l.LabelRect().Width(), 66);
}

TEST(KTVEQTest, InformationLine) {
    Fixture fx;
    CFilter& b = fx.Band(0);
    b.SetType(1);
    b.SetGainCode(135);
    EXPECT_EQ(b.GetLabel(), "PEQ  1000Hz 0.71Q 3.0dB");
    b.SetType(2);
    b.SetFreqCode(84);
    b.SetGainCode(90);
    EXPECT_EQ(b.GetLabel(), "LS  99.0Hz 0.710Q -6.0dB");
    b.SetType(3);
    b.SetFreqCode(85);
    EXPECT_EQ(b.GetLabel(), "HS  101Hz 0.710Q -6.0dB");
    b.SetType(0);
    EXPECT_EQ(b.GetLabel(), "BY  101Hz 0.71Q -6.0dB");

    CFilter& h = *fx.set.GetHighPass();
    EXPECT_EQ(h.GetLabel(), "19.7Hz ");
    h.SetPassFreqCode(81);
    EXPECT_EQ(h.GetLabel(), "94.0Hz ");
    h.SetPassFreqCode(82);
    EXPECT_EQ(h.GetLabel(), "95Hz ");
}

TEST(KTVEQTest, InformationLineAboveNegativeGainBelowOtherwise) {
    Fixture fx;
    CFilter& b = fx.Band(0);
    b.SetType(1);
    b.SetGainCode(119);
    EXPECT_EQ(b.LabelRect().top, b.Handle().top - 50);
    EXPECT_EQ(b.LabelRect().bottom, b.Handle().top + 50);
    b.SetGainCode(120);
    EXPECT_EQ(b.LabelRect().top, b.Handle().top + 35);
    EXPECT_EQ(b.LabelRect().bottom, b.Handle().bottom + 85);
    b.SetType(0);
    b.SetGainCode(0);  // a bypassed band shows it below whatever its gain
    EXPECT_EQ(b.LabelRect().top, b.Handle().top + 35);

    // Kept 200 wide and inside the plot at both ends.
    b.SetFreqCode(0);
    EXPECT_EQ(b.LabelRect().left, kPlotLeft);
    EXPECT_EQ(b.LabelRect().Width(), 200);
    b.SetFreqCode(361);
    fx.set.Resize(300, kH);
    EXPECT_EQ(b.LabelRect().right, kPlotLeft + 300);
    EXPECT_EQ(b.LabelRect().Width(), 200);
}

TEST(KTVEQTest, BandDragLimits) {
    Fixture fx;
    CFilter& b = fx.Band(0);
    b.SetType(1);
    RecordingSlider slider;
    b.SetLinkedSlider(&slider);
    const Point c = Centre(b);
    b.BeginDrag({c.x + 3, c.y - 2});  // grabbed off-centre
    EXPECT_EQ(b.DragOffset(), (Point{3, -2}));

    EXPECT_EQ(b.DragBand({c.x + 3, -500}), 1);
    EXPECT_EQ(fx.bands[0].gainCode, 180);
    EXPECT_EQ(slider.last, 180);
    b.BeginDrag(Centre(b));
    EXPECT_EQ(b.DragBand({Centre(b).x, 5000}), 1);
    EXPECT_EQ(fx.bands[0].gainCode, 0);
    EXPECT_EQ(b.DragBand({-5000, 5000}), 1);
    EXPECT_EQ(fx.bands[0].freqCode, 0);
    EXPECT_DOUBLE_EQ(b.GetFreq(), 19.7);
    EXPECT_EQ(b.DragBand({5000, kPlotTop + kH / 3}), 1);
    EXPECT_EQ(fx.bands[0].freqCode, 361);
    EXPECT_EQ(fx.bands[0].gainCode, 120);

    // Every left drag leaves a whole number of decibels.
    for (int y = 0; y <= kH; y += 7) {
        b.BeginDrag(Centre(b));
        b.DragBand({kPlotLeft + 200, kPlotTop + y});
        EXPECT_EQ((fx.bands[0].gainCode - 120) % 5, 0) << y;
    }
    EXPECT_EQ(fx.Band(0).GetResponse()[0], b.GetResponse()[0]);
}

TEST(KTVEQTest, DragWithoutMovementChangesNothing) {
    Fixture fx;
    CFilter& b = fx.Band(1);
    b.SetGainCode(123);  // not a whole decibel
    b.BeginDrag({Centre(b).x + 4, Centre(b).y + 4});
    EXPECT_EQ(b.DragBand({Centre(b).x + 4, Centre(b).y + 4}), 1);
    EXPECT_EQ(fx.bands[1].gainCode, 123);
}

TEST(KTVEQTest, DynamicBandsStopAtMinusTwelve) {
    DynamicEqBand deq[3]{};
    for (auto& d : deq) {
        d.band.freqCode = 100;
        d.band.gainCode = 120;
        d.band.qCode = 10;
        d.band.type = 1;
        d.threshold = 33;
    }
    CKTVEQ set;
    set.BuildDynamicEq(deq);
    set.Resize(kW, kH);
    EXPECT_EQ(set.GetSize(), 3);
    EXPECT_EQ(set.GetHighPass(), nullptr);
    CFilter& b = *set.GetAt(2);
    b.BeginDrag(Centre(b));
    b.DragBand({Centre(b).x, 5000});
    EXPECT_EQ(deq[2].band.gainCode, 60);
    EXPECT_EQ(deq[2].threshold, 33);  // only the band bytes are written
}

TEST(KTVEQTest, QDragStepsEveryTenPixels) {
    Fixture fx;
    CFilter& b = fx.Band(0);
    b.SetType(1);
    b.MarkQStart();
    const int cx = Centre(b).x;
    EXPECT_EQ(b.DragQ(cx + 25), 1);
    EXPECT_EQ(fx.bands[0].qCode, 12);
    b.DragQ(cx - 25);
    EXPECT_EQ(fx.bands[0].qCode, 8);
    b.DragQ(cx + 9);
    EXPECT_EQ(fx.bands[0].qCode, 10);
    b.DragQ(cx + 5000);
    EXPECT_EQ(fx.bands[0].qCode, 100);
    b.DragQ(cx - 5000);
    EXPECT_EQ(fx.bands[0].qCode, 0);

    CFilter& h = *fx.set.GetHighPass();
    h.MarkQStart();
    EXPECT_EQ(h.DragQ(5000), 0);
    EXPECT_EQ(h.DragBand({0, 0}), 0);
    EXPECT_EQ(b.DragPassFilter({0, 0}), 0);
}

TEST(KTVEQTest, HighPassPulledToTheLeftEdgeDisappears) {
    Fixture fx;
    CFilter& h = *fx.set.GetHighPass();
    h.SetSlopeCode(8);
    h.SetPassFreqCode(150);
    fx.set.SumCurve();
    EXPECT_LT(fx.set.TotalResponse()[0], -50);
    const double at19_7 = fx.set.TotalResponse()[kGridCodeOffset];
    h.BeginDrag(Centre(h));
    EXPECT_EQ(h.DragPassFilter({kPlotLeft - 20, Centre(h).y}), 1);
    EXPECT_EQ(fx.hpf.freqCode, 0);
    EXPECT_EQ(fx.hpf.slope, 8);
    fx.set.SumCurve();
    for (double v : fx.set.TotalResponse()) {
        ASSERT_EQ(v, 0.0);
    }
    // The next recomputation shows the high-pass at 19.7 Hz again.
    h.Recalc();
    EXPECT_NEAR(h.GetResponse()[kGridCodeOffset], -3.0, 0.1);
    EXPECT_LT(at19_7, -50);
}

TEST(KTVEQTest, LowPassPulledToTheLeftEdgeStaysAt19_7Hz) {
    Fixture fx;
    CFilter& l = *fx.set.GetLowPass();
    l.SetSlopeCode(8);
    l.BeginDrag(Centre(l));
    EXPECT_EQ(l.DragPassFilter({-100, 0}), 1);
    EXPECT_EQ(fx.lpf.freqCode, 0);
    EXPECT_NEAR(l.GetResponse()[kGridCodeOffset], -3.01, 0.05);

    l.SetPassCodeLimits(10, 300);
    l.DragPassFilter({5000, 0});
    EXPECT_EQ(fx.lpf.freqCode, 300);
    l.DragPassFilter({kPlotLeft + 1, 0});
    EXPECT_EQ(fx.lpf.freqCode, 10);
}
