#include "DEQ_Dlg.h"

#include <string>

#include "ChannelPair.h"
#include "CopyToDlg.h"
#include "CurveSets.h"
#include "EQCurveStatic.h"
#include "Filter.h"
#include "KTVEQ.h"
#include "LimiterBlock.h"
#include "PageGlobals.h"
#include "ParameterSet.h"
#include "StripRow.h"
#include "TuneButton.h"

namespace qx {

namespace {

using enum ControlKind;

constexpr int kBands = 3;
constexpr int kColumns[kBands] = {11, 258, 492};

// clang-format off
constexpr ControlRow kRows[] = {
    {2020, Caption, {kColumns[0], 6, 30, 9}, {"1", "1"}},
    {2021, Caption, {kColumns[1], 6, 30, 9}, {"2", "2"}},
    {2022, Caption, {kColumns[2], 6, 30, 9}, {"3", "3"}},
    {1064, Toggle, {10, 156, 50, 14}, {"同步", "SYNC"}, "MusicLink"},
    {1065, Button, {64, 156, 50, 14}, {"音乐左", "Music Left"}},
    {1066, Button, {118, 156, 50, 14}, {"音乐右", "Music Right"}},
    {1067, Button, {172, 156, 50, 14}, {"EQ 重置", "EQ Reset"}},
    {kCopyToButton, Button, {226, 156, 50, 14}, kCopyToText},
    {kTuneButton, Button, {280, 156, 50, 14}, kTuneText},
};
// clang-format on

// One band's parametric part: the captions at the left, the type list, the frequency, the
// vertical gain slider (+12 dB at the top) with its edit, and Q.
enum BandSlot {
    kTypeCaption,
    kFreqCaption,
    kGainCaption,
    kQCaption,
    kType,
    kFreq,
    kGainSlider,
    kGain,
    kQ
};
// clang-format off
constexpr ControlRow kBandBlock[] = {
    {kTypeCaption, Caption, {0, 21, 38, 9}, {"类型", "Type"}},
    {kFreqCaption, Caption, {0, 36, 38, 9}, {"频率(Hz)", "Freq(Hz)"}},
    {kGainCaption, Caption, {0, 121, 38, 9}, {"增益(dB)", "Gain(dB)"}},
    {kQCaption, Caption, {0, 138, 38, 9}, {"Q值", "Q"}},
    {kType, Combo, {39, 20, 40, 12}, {}, "@.type", Items(kBandTypeNames)},
    {kFreq, Edit, {39, 35, 40, 12}, {}, "@.freqCode", FrequencyEdit("")},
    {kGainSlider, VSlider, {48, 50, 22, 66}, {}, "@.gainCode", {}, 60, 180, {138, 0, 137, 137}},
    {kGain, Edit, {39, 120, 40, 12}, {}, "@.gainCode", GainEdit(0.2, 24), 60, 180},
    {kQ, Edit, {39, 137, 40, 12}, {}, "@.qCode", QEdit()},
};
// clang-format on

// Threshold, attack, release and ratio: the limiter's rows on the band's record.
constexpr auto kDynamics = LimiterBlock({"压限启动时间(Atk)", "Attack Time(Atk)"}, "@.threshold");

StripRowSetup RowSetup() {
    StripRowSetup s;
    s.viewId = CDEQ_Dlg::kCurveView;
    s.view = {6, 176, 706, 164};
    s.stripCount = 0;
    return s;
}

ChannelPairSetup PairSetup() {
    ChannelPairSetup s;
    s.syncId = CDEQ_Dlg::kSync;
    s.leftId = CDEQ_Dlg::kLeft;
    s.rightId = CDEQ_Dlg::kRight;
    s.linkField = "MusicLink";
    s.placeholder = "ch";
    s.leftBlock = "MusicLeft";
    s.rightBlock = "MusicRight";
    s.leftEq = kEqDynamicLeft;
    s.rightEq = kEqDynamicRight;
    s.edited = &deqSide;
    s.copyLeftToRight = &CImageModel::LinkMusic;
    return s;
}

}  // namespace

CDEQ_Dlg::CDEQ_Dlg(QWidget* parent)
    : CPageDlg(parent, 144, 715, 359), m_row(new CStripRow(*this, RowSetup())) {
    if (deqSide != kEqDynamicRight) {
        deqSide = kEqDynamicLeft;
    }
    m_binding.SetPlaceholder("ch", "MusicLeft");
    m_binding.Add(kRows);
    for (int i = 0; i < kBands; ++i) {
        const std::string record = "{ch}.deq[" + std::to_string(i) + "]";
        const int bandIds[] = {2200 + i, 2210 + i, 2220 + i, 2230 + i, 2040 + i,
                               2030 + i, 2070 + i, 2050 + i, 2060 + i};
        const int dynamicsIds[] = {2080 + i, 2090 + i, 2100 + i, 2110 + i, 2120 + i, 2130 + i,
                                   2140 + i, 2150 + i, 2160 + i, 2170 + i, 2180 + i, 2190 + i};
        m_binding.AddBlock(kBandBlock, kColumns[i], 0, bandIds, record);
        m_binding.AddBlock(kDynamics, kColumns[i] + 94, 42, dynamicsIds, record);

        // The image model keeps the band's filter on its record; the band worked on is the
        // one highlighted.
        auto highlight = [this, i](int) { m_row->View()->SelectBand(i, 0); };
        for (const int id : {2040 + i, 2030 + i, 2050 + i, 2070 + i, 2060 + i}) {
            m_binding.On(id).changed = highlight;
        }
    }
    m_channels = new CChannelPair(*this, *m_row, PairSetup());
    m_binding.On(kEqReset).changed = [this](int) {
        // Only the parametric part returns to its start-up values; the dynamics stay.
        m_row->ResetBands();
        CPageDlg::RefreshFromParameters();
    };
    CCopyToDlg::Attach(m_binding, kCopyToButton, [] {
        return CopyEndpoint{CopyKind::DynamicEq, deqSide - kEqDynamicLeft};
    });
    AttachTuneButton(m_binding, kTuneButton, [this] { return m_row->View(); });
    connect(m_row->View(), &CEQCurveStatic::PointSelected, this,
            [this](int, int element) { ShowBand(element); });

    m_row->Create(1, deqSide);
    RefreshFromParameters();
    ApplyLanguage();
}

void CDEQ_Dlg::RefreshFromParameters() {
    m_channels->PrepareRefresh();
    CPageDlg::RefreshFromParameters();
    m_channels->ShowButtons();
    m_row->ShowCurve();
}

void CDEQ_Dlg::ShowBand(int band) {
    if (band < 0 || band >= kBands) {
        return;
    }
    for (int id : {2030 + band, 2050 + band, 2060 + band}) {
        m_binding.Refresh(id);  // the gain edit's field also moves the slider
    }
}

}  // namespace qx
