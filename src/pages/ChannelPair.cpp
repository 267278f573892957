#include "ChannelPair.h"

#include "Ask.h"
#include "BitButton.h"
#include "ChannelPairRules.h"
#include "PageDlg.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "Snapshot.h"
#include "StripRow.h"
#include "TextPair.h"

namespace qx {

CChannelPair::CChannelPair(CPageDlg& page, CStripRow& row, const ChannelPairSetup& setup)
    : QObject(&page), m_page(page), m_row(row), m_setup(setup) {
    CFieldBinding& b = page.Binding();
    b.On(setup.syncId).store = [this](int) { ToggleLink(); };
    b.On(setup.leftId).changed = [this](int) { SelectChannel(m_setup.leftEq); };
    b.On(setup.rightId).changed = [this](int) { SelectChannel(m_setup.rightEq); };
}

bool CChannelPair::Linked() const {
    return m_page.Binding().Read(m_setup.linkField) > 0;
}

void CChannelPair::PrepareRefresh() {
    if (Linked() && *m_setup.edited != m_setup.leftEq) {
        // A program read or loaded with the link set: edits of the right channel would be
        // overwritten by the left one when the link is next released.
        *m_setup.edited = m_setup.leftEq;
        m_row.Bind(m_setup.leftEq);
    }
    const bool right = *m_setup.edited == m_setup.rightEq;
    m_page.Binding().SetPlaceholder(m_setup.placeholder,
                                    right ? m_setup.rightBlock : m_setup.leftBlock);
}

void CChannelPair::ShowButtons() {
    CFieldBinding& b = m_page.Binding();
    auto* left = b.Get<CBitButton>(m_setup.leftId);
    auto* right = b.Get<CBitButton>(m_setup.rightId);
    auto* sync = b.Get<CBitButton>(m_setup.syncId);
    const bool linked = Linked();
    if (sync != nullptr) {
        sync->SetCheck(linked ? 1 : 0);
    }
    const bool rightEdited = !linked && *m_setup.edited == m_setup.rightEq;
    ApplyEnabled(b, ChannelPairRules({m_setup.leftId, m_setup.rightId}, linked));
    for (auto [button, pressed] :
         {std::pair{left, !linked && !rightEdited}, std::pair{right, rightEdited}}) {
        if (button != nullptr) {
            button->SetCheck(pressed ? 1 : 0);
        }
    }
}

bool CChannelPair::BlocksDiffer() const {
    const std::string left = std::string(m_setup.leftBlock) + ".";
    const std::string right = std::string(m_setup.rightBlock) + ".";
    const uint8_t* image = CParamCatalogue::Bytes(ParameterSet);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (f.name.rfind(left, 0) != 0 || f.IsBytes()) {
            continue;
        }
        const ParamField* other = CParamCatalogue::Find(right + f.name.substr(left.size()));
        if (other != nullptr &&
            CParamCatalogue::Read(image, f) != CParamCatalogue::Read(image, *other)) {
            return true;
        }
    }
    return false;
}

bool CChannelPair::ConfirmFollow() {
    static constexpr TextPair kCaption{"同步", "SYNC"};
    static constexpr TextPair kQuestion{
        "两个通道的设置不同。同步后 %2 的设置将跟随 %1，%2 现在的设置将被替换"
        "(会先保存一份快照)。\n继续吗?",
        "The two channels differ. Once linked, the settings of %2 follow those of %1 and the "
        "present settings of %2 are replaced (a snapshot is kept first).\nLink them?"};
    static constexpr TextPair kBeforeSync{"同步", "SYNC"};
    CFieldBinding& b = m_page.Binding();
    const auto caption = [&b](int id) {
        auto* button = b.Get<CBitButton>(id);
        return button != nullptr ? button->text().toStdString() : std::string();
    };
    const QString text =
        QString::fromStdString(Tr(kQuestion, {caption(m_setup.leftId), caption(m_setup.rightId)}));
    if (!CAsk::Confirm(QString::fromUtf8(kCaption.Get()), text)) {
        return false;
    }
    CSnapshot::Instance().Keep("before-sync", kBeforeSync);
    return true;
}

void CChannelPair::ToggleLink() {
    if (!Linked() && BlocksDiffer() && !ConfirmFollow()) {
        ShowButtons();  // the button shows the link as it stays
        return;
    }
    {
        ParamGuard guard(ParamLock);
        m_page.Binding().Write(m_setup.linkField, Linked() ? 0 : 1);
        if (!Linked() && m_setup.copyLeftToRight != nullptr) {
            CFieldBinding& b = m_page.Binding();
            (b.Model().*m_setup.copyLeftToRight)(b.Origin());
        }
    }
    SelectChannel(-1);
}

void CChannelPair::SelectChannel(int eqNumber) {
    if (eqNumber == -1) {
        if (Linked() && *m_setup.edited != m_setup.leftEq) {
            *m_setup.edited = m_setup.leftEq;
            m_row.Bind(m_setup.leftEq);
            m_page.RefreshFromParameters();
        }
        ShowButtons();
        return;
    }
    if (eqNumber == *m_setup.edited || Linked()) {
        ShowButtons();  // a click on the chosen button leaves it pressed
        return;
    }
    *m_setup.edited = eqNumber;
    m_row.Bind(eqNumber);
    m_page.RefreshFromParameters();
}

}  // namespace qx
