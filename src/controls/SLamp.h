#pragma once
// An 18-segment level lamp: segments 0-15 green, 16 yellow (full scale), 17 orange (the
// limit mark), from the bottom up.

#include <QColor>
#include <QRect>
#include <QWidget>
#include <array>

namespace qx {

class CSLamp : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSegments = 18;
    static constexpr int kMarkSegment = 17;
    static constexpr int kFullSegment = 16;

    explicit CSLamp(QWidget* parent = nullptr, int controlId = 0);

    void Layout();
    // Levels from 110 light segment 0, one more segment every 6, all of 0-16 at 200 and above.
    void SetLevel(int value);
    // The limit mark is on below 200.
    void SetMark(int value);
    void AllOff();

    bool IsOn(int segment) const;
    QRect SegmentRect(int segment) const;
    static QColor SegmentColor(int segment);
    // How many repaints the lamp asked for (a lamp only repaints when a segment changed).
    int RepaintRequests() const { return m_repaints; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void RepaintIfChanged();

    std::array<QRect, kSegments> m_segments{};
    std::array<bool, kSegments> m_on{};
    std::array<bool, kSegments> m_painted{};
    bool m_repaintNeeded = false;
    int m_repaints = 0;
};

}  // namespace qx
