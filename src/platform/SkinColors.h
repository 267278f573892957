#pragma once
// The colours of the dark skin, shared by every control and page. Colours that the controls
// take "from the system" (button face, window text, shadow, highlight) are fixed here so that
// the look does not depend on the desktop theme the editor happens to run under.

#include <QColor>

namespace qx::skin {

inline const QColor kFieldColor{36, 45, 46};    // edit and combo fields, group box lines
inline const QColor kPageColor{48, 64, 56};     // page backgrounds (PageBrush)
inline const QColor kTabRowColor{56, 62, 66};   // the tab control's header row
inline const QColor kTopBarColor{30, 36, 38};   // the main window behind the top bar
inline const QColor kTextColor{255, 255, 255};  // captions
inline const QColor kEditTextColor{250, 250, 250};
inline const QColor kDisabledText{153, 153, 153};
inline const QColor kLampOff{132, 132, 132};

// Fixed "system" colours.
inline const QColor kButtonFace{240, 240, 240};
inline const QColor kWindowText{0, 0, 0};
inline const QColor kButtonShadow{160, 160, 160};
inline const QColor kButtonHighlight{255, 255, 255};

}  // namespace qx::skin
