#include "ScrollState.h"

#include <algorithm>

namespace qx {

void CScrollState::SetUp(int minimum, int maximum, int page) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_page = std::max(1, page);
    m_position = minimum;
}

int CScrollState::Highest() const {
    return std::max(m_minimum, m_maximum - m_page + 1);
}

int CScrollState::Apply(Action action, int trackPosition) {
    int next = m_position;
    switch (action) {
        case LineUp:
            next = m_position - 1;
            break;
        case PageUp:
            next = m_position - m_page;
            break;
        case LineDown:
            next = m_position + 1;
            break;
        case PageDown:
            next = m_position + m_page;
            break;
        case ThumbTrack:
            next = trackPosition;
            break;
        case Top:
            next = m_minimum;
            break;
        case Bottom:
            next = Highest();
            break;
        case ThumbPosition:
        case End:
            return 0;
    }
    // A track position from outside the range would scroll the contents out of the window.
    next = std::clamp(next, m_minimum, Highest());
    const int delta = m_position - next;
    m_position = next;
    return delta;
}

}  // namespace qx
