#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPainter>
#include <QTest>

#include "BitmapSlider.h"
#include "ControlsTestSupport.h"
#include "SkinBitmaps.h"
#include "SxGroupBox.h"

namespace qx {
namespace {

using test::CSignalRecorder;
using test::DragTo;
using test::Render;
using test::Wheel;

constexpr int kId = 3600;

// A page slider as the pages set it up: channel 142 (184 wide), active 155, thumb 141.
struct PageSlider {
    CSignalRecorder parent;
    CBitmapSlider* slider = new CBitmapSlider(&parent, kId);

    explicit PageSlider(int minimum = 0, int maximum = 100) {
        parent.Watch(slider);
        EXPECT_TRUE(slider->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel));
        EXPECT_TRUE(slider->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb));
        slider->SetRange(minimum, maximum);
        slider->move(10, 10);
    }
    QPoint At(int x) const { return QPoint(x, slider->height() / 2); }
};

TEST(BitmapSlider, GeometryFollowsIntegerRules) {
    PageSlider s(0, 100);
    EXPECT_EQ(s.slider->size(), QSize(184, 19));
    // Usable length 184 - 11 = 173; centres start at 11 / 2 = 5.
    EXPECT_EQ(s.slider->CentreOf(0), 5);
    EXPECT_EQ(s.slider->CentreOf(100), 178);
    EXPECT_EQ(s.slider->CentreOf(50), 86 + 5);  // trunc(173 * 50 / 100) + 5
    EXPECT_EQ(s.slider->PositionOf(5), 0);
    EXPECT_EQ(s.slider->PositionOf(178), 100);
    EXPECT_EQ(s.slider->PositionOf(91), 49);  // trunc(86 / 173 * 100)

    // Margins shrink the usable length; a vertical slider puts the minimum at the top.
    CBitmapSlider vertical;
    vertical.SetVertical(true);
    ASSERT_TRUE(vertical.SetBitmapChannel(skinid::kGainChannel, 0));
    ASSERT_TRUE(vertical.SetBitmapThumb(skinid::kGainThumb, skinid::kGainActiveThumb, true));
    vertical.SetMargin(12, 1, 0, 2);
    vertical.SetRange(0, 180);
    EXPECT_EQ(vertical.CentreOf(0), 1 + 10);
    EXPECT_EQ(vertical.CentreOf(180), 1 + 10 + (123 - 1 - 2 - 21));
}

TEST(BitmapSlider, SetPosClampsAndInvertedPairMirrorsTheRange) {
    PageSlider s(0, 200);
    s.slider->SetPos(250);
    EXPECT_EQ(s.slider->GetPos(), 200);
    s.slider->SetPos(-3);
    EXPECT_EQ(s.slider->GetPos(), 0);
    s.slider->SetRange(60, 180);
    EXPECT_EQ(s.slider->GetPos(), 60);
    s.slider->SetPosInverted(170);
    EXPECT_EQ(s.slider->GetPos(), 70);
    EXPECT_EQ(s.slider->GetPosInverted(), 170);
    // Outside the range the thumb stays on the channel.
    s.slider->SetPosInverted(20);
    EXPECT_EQ(s.slider->GetPos(), 180);
    EXPECT_EQ(s.slider->GetPosInverted(), 60);
    // Setting positions never reports anything.
    EXPECT_TRUE(s.parent.Take().empty());
}

TEST(BitmapSlider, ClickOnChannelStepsOnceAndReportsOnRelease) {
    PageSlider s;
    s.slider->SetPos(50);
    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(170));
    EXPECT_EQ(s.slider->GetPos(), 51);
    EXPECT_FALSE(s.slider->IsDragging());
    // Moving after a channel click does not drag.
    DragTo(s.slider, s.At(120));
    EXPECT_EQ(s.slider->GetPos(), 51);
    QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(120));
    auto messages = s.parent.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].report, test::Report::Changed);
    EXPECT_EQ(messages[0].id, kId);
    EXPECT_EQ(messages[0].value, 51);

    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(2));
    QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(2));
    EXPECT_EQ(s.slider->GetPos(), 50);
}

