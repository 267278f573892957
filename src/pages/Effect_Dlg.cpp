#include "Effect_Dlg.h"

#include "BitButton.h"
#include "EQCurveStatic.h"
#include "Echo_Dlg.h"
#include "PageGlobals.h"
#include "ParameterSet.h"
#include "Rev_Dlg.h"
#include "TuneButton.h"

namespace qx {

namespace {

using enum ControlKind;

// clang-format off
constexpr ControlRow kRows[] = {
    {1064, Button, {4, 48, 50, 14}, {"回声A", "EchoA"}, nullptr, {}, 0, -1, skins::kSelectorButton},
    {1065, Button, {4, 64, 50, 14}, {"回声B", "EchoB"}, nullptr, {}, 0, -1, skins::kSelectorButton},
    {1066, Button, {4, 80, 50, 14}, {"混响", "Reverb"}, nullptr, {}, 0, -1, skins::kSelectorButton},
    {kTuneButton, Button, {4, 100, 50, 14}, kTuneText},
    {1297, Custom, {6, 176, 706, 164}},
};
// clang-format on

// The sub-pages stand over the upper part of the selector, right of its buttons.
constexpr QPoint kSubPageOrigin(100, 0);

int Shown() {
    return selectedEffect == kEqEchoB || selectedEffect == kEqReverb ? selectedEffect : kEqEchoA;
}

}  // namespace

CEffect_Dlg::CEffect_Dlg(QWidget* parent)
    : CPageDlg(parent, 146, 785, 359), m_view(new CEQCurveStatic(this, kCurveView)) {
    m_binding.Add(kRows);
    m_binding.Adopt(kCurveView, m_view);
    selectedEffect = Shown();
    m_view->InitPlot();
    m_view->SetOwner(this);
    m_view->SizeCurveSets(3);
    m_view->ShowEq(selectedEffect);

    m_echo = new CEcho_Dlg(this, m_view);
    m_reverb = new CRev_Dlg(this, m_view);
    for (CPageDlg* sub : {static_cast<CPageDlg*>(m_echo), static_cast<CPageDlg*>(m_reverb)}) {
        sub->move(kSubPageOrigin);
        sub->hide();
    }
    for (int eq : {kEqEchoA, kEqEchoB, kEqReverb}) {
        m_binding.On(kEchoA + eq - kEqEchoA).changed = [this, eq](int) { SelectEffect(eq); };
    }
    // The shared view shows the effect selected.
    AttachTuneButton(m_binding, kTuneButton, [this] { return m_view; });
    RefreshFromParameters();
    ApplyLanguage();
}

void CEffect_Dlg::SelectEffect(int eqNumber) {
    if (eqNumber == selectedEffect) {
        return;
    }
    selectedEffect = eqNumber;
    if (eqNumber != kEqReverb) {
        m_echo->SelectEcho(eqNumber);
    }
    m_view->ShowEq(eqNumber);
    RefreshFromParameters();
}

void CEffect_Dlg::RefreshFromParameters() {
    CPageDlg::RefreshFromParameters();
    const bool reverb = selectedEffect == kEqReverb;
    CPageDlg* shown = reverb ? static_cast<CPageDlg*>(m_reverb) : m_echo;
    CPageDlg* hidden = reverb ? static_cast<CPageDlg*>(m_echo) : m_reverb;
    hidden->hide();
    shown->show();
    shown->RefreshFromParameters();
    for (int eq : {kEqEchoA, kEqEchoB, kEqReverb}) {
        m_binding.Get<CBitButton>(kEchoA + eq - kEqEchoA)->SetCheck(eq == selectedEffect ? 1 : 0);
    }
    // A program read or loaded may have replaced the records behind the curve.
    m_view->ShowEq(selectedEffect);
    m_view->SelectBand(-1, 0);
}

void CEffect_Dlg::ApplyLanguage() {
    CPageDlg::ApplyLanguage();
    m_echo->ApplyLanguage();
    m_reverb->ApplyLanguage();
}

}  // namespace qx
