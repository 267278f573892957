#include "ImageChange.h"

#include <algorithm>

namespace qx {

void ImageNotice::Add(ImageChange change) {
    const std::size_t end = std::min(change.range.End(), kImageSize);
    for (std::size_t i = change.range.offset; i < end; ++i) {
        m_touched.set(i);
    }
    m_changes.push_back(std::move(change));
}

bool ImageNotice::Touches(std::size_t offset, std::size_t size) const {
    const std::size_t end = std::min(offset + size, kImageSize);
    for (std::size_t i = offset; i < end; ++i) {
        if (m_touched.test(i)) {
            return true;
        }
    }
    return false;
}

bool ImageNotice::TouchesProgram() const {
    return Touches(0, sizeof(ProgramImage));
}

bool ImageNotice::TouchesSystem() const {
    return Touches(sizeof(ProgramImage), sizeof(SystemImage));
}

bool ImageNotice::TouchedBy(ChangeSource source, std::size_t offset, std::size_t size) const {
    return std::any_of(m_changes.begin(), m_changes.end(), [&](const ImageChange& c) {
        return c.origin.source == source && c.range.Overlaps(offset, size);
    });
}

}  // namespace qx
