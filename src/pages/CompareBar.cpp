#include "CompareBar.h"

#include "CommProtocol.h"
#include "DialogUnits.h"
#include "DifferencesDlg.h"
#include "EditorSession.h"
#include "FontStatic.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "SkinColors.h"
#include "Snapshot.h"
#include "StaticStyle.h"

namespace qx {

namespace {

using enum ControlKind;

// The bar's rectangle in the client area, right of the page tabs; rows inside it.
constexpr DuRect kBarRect{462, 19, 141, 12};

// clang-format off
constexpr ControlRow kRows[] = {
    {CCompareBar::kSlotLabel, Caption, {0, 0, 20, 11}, {}, nullptr, {}, 0, -1, {}, ss::kCenter},
    {CCompareBar::kAbButton, Button, {22, 0, 40, 11}, {"A/B 比较", "A/B"}, nullptr, {}, 0, -1, skins::kTopBarButton},
    {CCompareBar::kDifferencesButton, Button, {64, 0, 76, 11}, {"差异", "Differences"}, nullptr, {}, 0, -1, skins::kTopBarButton},
};
// clang-format on

}  // namespace

CCompareBar::CCompareBar(QWidget* parent, CEditorSession& session)
    : QWidget(parent), m_binding(this), m_compare(CImageModel::Editor(), SentImage, this) {
    setGeometry(CDialogUnits::ToPixels(kBarRect.x, kBarRect.y, kBarRect.width, kBarRect.height));
    m_binding.Add(kRows);
    if (auto* slot = m_binding.Get<CFontStatic>(kSlotLabel)) {
        slot->SetTextColor(Qt::white);
        slot->SetBackground(skin::kFieldColor, true);
    }
    m_compare.SetProgramWriter([] { return online.load() && !deviceBusy.load(); },
                               [&session] { session.SendDeviceCommand(kCmdWriteProgram, 0); });
    m_binding.On(kAbButton).changed = [this](int) { m_compare.Press(); };
    m_binding.On(kDifferencesButton).changed = [this](int) {
        CDifferencesDlg dlg(&m_compare, window());
        dlg.exec();
    };
    connect(&m_compare, &CAbCompare::SlotChanged, this, [this](int) { ShowSlot(); });
    // Edits a recall replaces wait in B: one press of A/B brings them back.
    connect(&CSnapshot::Instance(), &CSnapshot::taking, this, [this](const QString& stem) {
        if (stem == QLatin1String(kBeforeRecallStem)) {
            m_compare.PutAside();
        }
    });
    ApplyLanguage();
    raise();
    show();
}

QString CCompareBar::SlotText() const {
    return m_compare.Started() ? QString::fromLatin1(CAbCompare::SlotName(m_compare.Active()))
                               : QString();
}

void CCompareBar::ShowSlot() {
    if (auto* slot = m_binding.Get<CFontStatic>(kSlotLabel)) {
        slot->SetText(SlotText());
    }
}

void CCompareBar::ApplyLanguage() {
    m_binding.ApplyLanguage();
    ShowSlot();
}

}  // namespace qx
