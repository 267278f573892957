#pragma once
// A band strip: a narrow column that edits one equaliser band of a curve set, with the band
// number on top, the type list, the gain as a number and as a vertical slider, the frequency
// and the Q. Every change goes through the band's filter into the parameter image, redraws
// the page's curve view at once and is reported with BandChanged(bandIndex): "sent" (emitted
// at once) after the type list and the edits, "posted" (from the event loop) after the slider.
//
// The page places the strip, then calls SetCurveView, SetEq(number, 0) and SetBand(index).

#include <QWidget>

namespace qx {

class CBitComboBox;
class CBitmapSlider;
class CEQCurveStatic;
class CFilter;
class CFontStatic;
class CNumEdit;

class CEQDlg : public QWidget {
    Q_OBJECT
  public:
    // Control ids of the strip's template.
    static constexpr int kIdGainEdit = 1022;
    static constexpr int kIdFreqEdit = 1023;
    static constexpr int kIdQEdit = 1024;
    static constexpr int kIdType = 1025;
    static constexpr int kIdCaption = 1027;
    static constexpr int kIdGainSlider = 1291;
    // The template's size in dialog units.
    static constexpr int kWidthUnits = 26;
    static constexpr int kHeightUnits = 139;

    explicit CEQDlg(QWidget* parent = nullptr);
    ~CEQDlg() override;

    void SetCurveView(CEQCurveStatic* view) { m_view = view; }
    // Stores the EQ number; with bind non-zero binds the filter at the current band index
    // (8..15: of the scene in force) and reloads the controls.
    void SetEq(int eqNumber, int bind);
    // Binds the band at index of the stored EQ number, numbers the caption, links the gain
    // slider to the band so it follows drags on the curve, and reloads the controls.
    void SetBand(int bandIndex);
    // Every control from the band record.
    void LoadBand();
    // Texts that follow the language in force: the band type list's explanation and what
    // every control of the strip tells a person and a screen reader.
    void ApplyLanguage();
    // Gain, frequency and Q from the band record, with the keyboard focus on the gain edit;
    // the type list is left alone.
    void LoadBandAndFocus();

    // The page colours the caption: white, or red while the strip is selected.
    CFontStatic* Caption() const { return m_caption; }
    CBitComboBox* TypeList() const { return m_type; }
    CNumEdit* GainEdit() const { return m_gainEdit; }
    CBitmapSlider* GainSlider() const { return m_gainSlider; }
    CNumEdit* FreqEdit() const { return m_freqEdit; }
    CNumEdit* QEdit() const { return m_qEdit; }
    CFilter* Filter() const { return m_filter; }
    int BandIndex() const { return m_bandIndex; }
    int EqNumber() const { return m_eqNumber; }

  signals:
    void BandChanged(int bandIndex);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OnTypeChosen(int type);
    void OnEditCommitted(int controlId);
    void OnSliderMoved();
    // BandChanged at once, or from the event loop when posted.
    void Report(bool posted);
    // Names the strip's controls with the band and tells their range and value.
    void Describe();
    // Redraws the curve with this band highlighted.
    void HighlightInView();
    void Bind(CFilter* filter);
    void UnlinkSlider();

    CFontStatic* m_caption;
    CBitComboBox* m_type;
    CNumEdit* m_gainEdit;
    CBitmapSlider* m_gainSlider;
    CNumEdit* m_freqEdit;
    CNumEdit* m_qEdit;

    CFilter* m_filter = nullptr;
    CFilter* m_linked = nullptr;  // the filter whose linked slider this strip's gain slider is
    int m_bandIndex = 0;
    int m_eqNumber = -1;
    int m_lastGain = 0;
    int m_lastFreq = 0;
    int m_lastQ = 0;
    int m_lastType = 0;
    CEQCurveStatic* m_view = nullptr;
};

}  // namespace qx
