// The page framework: a table's controls load from their catalogue fields, store exactly
// their field, follow placeholders and blocks, and take their captions from the table.

#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "DialogUnits.h"
#include "Edit_Static.h"
#include "FieldBinding.h"
#include "FontStatic.h"
#include "ImageModel.h"
#include "MivoDlg.h"
#include "NumEdit.h"
#include "PagesTestSupport.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "TextPair.h"

namespace qx {
namespace {

using enum ControlKind;

using test::ChangedBytes;

CMivoDlg::Options Quiet() {
    CMivoDlg::Options o;
    o.autoConnect = false;
    o.smallScreen = 0;
    return o;
}

class FieldBindingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        useChinese = false;
    }
};

// Every control of a field shows it: the label follows its slider and vice versa (every top
// bar row's byte: EveryPageRowTest).
TEST_F(FieldBindingTest, EveryControlOfAFieldShowsIt) {
    CMivoDlg window(Quiet());
    CFieldBinding& bar = window.TopBar();
    bar.ControlChanged(CMivoDlg::kMicSlider, 33);
    EXPECT_EQ(bar.Get<CEdit_Static>(CMivoDlg::kMicValue)->GetValue(), 33);
    EXPECT_EQ(bar.Get<CBitmapSlider>(CMivoDlg::kMicSlider)->GetPos(), 33);
}

TEST_F(FieldBindingTest, VolumesStopAtTheirMaximumAndMovingUnmutes) {
    CMivoDlg window(Quiet());
    CFieldBinding& bar = window.TopBar();
    SystemBlock& sys = ParameterSet.system.block;
    sys.musicMax = 50;
    bar.ControlChanged(CMivoDlg::kMusicSlider, 80);
    EXPECT_EQ(sys.musicVolume, 50);
    EXPECT_EQ(bar.Get<CBitmapSlider>(CMivoDlg::kMusicSlider)->GetPos(), 50);
    EXPECT_EQ(bar.Get<CEdit_Static>(CMivoDlg::kMusicValue)->GetValue(), 50);

    // Mute keeps the volume bits; a move then stores the whole byte, mute bit cleared.
    sys.micVolume = 20;
    bar.RefreshFromParameters();
    bar.Get<CBitButton>(CMivoDlg::kMicMute)->click();
    EXPECT_EQ(sys.micVolume, 0x80 | 20);
    EXPECT_EQ(bar.Get<CBitButton>(CMivoDlg::kMicMute)->GetCheck(), 1);
    bar.ControlChanged(CMivoDlg::kMicSlider, 25);
    EXPECT_EQ(sys.micVolume, 25);
    EXPECT_EQ(bar.Get<CBitButton>(CMivoDlg::kMicMute)->GetCheck(), 0);

    // A maximum lowered by a person pulls the volume down at once and clears its mute; the
    // top bar shows it with the model's notice. A higher one changes nothing.
    CImageModel& model = CImageModel::Editor();
    sys.effectVolume = 0x80 | 60;
    bar.RefreshFromParameters();
    model.WriteField("System.effectMax", 40, ChangeOrigin::FromControl(2570));
    EXPECT_EQ(sys.effectVolume, 40);
    model.Flush();
    EXPECT_EQ(bar.Get<CBitmapSlider>(CMivoDlg::kEffectSlider)->GetPos(), 40);
    EXPECT_EQ(bar.Get<CBitButton>(CMivoDlg::kEffectMute)->GetCheck(), 0);
    model.WriteField("System.effectMax", 70, ChangeOrigin::FromControl(2570));
    EXPECT_EQ(sys.effectVolume, 40);
    // A maximum from the processor or a file is taken as it is, with the volume it came with.
    sys.micVolume = 60;
    model.WriteField("System.micMax", 30, ChangeOrigin::FromProcessor());
    model.WriteField("System.musicMax", 10, ChangeOrigin::FromFile());
    EXPECT_EQ(sys.micVolume, 60);
    EXPECT_EQ(sys.musicVolume, 50);
    model.Flush();
}

