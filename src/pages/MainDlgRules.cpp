#include "MainDlgRules.h"

namespace qx {

OutputPageEnabling OutputPageRules(const OutputPageState& s) {
    using namespace outputgroups;
    // Auto (and a value no button sets) gives no scene to edit: the page is a read-only view
    // of the remembered scene, with only the mode and side buttons usable.
    const bool editable = s.outputMode >= 1 && s.outputMode <= 3;
    OutputPageEnabling out;
    Enabling& c = out.controls;
    c.Enable(kSceneButtons, editable);
    c.Enable(kSendToggles, editable);
    c.Enable(kSceneSliders, editable);
    c.Enable(kFilterInputs, editable);
    c.Enable(kSideButtons, s.pair && !s.linked);
    c.Show(kPairButtons, s.pair);
    c.Show(kRightSide, s.pair);
    out.strips = editable;
    return out;
}

}  // namespace qx
