#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ControlsTestSupport.h"
#include "EnTabCtrl.h"
#include "SkinColors.h"

namespace qx {
namespace {

// The main window's tab control: white background colour, mode 2, all look flags.
struct MainTabs {
    CEnTabCtrl tabs{nullptr, 2};
    MainTabs() {
        CEnTabCtrl::SetLook(true, 31);
        tabs.SetBackgroundColor(QColor(255, 255, 255));
        tabs.resize(900, 120);
        const char* labels[] = {"Music",  "DEQ", "Mic",  "Effect",   "Main",
                                "Center", "SUB", "Rear", "Surround", "System"};
        for (int i = 0; i < 10; ++i) {
            tabs.InsertItem(i, QString::fromLatin1(labels[i]));
        }
        tabs.SetItemWidth(80);
        tabs.SetCurSel(9);
    }
    ~MainTabs() { CEnTabCtrl::SetLook(false, 0); }
};

TEST(TabCtrl, ColourFunctions) {
    EXPECT_EQ(Lighter(QColor(56, 62, 66), 1.9), QColor(106, 117, 125));
    EXPECT_EQ(Lighter(QColor(200, 100, 0), 1.5), QColor(255, 150, 0));
    EXPECT_EQ(Darker(QColor(255, 255, 255), 0.7), QColor(178, 178, 178));
    EXPECT_EQ(Darker(QColor(100, 50, 10), 2.0), QColor(100, 50, 10));  // factor limited to 1
    MainTabs m;
    EXPECT_EQ(m.tabs.GetTabColor(false), QColor(106, 117, 125));
    EXPECT_EQ(m.tabs.GetTabColor(true), QColor(163, 174, 182));
    EXPECT_EQ(m.tabs.GetTabTextColor(false), QColor(25, 25, 25));
    EXPECT_EQ(m.tabs.GetTabTextColor(true), QColor(255, 0, 0));
    CEnTabCtrl::SetLook(true, 1);
    EXPECT_EQ(m.tabs.GetTabColor(false), QColor(56, 62, 66));
    EXPECT_EQ(m.tabs.GetTabColor(true), skin::kButtonFace);
    CEnTabCtrl::SetLook(false, 31);
    EXPECT_EQ(CEnTabCtrl::Look(), 0);
    EXPECT_EQ(m.tabs.GetTabTextColor(false), Darker(skin::kButtonFace, 0.5));
}

TEST(TabCtrl, MainWindowTabsGradeFromTheirColourInTwoPixelBands) {
    MainTabs m;
    const QImage drawn = test::Render(&m.tabs);
    // Unselected tab 0: drawn rectangle = item rectangle with its bottom 2 up, filled 2 below.
    const QRect item = m.tabs.GetItemRect(0);
    const int x = item.left() + 1 + 2;  // clear of the border lines and the text
    const int height = item.height();
    EXPECT_EQ(drawn.pixelColor(x, item.top() + 1), QColor(106, 117, 125));
    const QColor end(178, 178, 178);
    for (int y = 0; y < height; y += 2) {
        const QColor band = CEnTabCtrl::BandColor(QColor(106, 117, 125), end, y, height);
        // The top row carries the light edge line; look at the band's second row if it has one.
        EXPECT_EQ(drawn.pixelColor(x, item.top() + y + (y + 1 < height ? 1 : 0)), band) << y;
    }
    EXPECT_EQ(CEnTabCtrl::BandColor(QColor(106, 117, 125), end, height, height), end);
    // Text of unselected tabs is nearly black, the selected tab's is red.
    auto darkest = [&drawn](const QRect& r) {
        QColor best(255, 255, 255);
        for (int yy = r.top(); yy <= r.bottom(); ++yy) {
            for (int xx = r.left(); xx <= r.right(); ++xx) {
                const QColor c = drawn.pixelColor(xx, yy);
                if (c.lightness() < best.lightness()) {
                    best = c;
                }
            }
        }
        return best;
    };
    const QColor text = darkest(item.adjusted(4, 3, -4, -3));
    EXPECT_LE(text.red(), 60);
    EXPECT_NEAR(text.red(), text.blue(), 12);
    // Selected tab: raised by 2, starts at its palette colour, red text.
    const QRect selected = m.tabs.GetItemRect(9).adjusted(0, -2, 0, 2);
    EXPECT_EQ(drawn.pixelColor(selected.left() + 3, selected.top() + 1), QColor(163, 174, 182));
    bool red = false;
    for (int yy = selected.top(); yy <= selected.bottom() && !red; ++yy) {
        for (int xx = selected.left() + 3; xx < selected.right() - 3 && !red; ++xx) {
            const QColor c = drawn.pixelColor(xx, yy);
            red = c.red() > 200 && c.green() < 90 && c.blue() < 90;
        }
    }
    EXPECT_TRUE(red);
    // The header row right of the tabs is the row colour.
    EXPECT_EQ(drawn.pixelColor(m.tabs.width() - 5, item.top() + 5), skin::kTabRowColor);
}

TEST(TabCtrl, FlatFillWithoutGradientOnFewColours) {
    MainTabs m;
    m.tabs.SetDisplayDepth(8);
    const QImage drawn = test::Render(&m.tabs);
    const QRect item = m.tabs.GetItemRect(0);
    EXPECT_EQ(drawn.pixelColor(item.left() + 3, item.top() + 1), QColor(106, 117, 125));
    EXPECT_EQ(drawn.pixelColor(item.left() + 3, item.bottom()), QColor(106, 117, 125));
}

TEST(TabCtrl, ModesSelectionAndEllipsis) {
    MainTabs m;
    EXPECT_FALSE(m.tabs.SetDrawMode(3));
    EXPECT_EQ(m.tabs.DrawMode(), 2);
    EXPECT_TRUE(m.tabs.SetDrawMode(0));
    test::Render(&m.tabs);  // the style's drawing
    EXPECT_TRUE(m.tabs.SetDrawMode(1));
    test::Render(&m.tabs);
    m.tabs.SetDrawMode(2);

    QSignalSpy changes(&m.tabs, &CBaseTabCtrl::SelChange);
    m.tabs.SetCurSel(3);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseClick(&m.tabs, Qt::LeftButton, Qt::NoModifier, m.tabs.GetItemRect(6).center());
    EXPECT_EQ(m.tabs.GetCurSel(), 6);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 6);
    QTest::mouseClick(&m.tabs, Qt::LeftButton, Qt::NoModifier, m.tabs.GetItemRect(6).center());
    EXPECT_EQ(changes.count(), 1);

    // A text longer than its tab stays inside the tab (cut with an ellipsis).
    m.tabs.SetItemText(0, QStringLiteral("A very long tab caption indeed"));
    m.tabs.SetItemWidth(50);
    const QImage drawn = test::Render(&m.tabs);
    const QRect item = m.tabs.GetItemRect(0);
    const QRect next = m.tabs.GetItemRect(1);
    const QColor start =
        CEnTabCtrl::BandColor(QColor(106, 117, 125), QColor(178, 178, 178), 4, item.height());
    for (int xx = next.left() + 1; xx < next.left() + 10; ++xx) {
        EXPECT_EQ(drawn.pixelColor(xx, next.top() + 5), start) << xx;
    }

    // No tabs: nothing but the background.
    m.tabs.DeleteAllItems();
    test::Render(&m.tabs);
}

}  // namespace
}  // namespace qx
