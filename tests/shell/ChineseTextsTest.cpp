// The Chinese interface holds no English word where a Chinese text exists: every page, the
// top bar, the tab row and the dialogs that can be opened without a processor are walked for
// their visible texts, tooltips and accessible names, after a switch from English as well as
// from a start in Chinese. What stays the same in both languages (units, acronyms, names
// the processor's own panels use) is listed below and nothing else passes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "../pages/PagesTestSupport.h"
#include "AboutDlg.h"
#include "Ask.h"
#include "AuditHookup.h"
#include "AuditView.h"
#include "BandTypeHelp.h"
#include "BitButton.h"
#include "BitComboBox.h"
#include "CompareBar.h"
#include "CopyToDlg.h"
#include "DifferencesDlg.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "FitDialog.h"
#include "HistoryBar.h"
#include "HistoryWindow.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "MusicDlg.h"
#include "RoomTuning.h"
#include "TextPair.h"
#include "TextWalk.h"
#include "TuneMenu.h"

namespace qx {
namespace {

using test::Chinese;
using test::CTextWalk;
using test::Window;

class ChineseTextsTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetParameters(); }
    void TearDown() override { useChinese = false; }
};

void WalkWindow(Window& w, CTextWalk& walk) {
    for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
        w->SelectTab(tab);
        walk.Walk(w.dlg.get(), QStringLiteral("tab %1").arg(tab));
    }
}

// The dialogs a page or the top bar opens, made in the language in force and walked.
void WalkDialogs(Window& w, CTextWalk& walk) {
    {
        CCopyToDlg copy(CImageModel::Editor(), {CopyKind::Output, kMainL, 1}, w.dlg.get());
        walk.Walk(&copy, QStringLiteral("Copy to"));
        for (auto target : {CCopyToDlg::kPartner, CCopyToDlg::kAllOutputs, CCopyToDlg::kScene}) {
            copy.Choose(target);
            walk.Walk(&copy, QStringLiteral("Copy to"));
        }
    }
    {
        CDifferencesDlg differences(&w->CompareBar()->Compare(), w.dlg.get());
        walk.Walk(&differences, QStringLiteral("Differences"));
    }
    {
        RoomState room;
        CFitDialog fit(0, 1, room, w.dlg.get());
        walk.Walk(&fit, QStringLiteral("Fit"));
    }
    {
        CAboutDlg about(w.dlg.get());
        walk.Walk(&about, QStringLiteral("About"));
    }
    auto* history = w->findChild<CHistoryBar*>();
    ASSERT_NE(history, nullptr);
    history->ShowList();
    auto* list = w->findChild<CHistoryWindow*>();
    ASSERT_NE(list, nullptr);
    walk.Walk(list, QStringLiteral("History"));
    list->close();
    ShowAuditView(*w.dlg);
    auto* audit = w->findChild<CAuditView*>();
    ASSERT_NE(audit, nullptr);
    walk.Walk(audit, QStringLiteral("Audit"));
    audit->close();
    // The curve view's tuning menu, read while it is open.
    w->SelectTab(0);
    auto* view = w->MusicPage()->findChild<CEQCurveStatic*>();
    ASSERT_NE(view, nullptr);
    QTimer::singleShot(0, [&walk] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            walk.WalkMenu(menu, QStringLiteral("Tune menu"));
            menu->close();
        }
    });
    const int before = walk.Walks();
    ShowTuneMenu(*view, view->mapToGlobal(QPoint(20, 20)));
    EXPECT_GT(walk.Walks(), before) << "the tuning menu was read";
}

TEST_F(ChineseTextsTest, NoEnglishWordIsLeftInTheChineseInterface) {
    // Started in Chinese, and switched to Chinese after English pages were made.
    for (bool startChinese : {true, false}) {
        useChinese = startChinese;
        Window w;
        for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
            w->SelectTab(tab);
        }
        useChinese = true;
        w->ApplyLanguageAll();
        CTextWalk walk;
        WalkWindow(w, walk);
        WalkDialogs(w, walk);
        EXPECT_GT(walk.TextCount(), 2500);
        EXPECT_TRUE(walk.FoundTexts().empty())
            << (startChinese ? "started in Chinese:\n" : "switched from English:\n")
            << walk.Report();
    }
}

