#include "EffectPage.h"

#include "ControlId.h"
#include "EQCurveStatic.h"
#include "StripRow.h"

namespace qx {

namespace {

using enum ControlKind;

// A level row under its caption: the value label, the slider and the on/off switch. Placed
// with the prefix of the level's pair of fields ("{fx}.wet" for wetLevel and wetSwitch).
constexpr int kSwitchX = 484 - CEffectPage::kColumnA;
// clang-format off
constexpr ControlRow kLevelBlock[] = {
    {0, Label, {66, 0, 40, 9}, {}, "@Level"},
    {1, Slider, {0, 10, 105, 10}, {}, "@Level"},
    {2, Toggle, {kSwitchX, 6, 16, 14}, {}, "@Switch", {}, 0, -1, skins::kSwitchButton},
};
// clang-format on

StripRowSetup RowSetup(CEQCurveStatic* view, const EffectPageIds& ids) {
    StripRowSetup s;
    s.viewId = ControlId(view);
    s.sharedView = view;
    s.stripCount = 7;
    s.highPassControl = ids.highPass[2];
    s.lowPassControl = ids.lowPass[2];
    return s;
}

}  // namespace

CEffectPage::CEffectPage(QWidget* parent, CEQCurveStatic* view, const EffectPageIds& ids,
                         int eqNumber, const char* block)
    : CPageDlg(parent, ids.templateId, 715, 170), m_row(new CStripRow(*this, RowSetup(view, ids))) {
    m_binding.SetPlaceholder("fx", block);
    m_binding.AddBlock(kStripRowCaptions, 0, 0, ids.stripCaptions, "");
    m_binding.AddBlock(kLevelBlock, kColumnA, 8, ids.wet, "{fx}.wet");
    m_binding.AddBlock(kLevelBlock, kColumnA, 36, ids.dry, "{fx}.dry");
    m_row->PlaceFilterBlocks(kColumnA, 76, 117, ids.highPass, ids.lowPass, "{fx}");
    m_row->AttachEqButtons(ids.reset, ids.bypass);
    m_row->Create(3, eqNumber);
}

void CEffectPage::RefreshFromParameters() {
    m_row->Reload();
    CPageDlg::RefreshFromParameters();
}

void CEffectPage::Rebind(int eqNumber, const char* block) {
    m_binding.SetPlaceholder("fx", block);
    m_row->Bind(eqNumber);
}

}  // namespace qx
