#pragma once
// The enabling rule of a stereo pair's channel buttons (the Music, Mic and DEQ pages): while
// the pair is linked the page edits the left channel only, so neither channel can be chosen.

#include "Enabling.h"

namespace qx {

struct ChannelPairIds {
    int left = 0;
    int right = 0;
};

inline Enabling ChannelPairRules(const ChannelPairIds& ids, bool linked) {
    Enabling out;
    out.Enable(ids.left, !linked);
    out.Enable(ids.right, !linked);
    return out;
}

}  // namespace qx