// A block placed twice with its own ids and prefixes, and a row whose field follows a
// placeholder: what a page with a channel selector and shared blocks declares.
constexpr ControlRow kLimiterBlock[] = {
    {0, Caption, {0, 0, 40, 10}, {"压限启动电平", "Limit Level"}},
    {1, Label, {45, 0, 30, 10}, {}, "@.level", Shown(LabelRule::L20, 1, 22, "dBV")},
    {2, Slider, {0, 12, 105, 10}, {}, "@.level"},
    {3, Slider, {0, 26, 105, 10}, {}, "@.ratio"},
};
constexpr int kLeftIds[] = {100, 101, 102, 103};
constexpr int kRightIds[] = {210, 211, 212, 213};
constexpr int kMicIds[] = {200, 201, 202};  // a placement may leave rows out

constexpr const char* kSlopes[] = {"ByPass", "6dB", "12dB"};
constexpr ControlRow kChannelRows[] = {
    {300, Combo, {0, 60, 60, 12}, {}, "{ch}.hpf.slope", Items(kSlopes), 0, 2},
    {301, Edit, {70, 60, 36, 12}, {}, "{ch}.hpf.freqCode", FrequencyEdit()},
    {302, Toggle, {0, 80, 50, 14}, {"同步", "SYNC"}, "MusicLink"},
    {303, Slider, {0, 100, 105, 10}, {}, "Scene[{scene}].{out}.delay"},
    {304, Slider, {0, 120, 105, 10}, {}, "{ch}.noSuchField"},
};

TEST_F(FieldBindingTest, BlocksAndPlaceholdersResolveWhenUsed) {
    QWidget page;
    CFieldBinding binding(&page);
    binding.AddBlock(kLimiterBlock, 10, 20, kLeftIds, "MusicLeft.limiter");
    binding.AddBlock(kLimiterBlock, 10, 80, kMicIds, "Mic2.limiter");
    binding.Add(kChannelRows);
    binding.SetPlaceholder("ch", "MusicLeft");
    binding.SetPlaceholder("out", "SUB");

    EXPECT_EQ(binding.FieldNameOf(102), "MusicLeft.limiter.level");
    EXPECT_EQ(binding.FieldNameOf(202), "Mic2.limiter.level");
    EXPECT_EQ(binding.Widget(203), nullptr);
    EXPECT_EQ(binding.Get<CBitmapSlider>(102)->geometry().topLeft(),
              CDialogUnits::ToPixels(QPoint(10, 32)));
    EXPECT_EQ(binding.Unresolved(), std::vector<std::string>{"MusicLeft.noSuchField"});

    // A store goes to the block's own record and shows in its label only.
    binding.ControlChanged(102, 30);
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 30);
    EXPECT_EQ(binding.Get<CEdit_Static>(101)->Text(), QStringLiteral("8dBV"));
    EXPECT_NE(binding.Get<CBitmapSlider>(202)->GetPos(), 30);

    // The channel placeholder decides both where a store goes and what a refresh shows.
    ParameterSet.program.MusicRight.hpf.slope = 2;
    binding.RefreshFromParameters();
    EXPECT_EQ(binding.Get<CBitComboBox>(300)->currentIndex(),
              ParameterSet.program.MusicLeft.hpf.slope);
    binding.SetPlaceholder("ch", "MusicRight");
    binding.RefreshFromParameters();
    EXPECT_EQ(binding.Get<CBitComboBox>(300)->currentIndex(), 2);
    binding.ControlChanged(300, 1);
    EXPECT_EQ(ParameterSet.program.MusicRight.hpf.slope, 1);
    binding.ControlChanged(301, 204);
    EXPECT_EQ(ParameterSet.program.MusicRight.hpf.freqCode.get(), 204);

    // The scene in force is read at each store.
    ParameterSet.program.OutputMode = 3;  // Decode
    SceneSelector.SetMode(3);
    binding.ControlChanged(303, 77);
    EXPECT_EQ(ParameterSet.program.scenes[2].channels[3].delay.get(), 77);
    EXPECT_NE(ParameterSet.program.scenes[0].channels[3].delay.get(), 77);
    ParameterSet.program.OutputMode = 1;  // Sing: the same control now edits scene 1
    SceneSelector.SetMode(1);
    binding.ControlChanged(303, 66);
    EXPECT_EQ(ParameterSet.program.scenes[0].channels[3].delay.get(), 66);
    EXPECT_EQ(ParameterSet.program.scenes[2].channels[3].delay.get(), 77);

    // A toggle stores the other state; values outside the control's range are limited.
    const int link = ParameterSet.program.MusicLink;
    binding.Get<CBitButton>(302)->click();
    EXPECT_EQ(ParameterSet.program.MusicLink, link == 0 ? 1 : 0);
    binding.ControlChanged(300, 9);
    EXPECT_EQ(ParameterSet.program.MusicRight.hpf.slope, 2);
    binding.ControlChanged(304, 5);  // an unresolved field stores nothing
}

