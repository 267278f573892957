#include "StepBytes.h"

namespace qx {

void CStepBytes::Add(std::size_t offset, const uint8_t* before, const uint8_t* after,
                     std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const auto [at, fresh] = m_bytes.try_emplace(offset + i, before[i], after[i]);
        if (!fresh) {
            at->second.second = after[i];
        }
    }
}

StepRuns CStepBytes::Runs() const {
    StepRuns out;
    StepRuns::Run* open = nullptr;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    auto close = [&] {
        if (open != nullptr) {
            open->at = static_cast<uint32_t>(out.bytes.size());
            out.bytes.insert(out.bytes.end(), before.begin(), before.end());
            out.bytes.insert(out.bytes.end(), after.begin(), after.end());
            before.clear();
            after.clear();
            open = nullptr;
        }
    };
    for (const auto& [offset, pair] : m_bytes) {
        if (pair.first == pair.second) {
            close();
            continue;
        }
        if (open == nullptr || open->offset + open->size != offset) {
            close();
            out.runs.push_back({static_cast<uint32_t>(offset), 0, 0});
            open = &out.runs.back();
        }
        ++open->size;
        before.push_back(pair.first);
        after.push_back(pair.second);
    }
    close();
    out.runs.shrink_to_fit();
    out.bytes.shrink_to_fit();
    return out;
}

}  // namespace qx
