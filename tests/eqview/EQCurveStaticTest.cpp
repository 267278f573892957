// The curve view driven by mouse events: what the drags write into the working image, which
// element is picked and reported, and what the plot shows.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include "CurveSets.h"
#include "DataConver.h"
#include "EQCurveStatic.h"
#include "EqViewTestSupport.h"
#include "ImageModel.h"
#include "KTVEQ.h"
#include "ParameterSet.h"

namespace qx {
namespace {

using test::CentreOf;
using test::ChangedOffsets;
using test::DragFromTo;
using test::MoveTo;
using test::OffsetOf;
using test::Press;
using test::Release;
using test::Snapshot;

struct Selection {
    int eq;
    int index;
};

class CurveViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        view = std::make_unique<CEQCurveStatic>();
        view->resize(test::kViewWidth, test::kViewHeight);
        view->InitPlot();
        view->SizeCurveSets(0);
        view->SizeCurveSets(1);
        view->SizeCurveSets(4);
        view->ShowEq(kEqMusicLeft);
        QObject::connect(view.get(), &CEQCurveStatic::PointSelected, [this](int eq, int index) {
            selections.push_back({eq, index});
        });
    }

    void Show(int eq) { view->ShowEq(eq); }
    CFilter* At(int index) const { return view->CurveSet()->GetAt(index); }
    EqBand& MusicBand(int index) { return ParameterSet.program.MusicLeft.bands[index]; }
    int PlotWidth() const { return view->PlotRect().Width(); }
    int PlotHeight() const { return view->PlotRect().Height(); }
    std::vector<Selection> TakeSelections() {
        QCoreApplication::sendPostedEvents();
        std::vector<Selection> out;
        out.swap(selections);
        return out;
    }

    std::unique_ptr<CEQCurveStatic> view;
    std::vector<Selection> selections;
};

TEST_F(CurveViewTest, LeftDragOfABandStopsAtTheEdgesOfGainAndFrequency) {
    CFilter* band = At(3);
    DragFromTo(view.get(), CentreOf(band), {CentreOf(band).x(), -200});
    EXPECT_EQ(MusicBand(3).gainCode, 180);
    DragFromTo(view.get(), CentreOf(band), {CentreOf(band).x(), 2000});
    EXPECT_EQ(MusicBand(3).gainCode, 0);
    DragFromTo(view.get(), CentreOf(band), {-300, CentreOf(band).y()});
    EXPECT_EQ(MusicBand(3).freqCode, 0);
    EXPECT_DOUBLE_EQ(band->GetFreq(), 19.7);
    DragFromTo(view.get(), CentreOf(band), {5000, CentreOf(band).y()});
    EXPECT_EQ(MusicBand(3).freqCode, kMaxFreqCode);
    EXPECT_DOUBLE_EQ(band->GetFreq(), 20600.0);

    // On the 0 dB line the gain is exactly 0 dB.
    const int zeroY = view->PlotRect().top + PlotHeight() / 3;
    DragFromTo(view.get(), CentreOf(band), {600, zeroY});
    EXPECT_EQ(MusicBand(3).gainCode, 120);

    // The dynamic-EQ bands reach down to -12 dB only.
    view->SizeCurveSets(1);
    Show(kEqDynamicLeft);
    DragFromTo(view.get(), CentreOf(At(1)), {CentreOf(At(1)).x(), 2000});
    EXPECT_EQ(ParameterSet.program.MusicLeft.deq[1].band.gainCode, 60);
}

TEST_F(CurveViewTest, ADragWritesOnlyTheDraggedBandsFrequencyAndGain) {
    CFilter* band = At(6);
    const QPoint from = CentreOf(band);
    const auto before = Snapshot();
    const int oldFreq = MusicBand(6).freqCode;
    DragFromTo(view.get(), from, from + QPoint(-60, -40));
    const auto changed = ChangedOffsets(before, Snapshot());
    const size_t freq = OffsetOf(&MusicBand(6).freqCode);
    const size_t gain = OffsetOf(&MusicBand(6).gainCode);
    for (size_t off : changed) {
        EXPECT_TRUE(off == freq || off == freq + 1 || off == gain) << "offset " << off;
    }
    EXPECT_LT(MusicBand(6).freqCode, oldFreq);
    // 40 pixels up on a 277-pixel plot is 5.2 dB, held to whole decibels.
    EXPECT_EQ(MusicBand(6).gainCode, GainToCode(5.0));
    EXPECT_EQ(MusicBand(6).qCode, before[OffsetOf(&MusicBand(6).qCode)]);
    // Every step was reported with the band's element index.
    const auto reported = TakeSelections();
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back().eq, kEqMusicLeft);
    EXPECT_EQ(reported.back().index, 6);
}

