#pragma once
// Ordered queue of owned frames: appended at the back, taken from the front.

#include <algorithm>
#include <deque>
#include <memory>

#include "SendData.h"

namespace qx {

class CSendDataQueue {
  public:
    void Append(std::unique_ptr<CSendData> frame) { m_frames.push_back(std::move(frame)); }
    bool Empty() const { return m_frames.empty(); }
    int Size() const { return static_cast<int>(m_frames.size()); }
    CSendData& Front() { return *m_frames.front(); }
    void RemoveFront() { m_frames.pop_front(); }
    void Clear() { m_frames.clear(); }
    CSendData& At(int i) { return *m_frames[static_cast<std::size_t>(i)]; }
    // Removes, in queue order, every frame for which drop(frame) is true; returns how many.
    template <class Pred>
    int RemoveIf(Pred drop) {
        return static_cast<int>(std::erase_if(
            m_frames, [&drop](const std::unique_ptr<CSendData>& f) { return drop(*f); }));
    }

  private:
    std::deque<std::unique_ptr<CSendData>> m_frames;
};

}  // namespace qx
