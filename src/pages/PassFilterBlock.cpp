#include "PassFilterBlock.h"

#include "FieldBinding.h"

namespace qx {

void CPassFilterBlock::Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                             const std::string& prefix) {
    binding.AddBlock(kRows, x, y, ids, prefix);
}

void CPassFilterBlock::Place(CFieldBinding& binding, int x, int y, std::span<const int> ids,
                             const std::string& prefix, std::function<void()> highlight) {
    binding.AddBlock(kRows, x, y, ids, prefix);
    for (std::size_t k = 0; k < ids.size() && k < std::size(kRows); ++k) {
        binding.On(ids[k]).changed = [highlight](int) {
            if (highlight) {
                highlight();
            }
        };
    }
}

}  // namespace qx
