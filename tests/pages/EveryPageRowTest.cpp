// Every input row of every page, on every channel, effect, group, scene and side the page
// shows: moved, clicked, chosen or typed as a person does it, it changes its own field of the
// image and not one other bit; and every caption pair of every page is shown in both
// languages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "DEQ_Dlg.h"
#include "Echo_Dlg.h"
#include "EffectPage.h"
#include "Effect_Dlg.h"
#include "EqPageTestSupport.h"
#include "FieldBinding.h"
#include "FontStatic.h"
#include "MainDlg.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "PageGlobals.h"
#include "PagesTestSupport.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "Rev_Dlg.h"
#include "SceneSelector.h"
#include "SxGroupBox.h"
#include "SysDlg.h"
#include "TextPair.h"

namespace qx {
namespace {

using test::ChangedBytes;

constexpr const char* kOutputNames[] = {"MainL", "MainR", "Center",    "SUB",
                                        "RearL", "RearR", "SurroundL", "SurroundR"};

// One thing a page shows: how to bring it up, its binding, and which records its rows may
// edit.
struct View {
    std::string name;
    // Brings the view up on the window (tab, channel, effect, group, scene, side).
    std::function<void(CMivoDlg&)> select;
    std::function<CFieldBinding&(CMivoDlg&)> binding;
    // The record a row edits must start with one of these (after select).
    std::function<std::vector<std::string>(CMivoDlg&, int id)> records;
    // Rows left out, each tested on its own elsewhere (SYNC copies whole records).
    std::vector<int> skipped;
};

void Click(CFieldBinding& b, int id) {
    b.Get<CBitButton>(id)->click();
}

std::vector<std::string> Only(std::string prefix) {
    return {std::move(prefix)};
}

// The Output page: limiter and left mute and delay always edit the left record, right mute
// and delay the right one, everything else the side being edited.
std::vector<std::string> OutputRecords(CMainDlg& page, int id) {
    const std::string scene = "Scene[" + std::to_string(SceneInForce()) + "].";
    int eq = page.EditedEq();
    switch (id) {
        case CMainDlg::kLimitLevel:
        case CMainDlg::kLimitAttack:
        case CMainDlg::kLimitRelease:
        case CMainDlg::kLimitRatio:
        case CMainDlg::kLeftMute:
        case CMainDlg::kLeftDelay:
            eq = page.LeftEq();
            break;
        case CMainDlg::kRightMute:
        case CMainDlg::kRightDelay:
            eq = page.RightEq();
            break;
        default:
            break;
    }
    return Only(scene + kOutputNames[eq - kEqOutputFirst] + ".");
}

std::vector<View> AllViews() {
    std::vector<View> views;
    views.push_back({"TopBar",
                     [](CMivoDlg&) {},
                     [](CMivoDlg& w) -> CFieldBinding& { return w.TopBar(); },
                     [](CMivoDlg&, int) { return Only("System."); },
                     {}});
    for (auto [eq, ch] : {std::pair{kEqMusicLeft, "MusicLeft"}, {kEqMusicRight, "MusicRight"}}) {
        views.push_back({ch,
                         [eq = eq](CMivoDlg& w) {
                             w.SelectTab(0);
                             w.MusicPage()->SelectChannel(eq);
                         },
                         [](CMivoDlg& w) -> CFieldBinding& { return w.MusicPage()->Binding(); },
                         [ch = ch](CMivoDlg&, int) {
                             // The dynamics are the left channel's on either side.
                             return std::vector<std::string>{
                                 std::string(ch) + ".", "MusicLeft.noiseGate.",
                                 "MusicLeft.limiter.", "System.key", "MusicLink"};
                         },
                         {}});
    }
    for (auto [side, ch, button] : {std::tuple{kEqDynamicLeft, "MusicLeft", CDEQ_Dlg::kLeft},
                                    {kEqDynamicRight, "MusicRight", CDEQ_Dlg::kRight}}) {
        views.push_back(
            {std::string("Dynamic") + ch,
             [button = button](CMivoDlg& w) {
                 w.SelectTab(1);
                 Click(w.DeqPage()->Binding(), button);
             },
             [](CMivoDlg& w) -> CFieldBinding& { return w.DeqPage()->Binding(); },
             [ch = ch](CMivoDlg&, int) {
                 return std::vector<std::string>{std::string(ch) + ".deq[", "MusicLink"};
             },
             {}});
        (void)side;
    }
    for (auto [eq, ch] : {std::pair{kEqMic1, "Mic1"}, {kEqMic2, "Mic2"}}) {
        views.push_back({ch,
                         [eq = eq](CMivoDlg& w) {
                             w.SelectTab(2);
                             w.MicPage()->SelectChannel(eq);
                         },
                         [](CMivoDlg& w) -> CFieldBinding& { return w.MicPage()->Binding(); },
                         [ch = ch](CMivoDlg&, int) {
                             return std::vector<std::string>{std::string(ch) + ".", "MicLink"};
                         },
                         {}});
    }
    for (auto [button, fx] :
         {std::pair{CEffect_Dlg::kEchoA, "EchoA"}, {CEffect_Dlg::kEchoB, "EchoB"}}) {
        views.push_back(
            {fx,
             [button = button](CMivoDlg& w) {
                 w.SelectTab(3);
                 Click(w.EffectPage()->Binding(), button);
             },
             [](CMivoDlg& w) -> CFieldBinding& { return w.EffectPage()->EchoPage()->Binding(); },
             [fx = fx](CMivoDlg&, int) { return Only(std::string(fx) + "."); },
             {}});
    }
    views.push_back(
        {"Reverb",
         [](CMivoDlg& w) {
             w.SelectTab(3);
             Click(w.EffectPage()->Binding(), CEffect_Dlg::kReverb);
         },
         [](CMivoDlg& w) -> CFieldBinding& { return w.EffectPage()->ReverbPage()->Binding(); },
         [](CMivoDlg&, int) { return Only("Reverb."); },
         {}});
    for (int group = 0; group < CMainDlg::kGroups; ++group) {
        for (int scene = 1; scene <= 3; ++scene) {
            const bool pair = group != CMainDlg::kGroupCenter && group != CMainDlg::kGroupSub;
            for (int side = 0; side < (pair ? 2 : 1); ++side) {
                views.push_back(
                    {"Output" + std::to_string(group) + "Scene" + std::to_string(scene) +
                         (side == 0 ? "Left" : "Right"),
                     [group, scene, side, pair](CMivoDlg& w) {
                         w.SelectTab(4 + group);
                         CFieldBinding& b = w.OutputPage()->Binding();
                         Click(b, CMainDlg::kModeAuto + scene);
                         if (pair) {
                             Click(b, side == 0 ? CMainDlg::kLeftSide : CMainDlg::kRightSide);
                         }
                     },
                     [](CMivoDlg& w) -> CFieldBinding& { return w.OutputPage()->Binding(); },
                     [](CMivoDlg& w, int id) { return OutputRecords(*w.OutputPage(), id); },
                     {CMainDlg::kSync}});
            }
        }
    }
    views.push_back({"System",
                     [](CMivoDlg& w) { w.SelectTab(CMivoDlg::kSystemTab); },
                     [](CMivoDlg& w) -> CFieldBinding& { return w.SystemPage()->Binding(); },
                     [](CMivoDlg&, int) { return Only("System."); },
                     {}});
    return views;
}

const std::vector<View>& Views() {
    static const std::vector<View> views = AllViews();
    return views;
}

// Moves the control to a neighbouring value as a person would; returns the code the field
// must then hold, or -1 when the control cannot be driven.
int Drive(CFieldBinding& b, int id, const ParamField& f) {
    const ControlRow& row = *b.Row(id);
    const int step = row.rule.step;
    QWidget* w = b.Widget(id);
    const int code = b.Read(f.name);
    if (auto* s = qobject_cast<CBitmapSlider*>(w)) {
        const int now = code / step;
        const int next = now > s->GetRangeMin() ? now - 1 : now + 1;
        const bool vertical = row.kind == ControlKind::VSlider;
        emit s->Tracking(id, vertical ? s->GetRangeMax() + s->GetRangeMin() - next : next);
        return next * step;
    }
    if (auto* e = qobject_cast<CNumEdit*>(w)) {
        const int now = e->GetValue();
        const int next = now > e->Minimum() ? now - 1 : now + 1;
        // Typed as the edit itself shows that code, committed by leaving the field.
        e->SetValue(next);
        const QString typed = e->text();
        e->SetValue(now);
        e->selectAll();
        QTest::keyClicks(e, typed);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e, &out);
        return next * step;
    }
    if (auto* c = qobject_cast<CBitComboBox*>(w)) {
        const int now = c->currentIndex();
        const int next = now + 1 < c->count() ? now + 1 : now - 1;
        c->setCurrentIndex(next);
        emit c->activated(next);
        return next * step;
    }
    if (auto* t = qobject_cast<CBitButton*>(w)) {
        t->click();
        return code != 0 ? 0 : 1;
    }
    return -1;
}

// The page a view belongs to: each page is one test program run, its views one after another.
std::string PageOf(const std::string& view) {
    for (const char* page : {"TopBar", "Music", "Dynamic", "Mic", "Output", "System"}) {
        if (view.rfind(page, 0) == 0) {
            return page;
        }
    }
    return "Effect";  // EchoA, EchoB, Reverb
}

class EveryPageRowTest : public ::testing::TestWithParam<std::string> {
  protected:
    static void SetUpTestSuite() {
        test::FreshPageState();
        s_window = new test::Window();
        // Pages refresh and lay themselves out only while shown, as on screen.
        s_window->dlg->show();
    }
    static void TearDownTestSuite() {
        delete s_window;
        s_window = nullptr;
    }
    void SetUp() override {
        // The page globals stay the window's: each view selects what it shows.
        ResetParameters();
        // Switches on and volumes below their maxima, so that every control has room to move.
        for (EchoBlock* e : {&ParameterSet.program.EchoA, &ParameterSet.program.EchoB}) {
            e->wetSwitch = 1;
            e->drySwitch = 1;
        }
        SystemBlock& sys = ParameterSet.system.block;
        sys.musicMax = 84;
        sys.micMax = 84;
        sys.effectMax = 70;
        AdoptAsSent(false);
        useChinese = false;
        W().RefreshTopBar(true);
        W().RefreshCurrentPage();
    }
    static CMivoDlg& W() { return *s_window->dlg; }
    // Runs check on every view of the page under test.
    template <class F>
    void ForEachView(F check) {
        int views = 0;
        for (const View& view : Views()) {
            if (PageOf(view.name) == GetParam()) {
                SCOPED_TRACE(view.name);
                check(view);
                ++views;
            }
        }
        EXPECT_GT(views, 0);
    }
    void EachInputRowChangesOnlyItsField(const View& view);
    void EveryCaptionPairShowsInBothLanguages(const View& view);

