// The Chinese interface holds no English word where a Chinese text exists: every page, the
// top bar, the tab row and the dialogs that can be opened without a processor are walked for
// their visible texts, tooltips and accessible names, after a switch from English as well as
// from a start in Chinese. What stays the same in both languages (units, acronyms, names
// the processor's own panels use) is listed below and nothing else passes.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <set>

#include "../pages/PagesTestSupport.h"
#include "AboutDlg.h"
#include "Ask.h"
#include "AuditHookup.h"
#include "AuditView.h"
#include "BandTypeHelp.h"
#include "BaseTabCtrl.h"
#include "BitButton.h"
#include "BitComboBox.h"
#include "CompareBar.h"
#include "CopyToDlg.h"
#include "DifferencesDlg.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Edit_Static.h"
#include "FitDialog.h"
#include "FontStatic.h"
#include "HistoryBar.h"
#include "HistoryWindow.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "MusicDlg.h"
#include "RoomTuning.h"
#include "SxGroupBox.h"
#include "TextPair.h"
#include "TransparentStatic.h"
#include "TuneMenu.h"

namespace qx {
namespace {

using test::Window;

// Words the interface keeps in both languages: units, acronyms and the processor's names of
// its inputs and filter types.
const std::set<QString>& SameWords() {
    static const std::set<QString> words = {
        "dB",  "Hz",   "kHz", "ms",  "dBV", "EQ",   "HPF",  "LPF",  "BY",  "LS",
        "HS",  "SYNC", "DEQ", "VOD", "BGM", "COAX", "OPTI", "HDMI", "ARC", "Atk",
        "KR",          // the window title's model name
        "AEQ", "BEQ",  // echo A or B followed by EQ in a field's name
        "RMS",
    };
    return words;
}

// Whole captions that keep their template text in both languages.
const std::set<QString>& SameCaptions() {
    static const std::set<QString> captions = {
        "EQ Bypass", "EQ Pass", "EQ pass",
        "English",  // the language button names the other language
    };
    return captions;
}

// Entries of the language-neutral lists (slopes, inputs, switches), shown as values.
const std::set<QString>& SameValues() {
    static const std::set<QString> values = {
        "OFF",
        "ON",
        "Disable",
        "Enable",
        "Auto",
        "FB.EX1",
        "FB.EX2",
        "FB.EX3",
        "FB.EX4",
        "ByPass",
        "6dB/ct",
        "12dB Bessel",
        "12dB Butuerworth",
        "12dBLink-Riley",
        "18dB Bessel",
        "18dB Butuerworth",
        "24dB Bessel",
        "24dB Butuerworth",
        "24dBLink-Riley",
        "36dB Bessel",
        "36dB Butuerworth",
        "36dBLink-Riley",
    };
    return values;
}

bool OnlySameWords(QString text) {
    // A path names a file, in no language; the program's name and version stay as they are.
    static const QRegularExpression path(QStringLiteral("\\S*/\\S*[A-Za-z]\\S*"));
    static const QRegularExpression program(QStringLiteral("^QX Editor \\d+\\.\\d+\\.\\d+$"));
    text.remove(path);
    text.remove(program);
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        if (SameWords().count(it.next().captured()) == 0) {
            return false;
        }
    }
    return true;
}

// A value as a control shows it: a list entry kept in both languages or a number with units.
bool SameValue(const QString& value) {
    return SameValues().count(value.trimmed()) != 0 || OnlySameWords(value);
}

// A text fit for the Chinese interface. Tooltips are split into their lines; a line naming
// the range or the value holds values.
bool Chinese(const QString& text, bool value) {
    if (SameCaptions().count(text) != 0) {
        return true;
    }
    if (value) {
        return SameValue(text);
    }
    const QString range = QStringLiteral("范围: ");
    const QString now = QStringLiteral("当前值: ");
    for (const QString& line : text.split(u'\n')) {
        if (line.startsWith(range)) {
            for (const QString& end : line.mid(range.size()).split(QStringLiteral(" … "))) {
                if (!SameValue(end)) {
                    return false;
                }
            }
        } else if (line.startsWith(now)) {
            if (!SameValue(line.mid(now.size()))) {
                return false;
            }
        } else if (SameCaptions().count(line) == 0 && !OnlySameWords(line)) {
            return false;
        }
    }
    return true;
}

struct Found {
    QString where;
    QString text;
};

class CTextWalk {
  public:
    // Every text of a widget and the widgets inside it that a person can see or a screen
    // reader can find.
    void Walk(QWidget* top, const QString& where) {
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* w : widgets) {
            if (w != top && !w->isVisibleTo(top)) {
                continue;
            }
            const QString name = where + " " + w->metaObject()->className() + " " + w->objectName();
            Take(name + " tooltip", w->toolTip());
            Take(name + " accessible", w->accessibleName());
            Take(name + " description", w->accessibleDescription(), true);
            if (w->isWindow()) {
                Take(name + " title", w->windowTitle());
            }
            Texts(w, name);
            for (QAction* action : w->actions()) {
                Take(name + " action", action->text());
                Take(name + " action tip", action->toolTip());
            }
        }
        ++m_walks;
    }

    // A text as a person reads it; a value is what a control holds (a list entry, a label).
    void Take(const QString& where, QString text, bool value = false) {
        text.remove(u'&');
        if (text.isEmpty()) {
            return;
        }
        ++m_texts;
        if (!Chinese(text, value)) {
            m_found.push_back({where, text});
        }
    }

    // A menu's items and those of its submenus.
    void WalkMenu(QMenu* menu, const QString& where) {
        for (QAction* action : menu->actions()) {
            Take(where + " menu", action->text());
            if (action->menu() != nullptr) {
                WalkMenu(action->menu(), where);
            }
        }
        ++m_walks;
    }

    const std::vector<Found>& FoundTexts() const { return m_found; }
    int TextCount() const { return m_texts; }
    int Walks() const { return m_walks; }

    std::string Report() const {
        std::string out;
        for (const Found& f : m_found) {
            out += f.where.toStdString() + ": " + f.text.toStdString() + "\n";
        }
        return out;
    }

  private:
    void Texts(QWidget* w, const QString& name) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            Take(name, b->text());
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            Take(name, l->text());
        }
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            Take(name, g->title());
        }
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < c->count(); ++i) {
                Take(name + " item", c->itemText(i), true);
            }
        }
        if (auto* l = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < l->count(); ++i) {
                Take(name + " row", l->item(i)->text());
            }
        }
        if (auto* t = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < t->columnCount(); ++c) {
                if (t->horizontalHeaderItem(c) != nullptr) {
                    Take(name + " header", t->horizontalHeaderItem(c)->text());
                }
            }
        }
        if (auto* s = dynamic_cast<CFontStatic*>(w)) {
            Take(name, s->Text());
        }
        if (auto* s = dynamic_cast<CEdit_Static*>(w)) {
            Take(name, s->Text(), true);  // a value label
        }
        if (auto* s = dynamic_cast<CTransparentStatic*>(w)) {
            Take(name, s->Text());
        }
        if (auto* g = dynamic_cast<CSxGroupBox*>(w)) {
            Take(name, g->Caption());
        }
        if (auto* t = dynamic_cast<CBaseTabCtrl*>(w)) {
            for (int i = 0; i < t->GetItemCount(); ++i) {
                Take(name + " tab", t->ItemText(i));
            }
        }
    }

    std::vector<Found> m_found;
    int m_texts = 0;
    int m_walks = 0;
};

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
