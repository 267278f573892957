#include "TabChain.h"

#include <QAbstractButton>
#include <QWidget>
#include <algorithm>

namespace qx {

namespace {

bool TakesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr;
}

// Whether an ancestor of w below the page takes Tab itself (a combo's edit, a view's
// viewport): such parts belong to their control.
bool InsideControl(const QWidget* w, const QWidget* page) {
    for (const QWidget* up = w->parentWidget(); up != nullptr && up != page;
         up = up->parentWidget()) {
        if (TakesTab(up)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool TabStopsAt(const QWidget* control) {
    if (!control->isVisible() || !control->isEnabled()) {
        return false;
    }
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    if (button == nullptr || !button->autoExclusive() || button->isChecked()) {
        return true;
    }
    const QWidget* parent = button->parentWidget();
    if (parent == nullptr) {
        return true;
    }
    for (const QAbstractButton* other :
         parent->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly)) {
        if (other != button && other->autoExclusive() && other->isChecked()) {
            return false;
        }
    }
    return true;
}

QList<QWidget*> TabChainControls(QWidget* page) {
    struct Placed {
        QWidget* widget;
        QPoint at;
    };
    std::vector<Placed> placed;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!TakesTab(w) || w->isWindow() || InsideControl(w, page)) {
            continue;
        }
        placed.push_back({w, w->mapTo(page, QPoint(0, 0))});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.at.y() < b.at.y(); });
    // Lines: a control whose top is near the first top of the line joins it.
    QList<QWidget*> ordered;
    for (std::size_t start = 0; start < placed.size();) {
        std::size_t end = start + 1;
        while (end < placed.size() &&
               placed[end].at.y() - placed[start].at.y() <= kTabLineTolerance) {
            ++end;
        }
        std::stable_sort(placed.begin() + static_cast<std::ptrdiff_t>(start),
                         placed.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Placed& a, const Placed& b) { return a.at.x() < b.at.x(); });
        for (std::size_t i = start; i < end; ++i) {
            ordered.push_back(placed[i].widget);
        }
        start = end;
    }
    return ordered;
}

}  // namespace qx