TEST_F(CurveViewTest, RightDragChangesQByOneCodePerTenPixels) {
    CFilter* band = At(4);
    band->SetQCode(50);
    const QPoint c = CentreOf(band);
    const auto before = Snapshot();
    DragFromTo(view.get(), c, c + QPoint(25, 7), Qt::RightButton);
    EXPECT_EQ(MusicBand(4).qCode, 52);
    const auto changed = ChangedOffsets(before, Snapshot());
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], OffsetOf(&MusicBand(4).qCode));

    DragFromTo(view.get(), CentreOf(band), CentreOf(band) - QPoint(25, 0), Qt::RightButton);
    EXPECT_EQ(MusicBand(4).qCode, 50);
    DragFromTo(view.get(), CentreOf(band), CentreOf(band) + QPoint(4000, 0), Qt::RightButton);
    EXPECT_EQ(MusicBand(4).qCode, 100);
    DragFromTo(view.get(), CentreOf(band), CentreOf(band) - QPoint(4000, 0), Qt::RightButton);
    EXPECT_EQ(MusicBand(4).qCode, 0);
    // A right press posts nothing of its own.
    MoveTo(view.get(), CentreOf(band));
    TakeSelections();
    Press(view.get(), CentreOf(band), Qt::RightButton);
    EXPECT_TRUE(TakeSelections().empty());
    Release(view.get(), CentreOf(band), Qt::RightButton);
}

TEST_F(CurveViewTest, PassFiltersMoveOnlySideways) {
    PassFilter& hpf = ParameterSet.program.MusicLeft.hpf;
    PassFilter& lpf = ParameterSet.program.MusicLeft.lpf;
    CKTVEQ* set = view->CurveSet();
    CFilter* h = set->GetHighPass();
    CFilter* l = set->GetLowPass();
    h->SetSlopeCode(8);
    h->SetPassFreqCode(150);
    l->SetSlopeCode(8);
    l->SetPassFreqCode(300);

    // Sideways only: a move up and right changes the frequency, the handle keeps its height.
    const int hTop = h->Handle().top;
    const auto before = Snapshot();
    DragFromTo(view.get(), CentreOf(h), CentreOf(h) + QPoint(80, -100));
    EXPECT_GT(hpf.freqCode, 150);
    EXPECT_EQ(h->Handle().top, hTop);
    for (size_t off : ChangedOffsets(before, Snapshot())) {
        EXPECT_TRUE(off == OffsetOf(&hpf.freqCode) || off == OffsetOf(&hpf.freqCode) + 1);
    }

    // H pulled to the left edge, straight after the last drag without leaving the handle:
    // code 0 and no high-pass in the total curve.
    DragFromTo(view.get(), CentreOf(h), {0, CentreOf(h).y()});
    EXPECT_EQ(hpf.freqCode, 0);
    for (double r : h->GetResponse()) {
        ASSERT_EQ(r, 0.0);
    }
    // L pulled to the left edge: code 0, the low-pass drawn at 19.7 Hz.
    DragFromTo(view.get(), CentreOf(l), {0, CentreOf(l).y()});
    EXPECT_EQ(lpf.freqCode, 0);
    EXPECT_LT(l->GetResponse()[kGridPoints - 1], -60.0);

    // The right button does nothing to a pass filter (held by its top edge, clear of band 1,
    // which lies over its lower half at the left edge).
    const QPoint top(CentreOf(h).x(), h->Handle().top + 2);
    const auto held = Snapshot();
    DragFromTo(view.get(), top, top + QPoint(200, 0), Qt::RightButton);
    EXPECT_EQ(view->CurrentFilter(), nullptr);
    EXPECT_TRUE(ChangedOffsets(held, Snapshot()).empty());
}

TEST_F(CurveViewTest, OverlappingHandlesPickTheLowerBandAndDrawItsTextOnTop) {
    At(2)->SetFreqCode(200);
    At(2)->SetGainCode(150);
    At(5)->SetFreqCode(201);
    At(5)->SetGainCode(150);
    ASSERT_TRUE(At(2)->Handle().Contains(At(5)->Handle().Center()));
    MoveTo(view.get(), CentreOf(At(5)));
    EXPECT_EQ(view->CurrentBandIndex(), 2);
    EXPECT_EQ(view->CurrentFilter(), At(2));
    EXPECT_EQ(view->HighlightedFilter(), At(2));
    DragFromTo(view.get(), CentreOf(At(5)), CentreOf(At(5)) + QPoint(0, -20));
    EXPECT_EQ(MusicBand(5).gainCode, 150);
    EXPECT_NE(MusicBand(2).gainCode, 150);
}

