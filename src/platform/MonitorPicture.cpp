#include "MonitorPicture.h"

#include <QPainter>

#include "SkinColors.h"
#include "SkinFonts.h"

namespace qx {

namespace {

constexpr int kSegments = 18;
constexpr int kSegmentPitch = CMonitorPicture::kLampHeight / kSegments;
constexpr int kInputScaleRight = 74;
constexpr int kOutputScaleRight = 294;
constexpr int kDividerX = 216;
constexpr int kLegendTop = CMonitorPicture::kLampTop + CMonitorPicture::kLampHeight + 8;

struct Legend {
    int firstLamp;
    int lampCount;
    const char* chinese;
    const char* english;
};

// Channel names spanning their lamps, then the side of each lamp below them.
constexpr Legend kLegends[] = {
    {0, 2, "音乐", "Music"},     {2, 2, "话筒", "Mic"}, {4, 2, "主声道", "Main"},
    {6, 1, "中置", "Center"},    {7, 1, "超低", "SUB"}, {8, 2, "后置", "Rear"},
    {10, 2, "环绕", "Surround"},
};
constexpr const char* kSides[CMonitorPicture::kLampCount] = {"L", "R", "A", "B", "L", "R",
                                                             "",  "",  "L", "R", "L", "R"};

// Scale marks every three segments (9 dB), bottom segment first.
constexpr const char* kInputScale[] = {"-45dB", "-36dB", "-27dB", "-18dB", "-9dB", "0dB"};
constexpr const char* kOutputScale[] = {"-33dBv", "-24dBv", "-15dBv", "-6dBv", "+3dBv", "+12dBv"};

void DrawScale(QPainter& p, int right, const char* const (&marks)[6]) {
    const QColor tick(150, 170, 160);
    p.setFont(CSkinFonts::Arial(11));
    for (int k = 0; k < 6; ++k) {
        const int y = CMonitorPicture::SegmentCentreY(k * 3);
        p.setPen(skin::kTextColor);
        p.drawText(QRect(right - 62, y - 7, 54, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromLatin1(marks[k]));
        p.setPen(tick);
        p.drawLine(right - 5, y, right, y);
    }
    // The two top segments: full scale and the limiter's mark.
    p.setFont(CSkinFonts::Arial(11, true));
    const struct {
        int segment;
        QColor color;
        const char* text;
    } top[] = {{16, QColor(255, 255, 0), "Clip"}, {17, QColor(255, 165, 0), "Limit"}};
    for (const auto& t : top) {
        const int y = CMonitorPicture::SegmentCentreY(t.segment);
        p.setPen(t.color);
        p.drawText(QRect(right - 62, y - 7, 54, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromLatin1(t.text));
        p.drawLine(right - 5, y, right, y);
    }
}

QRect Span(int firstLamp, int lampCount, int top, int height) {
    const QRect first = CMonitorPicture::LampRect(firstLamp);
    const QRect last = CMonitorPicture::LampRect(firstLamp + lampCount - 1);
    const int left = first.left() - 6;
    return QRect(left, top, last.right() + 7 - left, height);
}

}  // namespace

QRect CMonitorPicture::LampRect(int lamp) {
    if (lamp < 0 || lamp >= kLampCount) {
        return {};
    }
    return QRect(kLampX[static_cast<std::size_t>(lamp)], kLampTop, kLampWidth, kLampHeight);
}

int CMonitorPicture::SegmentCentreY(int segment) {
    // The lamp gives every segment the same height and leaves the top part of it as the gap.
    const int gap = kSegmentPitch / 2;
    const int bottom = kLampTop + kLampHeight;
    return bottom - (segment + 1) * kSegmentPitch + gap + (kSegmentPitch - gap) / 2;
}

QImage CMonitorPicture::Draw(bool chinese, qreal ratio) {
    QImage image(qRound(kWidth * ratio), qRound(kHeight * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(skin::kPageColor);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The panel: a dark plate with a light rim, and a well behind each row of lamps.
    p.setPen(QPen(QColor(96, 116, 106), 1.0));
    p.setBrush(QColor(30, 38, 36));
    p.drawRoundedRect(QRectF(0.5, 0.5, kWidth - 1.0, kHeight - 1.0), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(14, 18, 17));
    const int wellTop = kLampTop - 6;
    const int wellHeight = kLampHeight + 12;
    p.drawRoundedRect(Span(0, 4, wellTop, wellHeight), 4, 4);
    p.drawRoundedRect(Span(4, 8, wellTop, wellHeight), 4, 4);
    p.setPen(QPen(QColor(80, 96, 88), 1.0));
    p.drawLine(kDividerX, 12, kDividerX, kHeight - 12);

    // Titles above the two groups.
    p.setFont(CSkinFonts::Arial(14, true));
    p.setPen(skin::kTextColor);
    p.drawText(Span(0, 4, 10, 22), Qt::AlignCenter,
               QString::fromUtf8(chinese ? "输入电平" : "INPUT"));
    p.drawText(Span(4, 8, 10, 22), Qt::AlignCenter,
               QString::fromUtf8(chinese ? "输出电平" : "OUTPUT"));

    DrawScale(p, kInputScaleRight, kInputScale);
    DrawScale(p, kOutputScaleRight, kOutputScale);

    // Legends: the channel over its lamps, then each lamp's side.
    p.setPen(skin::kTextColor);
    p.setFont(CSkinFonts::Arial(12));
    for (const Legend& l : kLegends) {
        p.drawText(Span(l.firstLamp, l.lampCount, kLegendTop, 16), Qt::AlignCenter,
                   QString::fromUtf8(chinese ? l.chinese : l.english));
    }
    p.setFont(CSkinFonts::Arial(12, true));
    for (int i = 0; i < kLampCount; ++i) {
        p.drawText(Span(i, 1, kLegendTop + 17, 16), Qt::AlignCenter,
                   QString::fromLatin1(kSides[i]));
    }
    return image;
}

}  // namespace qx
