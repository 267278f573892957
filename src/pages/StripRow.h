#pragma once
// The equaliser row of a page: a curve view with a row of band strips above it and, when the
// equaliser has more bands than strips, a trackbar that scrolls the strips along the bands.
// The row keeps the strip mark (the red caption of the strip being worked on), scrolls to and
// focuses a band picked on the curve, shows a picked H or L handle's frequency in the page's
// filter controls, and carries out EQ Reset. Strips follow every change of their bands that
// they or the curve did not make themselves (undo, A/B, an imported filter text, a fit). Music,
// Microphone, Output and the effect pages place it with their own ids, strip count and pitch.

#include <QObject>
#include <span>
#include <string>
#include <vector>

#include "PageTable.h"

class QSlider;

namespace qx {

class CEQCurveStatic;
class CEQDlg;
class CFilter;
class CPageDlg;
class ImageNotice;

// The row captions beside the strips' type, gain, frequency and Q rows; placed with AddBlock
// and the page's four ids (type, gain, frequency, Q).
// clang-format off
inline constexpr ControlRow kStripRowCaptions[] = {
    {0, ControlKind::Caption, {2, 15, 32, 9}, {"类型", "Type"}},
    {1, ControlKind::Caption, {2, 30, 32, 9}, {"增益(dB)", "Gain(dB)"}},
    {2, ControlKind::Caption, {2, 114, 32, 9}, {"频率(Hz)", "Freq(Hz)"}},
    {3, ControlKind::Caption, {2, 128, 32, 9}, {"Q值", "Q"}},
};
// clang-format on

struct StripRowSetup {
    int viewId = 0;       // control id of the curve view
    DuRect view{};        // its rectangle
    int stripCount = 10;  // strips side by side
    int stripX = 60;      // first strip's left edge, pixels
    int stripPitch = 58;  // pixels from one strip to the next
    int stripY = 5;       // pixels
    int trackbarId = 0;   // 0: no trackbar, the strips show the first bands for good
    DuRect trackbar{};
    int trackbarMaximum = 0;   // highest first band
    int* firstBand = nullptr;  // where the first band shown is kept between visits
    int* lastBand = nullptr;   // first + stripCount - 1
    int highPassControl = 0;   // a control of the H filter frequency (shows a picked H)
    int lowPassControl = 0;    // the same for L
    // A view set up by another page that several rows share (the effect selector's, under
    // the echo and reverb strips); the row then takes only the picks on its own equaliser.
    CEQCurveStatic* sharedView = nullptr;
};

class CStripRow : public QObject {
    Q_OBJECT
  public:
    // Creates the view, the strips and the trackbar as children of the page and registers
    // the view and the trackbar with the page's binding under their ids.
    CStripRow(CPageDlg& page, const StripRowSetup& setup);

    // First set-up: the view sized for a group of curve sets (0 music, 2 microphones, ...),
    // showing eqNumber (a shared view is left to its page); each strip on the band of the
    // remembered scroll position, unbound.
    void Create(int group, int eqNumber);

    // Binds every strip to the same band index of another equaliser; the mark is dropped.
    void Bind(int eqNumber);
    // Reloads every strip from its band record.
    void Reload();
    // Shows the equaliser in the view with nothing highlighted.
    void ShowCurve();
    // Redraws the curve without a highlighted element (after a bypass or a reload).
    void RedrawCurve();
    // Scrolls so that the first strip shows band `first` (held to the trackbar's range).
    void ScrollTo(int first);
    // EQ Reset: start-up bands for the equaliser, strips reloaded, curve shown afresh.
    void ResetBands();

    // Places the H and L filter blocks of the shown equaliser at (x, highY) and (x, lowY):
    // they write through its filters and highlight the filter on the curve. `record` is the
    // prefix of the equaliser's block ("{ch}" gives "{ch}.hpf" and "{ch}.lpf").
    void PlaceFilterBlocks(int x, int highY, int lowY, std::span<const int> highIds,
                           std::span<const int> lowIds, const std::string& record);
    // "EQ Reset" and "EQ Bypass": the reset, and the curve redrawn after the bypass toggles.
    void AttachEqButtons(int resetId, int bypassId);

    // The strip mark.
    void Deselect();
    void Mark(int bandIndex);
    int SelectedStrip() const { return m_selected; }

    int EqNumber() const { return m_eqNumber; }
    int FirstBand() const;
    CFilter* HighPass() const;
    CFilter* LowPass() const;
    // Curve-view element indexes of the H and L filters of the shown equaliser.
    int HighPassElement() const;
    int LowPassElement() const;

    CEQCurveStatic* View() const { return m_view; }
    CEQDlg* Strip(int i) const { return m_strips.at(static_cast<std::size_t>(i)); }
    int StripCount() const { return static_cast<int>(m_strips.size()); }
    QSlider* Trackbar() const { return m_trackbar; }

  private:
    void ScrollStep();
    void OnImageChanged(const ImageNotice& notice);
    void OnPointSelected(int elementIndex);
    int BandCount() const;

    CPageDlg& m_page;
    StripRowSetup m_setup;
    CEQCurveStatic* m_view;
    std::vector<CEQDlg*> m_strips;
    QSlider* m_trackbar = nullptr;
    int m_eqNumber = 0;
    int m_selected = -1;
    int m_first = 0;  // used when the page keeps no scroll position
};

}  // namespace qx
