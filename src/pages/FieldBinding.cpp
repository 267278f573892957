#include "FieldBinding.h"

#include <optional>

#include <QSignalBlocker>
#include <QWidget>
#include <algorithm>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ByteField.h"
#include "DialogUnits.h"
#include "Edit_Static.h"
#include "FontStatic.h"
#include "NumEdit.h"
#include "ParameterSet.h"
#include "SceneSelector.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "StaticStyle.h"
#include "SxGroupBox.h"

namespace qx {

namespace {

uint8_t MaskOf(const ParamField& f) {
    return f.mask != 0 ? f.mask : 0xFF;
}

// True when the two fields share a bit: a store into one changes what the other shows.
bool Overlap(const ParamField& a, const ParamField& b) {
    if (a.offset >= b.offset + b.width || b.offset >= a.offset + a.width) {
        return false;
    }
    if (a.width == 1 && b.width == 1) {
        return (MaskOf(a) & MaskOf(b)) != 0;
    }
    return true;
}

}  // namespace

CFieldBinding::CFieldBinding(QWidget* owner, CImageModel* model)
    : QObject(owner), m_owner(owner), m_model(model != nullptr ? model : &CImageModel::Editor()) {
    connect(m_model, &CImageModel::Changed, this, &CFieldBinding::OnImageChanged);
}

CFieldBinding::~CFieldBinding() = default;

void CFieldBinding::Add(ControlTable rows) {
    for (const ControlRow& row : rows) {
        Create(row, row.field != nullptr ? row.field : "");
    }
}

void CFieldBinding::AddBlock(ControlTable block, int x, int y, std::span<const int> ids,
                             const std::string& fieldPrefix) {
    for (const ControlRow& source : block) {
        if (source.id < 0 || static_cast<std::size_t>(source.id) >= ids.size()) {
            continue;  // a block row without an id in this placement is left out
        }
        ControlRow row = source;
        row.id = ids[static_cast<std::size_t>(source.id)];
        row.rect.x += x;
        row.rect.y += y;
        std::string field = source.field != nullptr ? source.field : "";
        if (!field.empty() && field.front() == '@') {
            field = fieldPrefix + field.substr(1);
        }
        Create(row, std::move(field));
    }
}

void CFieldBinding::SetPlaceholder(const std::string& key, const std::string& value) {
    std::string& now = m_placeholders[key];
    if (now != value) {
        now = value;
        ++m_generation;
    }
}

std::string CFieldBinding::Placeholder(const std::string& key) const {
    const auto it = m_placeholders.find(key);
    return it != m_placeholders.end() ? it->second : std::string();
}

std::string CFieldBinding::Resolve(const std::string& pattern) const {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t open = pattern.find('{', i);
        if (open == std::string::npos) {
            out.append(pattern, i, std::string::npos);
            break;
        }
        const std::size_t close = pattern.find('}', open);
        if (close == std::string::npos) {
            out.append(pattern, i, std::string::npos);
            break;
        }
        out.append(pattern, i, open - i);
        const std::string key = pattern.substr(open + 1, close - open - 1);
        const auto it = m_placeholders.find(key);
        if (it != m_placeholders.end()) {
            out += it->second;
        } else if (key == "scene") {
            out += std::to_string(SceneInForce());
        } else {
            out.append(pattern, open, close - open + 1);  // stays unresolved
        }
        i = close + 1;
    }
    return out;
}

const CFieldBinding::Bound* CFieldBinding::Find(int id) const {
    const auto it = m_index.find(id);
    return it != m_index.end() ? &m_bound[it->second] : nullptr;
}

const ControlRow* CFieldBinding::Row(int id) const {
    const Bound* b = Find(id);
    return b != nullptr ? &b->row : nullptr;
}

QWidget* CFieldBinding::Widget(int id) const {
    const Bound* b = Find(id);
    if (b != nullptr && b->widget != nullptr) {
        return b->widget;
    }
    const auto it = m_adopted.find(id);
    return it != m_adopted.end() ? it->second : nullptr;
}

std::string CFieldBinding::FieldNameOf(int id) const {
    const Bound* b = Find(id);
    return b != nullptr && !b->field.empty() ? Resolve(b->field) : std::string();
}

const ParamField* CFieldBinding::FieldOf(int id) const {
    const Bound* b = Find(id);
    return b != nullptr ? FieldOf(*b) : nullptr;
}

