// The widget half of the binding: making each row's control, connecting what a person does with
// it to ControlChanged, and its captions in the language in force.

#include <QSignalBlocker>
#include <QWidget>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "DialogUnits.h"
#include "Edit_Static.h"
#include "FieldBinding.h"
#include "FontStatic.h"
#include "NumEdit.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "StaticStyle.h"
#include "SxGroupBox.h"

namespace qx {

namespace {

bool HasSkin(const SkinIds& s) {
    return s.first != 0 || s.second != 0 || s.third != 0;
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8 != nullptr ? utf8 : "");
}

}  // namespace

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
                l->SetRule(row.rule.label, row.rule.factor, row.rule.offset, Text(row.rule.unit));
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
                // A button of a field is described when the field loads; one without a field
                // is named by its caption.
                if (b.field.empty()) {
                    QString plain = text;
                    plain.remove(u'&');
                    b.widget->setAccessibleName(plain);
                    b.widget->setToolTip(plain);
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace qx
