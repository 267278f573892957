// Tab and Shift+Tab on every page: each usable control is reached once, in reading order (top
// to bottom, left to right), and the skinned controls show that they hold the focus.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "BitButton.h"
#include "BitmapSlider.h"
#include "FocusMark.h"
#include "MivoDlg.h"
#include "PageDlg.h"
#include "PagesTestSupport.h"
#include "TabChain.h"

namespace qx {
namespace {

using test::Window;

bool Usable(const QWidget* w) {
    return TabStopsAt(w) && (w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr;
}

// Presses Tab (or Shift+Tab) from `first` until the focus leaves the page; the controls the
// focus rested on, each once however many presses it kept (the curve view walks its bands).
QList<QWidget*> Walk(QWidget* page, QWidget* first, bool backwards) {
    first->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited;
    for (int press = 0; press < 3000; ++press) {
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr || !page->isAncestorOf(now)) {
            break;
        }
        if (visited.isEmpty() || visited.back() != now) {
            if (visited.contains(now)) {
                break;  // a loop inside the page
            }
            visited.push_back(now);
        }
        QTest::keyClick(now, Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    }
    return visited;
}

QPoint TopLeft(QWidget* w, QWidget* page) {
    return w->mapTo(page, QPoint(0, 0));
}

class TabChainTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetParameters(); }
};

TEST_F(TabChainTest, TabVisitsEveryUsableControlOnceInReadingOrder) {
    Window w;
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.dlg.get()));
    for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
        w->SelectTab(tab);
        QCoreApplication::processEvents();
        CPageDlg* page = w->Page(tab);
        ASSERT_NE(page, nullptr);
        QList<QWidget*> usable;
        for (QWidget* c : TabChainControls(page)) {
            if (Usable(c)) {
                usable.push_back(c);
            }
        }
        ASSERT_GE(usable.size(), 2) << "tab " << tab;
        const QList<QWidget*> forward = Walk(page, usable.front(), false);
        EXPECT_EQ(forward, usable) << "tab " << tab;
        // Every usable control of the page is reached, or a part of one that is.
        for (QWidget* c : page->findChildren<QWidget*>()) {
            if (!Usable(c)) {
                continue;
            }
            bool reached = forward.contains(c);
            for (QWidget* up = c->parentWidget(); !reached && up != page; up = up->parentWidget()) {
                reached = forward.contains(up);
            }
            EXPECT_TRUE(reached) << "tab " << tab << ": " << c->metaObject()->className() << " at "
                                 << TopLeft(c, page).x() << "," << TopLeft(c, page).y();
        }
        // Reading order: never back up the page, and back to the left only on a lower line.
        for (qsizetype i = 1; i < forward.size(); ++i) {
            const QPoint a = TopLeft(forward[i - 1], page);
            const QPoint b = TopLeft(forward[i], page);
            EXPECT_GE(b.y(), a.y() - kTabLineTolerance) << "tab " << tab << " step " << i;
            if (b.x() < a.x()) {
                EXPECT_GT(b.y(), a.y()) << "tab " << tab << " step " << i;
            }
        }
        // Shift+Tab walks the same chain backwards.
        QList<QWidget*> backward = Walk(page, forward.back(), true);
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, forward) << "tab " << tab;
    }
}

TEST_F(TabChainTest, LinesAreReadLeftToRightWhateverTheOrderOfMaking) {
    QWidget page;
    page.resize(300, 200);
    auto make = [&page](int x, int y) {
        auto* b = new CBitButton(&page);
        b->setGeometry(x, y, 40, 20);
        return b;
    };
    // Made in column order; the middle line's tops differ by less than the tolerance.
    QWidget* lowRight = make(200, 100);
    QWidget* topRight = make(200, 10);
    QWidget* midLeft = make(10, 50 + kTabLineTolerance);
    QWidget* midRight = make(200, 50);
    QWidget* topLeft = make(10, 10);
    auto* noTab = new QWidget(&page);
    noTab->setGeometry(100, 10, 20, 20);
    const QList<QWidget*> want{topLeft, topRight, midLeft, midRight, lowRight};
    EXPECT_EQ(TabChainControls(&page), want);
}

// The colour of the mark's pixels on a widget painted with and without the focus.
int MarkPixels(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    widget.render(&image);
    int marked = 0;
    for (int x = 0; x < image.width(); ++x) {
        marked += image.pixelColor(x, 0) == kFocusMarkColor ? 1 : 0;
    }
    return marked;
}

TEST_F(TabChainTest, SkinnedControlsMarkTheFocus) {
    QWidget top;
    top.resize(300, 100);
    auto* slider = new CBitmapSlider(&top, 1);
    slider->setGeometry(10, 10, 120, 24);
    auto* button = new CBitButton(&top);
    button->setGeometry(150, 10, 60, 24);
    top.show();
    top.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&top));
    EXPECT_NE(slider->focusPolicy() & Qt::TabFocus, 0);
    for (QWidget* w : {static_cast<QWidget*>(slider), static_cast<QWidget*>(button)}) {
        w->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(w->hasFocus());
        EXPECT_GT(MarkPixels(*w), w->width() / 4) << w->metaObject()->className();
        w->clearFocus();
        EXPECT_EQ(MarkPixels(*w), 0) << w->metaObject()->className();
    }
}

}  // namespace
}  // namespace qx
