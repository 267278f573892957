#pragma once
// What the short band type names of the curve strips stand for.

#include "TextPair.h"

namespace qx {

inline constexpr TextPair kBandTypeHelp{
    "BY: 旁通（本段不处理）\nP: 峰值均衡\nLS: 低架（低频搁架）\nHS: 高架（高频搁架）",
    "BY: bypass (the band does nothing)\nP: peaking EQ\nLS: low shelf\nHS: high shelf"};

}  // namespace qx