    static test::Window* s_window;
};

test::Window* EveryPageRowTest::s_window = nullptr;

void EveryPageRowTest::EachInputRowChangesOnlyItsField(const View& view) {
    SetUp();
    view.select(W());
    CFieldBinding& b = view.binding(W());
    const ParamImage start = ParameterSet;
    int driven = 0;
    for (int id : b.BoundIds()) {
        const ControlRow& row = *b.Row(id);
        if (row.kind == ControlKind::Label ||
            std::find(view.skipped.begin(), view.skipped.end(), id) != view.skipped.end()) {
            continue;
        }
        SCOPED_TRACE(testing::Message() << "control " << id << " (" << row.field << ")");
        // From the same image and the same view for every row (a row before may have linked
        // the channels, which moves the page to the left one).
        AtomicCopy(&ParameterSet, &start, sizeof start);
        AdoptAsSent(false);        // the curve sets follow the replaced records
        W().RefreshCurrentPage();  // the channel buttons follow the link again
        view.select(W());
        W().RefreshCurrentPage();
        W().RefreshTopBar(true);
        ASSERT_TRUE(ChangedBytes(start, ParameterSet).empty()) << "bringing the view up edits";
        const ParamField* f = b.FieldOf(id);
        if (f == nullptr) {
            // Only a single output channel has rows that name no field (its right side).
            EXPECT_EQ(view.name.rfind("Output", 0), 0u) << "unresolved: " << b.FieldNameOf(id);
            const ParamImage before = ParameterSet;
            Drive(b, id, ParamField{});
            EXPECT_TRUE(ChangedBytes(before, ParameterSet).empty());
            continue;
        }
        const std::vector<std::string> records = view.records(W(), id);
        EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                                [&](const std::string& r) { return f->name.rfind(r, 0) == 0; }))
            << f->name << " is not a field of " << view.name;
        const ParamImage before = ParameterSet;
        const int old = b.Read(f->name);
        const int expected = Drive(b, id, *f);
        ASSERT_GE(expected, 0) << "no drivable control";
        QCoreApplication::processEvents();
        EXPECT_EQ(b.Read(f->name), expected);
        EXPECT_NE(b.Read(f->name), old) << "the move changed nothing";
        const auto* a = CParamCatalogue::Bytes(before);
        const auto* n = CParamCatalogue::Bytes(ParameterSet);
        for (int i : ChangedBytes(before, ParameterSet)) {
            EXPECT_TRUE(i >= f->offset && i < f->offset + f->width) << "byte " << i << " changed";
            if (f->mask != 0 && i == f->offset) {
                EXPECT_EQ((a[i] ^ n[i]) & ~f->mask, 0) << "bits beside the field changed";
            }
        }
        ++driven;
    }
    EXPECT_GT(driven, 0);
    AtomicCopy(&ParameterSet, &start, sizeof start);
    AdoptAsSent(false);
}