const ParamField* CFieldBinding::FieldOf(const Bound& b) const {
    if (b.field.empty()) {
        return nullptr;
    }
    const int scene = b.usesScene ? SceneInForce() : 0;
    if (b.resolvedGeneration == m_generation && b.resolvedScene == scene) {
        return b.resolved;
    }
    const ParamField* f = CParamCatalogue::Find(Resolve(b.field));
    // Text and byte fields are not edited by a single control.
    b.resolved = f != nullptr && !f->IsBytes() ? f : nullptr;
    b.resolvedGeneration = m_generation;
    b.resolvedScene = scene;
    return b.resolved;
}

std::vector<int> CFieldBinding::BoundIds() const {
    std::vector<int> ids;
    for (const Bound& b : m_bound) {
        if (!b.field.empty()) {
            ids.push_back(b.row.id);
        }
    }
    return ids;
}

std::vector<int> CFieldBinding::Ids() const {
    std::vector<int> ids;
    ids.reserve(m_bound.size());
    for (const Bound& b : m_bound) {
        ids.push_back(b.row.id);
    }
    return ids;
}

std::vector<std::string> CFieldBinding::Unresolved() const {
    std::vector<std::string> names;
    for (const Bound& b : m_bound) {
        if (!b.field.empty() && FieldOf(b) == nullptr) {
            names.push_back(Resolve(b.field));
        }
    }
    return names;
}

int CFieldBinding::RangeMinimum(const Bound& bound, const ParamField* field) const {
    if (bound.row.maximum >= bound.row.minimum || field == nullptr) {
        return bound.row.minimum;
    }
    return field->minimum / Step(bound);
}

int CFieldBinding::RangeMaximum(const Bound& bound, const ParamField* field) const {
    if (bound.row.maximum >= bound.row.minimum || field == nullptr) {
        return bound.row.maximum;
    }
    return field->maximum / Step(bound);
}

int CFieldBinding::Step(const Bound& bound) {
    return std::max(bound.row.rule.step, 1);
}

void CFieldBinding::Load(const Bound& bound, const ParamField* field) {
    if (field == nullptr || bound.widget == nullptr) {
        return;
    }
    // A stored code between two steps (from a device read or a file) shows the step below.
    const int code =
        static_cast<int>(CParamCatalogue::Read(CParamCatalogue::Bytes(m_model->Image()), *field)) /
        Step(bound);
    const int lo = RangeMinimum(bound, field);
    const int hi = RangeMaximum(bound, field);
    const bool wasLoading = m_loading;
    m_loading = true;
    switch (bound.row.kind) {
        case ControlKind::Slider:
        case ControlKind::VSlider: {
            auto* s = static_cast<CBitmapSlider*>(bound.widget);
            if (s->GetRangeMin() != lo || s->GetRangeMax() != hi) {
                s->SetRange(lo, hi);
            }
            if (bound.row.kind == ControlKind::VSlider) {
                s->SetPosInverted(code);
            } else {
                s->SetPos(code);
            }
            break;
        }
        case ControlKind::Label: {
            auto* l = static_cast<CEdit_Static*>(bound.widget);
            if (!bound.row.rule.ownLabel) {
                const LabelConfig c = CParamCatalogue::LabelOf(*field);
                l->SetRule(c.rule, c.factor, c.offset, QString::fromStdString(c.unit));
            }
            l->SetRange(lo, hi);
            l->SetValue(code);
            break;
        }
        case ControlKind::Edit: {
            auto* e = static_cast<CNumEdit*>(bound.widget);
            if (e->Minimum() != lo || e->Maximum() != hi) {
                e->SetRange(lo, hi);
            }
            e->SetValue(std::clamp(code, lo, hi));
            break;
        }
        case ControlKind::Combo: {
            auto* c = static_cast<CBitComboBox*>(bound.widget);
            const QSignalBlocker block(c);
            c->setCurrentIndex(code < c->count() ? code : -1);
            break;
        }
        case ControlKind::Toggle:
            static_cast<CBitButton*>(bound.widget)->SetCheck(code != 0 ? 1 : 0);
            break;
        case ControlKind::Caption:
        case ControlKind::Group:
        case ControlKind::Button:
        case ControlKind::Custom:
            break;
    }
    Describe(bound, *field, code);
    m_loading = wasLoading;
}

void CFieldBinding::RefreshFromParameters() {
    for (const Bound& b : m_bound) {
        if (!b.field.empty()) {
            Load(b, FieldOf(b));
        }
    }
}

