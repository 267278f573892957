#include "CopyToDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "CopyApply.h"
#include "FieldBinding.h"
#include "ImageModel.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kTitle{"复制到…", "Copy to..."};
constexpr TextPair kFrom{"从 %1 复制", "Copy from %1"};
constexpr TextPair kPartnerText{"对应通道 %1", "Partner %1"};
constexpr TextPair kOutputText{"另一个输出", "Another output"};
constexpr TextPair kAllText{"全部输出", "All outputs"};
constexpr TextPair kSceneText{"整个场景到另一个场景", "Whole scene to another scene"};
constexpr TextPair kChanges{"将改变 %1 项", "%1 fields will change"};
constexpr TextPair kCopy{"复制", "Copy"};
constexpr TextPair kCancel{"取消", "Cancel"};

struct PartText {
    unsigned part;
    TextPair text;
};
constexpr PartText kPartTexts[] = {
    {kCopyEq, {"均衡", "Equaliser"}},      {kCopyFilters, {"高通/低通", "Filters"}},
    {kCopyDynamics, {"动态", "Dynamics"}}, {kCopyLevels, {"电平", "Levels"}},
    {kCopyMute, {"静音", "Mute"}},         {kCopyDelay, {"延时", "Delay"}},
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CCopyToDlg::CCopyToDlg(CImageModel& model, const CopyEndpoint& source, QWidget* parent)
    : QDialog(parent),
      m_model(model),
      m_source(source),
      m_target(new QComboBox(this)),
      m_which(new QComboBox(this)),
      m_preview(new QListWidget(this)),
      m_summary(new QLabel(this)),
      m_copy(new QPushButton(kCopy.Get(), this)) {
    setWindowTitle(kTitle.Get());
    CopyEndpoint partner;
    if (CCopyPlan::Partner(source, partner)) {
        m_targets.push_back(kPartner);
        m_target->addItem(Q(Tr(kPartnerText, {CCopyPlan::Name(partner, useChinese)})));
    }
    if (source.kind == CopyKind::Output) {
        m_targets.push_back(kOutput);
        m_target->addItem(kOutputText.Get());
        m_targets.push_back(kAllOutputs);
        m_target->addItem(kAllText.Get());
        m_targets.push_back(kScene);
        m_target->addItem(kSceneText.Get());
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Q(Tr(kFrom, {CCopyPlan::Name(source, useChinese)})), this));
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(m_target, 1);
    targetRow->addWidget(m_which, 1);
    layout->addLayout(targetRow);
    const unsigned available = CCopyPlan::PartsOf(source);
    auto* partRow = new QHBoxLayout;
    for (const PartText& p : kPartTexts) {
        if ((available & p.part) == 0) {
            continue;
        }
        auto* box = new QCheckBox(p.text.Get(), this);
        box->setChecked((kCopyDefault & p.part) != 0);
        connect(box, &QCheckBox::toggled, this, &CCopyToDlg::Update);
        partRow->addWidget(box);
        m_parts.emplace_back(p.part, box);
    }
    layout->addLayout(partRow);
    layout->addWidget(m_summary);
    layout->addWidget(m_preview, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_copy, QDialogButtonBox::AcceptRole);
    buttons->addButton(kCancel.Get(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 440);

    connect(m_target, &QComboBox::currentIndexChanged, this, [this](int) {
        const Target t = m_targets.empty()
                             ? kPartner
                             : m_targets[static_cast<std::size_t>(m_target->currentIndex())];
        Choose(t, 0);
    });
    connect(m_which, &QComboBox::currentIndexChanged, this, &CCopyToDlg::Update);
    Choose(m_targets.empty() ? kPartner : m_targets.front());
}

void CCopyToDlg::Choose(Target target, int which) {
    const QSignalBlocker a(m_target);
    const QSignalBlocker b(m_which);
    for (std::size_t i = 0; i < m_targets.size(); ++i) {
        if (m_targets[i] == target) {
            m_target->setCurrentIndex(static_cast<int>(i));
        }
    }
    m_which->clear();
    if (target == kOutput) {
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            m_which->addItem(Q(CCopyPlan::Name({CopyKind::Output, ch, m_source.scene}, useChinese)),
                             ch);
        }
    } else if (target == kScene) {
        for (int s = 1; s <= kSceneCount; ++s) {
            if (s != m_source.scene) {
                m_which->addItem(Q(CCopyPlan::SceneName(s, useChinese)), s);
            }
        }
    }
    m_which->setVisible(m_which->count() > 0);
    for (int i = 0; i < m_which->count(); ++i) {
        if (m_which->itemData(i).toInt() == which) {
            m_which->setCurrentIndex(i);
        }
    }
    Update();
}

void CCopyToDlg::SetParts(unsigned parts) {
    for (auto& [part, box] : m_parts) {
        const QSignalBlocker block(box);
        box->setChecked((parts & part) != 0);
    }
    Update();
}

CopyPlan CCopyToDlg::Plan() const {
    unsigned parts = 0;
    for (const auto& [part, box] : m_parts) {
        parts |= box->isChecked() ? part : 0;
    }
    const Target target = m_targets.empty()
                              ? kPartner
                              : m_targets[static_cast<std::size_t>(m_target->currentIndex())];
    const int which = m_which->currentData().toInt();
    switch (target) {
        case kPartner: {
            CopyEndpoint partner;
            if (!CCopyPlan::Partner(m_source, partner)) {
                return {};
            }
            return CCopyPlan::Plan(m_source, {partner}, parts, useChinese);
        }
        case kOutput:
            return CCopyPlan::Plan(m_source, {{CopyKind::Output, which, m_source.scene}}, parts,
                                   useChinese);
        case kAllOutputs:
            return CCopyPlan::Plan(m_source, CCopyPlan::AllOutputs(m_source.scene), parts,
                                   useChinese);
        case kScene:
            return CCopyPlan::PlanScene(m_source.scene, which, parts, useChinese);
    }
    return {};
}

void CCopyToDlg::Update() {
    const CopyPlan plan = Plan();
    const auto preview = CCopyPlan::Preview(m_model.Image(), plan);
    m_preview->clear();
    for (const FieldDifference& d : preview) {
        m_preview->addItem(
            Q(d.Caption(useChinese) + ": " + d.beforeText + " \u2192 " + d.afterText));
    }
    for (const std::string& s : plan.skipped) {
        auto* item = new QListWidgetItem(Q(s), m_preview);
        item->setForeground(Qt::gray);
    }
    m_summary->setText(Q(Tr(kChanges, {std::to_string(preview.size())})));
    m_copy->setEnabled(!preview.empty());
}

int CCopyToDlg::PreviewRows() const {
    return static_cast<int>(CCopyPlan::Preview(m_model.Image(), Plan()).size());
}

std::size_t CCopyToDlg::Apply() {
    return ApplyCopyPlan(m_model, Plan(), Tr(kTitle) + " " + CCopyPlan::Name(m_source, useChinese));
}

void CCopyToDlg::Attach(CFieldBinding& binding, int buttonId,
                        std::function<CopyEndpoint()> source) {
    QWidget* owner = binding.Widget(buttonId);
    binding.On(buttonId).changed = [&binding, owner, source = std::move(source)](int) {
        CCopyToDlg dlg(binding.Model(), source(), owner != nullptr ? owner->window() : nullptr);
        dlg.exec();
    };
}

}  // namespace qx
