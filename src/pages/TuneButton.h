#pragma once
// "Tune...": a page button that opens its curve view's tuning menu (filters in and out, the
// room measurement, the target and the fit) under the button, for the equaliser the view shows
// when the button is pressed.

#include <functional>

#include "TextPair.h"

namespace qx {

class CEQCurveStatic;
class CFieldBinding;

// The "Tune..." button of the Music, Microphone, Effect, Output and Dynamic EQ pages.
constexpr int kTuneButton = 3861;
constexpr TextPair kTuneText{"调音…", "Tune..."};

// Makes the page button with this id open the tuning menu of the view `view` returns.
void AttachTuneButton(CFieldBinding& binding, int buttonId, std::function<CEQCurveStatic*()> view);

}  // namespace qx
