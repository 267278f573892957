#include "StereoEqPage.h"

namespace qx {

CStereoEqPage::CStereoEqPage(QWidget* parent, int templateId, const StripRowSetup& row,
                             const ChannelPairSetup& pair)
    : CPageDlg(parent, templateId, 715, 359),
      m_row(new CStripRow(*this, row)),
      m_channels(new CChannelPair(*this, *m_row, pair)) {
    m_binding.SetPlaceholder(pair.placeholder, pair.leftBlock);
}

void CStereoEqPage::Start(int curveGroup) {
    m_row->Create(curveGroup, m_channels->Edited());
    RefreshFromParameters();
    ApplyLanguage();
}

void CStereoEqPage::RefreshFromParameters() {
    m_channels->PrepareRefresh();
    m_row->Reload();
    CPageDlg::RefreshFromParameters();
    m_channels->ShowButtons();
    m_row->ShowCurve();
}

void CStereoEqPage::SelectChannel(int eqNumber) {
    m_channels->SelectChannel(eqNumber);
}

}  // namespace qx