TEST_F(ChineseTextsTest, TheListsOfWordsKeptInBothLanguagesHoldOnlyThose) {
    // The rules themselves: an English word in a caption, a value or a tooltip line is caught.
    EXPECT_TRUE(
        Chinese(QStringLiteral("音乐左高通频率\n范围: 20.0Hz … 20kHz\n当前值: 1kHz"), false));
    EXPECT_TRUE(Chinese(QStringLiteral("输入选择\n范围: Auto … ARC\n当前值: COAX"), false));
    EXPECT_TRUE(Chinese(QStringLiteral("EQ Bypass"), false));
    EXPECT_FALSE(Chinese(QStringLiteral("音乐左高通频率\nRange: 20.0Hz … 20kHz"), false));
    EXPECT_FALSE(Chinese(QStringLiteral("Auto"), false)) << "the mode button says 自动";
    EXPECT_FALSE(Chinese(QStringLiteral("BY: bypass (the band does nothing)"), false));
    EXPECT_FALSE(Chinese(QStringLiteral("Copy to..."), false));
    EXPECT_TRUE(Chinese(QStringLiteral("12dBLink-Riley"), true));
    EXPECT_FALSE(Chinese(QStringLiteral("Sing"), true));
    EXPECT_TRUE(Chinese(QStringLiteral("完整记录：/tmp/audit-1.jsonl"), false));
    EXPECT_FALSE(Chinese(QStringLiteral("1/3 oct"), false));
}

bool HasChinese(const QString& text) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

// Every tooltip and accessible name of the window's visible controls, tab by tab.
std::vector<std::pair<QWidget*, QString>> Tips(Window& w) {
    std::vector<std::pair<QWidget*, QString>> tips;
    for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
        w->SelectTab(tab);
        for (QWidget* c : w.dlg->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(w.dlg.get())) {
                continue;
            }
            for (const QString& t :
                 {c->toolTip(), c->accessibleName(), c->accessibleDescription()}) {
                if (!t.isEmpty()) {
                    tips.emplace_back(c, t);
                }
            }
        }
    }
    return tips;
}

TEST_F(ChineseTextsTest, TooltipsAndAccessibleNamesFollowTheLanguageBothWays) {
    useChinese = true;
    Window w;
    const QString chineseHelp = QString::fromUtf8(kBandTypeHelp.chinese);
    const QString englishHelp = QString::fromUtf8(kBandTypeHelp.english);
    for (bool chinese : {false, true, false}) {
        useChinese = chinese;
        w->ApplyLanguageAll();
        int bandTypes = 0;
        std::string wrong;
        for (const auto& [widget, tip] : Tips(w)) {
            if (auto* strip = qobject_cast<CEQDlg*>(widget->parentWidget());
                strip != nullptr && qobject_cast<CBitComboBox*>(widget) != nullptr) {
                ++bandTypes;
                EXPECT_EQ(tip, chinese ? chineseHelp : englishHelp);
            }
            // The language button names the other language.
            if (!chinese && HasChinese(tip) && tip != QStringLiteral("中文")) {
                wrong += tip.toStdString() + "\n";
            }
        }
        EXPECT_GT(bandTypes, 30) << "the band strips of every equaliser page";
        EXPECT_EQ(wrong, "") << "Chinese left in the English interface";
    }
}

// The questions the pages put to a person, as they are asked in Chinese: caption, text and
// the buttons' own texts.
TEST_F(ChineseTextsTest, QuestionsArePutInChinese) {
    useChinese = true;
    Window w;
    w->SelectTab(0);
    ParameterSet.program.MusicRight.bands[2].gainCode = 90;
    CAsk::Scripted answers({1});  // No: nothing changes
    auto* music = w->MusicPage();
    QTest::mouseClick(music->Binding().Get<CBitButton>(CMusicDlg::kSync), Qt::LeftButton);
    QTest::mouseClick(music->Binding().Get<CBitButton>(CMusicDlg::kEqReset), Qt::LeftButton);
    ASSERT_EQ(answers.Asked().size(), 2U) << "SYNC over differing channels and EQ Reset ask";
    CTextWalk walk;
    for (const CAsk::Question& q : answers.Asked()) {
        walk.Take(QStringLiteral("question caption"), q.caption);
        walk.Take(QStringLiteral("question"), q.text);
        for (const CAsk::Choice& c : q.choices) {
            walk.Take(QStringLiteral("question button"), c.text);
        }
    }
    EXPECT_TRUE(walk.FoundTexts().empty()) << walk.Report();
}

}  // namespace
}  // namespace qx
