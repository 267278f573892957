#pragma once
// The System page's background picture (skin bitmaps 170 Chinese, 174 English): the panel
// behind the twelve level lamps with their scales, the words Limit and Clip, and the channel
// legends. The page places its lamps at the positions given here, so lamps and legends meet.

#include <QImage>
#include <QRect>
#include <array>

namespace qx {

class CMonitorPicture {
  public:
    static constexpr int kChineseId = 170;
    static constexpr int kEnglishId = 174;
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 330;
    static constexpr int kLampCount = 12;
    static constexpr int kLampTop = 46;
    static constexpr int kLampWidth = 22;
    static constexpr int kLampHeight = 234;  // 18 segments of 13 pixels
    // Left edges of the lamps: Music L, Music R, Mic A, Mic B, then the eight outputs.
    static constexpr std::array<int, kLampCount> kLampX{80,  114, 148, 182, 300, 332,
                                                        364, 396, 428, 460, 492, 524};

    // Where lamp i (0..11) stands in the picture.
    static QRect LampRect(int lamp);
    // The vertical centre of a lamp segment (0 bottom .. 17 limit mark) in the picture.
    static int SegmentCentreY(int segment);
    // The picture at a pixel density: ratio times the pixels, the same logical size.
    static QImage Draw(bool chinese, qreal ratio = 1.0);
};

}  // namespace qx
