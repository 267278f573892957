#include "ControlId.h"

#include <QObject>
#include <QVariant>

namespace qx {

namespace {
constexpr const char* kProperty = "qxControlId";
}

void SetControlId(QObject* control, int id) {
    if (control != nullptr) {
        control->setProperty(kProperty, id);
    }
}

int ControlId(const QObject* control) {
    return control != nullptr ? control->property(kProperty).toInt() : 0;
}

}  // namespace qx
