#include "StripRow.h"

#include "Ask.h"
#include "TextPair.h"

#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "CurveSets.h"
#include "DialogUnits.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "Filter.h"
#include "FontStatic.h"
#include "ImageModel.h"
#include "PageDlg.h"
#include "ParameterSet.h"
#include "PassFilterBlock.h"
#include "SkinColors.h"

namespace qx {

namespace {

const QColor kMarkColor(255, 0, 0);

}  // namespace

CStripRow::CStripRow(CPageDlg& page, const StripRowSetup& setup)
    : QObject(&page),
      m_page(page),
      m_setup(setup),
      m_view(setup.sharedView != nullptr ? setup.sharedView
                                         : new CEQCurveStatic(&page, setup.viewId)) {
    if (setup.sharedView == nullptr) {
        const DuRect& v = setup.view;
        m_view->setGeometry(CDialogUnits::ToPixels(v.x, v.y, v.width, v.height));
        page.Binding().Adopt(setup.viewId, m_view);
    }
    for (int i = 0; i < setup.stripCount; ++i) {
        auto* strip = new CEQDlg(&page);
        strip->move(setup.stripX + setup.stripPitch * i, setup.stripY);
        strip->SetCurveView(m_view);
        connect(strip, &CEQDlg::BandChanged, this, &CStripRow::Mark);
        m_strips.push_back(strip);
    }
    if (setup.trackbarId != 0) {
        m_trackbar = new QSlider(Qt::Horizontal, &page);
        m_trackbar->setObjectName(QString::number(setup.trackbarId));
        const DuRect& t = setup.trackbar;
        m_trackbar->setGeometry(CDialogUnits::ToPixels(t.x, t.y, t.width, t.height));
        m_trackbar->setRange(0, setup.trackbarMaximum);
        m_trackbar->setPageStep(1);
        m_trackbar->setTickPosition(QSlider::TicksBelow);
        m_trackbar->setFocusPolicy(Qt::NoFocus);
        page.Binding().Adopt(setup.trackbarId, m_trackbar);
        // Only a moved position scrolls: dropping the thumb where it was rebuilds nothing.
        connect(m_trackbar, &QSlider::valueChanged, this, &CStripRow::ScrollTo);
    }
    connect(&CImageModel::Editor(), &CImageModel::Changed, this, &CStripRow::OnImageChanged);
    connect(m_view, &CEQCurveStatic::PointSelected, this, [this](int eqNumber, int element) {
        if (m_setup.sharedView == nullptr || eqNumber == m_eqNumber) {
            OnPointSelected(element);
        }
    });
}

void CStripRow::Create(int group, int eqNumber) {
    m_eqNumber = eqNumber;
    if (m_setup.sharedView == nullptr) {
        m_view->InitPlot();
        m_view->SetOwner(&m_page);
        m_view->SizeCurveSets(group);
        m_view->ShowEq(eqNumber);
    }
    const int first = FirstBand();
    for (int i = 0; i < StripCount(); ++i) {
        m_strips[static_cast<std::size_t>(i)]->SetEq(eqNumber, 0);
        m_strips[static_cast<std::size_t>(i)]->SetBand(first + i);
    }
    if (m_trackbar != nullptr) {
        const QSignalBlocker block(m_trackbar);
        m_trackbar->setValue(first);
    }
    m_selected = -1;
}

int CStripRow::FirstBand() const {
    return m_setup.firstBand != nullptr ? *m_setup.firstBand : m_first;
}

int CStripRow::BandCount() const {
    const CKTVEQ* set = CurveSetOf(m_eqNumber);
    return set != nullptr ? set->BandCount() : 0;
}

void CStripRow::Bind(int eqNumber) {
    m_eqNumber = eqNumber;
    Deselect();
    for (CEQDlg* strip : m_strips) {
        strip->SetEq(eqNumber, 1);
    }
}

void CStripRow::Reload() {
    for (CEQDlg* strip : m_strips) {
        strip->LoadBand();
    }
}

void CStripRow::OnImageChanged(const ImageNotice& notice) {
    if (!m_page.isVisible()) {
        return;  // the page reloads every strip when it is shown
    }
    const CImageModel& model = CImageModel::Editor();
    for (CEQDlg* strip : m_strips) {
        const EqBand* band = strip->Filter() != nullptr ? strip->Filter()->BandRecord() : nullptr;
        if (band == nullptr) {
            continue;
        }
        const std::size_t offset = model.OffsetOf(band);
        for (const ImageChange& c : notice.Changes()) {
            // A drag or a strip's own edit went through the filter and shows already.
            if (!c.throughFilter && c.range.Overlaps(offset, sizeof(EqBand))) {
                strip->LoadBand();
                break;
            }
        }
    }
}

void CStripRow::ShowCurve() {
    m_view->ShowEq(m_eqNumber);
    m_view->SelectBand(-1, 0);
}

void CStripRow::RedrawCurve() {
    m_view->SelectBand(-1, 0);
}

void CStripRow::ScrollTo(int first) {
    first = std::clamp(first, 0, m_setup.trackbarMaximum);
    if (m_setup.firstBand != nullptr) {
        *m_setup.firstBand = first;
    } else {
        m_first = first;
    }
    if (m_setup.lastBand != nullptr) {
        *m_setup.lastBand = first + StripCount() - 1;
    }
    if (m_trackbar != nullptr && m_trackbar->value() != first) {
        const QSignalBlocker block(m_trackbar);
        m_trackbar->setValue(first);
    }
    ScrollStep();
}

void CStripRow::ScrollStep() {
    Deselect();
    const int first = FirstBand();
    for (int i = 0; i < StripCount(); ++i) {
        m_strips[static_cast<std::size_t>(i)]->SetBand(first + i);
        m_strips[static_cast<std::size_t>(i)]->LoadBand();
    }
    m_page.update();
}

void CStripRow::ResetBands() {
    static constexpr TextPair kCaption{"均衡复位", "EQ Reset"};
    static constexpr TextPair kQuestion{"把这个均衡器的所有频段复位为平直吗?",
                                        "Reset every band of this equaliser to flat?"};
    if (!CAsk::Confirm(QString::fromUtf8(kCaption.Get()), QString::fromUtf8(kQuestion.Get()))) {
        return;
    }
    CFieldBinding& b = m_page.Binding();
    b.Model().ResetEqBands(m_eqNumber, b.Origin());
    ScrollStep();
    ShowCurve();
}

void CStripRow::PlaceFilterBlocks(int x, int highY, int lowY, std::span<const int> highIds,
                                  std::span<const int> lowIds, const std::string& record) {
    CFieldBinding& b = m_page.Binding();
    CPassFilterBlock::Place(b, x, highY, highIds, record + ".hpf",
                            [this] { m_view->SelectBand(HighPassElement(), 0); });
    CPassFilterBlock::Place(b, x, lowY, lowIds, record + ".lpf",
                            [this] { m_view->SelectBand(LowPassElement(), 0); });
}

void CStripRow::AttachEqButtons(int resetId, int bypassId) {
    CFieldBinding& b = m_page.Binding();
    b.On(resetId).changed = [this](int) { ResetBands(); };
    b.On(bypassId).changed = [this](int) { RedrawCurve(); };
}

void CStripRow::Deselect() {
    if (m_selected >= 0) {
        m_strips[static_cast<std::size_t>(m_selected)]->Caption()->SetTextColor(skin::kTextColor);
    }
    m_selected = -1;
}

void CStripRow::Mark(int bandIndex) {
    const int strip = bandIndex - FirstBand();
    if (strip < 0 || strip >= StripCount() || strip == m_selected) {
        return;
    }
    Deselect();
    m_selected = strip;
    m_strips[static_cast<std::size_t>(strip)]->Caption()->SetTextColor(kMarkColor);
}

CFilter* CStripRow::HighPass() const {
    const CKTVEQ* set = CurveSetOf(m_eqNumber);
    return set != nullptr ? set->GetHighPass() : nullptr;
}

CFilter* CStripRow::LowPass() const {
    const CKTVEQ* set = CurveSetOf(m_eqNumber);
    return set != nullptr ? set->GetLowPass() : nullptr;
}

int CStripRow::HighPassElement() const {
    const CKTVEQ* set = CurveSetOf(m_eqNumber);
    return set != nullptr ? set->HighPassIndex() : -1;
}

int CStripRow::LowPassElement() const {
    const CKTVEQ* set = CurveSetOf(m_eqNumber);
    return set != nullptr ? set->LowPassIndex() : -1;
}

void CStripRow::OnPointSelected(int element) {
    const int bands = BandCount();
    if (element >= 0 && element < bands) {
        const int count = StripCount();
        const int first = FirstBand();
        if (element < first || element > first + count - 1) {
            const int position = element < count ? 0 : element - (count - 1);
            if (position != first) {
                ScrollTo(position);
            }
        }
        const int strip = element - FirstBand();
        if (strip >= 0 && strip < count) {
            m_strips[static_cast<std::size_t>(strip)]->LoadBandAndFocus();
            Mark(element);
        }
    } else if (element == bands && m_setup.highPassControl != 0) {
        m_page.Binding().Refresh(m_setup.highPassControl);
    } else if (element == bands + 1 && m_setup.lowPassControl != 0) {
        m_page.Binding().Refresh(m_setup.lowPassControl);
    }
}

}  // namespace qx
