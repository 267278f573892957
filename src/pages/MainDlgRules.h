#pragma once
// The Output page's control ids, the groups of them that are enabled or shown together, and
// its enabling rules: what a person can use for a given output mode, channel group and link.
// Plain data and one pure function; the page applies the result.

#include "Enabling.h"

namespace qx {

// Control ids of the page's template.
struct OutputPageIds {
    static constexpr int kSync = 3700;
    static constexpr int kLeftSide = 3701;
    static constexpr int kRightSide = 3702;
    static constexpr int kEqReset = 3703;
    static constexpr int kEqPass = 3704;
    static constexpr int kLeftMute = 3705;
    static constexpr int kRightMute = 3706;
    static constexpr int kModeAuto = 3707;    // .. 3710 Decode: mode = id - kModeAuto
    static constexpr int kMusicLevel = 3720;  // .. 3724 Reverb, in send order
    static constexpr int kLimitLevel = 3725;
    static constexpr int kLimitAttack = 3726;
    static constexpr int kLimitRelease = 3727;
    static constexpr int kLimitRatio = 3728;
    static constexpr int kLeftDelay = 3729;
    static constexpr int kRightDelay = 3730;
    static constexpr int kHpfSlider = 3731;
    static constexpr int kLpfSlider = 3732;
    static constexpr int kMusicToggle = 3750;      // .. 3754 Reverb
    static constexpr int kMusicLevelValue = 1253;  // value labels: 1253 + 3 * source
    static constexpr int kLimitTitle = 1267;
    static constexpr int kLeftDelayCaption = 1280;
    static constexpr int kLeftDelayValue = 1281;
    static constexpr int kRightDelayCaption = 1283;
    static constexpr int kRightDelayValue = 1284;
    static constexpr int kLeftDistance = 1415;
    static constexpr int kRightDistance = 1416;
    static constexpr int kHpfSlope = 1025;
    static constexpr int kLpfSlope = 1026;
    static constexpr int kHpfEdit = 1287;
    static constexpr int kLpfEdit = 1290;
    static constexpr int kCurveView = 1298;
};

namespace outputgroups {
using I = OutputPageIds;
// What edits the scene in force: usable only while the output mode names a scene.
inline constexpr int kSceneButtons[] = {I::kSync,   I::kLeftSide, I::kRightSide, I::kEqReset,
                                        I::kEqPass, I::kLeftMute, I::kRightMute};
inline constexpr int kSendToggles[] = {I::kMusicToggle, I::kMusicToggle + 1, I::kMusicToggle + 2,
                                       I::kMusicToggle + 3, I::kMusicToggle + 4};
inline constexpr int kSceneSliders[] = {
    I::kMusicLevel, I::kMusicLevel + 1, I::kMusicLevel + 2, I::kMusicLevel + 3, I::kMusicLevel + 4,
    I::kLimitLevel, I::kLimitAttack,    I::kLimitRelease,   I::kLimitRatio,     I::kLeftDelay,
    I::kRightDelay, I::kHpfSlider,      I::kLpfSlider};
inline constexpr int kFilterInputs[] = {I::kHpfSlope, I::kLpfSlope, I::kHpfEdit, I::kLpfEdit};
// Which side of a pair is edited: usable in every mode while the pair is not linked.
inline constexpr int kSideButtons[] = {I::kLeftSide, I::kRightSide};
// What only a pair has.
inline constexpr int kPairButtons[] = {I::kSync, I::kLeftSide, I::kRightSide};
inline constexpr int kRightSide[] = {I::kRightMute, I::kRightDelayCaption, I::kRightDelayValue,
                                     I::kRightDistance, I::kRightDelay};
}  // namespace outputgroups

struct OutputPageState {
    int outputMode = 0;   // the program's output mode byte: 1..3 name a scene
    bool pair = false;    // the channel group has a left and a right channel
    bool linked = false;  // the pair is linked ("SYNC")
};

struct OutputPageEnabling {
    Enabling controls;
    bool strips = false;  // the band strips of the edited channel
};

OutputPageEnabling OutputPageRules(const OutputPageState& state);

}  // namespace qx
