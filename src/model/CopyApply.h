#pragma once
// Carries out a "Copy to..." plan through the image model: one undo step, every target range
// written from the plan's scratch image, so what changes is exactly what the preview listed.

#include <string>

#include "CopyPlan.h"
#include "ImageModel.h"

namespace qx {

// Returns the number of fields that changed (the preview's length).
std::size_t ApplyCopyPlan(CImageModel& model, const CopyPlan& plan, const std::string& label);

}  // namespace qx
