#include "CopyApply.h"

#include <memory>

namespace qx {

std::size_t ApplyCopyPlan(CImageModel& model, const CopyPlan& plan, const std::string& label) {
    auto after = std::make_unique<ParamImage>();
    CCopyPlan::ApplyTo(model.Image(), plan, *after);
    const std::size_t changed = CImageDiff::Compare(model.Image(), *after, false).size();
    if (changed == 0) {
        return 0;
    }
    const ChangeOrigin origin = ChangeOrigin::FromControl(0, label);
    CImageModel::StepScope step(model, label);
    const uint8_t* bytes = CParamCatalogue::Bytes(*after);
    for (const CopyWrite& w : plan.writes) {
        model.WriteBytes(w.to, bytes + w.to, w.size, origin);
    }
    return changed;
}

}  // namespace qx
