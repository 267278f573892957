// The main window: start-up, the connection with its progress and messages, the top bar,
// the language switch, tab selection, keys and the small-screen layout.

#include <gtest/gtest.h>

#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "../pages/PagesTestSupport.h"
#include "BitButton.h"
#include "BitmapSlider.h"
#include "EditorSession.h"
#include "EnTabCtrl.h"
#include "FontStatic.h"
#include "MainDlg.h"
#include "MusicDlg.h"
#include "NumEdit.h"
#include "PageDlg.h"
#include "ProgramFile.h"
#include "SysDlg.h"
#include "TextPair.h"

namespace qx {
namespace {

using namespace qx::test;
using enum ControlKind;

const QString kUnable = QStringLiteral("Unable to Open Device!");

QString StripText(CMivoDlg* w) {
    return w->TopBar().Get<CFontStatic>(CMivoDlg::kProgramStrip)->Text();
}
QString ConnectText(CMivoDlg* w) {
    return w->TopBar().Get<CBitButton>(CMivoDlg::kConnectButton)->text();
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        useChinese = false;
    }
};

TEST_F(MainWindowTest, StartsOnTheSystemTabAndTriesToConnectAtOnce) {
    for (bool chinese : {false, true}) {
        useChinese = chinese;
        Window w(true);
        EXPECT_EQ(currentTab, CMivoDlg::kSystemTab);
        EXPECT_EQ(w->Tabs()->GetCurSel(), CMivoDlg::kSystemTab);
        EXPECT_TRUE(w->SystemPage()->isVisibleTo(w.dlg.get()));
        EXPECT_FALSE(w->MusicPage()->isVisibleTo(w.dlg.get()));
        EXPECT_EQ(w->windowTitle(), chinese ? QStringLiteral("人声处理器 KR38-1.01")
                                            : QStringLiteral("Zelvoro QX-1.01"));
        EXPECT_EQ(StripText(w.dlg.get()),
                  chinese ? QStringLiteral("脱机") : QStringLiteral("Off Line"));
        // The attempt is posted: with no port anywhere it ends in the one message.
        EXPECT_TRUE(w.boxes.empty());
        ASSERT_TRUE(WaitUntil([&] { return !w.boxes.empty(); }, 2000));
        EXPECT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].text, chinese ? QStringLiteral("不能打开设备!") : kUnable);
        EXPECT_FALSE(online);
    }
    // A shown window paints first and then searches.
    useChinese = false;
    Window shown(true);
    shown->show();
    ASSERT_TRUE(WaitUntil([&] { return !shown.boxes.empty(); }, 3000));
    EXPECT_EQ(shown.boxes[0].text, kUnable);
}

TEST_F(MainWindowTest, ConnectsReadsTwentyFourFramesAndShowsTheProgram) {
    Sim sim;
    ASSERT_TRUE(sim.started);
    Window w;
    w.UseTiming(LinkTiming::Real());  // the editor's own timing, once end to end
    ASSERT_TRUE(w.Connect(sim));

    // The line is never idle: idle polls may come between the probe and the reads (the window
    // queues the reads when it hears of the probe's answer). Apart from them, exactly the probe
    // and the 24 reads, in order, and nothing else.
    std::vector<uint8_t> commands;
    for (const auto& request : sim.processor.Requests()) {
        if (request[4] != 0x0C && request[4] != 0x18) {
            commands.push_back(request[4]);
        }
    }
    std::vector<uint8_t> expected{0x7F};
    expected.insert(expected.end(), 22, 0x80);
    expected.push_back(0x81);
    expected.push_back(0x82);
    EXPECT_EQ(commands, expected);
    std::vector<int> steps;
    for (int i = 1; i <= 24; ++i) {
        steps.push_back(i);
    }
    EXPECT_EQ(w->Progress()->Total(), 24);
    EXPECT_EQ(w->Progress()->Steps(), steps);
    EXPECT_TRUE(w->Client()->isEnabled());  // the dialog let go of the window
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("1:MODE 01"));
    EXPECT_EQ(ConnectText(w.dlg.get()), QStringLiteral("Disconnect"));
    EXPECT_TRUE(w.boxes.empty());

    // Volumes reach the processor; a volume above its maximum stops there.
    CFieldBinding& bar = w->TopBar();
    ParameterSet.system.block.musicMax = 60;
    bar.ControlChanged(CMivoDlg::kMusicSlider, 84);
    bar.Get<CBitButton>(CMivoDlg::kEffectMute)->click();
    const uint8_t effect = ParameterSet.system.block.effectVolume;
    EXPECT_NE(effect & 0x80, 0);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const ParamImage device = sim.processor.Image();
            return device.system.block.musicVolume == 60 &&
                   device.system.block.effectVolume == effect;
        },
        5000));
    EXPECT_EQ(bar.Get<CBitmapSlider>(CMivoDlg::kMusicSlider)->GetPos(), 60);

    // The connect button while online disconnects without a message.
    w->TopBar().ControlChanged(CMivoDlg::kConnectButton, 1);
    Pump(50);
    EXPECT_FALSE(online);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("Off Line"));
    EXPECT_EQ(ConnectText(w.dlg.get()), QStringLiteral("Connect"));
}