TEST_F(CurveViewTest, AClickReportsThePickedIndexAfterTheEventAlsoOnEmptyPlot) {
    MoveTo(view.get(), CentreOf(At(8)));
    Press(view.get(), CentreOf(At(8)));
    // Posted: nothing is reported while the press is being handled.
    EXPECT_TRUE(selections.empty());
    Release(view.get(), CentreOf(At(8)));
    auto reported = TakeSelections();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].eq, kEqMusicLeft);
    EXPECT_EQ(reported[0].index, 8);

    // Empty plot area far from every handle: the index picked last.
    const QPoint empty(600, 260);
    MoveTo(view.get(), empty);
    EXPECT_FALSE(view->IsHovering());
    const auto before = Snapshot();
    Press(view.get(), empty);
    MoveTo(view.get(), empty + QPoint(30, -30), Qt::LeftButton);
    Release(view.get(), empty + QPoint(30, -30));
    reported = TakeSelections();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].index, 8);
    EXPECT_TRUE(ChangedOffsets(before, Snapshot()).empty());
}

TEST_F(CurveViewTest, OutputsCannotBeDraggedWhileTheOutputModeIsAuto) {
    view->SizeCurveSets(4);
    ParameterSet.program.OutputMode = 0;
    Show(kEqOutputFirst + 2);
    const QPoint c = CentreOf(At(3));
    const auto before = Snapshot();
    DragFromTo(view.get(), c, c + QPoint(50, -50));
    DragFromTo(view.get(), c, c + QPoint(50, 0), Qt::RightButton);
    EXPECT_TRUE(ChangedOffsets(before, Snapshot()).empty());
    EXPECT_EQ(view->CurrentFilter(), nullptr);

    // Hovered while a scene was chosen, then switched to Auto: still no drag.
    ParameterSet.program.OutputMode = 2;
    Show(kEqOutputFirst + 2);
    MoveTo(view.get(), CentreOf(At(3)));
    ASSERT_TRUE(view->IsHovering());
    ParameterSet.program.OutputMode = 0;
    const auto auto_ = Snapshot();
    Press(view.get(), CentreOf(At(3)));
    MoveTo(view.get(), CentreOf(At(3)) + QPoint(40, 40), Qt::LeftButton);
    Release(view.get(), CentreOf(At(3)) + QPoint(40, 40));
    EXPECT_TRUE(ChangedOffsets(auto_, Snapshot()).empty());

    // With a scene chosen the same drag edits that scene's channel.
    ParameterSet.program.OutputMode = 2;
    DragFromTo(view.get(), CentreOf(At(3)), CentreOf(At(3)) + QPoint(0, -40));
    EXPECT_GT(ParameterSet.program.scenes[1].channels[2].bands[3].gainCode, 120);
}

TEST_F(CurveViewTest, ForgettingTheElementDuringADragEndsThatDrag) {
    // The page switches the curve while a band is held; the band must not follow the bare
    // pointer later.
    const QPoint c = CentreOf(At(5));
    MoveTo(view.get(), c);
    Press(view.get(), c);
    Show(kEqMusicLeft);
    Release(view.get(), c);
    const auto before = Snapshot();
    MoveTo(view.get(), c);
    ASSERT_EQ(view->CurrentFilter(), At(5));
    MoveTo(view.get(), c + QPoint(3, -5));
    EXPECT_TRUE(ChangedOffsets(before, Snapshot()).empty());
}

TEST_F(CurveViewTest, CursorShowsWhatAHandleCanDo) {
    MoveTo(view.get(), CentreOf(At(1)));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeAllCursor);
    CFilter* l = view->CurveSet()->GetLowPass();
    MoveTo(view.get(), {600, 260});
    MoveTo(view.get(), CentreOf(l));
    EXPECT_EQ(view->CurrentFilter(), l);
    EXPECT_EQ(view->cursor().shape(), Qt::SizeHorCursor);
    MoveTo(view.get(), {600, 260});
    EXPECT_EQ(view->CurrentFilter(), nullptr);  // leaving H or L forgets it
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

// ---- pixels -----------------------------------------------------------------------------

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

int CountColour(const QImage& image, const QRect& area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += Pixel(image, x, y) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return n;
}

