#include "FieldBinding.h"

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

bool HasSkin(const SkinIds& s) {
    return s.first != 0 || s.second != 0 || s.third != 0;
}

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

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8 != nullptr ? utf8 : "");
}

void SetLabelRule(CEdit_Static& label, LabelRule rule, double factor, double offset,
                  const QString& unit) {
    label.SetRule(rule);
    if (rule == LabelRule::L14) {
        label.SetDecimalScale(factor, offset, unit);
    } else {
        label.SetIntegerScale(static_cast<int>(factor), static_cast<int>(offset), unit);
    }
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

void CFieldBinding::Create(const ControlRow& row, std::string field) {
    Bound bound;
    bound.row = row;
    bound.field = std::move(field);
    bound.usesScene = bound.field.find("{scene}") != std::string::npos;
    bound.widget = MakeWidget(row);
    if (bound.widget != nullptr) {
        bound.widget->setGeometry(
            CDialogUnits::ToPixels(row.rect.x, row.rect.y, row.rect.width, row.rect.height));
    }
    m_index.emplace(row.id, m_bound.size());
    m_bound.push_back(std::move(bound));
    Connect(m_bound.back());
}

QWidget* CFieldBinding::MakeWidget(const ControlRow& row) {
    const SkinIds& skin = row.skin;
    switch (row.kind) {
        case ControlKind::Caption: {
            auto* s = new CFontStatic(m_owner, row.id);
            s->SetTextColor(skin::kTextColor);
            const unsigned align = row.style & ss::kTypeMask;
            s->SetLeftAligned(align != ss::kCenter && align != ss::kRight);
            s->SetRightAligned(align == ss::kRight);
            s->SetText(Text(row.caption.Get()));
            return s;
        }
        case ControlKind::Group: {
            auto* g = new CSxGroupBox(m_owner, row.id);
            g->SetCaption(Text(row.caption.Get()));
            return g;
        }
        case ControlKind::Slider:
        case ControlKind::VSlider: {
            auto* s = new CBitmapSlider(m_owner, row.id);
            if (row.kind == ControlKind::VSlider) {
                const SkinIds& k = HasSkin(skin) ? skin : skins::kGainSlider;
                s->SetVertical(true);
                s->SetBitmapChannel(k.first, k.second);
                s->SetBitmapThumb(k.third, k.fourth, true);
                s->SetMargin(12, 1, 0, 2);
            } else {
                const SkinIds& k = HasSkin(skin) ? skin : skins::kPageSlider;
                s->SetBitmapChannel(k.first, k.second);
                s->SetBitmapThumb(k.third, k.fourth);
                s->SetMargin(0, 0, 0, 0);
            }
            return s;
        }
        case ControlKind::Label: {
            auto* l = new CEdit_Static(m_owner, row.id,
                                       row.style != 0 ? row.style : ss::kCenter | ss::kCenterImage);
            if (row.rule.ownLabel) {
                SetLabelRule(*l, row.rule.label, row.rule.factor, row.rule.offset,
                             Text(row.rule.unit));
            }  // otherwise the field's rule, set when the field is loaded
            return l;
        }
        case ControlKind::Edit: {
            auto* e = new CNumEdit(m_owner, row.id);
            e->SetScale(row.rule.factor);
            e->SetOffset(row.rule.offset);
            e->SetKind(row.rule.editMode, Text(row.rule.unit));
            return e;
        }
        case ControlKind::Combo: {
            auto* c = new CBitComboBox(m_owner, row.id);
            c->SetEdgeBitmaps(skinid::kComboLeft, skinid::kComboRight, skinid::kComboMiddle);
            c->SetListBitmaps(skinid::kListLeft, skinid::kListRight, skinid::kListTop,
                              skinid::kListBottom);
            c->SetFocusColors(skin::kFieldColor, skin::kTextColor);
            c->SetNormalColors(skin::kFieldColor, skin::kTextColor);
            for (const char* item : row.rule.items) {
                c->addItem(Text(item));
            }
            return c;
        }
        case ControlKind::Toggle:
        case ControlKind::Button: {
            auto* b = new CBitButton(m_owner, row.id);
            const SkinIds& k = HasSkin(skin) ? skin : skins::kPageButton;
            // A toggle keeps its released look while the mouse is down; it changes on the click.
            const int down = row.kind == ControlKind::Toggle ? k.first : k.second;
            const int hover = row.look == ButtonLook::Push ? k.second : k.first;
            b->SetBitmaps(k.first, hover, down, k.second, k.second, k.second);
            b->SetDisabledBitmaps(k.first, k.second);
            if (k.first == skins::kTopBarButton.first) {
                const QColor w = skin::kTextColor;
                b->SetTextColors(w, w, w, w, w, w);
            }
            b->setText(Text(row.caption.Get()));
            return b;
        }
        case ControlKind::Custom:
            return nullptr;
    }
    return nullptr;
}

void CFieldBinding::Connect(const Bound& bound) {
    const int id = bound.row.id;
    QWidget* w = bound.widget;
    switch (bound.row.kind) {
        case ControlKind::Slider: {
            auto* s = static_cast<CBitmapSlider*>(w);
            auto moved = [this, id](int, int position) { ControlChanged(id, position); };
            connect(s, &CBitmapSlider::Tracking, this, moved);
            connect(s, &CBitmapSlider::Changed, this, moved);
            break;
        }
        case ControlKind::VSlider: {
            auto* s = static_cast<CBitmapSlider*>(w);
            auto moved = [this, id, s](int, int position) {
                ControlChanged(id, s->GetRangeMax() + s->GetRangeMin() - position);
            };
            connect(s, &CBitmapSlider::Tracking, this, moved);
            connect(s, &CBitmapSlider::Changed, this, moved);
            break;
        }
        case ControlKind::Edit: {
            auto* e = static_cast<CNumEdit*>(w);
            connect(e, &CNumEdit::ValueCommitted, this,
                    [this, id, e](int) { ControlChanged(id, e->GetValue()); });
            break;
        }
        case ControlKind::Combo:
            connect(static_cast<CBitComboBox*>(w), &QComboBox::activated, this,
                    [this, id](int index) { ControlChanged(id, index); });
            break;
        case ControlKind::Toggle: {
            auto* b = static_cast<CBitButton*>(w);
            connect(b, &QAbstractButton::clicked, this,
                    [this, id, b] { ControlChanged(id, b->GetCheck() != 0 ? 0 : 1); });
            break;
        }
        case ControlKind::Button:
            connect(static_cast<CBitButton*>(w), &QAbstractButton::clicked, this,
                    [this, id] { ControlChanged(id, 1); });
            break;
        case ControlKind::Caption:
        case ControlKind::Group:
        case ControlKind::Label:
        case ControlKind::Custom:
            break;
    }
}

void CFieldBinding::Adopt(int id, QWidget* widget) {
    m_adopted[id] = widget;
    for (Bound& b : m_bound) {
        if (b.row.id == id && b.widget == nullptr && widget != nullptr) {
            b.widget = widget;
            const DuRect& r = b.row.rect;
            widget->setGeometry(CDialogUnits::ToPixels(r.x, r.y, r.width, r.height));
        }
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
                SetLabelRule(*l, c.rule, c.factor, c.offset, QString::fromStdString(c.unit));
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

void CFieldBinding::ApplyLanguage() {
    for (const Bound& b : m_bound) {
        if (b.row.caption.chinese == nullptr || b.widget == nullptr) {
            continue;
        }
        const QString text = Text(b.row.caption.Get());
        switch (b.row.kind) {
            case ControlKind::Caption:
                static_cast<CFontStatic*>(b.widget)->SetText(text);
                break;
            case ControlKind::Group:
                static_cast<CSxGroupBox*>(b.widget)->SetCaption(text);
                break;
            case ControlKind::Toggle:
            case ControlKind::Button:
                static_cast<CBitButton*>(b.widget)->setText(text);
                break;
            default:
                break;
        }
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
