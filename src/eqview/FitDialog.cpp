#include "FitDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "CurveSets.h"
#include "DataConver.h"
#include "EqTextImport.h"
#include "EqTitle.h"
#include "FitPreview.h"
#include "ParameterSet.h"
#include "RoomFitImage.h"
#include "TextPair.h"
#include "TuneMenu.h"
#include "WorkProgress.h"

namespace qx {

namespace {

QString Q(const TextPair& t, std::initializer_list<std::string> args = {}) {
    return QString::fromStdString(Tr(t, args));
}

std::string ErrorText(const FitError& e) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.2f dB RMS, %+.1f dB @ %.0f Hz", e.rmsDb, e.worstDb,
                  e.worstHz);
    return buf;
}

}  // namespace

CFitDialog::CFitDialog(int eqNumber, int scene, const RoomState& room, QWidget* parent)
    : QDialog(parent), m_eqNumber(eqNumber), m_scene(scene), m_room(room) {
    setWindowTitle(Q({"拟合 %1", "Fit %1"}, {EqTitle(eqNumber)}));
    m_input = CRoomFitImage::Input(ParameterSet.program, eqNumber, scene, room.curve,
                                   room.target.OnGrid());
    const int bandCount = static_cast<int>(m_input.current.size());

    auto* form = new QFormLayout;
    m_low = new QDoubleSpinBox(this);
    m_high = new QDoubleSpinBox(this);
    for (QDoubleSpinBox* s : {m_low, m_high}) {
        s->setRange(10.0, 24000.0);
        s->setDecimals(0);
        s->setSuffix(" Hz");
    }
    auto* range = new QHBoxLayout;
    range->addWidget(m_low);
    range->addWidget(new QLabel("-", this));
    range->addWidget(m_high);
    form->addRow(Q({"范围", "Range"}), range);
    m_bands = new QSpinBox(this);
    m_bands->setRange(1, std::max(bandCount, 1));
    form->addRow(Q({"段数", "Bands"}), m_bands);
    m_boost = new QDoubleSpinBox(this);
    m_boost->setRange(0.0, 24.0);
    m_boost->setSingleStep(0.5);
    m_boost->setDecimals(1);
    m_boost->setSuffix(" dB");
    m_boost->setSpecialValueText(Q({"只衰减", "cuts only"}));
    form->addRow(Q({"最大提升", "Max boost"}), m_boost);
    m_peaking = new QCheckBox(Q({"峰值", "peaking"}), this);
    m_lowShelf = new QCheckBox(Q({"低架", "low shelf"}), this);
    m_highShelf = new QCheckBox(Q({"高架", "high shelf"}), this);
    auto* types = new QHBoxLayout;
    types->addWidget(m_peaking);
    types->addWidget(m_lowShelf);
    types->addWidget(m_highShelf);
    form->addRow(Q({"类型", "Types"}), types);
    m_keep = new QCheckBox(Q({"保留已设置的段", "keep the bands already set"}), this);
    form->addRow(QString(), m_keep);
    auto* fit = new QPushButton(Q({"拟合", "Fit"}), this);
    form->addRow(QString(), fit);

    m_preview = new CFitPreview(this);
    m_errors = new QLabel(this);
    m_errors->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_table = new QTableWidget(bandCount, 5, this);
    m_table->setHorizontalHeaderLabels({Q({"类型", "Type"}), "Hz", "Q", "dB", QString()});
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setMinimumWidth(400);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(Q({"应用", "Apply"}), QDialogButtonBox::AcceptRole);
    buttons->addButton(Q({"取消", "Cancel"}), QDialogButtonBox::RejectRole);
    m_apply->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(m_table, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_preview, 1);
    right->addWidget(m_errors);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addWidget(buttons);

    FitOptions defaults;
    defaults.maxBands = std::min(bandCount, 5);
    defaults.maxBoostDb = 6.0;
    SetOptions(defaults);
    connect(fit, &QPushButton::clicked, this, [this] { RunFit(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (ApplyFit()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowResult();
}

CFitDialog::~CFitDialog() = default;

FitOptions CFitDialog::Options() const {
    FitOptions o;
    o.lowHz = m_low->value();
    o.highHz = m_high->value();
    o.maxBands = m_bands->value();
    o.maxBoostDb = m_boost->value();
    o.allowPeaking = m_peaking->isChecked();
    o.allowLowShelf = m_lowShelf->isChecked();
    o.allowHighShelf = m_highShelf->isChecked();
    o.keepBands = m_keep->isChecked();
    return o;
}

void CFitDialog::SetOptions(const FitOptions& o) {
    m_low->setValue(o.lowHz);
    m_high->setValue(o.highHz);
    m_bands->setValue(o.maxBands > 0 ? o.maxBands : m_bands->maximum());
    m_boost->setValue(o.maxBoostDb);
    m_peaking->setChecked(o.allowPeaking);
    m_lowShelf->setChecked(o.allowLowShelf);
    m_highShelf->setChecked(o.allowHighShelf);
    m_keep->setChecked(o.keepBands);
}

bool CFitDialog::RunFit() {
    const FitOptions o = Options();
    FitResult result;
    const FitInput input = m_input;
    const bool done =
        RunWithProgress(this, Tr({"正在拟合 %1", "Fitting %1"}, {EqTitle(m_eqNumber)}),
                        [&result, &input, &o](const WorkProgress& progress) {
                            result = CRoomFit::Run(input, o, progress);
                        });
    if (!done || result.cancelled) {
        return false;
    }
    if (!result.error.empty()) {
        m_errors->setText(QString::fromStdString(result.error));
        return false;
    }
    m_result = std::move(result);
    m_haveResult = true;
    ShowResult();
    return true;
}

void CFitDialog::ShowResult() {
    const FitOptions o = Options();
    const GridCurve before = CRoomFit::Predicted(m_input, m_input.current);
    GridCurve after;
    after.fill(std::nan(""));
    if (m_haveResult) {
        after = CRoomFit::Predicted(m_input, m_result.bands);
    }
    m_preview->SetCurves(m_input.target, before, after, o.lowHz, o.highHz);
    const std::vector<FitBand>& bands = m_haveResult ? m_result.bands : m_input.current;
    static const char* const kTypes[] = {"--", "PK", "LS", "HS"};
    for (int b = 0; b < m_table->rowCount() && b < static_cast<int>(bands.size()); ++b) {
        const FitBand& f = bands[static_cast<std::size_t>(b)];
        const bool on = f.type > 0 && f.type <= kTypeHighShelf;
        char hz[32], q[32], db[32];
        std::snprintf(hz, sizeof hz, "%.1f", CodeToFreq(f.freqCode));
        std::snprintf(q, sizeof q, "%.2f", CodeToQ(f.qCode));
        std::snprintf(db, sizeof db, "%+.1f", CodeToGain(f.gainCode));
        const bool fitted = m_haveResult && m_result.fitted[static_cast<std::size_t>(b)];
        const QStringList cells = {kTypes[on ? f.type : 0], on ? hz : "", on ? q : "", on ? db : "",
                                   fitted ? Q({"拟合", "fitted"})
                                   : on   ? Q({"保留", "kept"})
                                          : ""};
        for (int c = 0; c < cells.size(); ++c) {
            m_table->setItem(b, c, new QTableWidgetItem(cells[c]));
        }
    }
    const FitError now = CRoomFit::Evaluate(m_input, m_input.current, o);
    std::string text = Tr({"现在：%1", "Now: %1"}, {ErrorText(now)});
    if (m_haveResult) {
        char free[48];
        std::snprintf(free, sizeof free, "%.2f dB RMS", m_result.continuousRmsDb);
        text += "\n" + Tr({"拟合后：%1", "Fitted: %1"}, {ErrorText(m_result.after)}) + "\n" +
                Tr({"取整到代码前的连续最优：%1", "Free optimum before codes: %1"}, {free});
    }
    m_errors->setText(QString::fromStdString(text));
    m_apply->setEnabled(m_haveResult);
}

bool CFitDialog::ApplyFit() {
    if (!m_haveResult) {
        return false;
    }
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &ParameterSet.program, sizeof(ProgramImage));
    if (!CRoomFitImage::Apply(m_result, *copy, m_eqNumber, m_scene)) {
        return false;
    }
    WriteEqualiser(m_eqNumber, m_scene, *copy, "room fit");
    return true;
}

}  // namespace qx
