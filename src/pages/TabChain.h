#pragma once
// The order Tab walks a page in: reading order, top to bottom and left to right. Controls
// whose tops lie within a few pixels of each other form one line, read left to right.

#include <QList>

class QWidget;

namespace qx {

// Pixels two tops may differ by and still be on one line.
constexpr int kTabLineTolerance = 6;

// The controls of `page` that Tab may reach (focus policy with Tab, no focus proxy, not
// inside another such control), in reading order. Hidden and disabled ones are included:
// Tab skips them while they are so, and they take their place when shown or enabled.
QList<QWidget*> TabChainControls(QWidget* page);
// Whether Tab rests on a control now: shown, enabled, and not an unchecked one of a group of
// exclusive buttons that has a checked one (Tab enters such a group at its checked button;
// the arrows move within it).
bool TabStopsAt(const QWidget* control);

}  // namespace qx
