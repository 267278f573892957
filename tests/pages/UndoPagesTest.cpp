// Undo and redo in the whole editor: a mouse gesture on any page is one step whose undo gives
// back exactly the image from before and whose redo gives exactly the image after; SYNC with its
// copy is one step; and, connected to the virtual processor, random gestures, undos and redos
// leave the processor holding the editor's image at every quiet point.

#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <random>

#include "BitButton.h"
#include "BitmapSlider.h"
#include "CommProtocol.h"
#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "EditHistory.h"
#include "EqPageTestSupport.h"
#include "Filter.h"
#include "HistoryBar.h"
#include "HistoryWindow.h"
#include "KTVEQ.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "PageDlg.h"
#include "PagesTestSupport.h"
#include "StripRow.h"

namespace qx {
namespace {

using namespace qx::test;

std::vector<uint8_t> Image() {
    std::vector<uint8_t> bytes(sizeof(ParamImage));
    AtomicCopy(bytes.data(), &ParameterSet, bytes.size());
    return bytes;
}

CEditHistory& HistoryOf(Window& w) {
    auto* bar = w->findChild<CHistoryBar*>();
    EXPECT_NE(bar, nullptr);
    return bar->History();
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

// The sliders a person can reach on the page shown.
std::vector<CBitmapSlider*> Sliders(QWidget* page) {
    std::vector<CBitmapSlider*> out;
    for (CBitmapSlider* s : page->findChildren<CBitmapSlider*>()) {
        if (s->isVisible() && s->isEnabled()) {
            out.push_back(s);
        }
    }
    return out;
}

// A press, a drag across the slider and a release: from `from` to `to` (0..1 of its length).
void Gesture(QWidget* w, double from, double to, Qt::MouseButton button = Qt::LeftButton) {
    const bool vertical = w->height() > w->width();
    const auto at = [&](double t) {
        return vertical ? QPoint(w->width() / 2, static_cast<int>(w->height() * t))
                        : QPoint(static_cast<int>(w->width() * t), w->height() / 2);
    };
    QTest::mousePress(w, button, Qt::NoModifier, at(from));
    for (int i = 1; i <= 8; ++i) {
        QTest::mouseMove(w, at(from + (to - from) * i / 8));
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(w, button, Qt::NoModifier, at(to));
    Settle();
}

class UndoPagesTest : public ::testing::Test {
  protected:
    void SetUp() override { FreshPageState(); }
};

TEST_F(UndoPagesTest, AGestureOnEveryPageUndoesAndRedoesToTheWholeImage) {
    Window w;
    w->show();
    CEditHistory& history = HistoryOf(w);
    int tried = 0;
    for (int tab = 0; tab < CMivoDlg::kTabCount; ++tab) {
        w->SelectTab(tab);
        Settle();
        QWidget* page = w->Page(tab);
        ASSERT_NE(page, nullptr);
        const auto sliders = Sliders(page);
        EXPECT_FALSE(sliders.empty()) << "tab " << tab;
        const std::size_t pick[] = {0, sliders.size() / 2, sliders.size() - 1};
        for (std::size_t k : pick) {
            if (k >= sliders.size()) {
                continue;
            }
            const auto before = Image();
            const int steps = history.Stack().count();
            Gesture(sliders[k], 0.9, 0.1);
            if (Image() == before) {
                Gesture(sliders[k], 0.1, 0.9);
            }
            const auto after = Image();
            if (after == before) {
                continue;  // a slider that does not move from here
            }
            ++tried;
            ASSERT_EQ(history.Stack().count(), steps + 1) << "tab " << tab << " slider " << k;
            ASSERT_TRUE(history.Undo());
            Settle();
            EXPECT_EQ(Image(), before) << "tab " << tab << " slider " << k;
            ASSERT_TRUE(history.Redo());
            Settle();
            EXPECT_EQ(Image(), after) << "tab " << tab << " slider " << k;
        }
    }
    EXPECT_GE(tried, 2 * CMivoDlg::kTabCount);
}

// A curve drag of many moves is one step; it and the typed value after it undo one at a time
// to the whole image before each.
TEST_F(UndoPagesTest, ACurveDragIsOneStep) {
    Window w;
    w->show();
    CEditHistory& history = HistoryOf(w);
    w->SelectTab(0);
    CMusicDlg& music = *w->MusicPage();
    Settle();
    const auto before = Image();
    const int steps = history.Stack().count();
    // A typed gain makes the band one the curve can drag.
    CNumEdit* gain = music.StripRow().Strip(2)->GainEdit();
    gain->SetValue(150);
    emit gain->ValueCommitted(CEQDlg::kIdGainEdit);
    Settle();
    const auto typed = Image();
    ASSERT_NE(typed, before);
    EXPECT_EQ(history.Stack().count(), steps + 1);

    QWidget* view = music.StripRow().View();
    const Point h = CurveSetOf(kEqMusicLeft)->GetAt(2)->Handle().Center();
    SendMouse(view, QEvent::MouseMove, {h.x, h.y}, Qt::NoButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseButtonPress, {h.x, h.y}, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 30; ++i) {
        SendMouse(view, QEvent::MouseMove, {h.x + i, h.y - i}, Qt::NoButton, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    SendMouse(view, QEvent::MouseButtonRelease, {h.x + 30, h.y - 30}, Qt::LeftButton, Qt::NoButton);
    Settle();
    const auto dragged = Image();
    ASSERT_NE(dragged, typed);
    EXPECT_EQ(history.Stack().count(), steps + 2) << "a drag of 30 moves made several steps";

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(Image(), typed);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(Image(), before);
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(Image(), dragged);
}

// SYNC copies the left channel onto the right: on or off, it and its copy are one step, and its
// undo gives back both channels' bytes. The keys reach the history from inside the page.
TEST_F(UndoPagesTest, SyncAndItsCopyAreOneStep) {
    Window w;
    w->show();
    CEditHistory& history = HistoryOf(w);
    w->SelectTab(0);
    CMusicDlg& music = *w->MusicPage();
    Settle();
    music.Binding().ControlChanged(1069, 40);  // the left main high-pass differs
    Settle();
    const auto before = Image();
    const int steps = history.Stack().count();
    QTest::mouseClick(music.Binding().Widget(CMusicDlg::kSync), Qt::LeftButton);
    Settle();
    const auto linked = Image();
    ASSERT_NE(linked, before);
    ASSERT_EQ(ParameterSet.program.MusicLink, 1);
    EXPECT_EQ(history.Stack().count(), steps + 1);
    EXPECT_NE(history.Stack().undoText().toStdString().find("SYNC"), std::string::npos)
        << history.Stack().undoText().toStdString();

    QTest::keyClick(&music, Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Image(), before);
    QTest::keyClick(&music, Qt::Key_Y, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Image(), linked);

    QTest::mouseClick(music.Binding().Widget(CMusicDlg::kSync), Qt::LeftButton);  // off
    Settle();
    ASSERT_EQ(ParameterSet.program.MusicLink, 0);
    QTest::keyClick(&music, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to redo
    QTest::keyClick(&music, Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Image(), linked);
    EXPECT_EQ(ParameterSet.program.MusicLink, 1);
}

// Connected: random gestures on every page, undos, redos and jumps in the list; whenever the
// line is quiet the processor holds the editor's image. A read of the processor's image is a
// wall undo does not cross.
TEST_F(UndoPagesTest, TheProcessorFollowsRandomUndoAndRedo) {
    Sim sim;
    ASSERT_TRUE(sim.started);
    Window w;
    w->show();
    ASSERT_TRUE(w.Connect(sim));
    CEditHistory& history = HistoryOf(w);
    EXPECT_FALSE(history.CanUndo()) << "the received image is a wall";
    std::mt19937 random(21);
    const auto same = [&] {
        const ParamImage device = sim.processor.Image();
        return AtomicEqual(&device, &ParameterSet, sizeof device);
    };
    const int tabs[] = {0, 1, 2, 3, 4, 6, 9};
    int gestures = 0;
    int moves = 0;
    for (int round = 0; round < 40; ++round) {
        const int what = static_cast<int>(random() % 6);
        if (what <= 2) {
            const int tab = tabs[random() % std::size(tabs)];
            w->SelectTab(tab);
            Settle();
            const auto sliders = Sliders(w->Page(tab));
            if (!sliders.empty()) {
                const double from = (random() % 100) / 100.0;
                const double to = (random() % 100) / 100.0;
                const int steps = history.Stack().count();
                Gesture(sliders[random() % sliders.size()], from, to,
                        random() % 4 == 0 ? Qt::RightButton : Qt::LeftButton);
                EXPECT_LE(history.Stack().count(), steps + 1) << "a gesture made several steps";
                gestures += history.Stack().count() > steps ? 1 : 0;
            }
        } else if (what == 3) {
            moves += history.Undo() ? 1 : 0;
        } else if (what == 4) {
            moves += history.Redo() ? 1 : 0;
        } else {
            history.GoTo(static_cast<int>(random() % (history.Stack().count() + 1)));
        }
        Settle();
        if (round % 5 == 4) {
            ASSERT_TRUE(WaitUntil(same, 30000)) << "round " << round;
        }
    }
    ASSERT_TRUE(WaitUntil(same, 30000));
    EXPECT_GE(gestures, 8);
    EXPECT_GE(moves, 5);
    while (history.CanUndo()) {
        ASSERT_TRUE(history.Undo());
    }
    ASSERT_TRUE(WaitUntil(same, 30000));
    EXPECT_FALSE(history.Undo());

    // A recall on the processor brings its program 5 into the editor: undo stops there.
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.CanUndo());
    sim.processor.Modify(
        [](ParamImage&, BankImage& bank) { bank.programs[4].EchoA.wetLevel = 61; });
    w->Session().SendDeviceCommand(kCmdRecall, 5);
    ASSERT_TRUE(WaitUntil([] { return ParameterSet.program.EchoA.wetLevel == 61; }, 10000));
    // The worker holds the program before the user-interface thread hears of it: the wall
    // comes with that notice.
    ASSERT_TRUE(WaitUntil([&] { return !history.CanUndo(); }, 10000));
    Settle();
    const auto recalled = Image();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    EXPECT_FALSE(history.WallReason().isEmpty());
    EXPECT_EQ(Image(), recalled);
    ASSERT_TRUE(WaitUntil(same, 30000));
}

// The picture of the history list beside the window for the documentation, taken when
// QX_UNDO_SCREENSHOT names the file: a few gestures, an undo, the list open.
TEST_F(UndoPagesTest, HistoryListPicture) {
    const QString file = qEnvironmentVariable("QX_UNDO_SCREENSHOT");
    if (file.isEmpty()) {
        GTEST_SKIP() << "QX_UNDO_SCREENSHOT names no file";
    }
    useChinese = qEnvironmentVariable("QX_UNDO_LANG") == QStringLiteral("zh");
    Window w;
    w->ApplyLanguageAll();
    w->show();
    w->SelectTab(0);
    Settle();
    CMusicDlg& music = *w->MusicPage();
    const auto sliders = Sliders(&music);
    ASSERT_GE(sliders.size(), 6u);
    Gesture(sliders[2], 0.5, 0.2);
    Gesture(sliders[4], 0.5, 0.8);
    QTest::mouseClick(music.Binding().Widget(CMusicDlg::kSync), Qt::LeftButton);
    Settle();
    Gesture(sliders[sliders.size() - 3], 0.2, 0.7);
    Gesture(sliders[sliders.size() - 1], 0.9, 0.3);
    auto* bar = w->findChild<CHistoryBar*>();
    bar->History().Undo();
    bar->ShowList();
    Settle();
    QTest::qWait(200);
    const QPixmap window = w->grab();
    const QPixmap list = bar->Window()->grab();
    QPixmap out(window.width() + list.width() + 8, std::max(window.height(), list.height()));
    out.fill(Qt::darkGray);
    QPainter p(&out);
    p.drawPixmap(0, 0, window);
    p.drawPixmap(window.width() + 8, 0, list);
    p.end();
    EXPECT_TRUE(out.save(file));
    useChinese = false;
}

}  // namespace
}  // namespace qx
