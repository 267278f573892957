// The "Tune..." button of every page with a curve view opens the curve view's tuning menu for
// the equaliser the page shows, and the main window's tab row keeps its labels, the compare bar
// and the history bar apart in either language.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "BaseTabCtrl.h"
#include "CompareBar.h"
#include "DEQ_Dlg.h"
#include "EQCurveStatic.h"
#include "Effect_Dlg.h"
#include "EnTabCtrl.h"
#include "EqPageTestSupport.h"
#include "HistoryBar.h"
#include "MainDlg.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "RoomTuning.h"
#include "TuneButton.h"

namespace qx {
namespace {

using namespace qx::test;

Measurement Flat() {
    Measurement m;
    for (double hz = 20.0; hz <= 20000.0; hz *= 2.0) {
        m.hz.push_back(hz);
        m.db.push_back(75.0);
    }
    return m;
}

// Presses the page's Tune button; while its menu is open, records which view it was opened
// for and picks `item`. Returns that view (nullptr: no menu opened).
QWidget* PressTune(CFieldBinding& binding, const QString& item, QStringList* items = nullptr) {
    auto* button = binding.Get<CBitButton>(kTuneButton);
    EXPECT_NE(button, nullptr);
    if (button == nullptr) {
        return nullptr;
    }
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        owner = menu->parentWidget();
        QAction* chosen = nullptr;
        for (QAction* a : menu->actions()) {
            if (items != nullptr && !a->text().isEmpty()) {
                items->push_back(a->text());
            }
            if (a->text() == item) {
                chosen = a;
            }
        }
        menu->close();
        if (chosen != nullptr) {
            chosen->trigger();
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    return owner;
}

struct PageCase {
    const char* name;
    std::function<std::unique_ptr<CPageDlg>()> make;
    std::function<CEQCurveStatic*(CPageDlg&)> view;
    int sideButton;  // shows the page's other equaliser
    int expectedEq;
};

class TuneButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshPageState();
        for (int eq = 0; eq < kEqNumberCount; ++eq) {
            CRoomTuning::Instance().Clear(eq);
        }
    }
};

TEST_F(TuneButtonTest, EveryCurvePageOpensTheTuningMenuForTheEqualiserItShows) {
    const PageCase cases[] = {
        {"Music", [] { return std::make_unique<CMusicDlg>(); },
         [](CPageDlg& p) { return static_cast<CMusicDlg&>(p).StripRow().View(); }, 1066,
         kEqMusicRight},
        {"Mic", [] { return std::make_unique<CMic_Dlg>(); },
         [](CPageDlg& p) { return static_cast<CMic_Dlg&>(p).StripRow().View(); }, 1066, kEqMic2},
        {"DEQ", [] { return std::make_unique<CDEQ_Dlg>(); },
         [](CPageDlg& p) { return static_cast<CDEQ_Dlg&>(p).StripRow().View(); }, 1066,
         kEqDynamicRight},
        {"Output", [] { return std::make_unique<CMainDlg>(); },
         [](CPageDlg& p) { return static_cast<CMainDlg&>(p).StripRow().View(); },
         CMainDlg::kRightSide, kEqOutputFirst + kMainR},
        {"Effect", [] { return std::make_unique<CEffect_Dlg>(); },
         [](CPageDlg& p) { return static_cast<CEffect_Dlg&>(p).View(); }, 1066, kEqReverb},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        FreshPageState();
        std::unique_ptr<CPageDlg> page = c.make();
        ShowActive(*page);
        CFieldBinding& b = page->Binding();
        auto* button = b.Get<CBitButton>(kTuneButton);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(button->text(), QStringLiteral("Tune..."));

        QTest::mouseClick(b.Get<CBitButton>(c.sideButton), Qt::LeftButton);
        CEQCurveStatic* view = c.view(*page);
        ASSERT_EQ(view->EqNumber(), c.expectedEq);
        // A measurement on the shown equaliser and on another: clearing from the page's menu
        // clears the shown one only.
        const int other = c.expectedEq == kEqMusicLeft ? kEqMusicRight : kEqMusicLeft;
        CRoomTuning::Instance().SetMeasurement(c.expectedEq, Flat(), "room.txt");
        CRoomTuning::Instance().SetMeasurement(other, Flat(), "other.txt");

        QStringList items;
        EXPECT_EQ(PressTune(b, "Clear measurement and target", &items), view);
        EXPECT_TRUE(items.contains("Import filters..."));
        EXPECT_TRUE(items.contains("Export filters..."));
        EXPECT_TRUE(items.contains("Load measurement..."));
        EXPECT_TRUE(items.contains("Fit..."));
        EXPECT_EQ(CRoomTuning::Instance().State(c.expectedEq), nullptr);
        EXPECT_NE(CRoomTuning::Instance().State(other), nullptr);
        CRoomTuning::Instance().Clear(other);

        useChinese = true;
        page->ApplyLanguage();
        EXPECT_EQ(button->text(), QString::fromUtf8(kTuneText.chinese));
        useChinese = false;
    }
}

// The tab labels, the compare bar and the history bar, in window coordinates.
struct TabRow {
    std::vector<QRect> tabs;
    QRect compare;
    QRect history;
};

TabRow Measure(CMivoDlg& w) {
    TabRow row;
    CEnTabCtrl* tabs = w.Tabs();
    for (int i = 0; i < tabs->GetItemCount(); ++i) {
        const QRect r = tabs->GetItemRect(i);
        row.tabs.emplace_back(tabs->mapTo(&w, r.topLeft()), r.size());
    }
    for (QWidget* bar : std::initializer_list<QWidget*>{w.findChild<CCompareBar*>(),
                                                        w.findChild<CHistoryBar*>()}) {
        EXPECT_NE(bar, nullptr);
        if (bar == nullptr) {
            continue;
        }
        (qobject_cast<CCompareBar*>(bar) != nullptr ? row.compare : row.history) =
            QRect(bar->parentWidget()->mapTo(&w, bar->pos()), bar->size());
    }
    return row;
}

TEST(WindowTabRowTest, BarsAndTabLabelsDoNotOverlapInEitherLanguageAndTheAuditItemFollows) {
    FreshPageState();
    Window w;
    w->resize(800, 600);
    w->show();
    auto* auditItem = w->findChild<QAction*>(QStringLiteral("auditItem"));
    ASSERT_NE(auditItem, nullptr);
    for (bool chinese : {false, true}) {
        SCOPED_TRACE(chinese ? "Chinese" : "English");
        useChinese = chinese;
        w->ApplyLanguageAll();
        QCoreApplication::processEvents();
        const TabRow row = Measure(*w.dlg);
        ASSERT_FALSE(row.tabs.empty());
        EXPECT_FALSE(row.compare.intersects(row.history));
        EXPECT_TRUE(row.compare.isValid() && row.history.isValid());
        for (const QRect& tab : row.tabs) {
            EXPECT_FALSE(tab.intersects(row.compare)) << tab.right() << " " << row.compare.left();
            EXPECT_FALSE(tab.intersects(row.history));
        }
        // Both bars stand on the tab row, inside the designed client area.
        const int clientRight = w->findChild<CCompareBar*>()->parentWidget()->width();
        EXPECT_LE(row.history.right(), clientRight);
        EXPECT_LE(row.compare.right(), clientRight);
        EXPECT_EQ(auditItem->text(),
                  QString::fromUtf8(chinese ? "操作记录(&L)..." : "Audit &log..."));
    }
    useChinese = false;
}

}  // namespace
}  // namespace qx