TEST_F(MainWindowTest, ALostProcessorIsToldAsLostSearchedForAndKeepsTheValues) {
    auto sim = std::make_unique<Sim>();
    ASSERT_TRUE(sim->started);
    Window w;
    ASSERT_TRUE(w.Connect(*sim));
    w->SelectTab(0);
    w->TopBar().ControlChanged(CMivoDlg::kMicSlider, 12);
    Pump(100);
    ParamImage before;
    std::memcpy(&before, &ParameterSet, sizeof before);

    sim->server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return !online; }, 8000));
    Pump(300);
    // Told as a lost connection (not as a search that found nothing); the editor searches
    // again by itself and the top bar says so, with the connect button to stop it.
    EXPECT_EQ(w.CountBoxes(kUnable), 0);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, QStringLiteral("Connection to the processor lost. Reconnecting."));
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("Reconnecting..."));
    EXPECT_EQ(ConnectText(w.dlg.get()), QStringLiteral("Stop"));
    w->Session().ConnectDevice();
    EXPECT_FALSE(w->Session().Reconnecting());
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("Off Line"));
    EXPECT_EQ(ConnectText(w.dlg.get()), QStringLiteral("Connect"));
    EXPECT_EQ(std::memcmp(&before, &ParameterSet, sizeof before), 0);
    EXPECT_EQ(w->TopBar().Get<CBitmapSlider>(CMivoDlg::kMicSlider)->GetPos(), 12);
    EXPECT_EQ(w->Progress()->CurrentForm(), CShow_Dlg::kHidden);
}

TEST_F(MainWindowTest, OfflineWorkIsKeptBeforeTheProcessorReplacesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("MusicFile"));
    Sim sim;  // the processor starts from the defaults
    ASSERT_TRUE(sim.started);
    Window w(false, folder);
    auto kept = [&] {
        return QDir(folder).entryList({QStringLiteral("offline-*.dia")}, QDir::Files);
    };

    // Nothing edited: nothing kept, nothing said.
    ASSERT_TRUE(w.Connect(sim));
    EXPECT_TRUE(kept().isEmpty());
    EXPECT_TRUE(w->Notice().isEmpty());
    w->Session().DisconnectDevice();

    // Edited offline: kept once, with exactly the editor's image, before the read replaced it.
    w->TopBar().ControlChanged(CMivoDlg::kMicSlider, 9);
    ParameterSet.program.MusicLeft.limiter.level = 17;
    ParamImage offline;
    std::memcpy(&offline, &ParameterSet, sizeof offline);
    w.received = 0;
    ASSERT_TRUE(w.Connect(sim));
    const QStringList files = kept();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("offline-")));
    ParamImage saved;
    ASSERT_TRUE(CProgramFile::ReadProgram(QDir(folder).filePath(files[0]).toStdString(), saved).ok);
    EXPECT_EQ(std::memcmp(&saved, &offline, sizeof saved), 0);
    EXPECT_TRUE(w->Notice().contains(files[0]));
    EXPECT_NE(ParameterSet.program.MusicLeft.limiter.level, 17);  // the processor's now
    EXPECT_TRUE(w.boxes.empty());                                 // a notice, never a box

    // The processor's image counts as loaded: connecting again keeps nothing new.
    w->Session().DisconnectDevice();
    w.received = 0;
    ASSERT_TRUE(w.Connect(sim));
    EXPECT_EQ(kept().size(), 1);
}

