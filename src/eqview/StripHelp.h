#pragma once
// What the controls of a band strip tell a person hovering over them and a screen reader that
// finds them: the equaliser, the band and the setting ("音乐左 频段3 增益"), the range with
// its unit and the value now, in the language in force, as the pages' bound controls do.

#include <QString>

namespace qx {

class CStripHelp {
  public:
    enum Setting { kType, kGain, kFrequency, kQ };

    // The control's name: equaliser, band (0-based index, shown from 1) and setting.
    static QString Name(int eqNumber, int band, Setting setting);
    // A code as the strip shows it, with the unit.
    static QString Value(Setting setting, int code);
    // Name, range and value on three lines.
    static QString Tip(int eqNumber, int band, Setting setting, int lowest, int highest, int code);
};

}  // namespace qx