TEST(BitmapSlider, DragFollowsTheMouseAndReachesTheMinimum) {
    PageSlider s(10, 110);
    s.slider->SetPos(60);
    const int centre = s.slider->CentreOf(60);
    // Pressed 3 pixels right of the thumb centre: the offset is kept during the drag.
    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(centre + 3));
    EXPECT_TRUE(s.slider->IsDragging());
    EXPECT_EQ(s.slider->GetPos(), 60);
    DragTo(s.slider, s.At(100 + 3));
    EXPECT_EQ(s.slider->GetPos(), s.slider->PositionOf(100));
    DragTo(s.slider, s.At(-40));
    EXPECT_EQ(s.slider->GetPos(), 10);
    DragTo(s.slider, s.At(500));
    EXPECT_EQ(s.slider->GetPos(), 110);
    DragTo(s.slider, s.At(0));
    QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(0));
    EXPECT_FALSE(s.slider->IsDragging());
    auto messages = s.parent.Take();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().report, test::Report::Changed);
    EXPECT_EQ(messages.back().id, kId);
    EXPECT_EQ(messages.back().value, 10);
}

TEST(BitmapSlider, TrackingIsPostedOnlyWhenTheThumbMoved) {
    PageSlider s;
    s.slider->SetPos(20);
    const int centre = s.slider->CentreOf(20);
    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(centre));
    // Button held, mouse still: several timer periods pass without a report.
    QTest::qWait(4 * CBitmapSlider::kTimerPeriodMs);
    EXPECT_EQ(s.parent.Count(test::Report::Tracking), 0);

    DragTo(s.slider, s.At(centre + 40));
    const int moved = s.slider->GetPos();
    QTest::qWait(4 * CBitmapSlider::kTimerPeriodMs);
    auto messages = s.parent.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].report, test::Report::Tracking);
    EXPECT_EQ(messages[0].id, kId);
    EXPECT_EQ(messages[0].value, moved);

    QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(centre + 40));
    QTest::qWait(2 * CBitmapSlider::kTimerPeriodMs);
    messages = s.parent.Take();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].report, test::Report::Changed);
}

TEST(BitmapSlider, KeysStepClampAndReport) {
    PageSlider s(0, 200);
    s.slider->SetPos(195);
    QTest::keyClick(s.slider, Qt::Key_PageUp);
    EXPECT_EQ(s.slider->GetPos(), 200);
    QTest::keyClick(s.slider, Qt::Key_PageDown);
    EXPECT_EQ(s.slider->GetPos(), 190);
    QTest::keyClick(s.slider, Qt::Key_Up);
    EXPECT_EQ(s.slider->GetPos(), 191);
    QTest::keyClick(s.slider, Qt::Key_Down);
    QTest::keyClick(s.slider, Qt::Key_Down);
    EXPECT_EQ(s.slider->GetPos(), 189);
    QTest::keyClick(s.slider, Qt::Key_Right);
    EXPECT_EQ(s.slider->GetPos(), 190);
    QTest::keyClick(s.slider, Qt::Key_Left);
    EXPECT_EQ(s.slider->GetPos(), 189);
    QTest::keyClick(s.slider, Qt::Key_Home);
    EXPECT_EQ(s.slider->GetPos(), 0);
    QTest::keyClick(s.slider, Qt::Key_Left);  // unchanged, still reported
    QTest::keyClick(s.slider, Qt::Key_End);
    EXPECT_EQ(s.slider->GetPos(), 200);
    auto messages = s.parent.Take();
    ASSERT_EQ(messages.size(), 10u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.report, test::Report::Changed);
        EXPECT_EQ(m.id, kId);
    }
    EXPECT_EQ(messages[0].value, 200);
    EXPECT_EQ(messages[8].value, 0);
    QTest::keyClick(s.slider, Qt::Key_A);
    EXPECT_TRUE(s.parent.Take().empty());

    // Vertical: the top is the minimum position and the highest value; every raising key
    // moves towards it.
    s.slider->SetVertical(true);
    s.slider->SetPos(100);
    QTest::keyClick(s.slider, Qt::Key_Up);
    EXPECT_EQ(s.slider->GetPos(), 99);
    QTest::keyClick(s.slider, Qt::Key_Right);
    EXPECT_EQ(s.slider->GetPos(), 98);
    QTest::keyClick(s.slider, Qt::Key_PageUp);
    EXPECT_EQ(s.slider->GetPos(), 88);
    QTest::keyClick(s.slider, Qt::Key_Left);
    EXPECT_EQ(s.slider->GetPos(), 89);
}

