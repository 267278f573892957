#include "TuneButton.h"

#include <QWidget>

#include "EQCurveStatic.h"
#include "FieldBinding.h"
#include "TuneMenu.h"

namespace qx {

void AttachTuneButton(CFieldBinding& binding, int buttonId, std::function<CEQCurveStatic*()> view) {
    QWidget* button = binding.Widget(buttonId);
    binding.On(buttonId).changed = [button, view = std::move(view)](int) {
        CEQCurveStatic* v = view();
        if (v == nullptr) {
            return;
        }
        const QPoint at = button != nullptr ? button->mapToGlobal(QPoint(0, button->height()))
                                            : v->mapToGlobal(v->rect().center());
        ShowTuneMenu(*v, at);
    };
}

}  // namespace qx
