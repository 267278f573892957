#include "EQDlg.h"

#include "BandTypeHelp.h"

#include <QKeyEvent>

#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ControlId.h"
#include "CurveSets.h"
#include "DialogUnits.h"
#include "EQCurveStatic.h"
#include "FontStatic.h"
#include "KTVEQ.h"
#include "NumEdit.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "StripHelp.h"

namespace qx {

namespace {

constexpr int kCaptionFontPixels = 14;
constexpr int kTypeCount = 4;

}  // namespace

CEQDlg::CEQDlg(QWidget* parent)
    : QWidget(parent),
      m_caption(new CFontStatic(this, kIdCaption)),
      m_type(new CBitComboBox(this, kIdType)),
      m_gainEdit(new CNumEdit(this, kIdGainEdit)),
      m_gainSlider(new CBitmapSlider(this, kIdGainSlider)),
      m_freqEdit(new CNumEdit(this, kIdFreqEdit)),
      m_qEdit(new CNumEdit(this, kIdQEdit)) {
    resize(CDialogUnits::ToPixels(QSize(kWidthUnits, kHeightUnits)));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, skin::kPageColor);
    setPalette(pal);
    // The strip itself takes the focus on Enter and Escape, so a typed value commits.
    setFocusPolicy(Qt::ClickFocus);

    m_caption->SetTextColor(skin::kTextColor);
    m_caption->SetLeftAligned(false);
    m_caption->SetFontHeight(kCaptionFontPixels);
    m_caption->setGeometry(CDialogUnits::ToPixels(1, 1, 24, 9));

    m_type->SetEdgeBitmaps(skinid::kComboLeft, skinid::kComboRight, skinid::kComboMiddle);
    m_type->SetListBitmaps(skinid::kListLeft, skinid::kListRight, skinid::kListTop,
                           skinid::kListBottom);
    m_type->SetFocusColors(skin::kFieldColor, Qt::white);
    m_type->SetNormalColors(skin::kFieldColor, Qt::white);
    m_type->addItems(
        {QStringLiteral("BY"), QStringLiteral("P"), QStringLiteral("LS"), QStringLiteral("HS")});
    m_type->setGeometry(CDialogUnits::ToPixels(1, 12, 24, 12));
    ApplyLanguage();

    m_gainEdit->SetScale(0.2);
    m_gainEdit->SetOffset(24);
    m_gainEdit->SetRange(0, 180);
    m_gainEdit->SetKind(CNumEdit::kModeGain);
    m_gainEdit->setGeometry(CDialogUnits::ToPixels(1, 27, 24, 10));

    m_gainSlider->SetBitmapChannel(skinid::kGainChannel, skinid::kGainChannel);
    m_gainSlider->SetBitmapThumb(skinid::kGainThumb, skinid::kGainActiveThumb, true);
    m_gainSlider->SetVertical(true);
    m_gainSlider->SetRange(0, 180);
    m_gainSlider->SetMargin(12, 1, 0, 2);
    m_gainSlider->move((width() - m_gainSlider->width()) / 2, CDialogUnits::ToPixelsY(39));
    m_gainEdit->SetCompanion(m_gainSlider);

    m_freqEdit->SetRange(0, 361);
    m_freqEdit->SetKind(CNumEdit::kModeFrequency);
    m_freqEdit->setGeometry(CDialogUnits::ToPixels(1, 111, 24, 10));

    m_qEdit->SetRange(0, 100);
    m_qEdit->SetKind(CNumEdit::kModeQ);
    m_qEdit->setGeometry(CDialogUnits::ToPixels(1, 125, 24, 10));

    for (QWidget* control : {static_cast<QWidget*>(m_type), static_cast<QWidget*>(m_gainEdit),
                             static_cast<QWidget*>(m_gainSlider), static_cast<QWidget*>(m_freqEdit),
                             static_cast<QWidget*>(m_qEdit)}) {
        control->installEventFilter(this);
    }
    installEventFilter(this);

    connect(m_type, &QComboBox::activated, this, &CEQDlg::OnTypeChosen);
    for (CNumEdit* edit : {m_gainEdit, m_freqEdit, m_qEdit}) {
        connect(edit, &CNumEdit::ValueCommitted, this, &CEQDlg::OnEditCommitted);
    }
    connect(m_gainSlider, &CBitmapSlider::Tracking, this, &CEQDlg::OnSliderMoved);
    connect(m_gainSlider, &CBitmapSlider::Changed, this, &CEQDlg::OnSliderMoved);
}

void CEQDlg::ApplyLanguage() {
    m_type->setToolTip(QString::fromUtf8(kBandTypeHelp.Get()));
    Describe();
}

