#pragma once
// Fonts of the skin: the family the pages are designed for ("Arial"), falling back to a
// metric-compatible family, and to a family with CJK glyphs for Chinese captions.

#include <QFont>
#include <QStringList>

namespace qx {

class CSkinFonts {
  public:
    // Families in the order they are tried for each character.
    static QStringList Families();
    // An Arial font of the given pixel height (the height of a GDI font request).
    static QFont Arial(int pixelHeight, bool bold = false);
    // Arial at a point size, as dialog templates name their fonts.
    static QFont ArialPoints(int points, bool bold = false);
};

}  // namespace qx
