// What a bound control tells a person who hovers over it and a screen reader that finds it:
// the field's name, its range with the unit, and the value it holds now.

#include <QWidget>

#include "BandTypeHelp.h"
#include "FieldBinding.h"
#include "FieldCaption.h"
#include "TextPair.h"

namespace qx {

namespace {

QString Shown(const ParamField& field, int code) {
    return QString::fromStdString(CParamCatalogue::DisplayCode(field, static_cast<uint32_t>(code)));
}

constexpr TextPair kRange{"范围", "Range"};
constexpr TextPair kNow{"当前值", "Now"};

}  // namespace

QString CFieldBinding::Describe(const ParamField& field, int lowest, int highest, int code) {
    const QString name = QString::fromStdString(FieldCaption(field));
    QString tip = name;
    tip += QStringLiteral("\n") + QString::fromUtf8(kRange.Get()) + QStringLiteral(": ") +
           Shown(field, lowest) + QStringLiteral(" … ") + Shown(field, highest);
    tip += QStringLiteral("\n") + QString::fromUtf8(kNow.Get()) + QStringLiteral(": ") +
           Shown(field, code);
    if (field.kind == FieldKind::BandType) {
        tip += QStringLiteral("\n") + QString::fromUtf8(kBandTypeHelp.Get());
    }
    return tip;
}

QString CFieldBinding::BandTypeHelp() {
    return QString::fromUtf8(kBandTypeHelp.Get());
}

void CFieldBinding::Describe(const Bound& bound, const ParamField& field, int code) const {
    QWidget* w = bound.widget;
    const int step = Step(bound);
    const int lowest = RangeMinimum(bound, &field) * step;
    const int highest = RangeMaximum(bound, &field) * step;
    const QString tip = Describe(field, lowest, highest, code * step);
    if (w->toolTip() != tip) {
        w->setToolTip(tip);
        w->setAccessibleName(QString::fromStdString(FieldCaption(field)));
        w->setAccessibleDescription(Shown(field, code * step));
    }
}

}  // namespace qx