TEST(BitmapSlider, WheelDirectionsAndAccumulator) {
    PageSlider s;
    s.slider->SetPos(50);
    Wheel(s.slider, 120);  // away from the user: right
    EXPECT_EQ(s.slider->GetPos(), 51);
    Wheel(s.slider, -120);
    EXPECT_EQ(s.slider->GetPos(), 50);
    EXPECT_EQ(s.parent.Count(test::Report::Changed), 2);
    s.parent.Take();
    Wheel(s.slider, 60);  // half a notch: nothing yet, nothing posted
    EXPECT_EQ(s.slider->GetPos(), 50);
    EXPECT_TRUE(s.parent.Take().empty());
    Wheel(s.slider, 60);
    EXPECT_EQ(s.slider->GetPos(), 51);
    EXPECT_EQ(s.parent.Count(test::Report::Changed), 1);
    s.parent.Take();

    // Vertical: away from the user moves the thumb up (position - 1), and every wheel message
    // is reported.
    s.slider->SetVertical(true);
    Wheel(s.slider, 120);
    EXPECT_EQ(s.slider->GetPos(), 50);
    Wheel(s.slider, 40);
    EXPECT_EQ(s.slider->GetPos(), 50);
    Wheel(s.slider, -240);  // clamped to one notch
    EXPECT_EQ(s.slider->GetPos(), 51);
    auto messages = s.parent.Take();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].value, 50);
    EXPECT_EQ(messages[2].value, 51);
}

TEST(BitmapSlider, DisabledSliderDrawsNoThumbAndIgnoresInput) {
    PageSlider s;
    s.slider->SetPos(50);
    s.slider->Enable(false);
    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(170));
    QTest::mouseRelease(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(170));
    QTest::keyClick(s.slider, Qt::Key_PageDown);
    Wheel(s.slider, 120);
    EXPECT_EQ(s.slider->GetPos(), 50);
    EXPECT_TRUE(s.parent.Take().empty());

    // Only the plain channel, faded so that it reads as read-only: no thumb, no active part.
    const QImage drawn = Render(s.slider);
    QImage channel(drawn.size(), drawn.format());
    channel.fill(Qt::transparent);
    {
        QPainter p(&channel);
        p.setOpacity(CBitmapSlider::kDisabledOpacity);
        p.drawImage(0, 0, CSkinBitmaps::Get(skinid::kSliderChannel));
    }
    EXPECT_EQ(drawn, channel);
    EXPECT_NE(drawn, CSkinBitmaps::Get(skinid::kSliderChannel).convertToFormat(drawn.format()));

    // Disabling during a drag ends it.
    s.slider->Enable(true);
    const int centre = s.slider->CentreOf(50);
    QTest::mousePress(s.slider, Qt::LeftButton, Qt::NoModifier, s.At(centre));
    ASSERT_TRUE(s.slider->IsDragging());
    s.slider->Enable(false);
    EXPECT_FALSE(s.slider->IsDragging());
    DragTo(s.slider, s.At(centre + 50));
    EXPECT_EQ(s.slider->GetPos(), 50);
}