TEST_F(MainWindowTest, LanguageSwitchReappliesEveryCaption) {
    Window w;
    // A caption on a page stands for what the pages' tables will hold.
    constexpr ControlRow kRows[] = {{7001, Caption, {4, 4, 60, 10}, {"频率", "Freq"}}};
    w->MusicPage()->Binding().Add(kRows);
    w->OutputPage()->Binding().Add(kRows);

    w->TopBar().ControlChanged(CMivoDlg::kLanguageButton, 1);
    EXPECT_TRUE(useChinese);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("人声处理器 KR38-1.01"));
    EXPECT_EQ(w->Tabs()->ItemText(0), QStringLiteral("音乐"));
    EXPECT_EQ(w->Tabs()->ItemText(9), QStringLiteral("系统"));
    EXPECT_EQ(w->TopBar().Get<CFontStatic>(3800)->Text(), QStringLiteral("音乐音量"));
    EXPECT_EQ(w->TopBar().Get<CFontStatic>(3802)->Text(), QStringLiteral("效果音量"));
    EXPECT_EQ(w->TopBar().Get<CBitButton>(CMivoDlg::kLanguageButton)->text(),
              QStringLiteral("English"));
    EXPECT_EQ(ConnectText(w.dlg.get()), QStringLiteral("联机"));
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("脱机"));
    EXPECT_EQ(w->MusicPage()->Binding().Get<CFontStatic>(7001)->Text(), QStringLiteral("频率"));
    EXPECT_EQ(w->OutputPage()->Binding().Get<CFontStatic>(7001)->Text(), QStringLiteral("频率"));

    w->TopBar().ControlChanged(CMivoDlg::kLanguageButton, 1);
    EXPECT_FALSE(useChinese);
    EXPECT_EQ(w->Tabs()->ItemText(8), QStringLiteral("Surround"));
    EXPECT_EQ(w->TopBar().Get<CFontStatic>(3801)->Text(), QStringLiteral("Mic Vol"));
    EXPECT_EQ(w->TopBar().Get<CBitButton>(CMivoDlg::kLanguageButton)->text(),
              QStringLiteral("中文"));
    EXPECT_EQ(StripText(w.dlg.get()), QStringLiteral("Off Line"));
    EXPECT_EQ(w->MusicPage()->Binding().Get<CFontStatic>(7001)->Text(), QStringLiteral("Freq"));
}

// Pages are made when first shown or asked for; one made after a language switch and after
// edits shows both, and a hidden page never covers the one shown.
TEST_F(MainWindowTest, PagesMadeLaterShowTheLanguageAndTheImage) {
    Window w;
    EXPECT_EQ(w->findChildren<CPageDlg*>().size(), 1) << "only the System page at start";
    w->TopBar().ControlChanged(CMivoDlg::kLanguageButton, 1);
    ASSERT_TRUE(useChinese);
    ParameterSet.program.MusicLeft.limiter.level = 17;

    w->SelectTab(0);
    CMusicDlg* music = w->MusicPage();
    EXPECT_TRUE(music->isVisibleTo(w.dlg.get()));
    EXPECT_FALSE(w->SystemPage()->isVisibleTo(w.dlg.get()));
    EXPECT_EQ(music->Binding().Get<CBitmapSlider>(1038)->GetPos(), 17);
    EXPECT_EQ(music->Binding().Get<CBitButton>(CMusicDlg::kSync)->text(), QStringLiteral("同步"));
    EXPECT_EQ(w->findChildren<CPageDlg*>().size(), 2);

    // Made without being shown (a test or a handler asking for it): hidden.
    EXPECT_FALSE(w->OutputPage()->isVisibleTo(w.dlg.get()));
    EXPECT_TRUE(music->isVisibleTo(w.dlg.get()));
    w->TopBar().ControlChanged(CMivoDlg::kLanguageButton, 1);
    EXPECT_EQ(music->Binding().Get<CBitButton>(CMusicDlg::kSync)->text(), QStringLiteral("SYNC"));
}

TEST_F(MainWindowTest, ProgramStripNumbersAndName) {
    ParamImage image;
    std::memcpy(&image, &ParameterSet, sizeof image);
    const char name[kNameLength] = {' ', ' ', 'K', 'T', 'V', ' ', 'A', ' ', ' ', 0, 'x'};
    for (int i = 0; i < kNameLength; ++i) {
        image.program.name[i] = static_cast<uint8_t>(name[i]);
    }
    image.system.block.currentProgram = 16;
    EXPECT_EQ(CMivoDlg::ProgramStripText(image), QStringLiteral("16:KTV A"));
    image.system.block.currentProgram = 17;
    EXPECT_EQ(CMivoDlg::ProgramStripText(image), QStringLiteral("F1:KTV A"));
    image.system.block.currentProgram = 21;
    EXPECT_EQ(CMivoDlg::ProgramStripText(image), QStringLiteral("F5:KTV A"));
}

