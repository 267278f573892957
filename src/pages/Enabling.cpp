#include "Enabling.h"

#include <QWidget>

#include "BitmapSlider.h"
#include "FieldBinding.h"

namespace qx {

void ApplyEnabled(const CFieldBinding& binding, const Enabling& rules) {
    for (const auto& [id, on] : rules.enabled) {
        QWidget* w = binding.Widget(id);
        if (auto* slider = qobject_cast<CBitmapSlider*>(w)) {
            slider->Enable(on);
            slider->setEnabled(on);  // out of the Tab chain while it cannot be used
        } else if (w != nullptr) {
            w->setEnabled(on);
        }
    }
}

void ApplyShown(const CFieldBinding& binding, const Enabling& rules) {
    for (const auto& [id, on] : rules.shown) {
        if (QWidget* w = binding.Widget(id)) {
            w->setVisible(on);
        }
    }
}

}  // namespace qx
