#pragma once
// Skin bitmaps addressed by numeric resource id. Every id is drawn once, at first use, by
// the painter functions in SkinBitmaps.cpp; a PNG file named <id>.png in a skin folder
// replaces the drawn image. Unknown ids give a null image, which the controls treat as a
// bitmap that could not be loaded.

#include <QImage>
#include <QString>
#include <QStringList>

namespace qx {

namespace skinid {
// The top of the main window's background (the top bar band, 1320 x 34), drawn at the
// window's top left on its plain colour; a replacement may be as tall as the window.
constexpr int kMainBackground = 167;
// Sliders.
constexpr int kVolumeThumb = 133;  // top-bar volume slider
constexpr int kVolumeChannel = 134;
constexpr int kVolumeActiveChannel = 169;
constexpr int kGainThumb = 137;  // vertical gain slider
constexpr int kGainChannel = 138;
constexpr int kGainActiveThumb = 139;
constexpr int kSliderThumb = 141;  // horizontal page slider
constexpr int kSliderChannel = 142;
constexpr int kSliderActiveChannel = 155;
// Buttons.
constexpr int kPageButton = 152;
constexpr int kPageButtonPressed = 153;
constexpr int kSelectorPressed = 157;
constexpr int kSelectorReleased = 158;
constexpr int kSwitchMinus = 160;
constexpr int kSwitchPlus = 161;
constexpr int kTopBarButton = 168;
constexpr int kMuteOff = 172;
constexpr int kMuteOn = 173;
constexpr int kModeButton = 175;
constexpr int kModeButtonPressed = 176;
constexpr int kOkButtonPressed = 177;
constexpr int kOkButton = 178;
// Combo boxes and their lists.
constexpr int kComboMiddle = 200;
constexpr int kComboLeft = 201;
constexpr int kComboRight = 202;
constexpr int kListTop = 203;
constexpr int kListBottom = 204;
constexpr int kListLeft = 205;
constexpr int kListRight = 206;
}  // namespace skinid

class CSkinBitmaps {
  public:
    // The bitmap of an id; a null image when the id is unknown.
    static const QImage& Get(int id);
    // The bitmap drawn for a pixel density (a widget's devicePixelRatioF()): ratio times the
    // pixels, carrying the ratio, so that it shows as sharp as text on a dense screen and at
    // the same logical size. A replacement file <id>@2x.png is used when present; otherwise a
    // plain replacement keeps its own pixels. Ratios up to 1 give Get(id).
    static QImage Get(int id, qreal ratio);
    // Every id the skin provides.
    static QList<int> Ids();
    // Draws (or loads) every bitmap now, so that the first page shown does not pay for it;
    // the large pictures of a single page are left to that page's first paint.
    static void DrawAll();
    // Folders searched for <id>.png overrides, first match wins. Changing them drops the
    // images made so far.
    static void SetSearchPath(const QStringList& folders);
    static QStringList SearchPath();
};

}  // namespace qx
