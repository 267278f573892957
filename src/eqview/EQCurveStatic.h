#pragma once
// The frequency-response chart of one equaliser: a black plot (10 Hz .. 30 kHz, +12 .. -24 dB)
// with the equaliser's total curve, one handle per band and per H/L filter, and the selected
// element's own response, handle frame and information line.
//
// Dragging a handle with the left button moves a band in frequency and gain (H and L only in
// frequency); the right button changes a band's Q. The filters of the curve set turn pointer
// positions into codes and write them into the parameter image; the synchroniser sends them.
// The view reports the element picked or moved with PointSelected(eqNumber, elementIndex),
// which is "posted": emitted from the event loop after the mouse event that caused it.
//
// A page places the view, sets its geometry and then calls InitPlot, SetOwner, SizeCurveSets
// and ShowEq in that order.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

#include "CurveGeometry.h"

namespace qx {

class CFilter;
class CKTVEQ;
class ImageNotice;

class CEQCurveStatic : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrequencyLines = 30;
    static constexpr int kMarginLeft = kPlotLeft;
    static constexpr int kMarginTop = kPlotTop;
    static constexpr int kMarginRight = 10;
    static constexpr int kMarginBottom = 20;

    explicit CEQCurveStatic(QWidget* parent = nullptr, int controlId = 0);

    // Client and plot rectangles and the frequency-line positions, from the current size.
    // A later resize does this again and resizes the group last sized.
    void InitPlot();
    // The page that places the view and listens to PointSelected.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    QWidget* Owner() const { return m_owner; }
    // Sizes the curve sets of a group to the plot: 0 music L/R, 1 dynamic EQ L/R,
    // 2 microphones, 3 echoes and reverbs, 4..8 every output set.
    void SizeCurveSets(int group);
    // Shows the curve set of an EQ number (8..15: of the scene in force) with nothing selected.
    // Numbers that name no equaliser change nothing.
    void ShowEq(int eqNumber);
    // Highlights the element at index (-1: the one under the pointer or being dragged);
    // forget drops the current element.
    void SelectBand(int index, int forget);

    int EqNumber() const { return m_eqNumber; }
    CKTVEQ* CurveSet() const { return m_set; }
    CFilter* CurrentFilter() const { return m_current; }
    int CurrentBandIndex() const { return m_currentIndex; }
    int SelectedIndex() const { return m_selected; }
    bool IsHovering() const { return m_hover; }
    // The element drawn highlighted, or null.
    CFilter* HighlightedFilter() const;
    const Rect& ClientRect() const { return m_client; }
    const Rect& PlotRect() const { return m_plotRect; }
    const std::array<int, kFrequencyLines>& FrequencyLines() const { return m_freqLines; }
    // True while the shown equaliser is an output and the output mode is Auto.
    bool IsReadOnly() const;

    // Draws the whole view into the off-screen image now; the next paint shows it. A view
    // that is not shown drops its images instead and draws them when shown.
    void Redraw();
    // The drawn image (device pixels; its device pixel ratio is the screen's), drawn now if
    // the view held none.
    const QImage& Frame() const;
    // Where the band numbers go: each box as given unless it would overlap a number placed
    // before it, then moved up or down by whole text heights until it is clear.
    static std::vector<QRect> SpreadLabels(const std::vector<QRect>& boxes);

  signals:
    void PointSelected(int eqNumber, int elementIndex);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // Filters in and out, the room measurement and target, and the fit (TuneMenu.h).
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void OnImageChanged(const ImageNotice& notice);
    void ForgetCurrent();
    // Makes element `index` the current one, as a pointer over its handle would, and reports it.
    void PickElement(int index);
    void RedrawSelectingCurrent();
    void PostPointSelected();
    void UpdateCursor();
    void DrawAxes();
    void Draw();
    void FreeImages();
    void DrawPlot(class QPainter& p);
    void DrawBypassCaption(QPainter& p);
    void DrawBandTexts(QPainter& p);
    void DrawHighlight(QPainter& p, CFilter& filter);
    bool ShowsBypass() const;

    QPointer<QWidget> m_owner;
    CKTVEQ* m_set = nullptr;
    int m_eqNumber = -1;
    CFilter* m_current = nullptr;
    int m_currentIndex = 0;
    int m_selected = -1;
    bool m_hover = false;
    int m_dragResult = 0;
    bool m_notifyPending = false;
    int m_sizedGroup = -1;
    std::array<int, kFrequencyLines> m_freqLines{};
    Rect m_client;
    Rect m_plotRect;
    QImage m_axes;   // the client area with the axes and their labels
    QImage m_frame;  // what the view shows
};

}  // namespace qx
