#pragma once
// A high-pass or low-pass filter's controls: the slope list, the frequency as a typed number
// and the frequency slider under them. Placed on a page with the three ids (slope, edit,
// slider) and the prefix of the filter record ("{ch}.hpf"). The stores are plain field
// writes; when the record belongs to a curve set, the image model attaches the set again so
// the curve follows, and the block highlights the filter on the page's curve view.

#include <functional>
#include <span>
#include <string>

#include "LabelRules.h"
#include "PageTable.h"

namespace qx {

class CFieldBinding;

class CPassFilterBlock {
  public:
    static constexpr int kSlope = 0;
    static constexpr int kEdit = 1;
    static constexpr int kSlider = 2;

    // clang-format off
    static constexpr ControlRow kRows[] = {
        {kSlope, ControlKind::Combo, {0, 0, 64, 12}, {}, "@.slope", Items(kSlopeNames)},
        {kEdit, ControlKind::Edit, {66, 0, 36, 12}, {}, "@.freqCode", FrequencyEdit()},
        {kSlider, ControlKind::Slider, {0, 14, 105, 10}, {}, "@.freqCode"},
    };
    // clang-format on

    // Places a filter block that is shown on no curve view.
    static void Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                      const std::string& prefix);
    // Places a filter block of a curve set: `highlight` is run after every change (the page
    // highlights the element on its curve view).
    static void Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                      const std::string& prefix, std::function<void()> highlight);
};

}  // namespace qx
