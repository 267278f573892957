#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>

#include "BitButton.h"
#include "BitComboBox.h"
#include "ControlsTestSupport.h"
#include "SLamp.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"

namespace qx {
namespace {

void Enter(QWidget* w) {
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(w, &enter);
}

void Leave(QWidget* w) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
}

TEST(BitButton, CheckedIdsOfZeroTakeTheUncheckedImages) {
    CBitButton button;
    button.SetBitmaps(skinid::kPageButton, skinid::kPageButtonPressed, skinid::kPageButtonPressed);
    button.SetCheck(1);
    EXPECT_EQ(button.CurrentImage(), CSkinBitmaps::Get(skinid::kPageButton));
    button.SetBitmaps(skinid::kModeButton, skinid::kModeButtonPressed, skinid::kModeButtonPressed,
                      0, 0, 0);
    EXPECT_EQ(button.CurrentImage(), CSkinBitmaps::Get(skinid::kModeButton));
}

TEST(BitButton, HoverAndPressFollowTheMouse) {
    QWidget parent;
    auto* button = new CBitButton(&parent, 3550);
    button->setGeometry(0, 0, 86, 25);
    button->SetBitmaps(skinid::kPageButton, skinid::kPageButtonPressed, skinid::kPageButtonPressed);
    button->setText(QStringLiteral("复位"));
    EXPECT_EQ(button->CurrentTextColor(), QColor(255, 255, 255));
    Enter(button);
    EXPECT_EQ(button->CurrentState(), CBitButton::kHover);
    EXPECT_EQ(button->CurrentTextColor(), QColor(0, 0, 0));

    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(button->CurrentState(), CBitButton::kPressed);
    EXPECT_EQ(button->CurrentImage(), CSkinBitmaps::Get(skinid::kPageButtonPressed));
    // Dragged off the button: the pressed image goes, and comes back on return.
    QMouseEvent away(QEvent::MouseMove, QPointF(200, 10), button->mapToGlobal(QPointF(200, 10)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &away);
    EXPECT_EQ(button->CurrentState(), CBitButton::kNormal);
    test::DragTo(button, QPoint(10, 10));
    EXPECT_EQ(button->CurrentState(), CBitButton::kPressed);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(button->CurrentState(), CBitButton::kHover);
    EXPECT_EQ(clicks, 1);
    Leave(button);
    EXPECT_EQ(button->CurrentState(), CBitButton::kNormal);
}

TEST(BitButton, DisabledLookAndMissingBitmaps) {
    CBitButton button;
    button.resize(86, 25);
    button.SetBitmaps(152, 153, 153, 153, 153, 153);
    button.SetDisabledBitmaps(152, 153);
    button.setText(QStringLiteral("Modify"));
    button.setEnabled(false);
    EXPECT_EQ(button.CurrentImage(), CSkinBitmaps::Get(152));
    EXPECT_EQ(button.CurrentTextColor(), QColor(153, 153, 153));
    button.SetCheck(1);
    EXPECT_EQ(button.CurrentImage(), CSkinBitmaps::Get(153));

    // No image for a state: the button face is filled instead.
    CBitButton bare;
    bare.resize(40, 20);
    bare.SetBitmaps(9999, 9999, 9999);
    const QImage drawn = test::Render(&bare);
    EXPECT_EQ(drawn.pixelColor(20, 10), skin::kButtonFace);
}

TEST(BitComboBox, TextMovesRightOnceAnyComboHasShownItsList) {
    CBitComboBox::ResetTextIndent();
    QWidget parent;
    auto* first = new CBitComboBox(&parent);
    auto* second = new CBitComboBox(&parent);
    for (CBitComboBox* combo : {first, second}) {
        combo->SetEdgeBitmaps(skinid::kComboLeft, skinid::kComboRight, skinid::kComboMiddle);
        combo->SetListBitmaps(skinid::kListLeft, skinid::kListRight, skinid::kListTop,
                              skinid::kListBottom);
        combo->addItems({QStringLiteral("BY"), QStringLiteral("P")});
    }
    EXPECT_EQ(CBitComboBox::TextIndent(), 0);
    parent.show();
    second->showPopup();
    EXPECT_EQ(CBitComboBox::TextIndent(), 6);
    second->hidePopup();
    CBitComboBox::ResetTextIndent();
}

TEST(SLamp, LevelsLightTheirSegments) {
    CSLamp lamp;
    lamp.resize(12, 180);
    auto lit = [&lamp] {
        std::vector<int> on;
        for (int i = 0; i < CSLamp::kSegments; ++i) {
            if (lamp.IsOn(i)) {
                on.push_back(i);
            }
        }
        return on;
    };
    lamp.SetLevel(109);
    EXPECT_TRUE(lit().empty());
    lamp.SetLevel(110);
    EXPECT_EQ(lit(), std::vector<int>{0});
    lamp.SetLevel(116);
    EXPECT_EQ(lit(), (std::vector<int>{0, 1}));
    lamp.SetLevel(200);
    EXPECT_EQ(lit().size(), 17u);
    EXPECT_TRUE(lamp.IsOn(16));
    lamp.SetLevel(250);
    EXPECT_EQ(lit().size(), 17u);
    lamp.SetMark(100);
    EXPECT_TRUE(lamp.IsOn(17));
    lamp.SetLevel(0);  // the mark stays
    EXPECT_EQ(lit(), std::vector<int>{17});
    lamp.AllOff();
    EXPECT_TRUE(lit().empty());

    // Pixels: lit segments in their colours, the rest grey; the mark is inside the control.
    lamp.SetLevel(200);
    lamp.SetMark(0);
    const QImage drawn = test::Render(&lamp);
    for (int i = 0; i < CSLamp::kSegments; ++i) {
        const QRect r = lamp.SegmentRect(i);
        ASSERT_TRUE(lamp.rect().contains(r)) << i;
        EXPECT_EQ(drawn.pixelColor(r.center()), CSLamp::SegmentColor(i)) << i;
    }
    EXPECT_EQ(CSLamp::SegmentColor(0), QColor(0, 176, 80));
    EXPECT_EQ(CSLamp::SegmentColor(16), QColor(255, 255, 0));
    EXPECT_EQ(CSLamp::SegmentColor(17), QColor(255, 165, 0));
    lamp.SetLevel(109);
    const QImage dark = test::Render(&lamp);
    EXPECT_EQ(dark.pixelColor(lamp.SegmentRect(0).center()), skin::kLampOff);
}

TEST(SLamp, RepaintsOnlyWhenASegmentChanges) {
    CSLamp lamp;
    lamp.resize(12, 180);
    lamp.SetLevel(150);
    test::Render(&lamp);
    const int before = lamp.RepaintRequests();
    lamp.SetLevel(151);  // same segments
    lamp.SetMark(250);   // mark already off
    EXPECT_EQ(lamp.RepaintRequests(), before);
    lamp.SetLevel(200);
    EXPECT_EQ(lamp.RepaintRequests(), before + 1);
}

}  // namespace
}  // namespace qx