TEST_F(CurveViewTest, AFlatSetDrawsItsTotalCurveOnTheFourthGridLine) {
    const QImage& frame = view->Frame();
    ASSERT_EQ(frame.size(), QSize(test::kViewWidth, test::kViewHeight));
    const int h = PlotHeight();
    const int fourth = 10 + static_cast<int>(h / 12.0 * 4);
    const QRgb red = qRgb(255, 49, 68);
    const QRgb grid = qRgb(21, 100, 21);
    // Away from the band texts, which sit on the same line.
    for (int x : {50, 400, 900, 1200}) {
        if (x >= 1200) {
            continue;
        }
        EXPECT_EQ(Pixel(frame, x, fourth), red & 0xFFFFFF) << x;
    }
    EXPECT_EQ(Pixel(frame, 300, 10 + static_cast<int>(h / 12.0 * 3)), grid & 0xFFFFFF);
    EXPECT_EQ(Pixel(frame, 300, 10 + static_cast<int>(h / 12.0 * 6)), grid & 0xFFFFFF);
    // Border of the plot and of the client area.
    EXPECT_EQ(Pixel(frame, 35, 150), qRgb(0, 180, 0) & 0xFFFFFF);
    EXPECT_EQ(Pixel(frame, 0, 150), qRgb(100, 100, 100) & 0xFFFFFF);
}

TEST_F(CurveViewTest, BypassCaptionFollowsTheBypassByteButNeverOnTheDynamicEq) {
    const QRect plot(36, 11, 1188, 275);
    const QRgb fill = qRgb(155, 155, 155);
    EXPECT_EQ(CountColour(view->Frame(), plot, fill), 0);
    ParameterSet.program.MusicLeft.eqBypass = 1;
    view->SelectBand(-1, 0);
    EXPECT_GT(CountColour(view->Frame(), plot, fill), 1000);
    Show(kEqDynamicLeft);
    EXPECT_EQ(CountColour(view->Frame(), plot, fill), 0);

    // Outputs: the channel of the scene the mode names; none in Auto.
    ParameterSet.program.scenes[2].channels[1].eqBypass = 1;
    ParameterSet.program.OutputMode = 3;
    Show(kEqOutputFirst + 1);
    EXPECT_GT(CountColour(view->Frame(), plot, fill), 1000);
    ParameterSet.program.OutputMode = 0;
    view->SelectBand(-1, 0);
    EXPECT_EQ(CountColour(view->Frame(), plot, fill), 0);
}

TEST_F(CurveViewTest, TheHighlightedBandHasItsFilledResponseAndRedFrame) {
    At(7)->SetType(kTypePeaking);
    At(7)->SetGainCode(170);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb fill = qRgb(68, 86, 98);
    EXPECT_EQ(CountColour(view->Frame(), QRect(0, 0, 1235, 307), red), 0);
    MoveTo(view.get(), CentreOf(At(7)));
    const Rect& h = At(7)->Handle();
    const QImage& frame = view->Frame();
    EXPECT_EQ(Pixel(frame, h.left, h.top + 3), red & 0xFFFFFF);
    EXPECT_EQ(Pixel(frame, h.right - 1, h.bottom - 3), red & 0xFFFFFF);
    // Below the peak, between the curve and the 0 dB line: the band's own response.
    const int x = At(7)->Handle().Center().x;
    EXPECT_EQ(Pixel(frame, x + 2, h.bottom + 20), fill & 0xFFFFFF);
    // Selecting another element moves the highlight there.
    view->SelectBand(1, 1);
    EXPECT_EQ(view->HighlightedFilter(), At(1));
    EXPECT_EQ(view->CurrentFilter(), nullptr);
    EXPECT_NE(Pixel(view->Frame(), h.left, h.top + 3), red & 0xFFFFFF);
}

// A shown view follows the image model: a change of its equaliser's records by anyone (a
// field typed on a page, a received image) redraws it when the notice comes.
TEST_F(CurveViewTest, AShownViewRedrawsFromTheModelsNotices) {
    view->show();
    CImageModel& model = CImageModel::Editor();
    model.Flush();
    const QImage before = view->Frame().copy();

    model.WriteField("MusicLeft.bands[3].gainCode", 200, ChangeOrigin::FromControl(1));
    model.WriteField("MusicLeft.bands[3].type", 1, ChangeOrigin::FromControl(2));
    EXPECT_EQ(view->Frame(), before);  // not before the notice
    QCoreApplication::processEvents();
    EXPECT_NE(view->Frame(), before);
    EXPECT_EQ(At(3)->GetGainCode(), 200);  // the set followed the field at once
}

}  // namespace
}  // namespace qx