TEST_F(MainWindowTest, TabsShowTheirPagesAndTheOutputGroup) {
    Window w;
    constexpr ControlRow kRows[] = {{7002, Slider, {4, 4, 105, 10}, {}, "MusicLeft.limiter.level"}};
    w->MusicPage()->Binding().Add(kRows);
    auto* slider = w->MusicPage()->Binding().Get<CBitmapSlider>(7002);

    ParameterSet.program.MusicLeft.limiter.level = 11;
    w->SelectTab(0);
    EXPECT_EQ(currentTab, 0);
    EXPECT_TRUE(w->MusicPage()->isVisibleTo(w.dlg.get()));
    EXPECT_FALSE(w->SystemPage()->isVisibleTo(w.dlg.get()));
    EXPECT_EQ(slider->GetPos(), 11);
    // The current tab again: no refresh.
    ParameterSet.program.MusicLeft.limiter.level = 12;
    w->SelectTab(0);
    EXPECT_EQ(slider->GetPos(), 11);

    w->SelectTab(6);
    EXPECT_TRUE(w->OutputPage()->isVisibleTo(w.dlg.get()));
    EXPECT_EQ(w->OutputPage()->ChannelGroup(), 2);  // SUB
    EXPECT_EQ(w->Tabs()->GetCurSel(), 6);
    w->SelectTab(8);
    EXPECT_EQ(w->OutputPage()->ChannelGroup(), 4);
    EXPECT_TRUE(w->OutputPage()->isVisibleTo(w.dlg.get()));
}

TEST_F(MainWindowTest, EnterAndEscapeCommitAndCloseNothing) {
    Window w;
    constexpr ControlRow kRows[] = {
        {7003, Edit, {4, 4, 40, 12}, {}, "MusicLeft.hpf.freqCode", FrequencyEdit()}};
    w->MusicPage()->Binding().Add(kRows);
    w->SelectTab(0);
    w->show();
    QApplication::setActiveWindow(w.dlg.get());
    auto* edit = w->MusicPage()->Binding().Get<CNumEdit>(7003);
    edit->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return edit->hasFocus(); }, 1000));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1000"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->MusicPage()->hasFocus());
    EXPECT_EQ(ParameterSet.program.MusicLeft.hpf.freqCode.get(), 204);  // 1000 Hz
    QTest::keyClick(w->MusicPage(), Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(MainWindowTest, SmallScreenLayoutScrollsByPixels) {
    CMivoDlg::Options o;
    o.autoConnect = false;
    o.smallScreen = 1;
    CMivoDlg w(o);
    EXPECT_EQ(w.size(), QSize(1290, 740));
    EXPECT_TRUE(w.IsSmallScreen());
    // 1265 x 699 designed: vertical 1..90 page 6, horizontal 1..500 page 25.
    ASSERT_EQ(w.Client()->size(), QSize(1265, 699));
    EXPECT_EQ(w.VerticalScroll().Maximum(), 90);
    EXPECT_EQ(w.VerticalScroll().Page(), 6);
    EXPECT_EQ(w.HorizontalScroll().Maximum(), 500);
    EXPECT_EQ(w.HorizontalScroll().Page(), 25);
    auto bars = w.findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(bars.size(), 2);
    QScrollBar* vertical = bars[0]->orientation() == Qt::Vertical ? bars[0] : bars[1];
    vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.Client()->pos(), QPoint(0, -1));
    vertical->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(w.Client()->pos(), QPoint(0, -(90 - 6)));
    vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(w.Client()->pos(), QPoint(0, -(90 - 6 - 6)));
}

TEST(ScrollStateTest, StepsStayInsideTheRange) {
    CScrollState s;
    s.SetUp(1, 105, 7);
    EXPECT_EQ(s.Apply(CScrollState::LineUp), 0);
    EXPECT_EQ(s.Apply(CScrollState::PageUp), 0);
    EXPECT_EQ(s.Apply(CScrollState::LineDown), -1);
    EXPECT_EQ(s.Apply(CScrollState::Bottom), -(99 - 2));
    EXPECT_EQ(s.Position(), 99);  // maximum - page + 1
    EXPECT_EQ(s.Apply(CScrollState::PageDown), 0);
    EXPECT_EQ(s.Apply(CScrollState::ThumbTrack, 500), 0);  // a wild track position is limited
    EXPECT_EQ(s.Apply(CScrollState::ThumbPosition, 3), 0);
    EXPECT_EQ(s.Apply(CScrollState::Top), 98);
}

}  // namespace
}  // namespace qx