TEST_F(FieldBindingTest, HooksAdjustReplaceAndFollowTheStore) {
    QWidget page;
    CFieldBinding binding(&page);
    binding.AddBlock(kLimiterBlock, 0, 0, kLeftIds, "MusicLeft.limiter");
    std::vector<int> seen;
    binding.On(102).adjust = [](int v) { return v / 2; };
    binding.On(102).changed = [&](int v) { seen.push_back(v); };
    binding.ControlChanged(102, 20);
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 10);
    EXPECT_EQ(seen, std::vector<int>{10});

    // A replaced store writes what it likes; the controls then show the field as it is.
    binding.On(103).store = [](int v) { ParameterSet.program.MusicLeft.limiter.ratio = v + 1; };
    binding.ControlChanged(103, 4);
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.ratio, 5);
    EXPECT_EQ(binding.Get<CBitmapSlider>(103)->GetPos(), 5);
}

// Controls show what the image model announces, whoever wrote it: another binding, a link
// copy, a received image. A page that is not shown skips whole images (it loads when shown)
// but shows what a person changed.
TEST_F(FieldBindingTest, ControlsFollowTheModelsNotices) {
    QWidget page;
    CFieldBinding binding(&page);
    binding.AddBlock(kLimiterBlock, 0, 0, kLeftIds, "MusicLeft.limiter");
    binding.AddBlock(kLimiterBlock, 0, 30, kRightIds, "MusicRight.limiter");
    binding.RefreshFromParameters();
    CImageModel& model = binding.Model();
    model.Flush();

    QWidget other;
    CFieldBinding elsewhere(&other);
    elsewhere.AddBlock(kLimiterBlock, 0, 0, kLeftIds, "MusicLeft.limiter");
    elsewhere.ControlChanged(103, 7);
    EXPECT_NE(binding.Get<CBitmapSlider>(103)->GetPos(), 7);  // not before the notice
    model.Flush();
    EXPECT_EQ(binding.Get<CBitmapSlider>(103)->GetPos(), 7);

    // The link copy writes the right channel in both images; its controls follow.
    model.LinkMusic(ChangeOrigin::FromControl(1064));
    model.Flush();
    EXPECT_EQ(binding.Get<CBitmapSlider>(213)->GetPos(), 7);

    // A received program is drawn into a shown page only.
    ParamImage received;
    std::memcpy(&received, &ParameterSet, sizeof received);
    received.program.MusicLeft.limiter.ratio = 9;
    AdoptProgram(&received.program);
    model.NoteProgramReceived();
    EXPECT_EQ(binding.Get<CBitmapSlider>(103)->GetPos(), 7);
    page.show();
    received.program.MusicLeft.limiter.ratio = 10;
    AdoptProgram(&received.program);
    model.NoteProgramReceived();
    EXPECT_EQ(binding.Get<CBitmapSlider>(103)->GetPos(), 10);
}

TEST_F(FieldBindingTest, CaptionsFollowTheLanguage) {
    QWidget page;
    CFieldBinding binding(&page);
    binding.AddBlock(kLimiterBlock, 0, 0, kLeftIds, "MusicLeft.limiter");
    binding.Add(kChannelRows);
    useChinese = true;
    binding.ApplyLanguage();
    EXPECT_EQ(binding.Get<CFontStatic>(100)->Text(), QStringLiteral("压限启动电平"));
    EXPECT_EQ(binding.Get<CBitButton>(302)->text(), QStringLiteral("同步"));
    useChinese = false;
    binding.ApplyLanguage();
    EXPECT_EQ(binding.Get<CFontStatic>(100)->Text(), QStringLiteral("Limit Level"));
    EXPECT_EQ(binding.Get<CBitButton>(302)->text(), QStringLiteral("SYNC"));
}

}  // namespace
}  // namespace qx
