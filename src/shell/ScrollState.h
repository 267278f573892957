#pragma once
// One scroll bar of the small-screen layout: its range and page, the position it is at and the
// position the contents were last scrolled to. Positions count in pixels from the minimum.

namespace qx {

class CScrollState {
  public:
    enum Action { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Top, Bottom, End };

    void SetUp(int minimum, int maximum, int page);

    // Moves for one scroll action and returns how far the contents move (previous position
    // minus new position, in pixels); 0 when the position does not change.
    int Apply(Action action, int trackPosition = 0);

    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int Page() const { return m_page; }
    int Position() const { return m_position; }
    // The highest position a scroll may reach: the maximum minus the page plus 1.
    int Highest() const;
    // How far the contents are scrolled from their start.
    int Offset() const { return m_position - m_minimum; }

  private:
    int m_minimum = 1;
    int m_maximum = 1;
    int m_page = 1;
    int m_position = 1;
};

}  // namespace qx
