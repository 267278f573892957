#include "PassFilterBlock.h"

#include "FieldBinding.h"
#include "Filter.h"

namespace qx {

void CPassFilterBlock::Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                             const std::string& prefix) {
    binding.AddBlock(kRows, x, y, ids, prefix);
}

void CPassFilterBlock::Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                             const std::string& prefix, std::function<CFilter*()> filter,
                             std::function<void()> highlight) {
    binding.AddBlock(kRows, x, y, ids, prefix);
    CFieldBinding* b = &binding;
    auto storeFreq = [b, filter, prefix](int code) {
        if (CFilter* f = filter()) {
            f->SetPassFreqCode(code);  // writes the record and recomputes the curve
        } else {
            b->Write(prefix + ".freqCode", code);
        }
    };
    auto storeSlope = [b, filter, prefix](int code) {
        if (CFilter* f = filter()) {
            f->SetSlopeCode(code);
        } else {
            b->Write(prefix + ".slope", code);
        }
    };
    auto changed = [highlight](int) {
        if (highlight) {
            highlight();
        }
    };
    for (std::size_t k = 0; k < ids.size() && k < std::size(kRows); ++k) {
        CFieldBinding::Hooks& h = binding.On(ids[k]);
        h.store = k == kSlope ? std::function<void(int)>(storeSlope) : storeFreq;
        h.changed = changed;
    }
}

}  // namespace qx
