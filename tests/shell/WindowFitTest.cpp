// The main window at any size and the keys that turn its tabs.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "../pages/PagesTestSupport.h"
#include "EnTabCtrl.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "TabKeys.h"
#include "WindowFit.h"

namespace qx {
namespace {

using test::Window;

class WindowFitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        useChinese = false;
    }
};

TEST_F(WindowFitTest, SmallerWindowScrollsToEveryCorner) {
    Window w;
    CWindowFit* fit = w->Fit();
    ASSERT_NE(fit, nullptr);
    const QSize designed = w->Client()->size();
    w->show();
    w->resize(800, 600);
    ASSERT_TRUE(fit->Horizontal()->isVisibleTo(w.dlg.get()));
    ASSERT_TRUE(fit->Vertical()->isVisibleTo(w.dlg.get()));
    // At both ends of both bars the client's far edges meet the edges left between the bars.
    fit->Horizontal()->setValue(fit->Horizontal()->maximum());
    fit->Vertical()->setValue(fit->Vertical()->maximum());
    const QRect client = w->Client()->geometry();
    EXPECT_EQ(client.right(), fit->Vertical()->geometry().left() - 1);
    EXPECT_EQ(client.bottom(), fit->Horizontal()->geometry().top() - 1);
    EXPECT_EQ(client.size(), designed);
    fit->Horizontal()->setValue(0);
    fit->Vertical()->setValue(0);
    EXPECT_EQ(w->Client()->pos(), QPoint(0, 0));

    // Only as wide as the design: the vertical bar alone would hide the right edge, so both
    // bars come.
    w->resize(designed.width(), designed.height() - 50);
    EXPECT_TRUE(fit->Vertical()->isVisibleTo(w.dlg.get()));
    EXPECT_TRUE(fit->Horizontal()->isVisibleTo(w.dlg.get()));
}

TEST_F(WindowFitTest, LargerWindowKeepsThePagesAnchoredAndPainted) {
    Window w;
    CWindowFit* fit = w->Fit();
    ASSERT_NE(fit, nullptr);
    fit->Vertical()->setValue(0);
    w->show();
    w->resize(1920, 1080);
    EXPECT_FALSE(fit->Horizontal()->isVisibleTo(w.dlg.get()));
    EXPECT_FALSE(fit->Vertical()->isVisibleTo(w.dlg.get()));
    EXPECT_EQ(w->Client()->pos(), QPoint(0, 0));
    EXPECT_TRUE(w->autoFillBackground());
    // Scrolled before growing: the client comes back to its corner.
    w->resize(800, 600);
    fit->Vertical()->setValue(fit->Vertical()->maximum());
    w->resize(1920, 1080);
    EXPECT_EQ(w->Client()->pos(), QPoint(0, 0));
}

TEST_F(WindowFitTest, OpensInsideTheScreen) {
    const QSize designed(1265, 699);
    EXPECT_EQ(CWindowFit::FittedSize(designed, QSize(1920, 1080), QSize(16, 40)), designed);
    const QSize small = CWindowFit::FittedSize(designed, QSize(1280, 720), QSize(16, 40));
    EXPECT_LE(small.width() + 16, 1280);
    EXPECT_LE(small.height() + 40, 720);
    EXPECT_EQ(small.height(), 720 - 40);
    // A tiny screen still leaves a usable window.
    EXPECT_EQ(CWindowFit::FittedSize(designed, QSize(200, 100), QSize(16, 40)), QSize(320, 240));
}

TEST_F(WindowFitTest, CtrlTabAndCtrlPageKeysTurnTheTabsFromAnyControl) {
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_Tab, Qt::ControlModifier), 1);
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), -1);
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_PageDown, Qt::ControlModifier), 1);
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_PageUp, Qt::ControlModifier), -1);
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_Tab, Qt::NoModifier), 0);
    EXPECT_EQ(CTabKeys::StepOf(Qt::Key_PageUp, Qt::NoModifier), 0);

    Window w;
    w->SelectTab(0);
    // From inside an edit box, which would otherwise keep the keys for itself.
    auto* edit = w->MusicPage()->findChild<CNumEdit*>();
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(currentTab, 1);
    EXPECT_EQ(w->Tabs()->GetCurSel(), 1);
    QTest::keyClick(w->Page(1), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(currentTab, 0);
    QTest::keyClick(w->Page(0), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(currentTab, CMivoDlg::kTabCount - 1);  // wraps round
    QTest::keyClick(w->Page(currentTab), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(currentTab, 0);
}

}  // namespace
}  // namespace qx