void CFieldBinding::Refresh(int id) {
    if (const ParamField* f = FieldOf(id)) {
        ShowField(*f);
    }
}

void CFieldBinding::RefreshField(const std::string& fieldName) {
    const ParamField* f = CParamCatalogue::Find(Resolve(fieldName));
    if (f != nullptr) {
        ShowField(*f);
    }
}

void CFieldBinding::ShowField(const ParamField& field) {
    for (const Bound& b : m_bound) {
        if (b.field.empty()) {
            continue;
        }
        const ParamField* f = FieldOf(b);
        if (f != nullptr && Overlap(*f, field)) {
            Load(b, f);
        }
    }
}

void CFieldBinding::OnImageChanged(const ImageNotice& notice) {
    // A page that is not shown loads everything when it is shown; a whole image read or
    // loaded meanwhile need not be drawn into it now.
    const bool hidden = m_owner != nullptr && !m_owner->isVisible();
    for (const Bound& b : m_bound) {
        if (b.field.empty()) {
            continue;
        }
        const ParamField* f = FieldOf(b);
        if (f == nullptr) {
            continue;
        }
        const auto offset = static_cast<std::size_t>(f->offset);
        const auto width = static_cast<std::size_t>(f->width);
        if (!notice.Touches(offset, width)) {
            continue;
        }
        if (hidden && !notice.TouchedBy(ChangeSource::Control, offset, width) &&
            !notice.TouchedBy(ChangeSource::Rule, offset, width)) {
            continue;
        }
        Load(b, f);
    }
}

void CFieldBinding::Store(const ParamField& field, int value) {
    m_model->WriteField(field, value, Origin());
}

void CFieldBinding::ControlChanged(int id, int value) {
    if (m_loading) {
        return;
    }
    const Bound* bound = Find(id);
    if (bound == nullptr) {
        return;
    }
    const auto hooks = m_hooks.find(id);
    const Hooks* h = hooks != m_hooks.end() ? &hooks->second : nullptr;
    // Everything the store and the hooks write, through the model or through a filter, is
    // this control's change.
    struct ActiveId {
        int& active;
        int previous;
        ~ActiveId() { active = previous; }
    } const restore{m_activeId, m_activeId};
    m_activeId = id;
    const CImageModel::OriginScope scope(*m_model, Origin());
    // A click with what its hooks write (a SYNC copy, an EQ reset, a mode's scene) is one step
    // of the history, named by the button's caption. Other stores keep to the model's turns.
    const bool clicked =
        bound->row.kind == ControlKind::Button || bound->row.kind == ControlKind::Toggle;
    std::optional<CImageModel::StepScope> step;
    if (clicked) {
        step.emplace(*m_model,
                     bound->row.caption.chinese != nullptr ? bound->row.caption.Get() : "");
    }
    if (bound->row.kind == ControlKind::Button) {
        if (h != nullptr && h->changed) {
            h->changed(value);
        }
        return;
    }
    const ParamField* field = FieldOf(*bound);
    if (field == nullptr) {
        return;
    }
    value = std::clamp(value, RangeMinimum(*bound, field), RangeMaximum(*bound, field));
    if (h != nullptr && h->adjust) {
        value = h->adjust(value);
    }
    value *= Step(*bound);  // from here on the field's code
    if (h != nullptr && h->store) {
        h->store(value);
    } else {
        Store(*field, value);
    }
    ShowField(*field);
    if (h != nullptr && h->changed) {
        h->changed(value);
    }
}

void CFieldBinding::Write(const std::string& fieldName, int value) {
    const ParamField* f = CParamCatalogue::Find(Resolve(fieldName));
    if (f == nullptr || f->IsBytes()) {
        return;
    }
    Store(*f, value);
    ShowField(*f);
}

void CFieldBinding::WriteByte(const std::string& fieldName, uint8_t byte) {
    const ParamField* f = CParamCatalogue::Find(Resolve(fieldName));
    if (f == nullptr || f->IsBytes()) {
        return;
    }
    m_model->WriteFieldByte(*f, byte, Origin());
    ParamField whole = *f;
    whole.width = 1;
    whole.mask = 0;
    ShowField(whole);
}

int CFieldBinding::Read(const std::string& fieldName) const {
    const ParamField* f = CParamCatalogue::Find(Resolve(fieldName));
    if (f == nullptr || f->IsBytes()) {
        return -1;
    }
    return static_cast<int>(CParamCatalogue::Read(CParamCatalogue::Bytes(m_model->Image()), *f));
}

}  // namespace qx