TEST(BitmapSlider, ActiveChannelSplitsAtTheThumbCentreAndFocusLookUsesActiveThumb) {
    CBitmapSlider slider;
    QImage channel(40, 10, QImage::Format_ARGB32_Premultiplied);
    channel.fill(QColor(10, 10, 10));
    QImage active(40, 10, QImage::Format_ARGB32_Premultiplied);
    active.fill(QColor(200, 0, 0));
    QImage thumb(4, 6, QImage::Format_ARGB32_Premultiplied);
    thumb.fill(QColor(0, 0, 200));
    QImage activeThumb(4, 6, QImage::Format_ARGB32_Premultiplied);
    activeThumb.fill(QColor(0, 200, 0));
    ASSERT_TRUE(slider.SetChannelImages(channel, active, false, CBitmapSlider::kPixelColor, 0, 0));
    ASSERT_TRUE(slider.SetThumbImages(thumb, activeThumb, false, CBitmapSlider::kPixelColor, 0, 0));
    slider.SetMargin(0, 2, 0, 0);
    slider.SetRange(0, 36);
    slider.SetPos(18);
    const int centre = slider.CentreOf(18);  // 18 + 2
    QImage drawn = Render(&slider);
    EXPECT_EQ(drawn.pixelColor(centre - 3, 1), QColor(200, 0, 0));
    EXPECT_EQ(drawn.pixelColor(centre + 3, 1), QColor(10, 10, 10));
    EXPECT_EQ(drawn.pixelColor(centre, 4), QColor(0, 0, 200));
    EXPECT_EQ(drawn.pixelColor(centre, 1), QColor(10, 10, 10));  // above the thumb: channel
    slider.SetFocusLook(true);
    drawn = Render(&slider);
    EXPECT_EQ(drawn.pixelColor(centre, 4), QColor(0, 200, 0));
}

TEST(BitmapSlider, TransparentColourAndFailedLoads) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    image.setPixelColor(1, 1, QColor(1, 2, 3));
    image.setPixelColor(2, 1, QColor(9, 9, 9));
    // 0xFF000000: the colour of the given pixel.
    QImage masked = MaskTransparent(image, CBitmapSlider::kPixelColor, 0, 0);
    EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(masked.pixel(1, 1)), 255);
    masked = MaskTransparent(image, MakeColorRef(1, 2, 3), 0, 0);
    EXPECT_EQ(qAlpha(masked.pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(masked.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(masked.pixel(2, 1)), 255);

    CBitmapSlider slider;
    EXPECT_TRUE(slider.SetBitmapChannel(skinid::kSliderChannel, 0));
    EXPECT_FALSE(slider.SetBitmapChannel(skinid::kSliderChannel, 9999));
    // A failed active image leaves the normal one out too: nothing is drawn.
    EXPECT_TRUE(Render(&slider).allGray());
    EXPECT_FALSE(slider.SetBitmapThumb(9999));
    EXPECT_TRUE(slider.SetBitmapChannel(0));
}

// Controls sit in group boxes and strips; what they report must reach whoever listens, with
// the slider's reports posted (after the event) and the edit's sent (before the event ends).
TEST(ControlReports, ReachTheOwnerFromNestedContainersPostedOrSent) {
    CSignalRecorder owner;
    auto* box = new CSxGroupBox(&owner);
    auto* inner = new QWidget(box);
    auto* slider = new CBitmapSlider(inner, kId);
    ASSERT_TRUE(slider->SetBitmapChannel(skinid::kSliderChannel, skinid::kSliderActiveChannel));
    ASSERT_TRUE(slider->SetBitmapThumb(skinid::kSliderThumb, skinid::kSliderThumb));
    auto* edit = new CNumEdit(inner, kId + 1);
    edit->SetRange(0, 361);
    edit->SetKind(CNumEdit::kModeFrequency, QStringLiteral("Hz"));
    owner.Watch(slider);
    owner.Watch(edit);

    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(slider, &end);
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(slider, &home);
    // Posted: nothing yet, then both positions in order, each as it was when reported.
    int seen = 0;
    QObject::connect(slider, &CBitmapSlider::Changed, [&seen](int, int) { ++seen; });
    EXPECT_EQ(seen, 0);
    auto messages = owner.Take();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].value, 100);
    EXPECT_EQ(messages[1].value, 0);

    edit->selectAll();
    QTest::keyClicks(edit, "1000");
    int committed = 0;
    QObject::connect(edit, &CNumEdit::ValueCommitted, [&committed](int id) {
        EXPECT_EQ(id, kId + 1);
        ++committed;
    });
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
    EXPECT_EQ(committed, 1);  // sent: already delivered when the focus change returns

    // A slider deleted before the event loop runs drops its pending report.
    QApplication::sendEvent(slider, &end);
    delete slider;
    EXPECT_EQ(owner.Count(test::Report::Changed), 0);
    EXPECT_EQ(owner.Count(test::Report::Committed), 1);
}

}  // namespace
}  // namespace qx