// Every row with a caption pair has both texts and shows the one of the language in force,
// after the whole window changed language.
void EveryPageRowTest::EveryCaptionPairShowsInBothLanguages(const View& view) {
    SetUp();
    view.select(W());
    CFieldBinding& b = view.binding(W());
    int captions = 0;
    for (bool chinese : {true, false}) {
        useChinese = chinese;
        W().ApplyLanguageAll();
        for (int id : b.Ids()) {
            const ControlRow& row = *b.Row(id);
            const TextPair& pair = row.caption;
            if (pair.chinese == nullptr && pair.english == nullptr) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "control " << id);
            ASSERT_NE(pair.chinese, nullptr);
            ASSERT_NE(pair.english, nullptr);
            EXPECT_STRNE(pair.chinese, "");
            EXPECT_STRNE(pair.english, "");
            QWidget* w = b.Widget(id);
            ASSERT_NE(w, nullptr);
            QString shown;
            if (auto* s = qobject_cast<CFontStatic*>(w)) {
                shown = s->Text();
            } else if (auto* g = qobject_cast<CSxGroupBox*>(w)) {
                shown = g->Caption();
            } else if (auto* button = qobject_cast<CBitButton*>(w)) {
                shown = button->text();
            } else {
                continue;
            }
            EXPECT_EQ(shown, QString::fromUtf8(pair.Get(chinese)))
                << (chinese ? "Chinese" : "English");
            ++captions;
        }
    }
    useChinese = false;
    W().ApplyLanguageAll();
    EXPECT_GT(captions, 0);
}

TEST_P(EveryPageRowTest, EachInputRowChangesOnlyItsField) {
    ForEachView([this](const View& view) { EachInputRowChangesOnlyItsField(view); });
}

TEST_P(EveryPageRowTest, EveryCaptionPairShowsInBothLanguages) {
    ForEachView([this](const View& view) { EveryCaptionPairShowsInBothLanguages(view); });
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryPageRowTest,
                         ::testing::Values("TopBar", "Music", "Dynamic", "Mic", "Effect", "Output",
                                           "System"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
}  // namespace qx
