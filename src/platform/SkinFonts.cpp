#include "SkinFonts.h"

namespace qx {

QStringList CSkinFonts::Families() {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
}

namespace {

QFont SkinFont(bool bold) {
    QFont font;
    font.setFamilies(CSkinFonts::Families());
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QFont CSkinFonts::Arial(int pixelHeight, bool bold) {
    QFont font = SkinFont(bold);
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    return font;
}

QFont CSkinFonts::ArialPoints(int points, bool bold) {
    QFont font = SkinFont(bold);
    font.setPointSize(points > 0 ? points : 1);
    return font;
}

}  // namespace qx