void CEQDlg::Describe() {
    if (m_filter == nullptr || m_filter->BandRecord() == nullptr) {
        return;
    }
    const int eq = m_eqNumber;
    const int band = m_bandIndex;
    m_type->setAccessibleName(CStripHelp::Name(eq, band, CStripHelp::kType));
    m_type->setAccessibleDescription(CStripHelp::Value(CStripHelp::kType, m_filter->GetType()));
    const int gain = m_filter->GetGainCode();
    struct Control {
        QWidget* widget;
        CStripHelp::Setting setting;
        int lowest;
        int highest;
        int code;
    };
    const Control controls[] = {
        {m_gainEdit, CStripHelp::kGain, m_gainEdit->Minimum(), m_gainEdit->Maximum(), gain},
        {m_gainSlider, CStripHelp::kGain, m_gainEdit->Minimum(), m_gainEdit->Maximum(), gain},
        {m_freqEdit, CStripHelp::kFrequency, m_freqEdit->Minimum(), m_freqEdit->Maximum(),
         m_filter->GetFreqCode()},
        {m_qEdit, CStripHelp::kQ, m_qEdit->Minimum(), m_qEdit->Maximum(),
         m_filter->BandRecord()->qCode},
    };
    for (const Control& c : controls) {
        c.widget->setToolTip(CStripHelp::Tip(eq, band, c.setting, c.lowest, c.highest, c.code));
        c.widget->setAccessibleName(CStripHelp::Name(eq, band, c.setting));
        c.widget->setAccessibleDescription(CStripHelp::Value(c.setting, c.code));
    }
}

CEQDlg::~CEQDlg() {
    // The curve sets outlive the strip; none may keep pointing at its slider.
    UnlinkSlider();
}

void CEQDlg::UnlinkSlider() {
    if (m_linked != nullptr && m_linked->LinkedSlider() == m_gainSlider) {
        m_linked->SetLinkedSlider(nullptr);
    }
    m_linked = nullptr;
}

void CEQDlg::Bind(CFilter* filter) {
    // Only bands: the type list and the gain would corrupt an H or L record.
    m_filter = filter != nullptr && filter->IsBand() ? filter : nullptr;
}

void CEQDlg::SetEq(int eqNumber, int bind) {
    m_eqNumber = eqNumber;
    if (bind == 0) {
        return;
    }
    CKTVEQ* set = CurveSetOf(eqNumber);
    if (set == nullptr) {
        return;
    }
    Bind(set->GetAt(m_bandIndex));
    LoadBand();
}

void CEQDlg::SetBand(int bandIndex) {
    m_bandIndex = bandIndex;
    CKTVEQ* set = CurveSetOf(m_eqNumber);
    Bind(set != nullptr ? set->GetAt(bandIndex) : nullptr);
    if (m_filter == nullptr) {
        return;
    }
    m_caption->SetText(QString::asprintf("%d", bandIndex + 1));
    // The band shown before must no longer move this slider when it is dragged.
    UnlinkSlider();
    m_filter->SetLinkedSlider(m_gainSlider);
    m_linked = m_filter;
    LoadBand();
}

void CEQDlg::LoadBand() {
    if (m_filter == nullptr || m_filter->BandRecord() == nullptr) {
        return;
    }
    const int type = m_filter->GetType();
    if (type >= 0 && type < kTypeCount) {
        m_type->setCurrentIndex(type);
    }
    const int gain = m_filter->GetGainCode();
    m_gainEdit->SetValue(gain);
    m_gainSlider->SetPosInverted(gain);
    m_freqEdit->SetValue(m_filter->GetFreqCode());
    m_qEdit->SetValue(m_filter->BandRecord()->qCode);
    Describe();
}

void CEQDlg::LoadBandAndFocus() {
    if (m_filter == nullptr || m_filter->BandRecord() == nullptr) {
        return;
    }
    const int gain = m_filter->GetGainCode();
    m_gainSlider->SetPosInverted(gain);
    m_gainEdit->SetValue(gain);
    m_gainEdit->setFocus(Qt::OtherFocusReason);
    m_freqEdit->SetValue(m_filter->GetFreqCode());
    m_qEdit->SetValue(m_filter->BandRecord()->qCode);
    Describe();
}

void CEQDlg::OnTypeChosen(int type) {
    if (m_filter == nullptr || type < 0 || type >= kTypeCount) {
        return;
    }
    m_lastType = type;
    m_filter->SetType(type);
    Report(false);
    HighlightInView();
}

void CEQDlg::OnEditCommitted(int controlId) {
    if (m_filter == nullptr) {
        return;
    }
    switch (controlId) {
        case kIdGainEdit:
            m_lastGain = m_gainEdit->GetValue();
            m_filter->SetGainCode(m_lastGain);
            m_gainSlider->SetPosInverted(m_lastGain);
            break;
        case kIdFreqEdit:
            m_lastFreq = m_freqEdit->GetValue();
            m_filter->SetFreqCode(m_lastFreq);
            break;
        case kIdQEdit:
            m_lastQ = m_qEdit->GetValue();
            m_filter->SetQCode(m_lastQ);
            break;
        default:
            return;
    }
    Report(false);
    HighlightInView();
}

void CEQDlg::OnSliderMoved() {
    if (m_filter == nullptr) {
        return;
    }
    m_lastGain = m_gainSlider->GetPosInverted();
    m_filter->SetGainCode(m_lastGain);
    m_gainEdit->SetValue(m_lastGain);
    Report(true);
    m_gainEdit->setFocus(Qt::OtherFocusReason);
    HighlightInView();
}

void CEQDlg::Report(bool posted) {
    Describe();
    const int index = m_bandIndex;
    if (posted) {
        QMetaObject::invokeMethod(
            this, [this, index] { emit BandChanged(index); }, Qt::QueuedConnection);
    } else {
        emit BandChanged(index);
    }
}

void CEQDlg::HighlightInView() {
    if (m_view != nullptr) {
        m_view->SelectBand(m_bandIndex, 0);
    }
}

bool CEQDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            // Taking the focus commits a value being typed in an edit.
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qx
