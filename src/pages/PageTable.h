#pragma once
// The rows of a page's control table: what a control is, where it stands (dialog units), the
// caption pair it shows, the catalogue field it edits and how it shows the field's code.
// Pages and the top bar declare their controls as constant arrays of these rows; a
// CFieldBinding creates the widgets and keeps them and the fields in step.

#include <cstdint>
#include <span>

#include "LabelRules.h"
#include "TextPair.h"

namespace qx {

// A rectangle in dialog units, as a dialog template gives it.
struct DuRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind : uint8_t {
    Caption,  // CFontStatic showing the caption pair; no field
    Group,    // CSxGroupBox with the caption pair; no field
    Slider,   // horizontal CBitmapSlider; position = code
    VSlider,  // vertical CBitmapSlider, maximum at the top (SetPosInverted)
    Label,    // CEdit_Static value label: the code shown by the row's rule
    Edit,     // CNumEdit: the code shown and typed by its mode
    Combo,    // CBitComboBox: item index = code
    Toggle,   // CBitButton: pressed = code != 0; a click stores the other state
    Button,   // CBitButton without a field; a handler acts on the click
    Custom,   // made by the page itself (curve view, strips, lamps); the table only places it
};

// How a Label, Edit or Combo row shows its code. A Label row shows its field as the catalogue's
// label rule for the field does (CParamCatalogue::LabelOf) unless the row gives its own (Shown).
struct ControlRule {
    LabelRule label = LabelRule::L20;      // Label rows with their own rule
    double factor = 1.0;                   // L20/L47 factor, L14 step, Edit gain step
    double offset = 0.0;                   // subtracted after the factor
    const char* unit = "";                 // appended to labels and edits
    int editMode = 0;                      // Edit rows: CNumEdit::kModeFrequency, kModeGain, kModeQ
    std::span<const char* const> items{};  // Combo rows: the item texts, index = code
    int step = 1;  // codes per position: a slider, label or edit shows code / step (rounded
                   // down) and stores position * step
    bool ownLabel = false;  // Label rows: the label fields above, not the catalogue's rule
};

// A value label that differs from its field's catalogue rule (a stepped time in whole
// milliseconds, a delay shown as a distance): code * factor - offset by the rule, then the unit.
constexpr ControlRule Shown(LabelRule rule, double factor = 1.0, double offset = 0.0,
                            const char* unit = "") {
    ControlRule r{rule, factor, offset, unit, 0, {}};
    r.ownLabel = true;
    return r;
}
// A numeric edit in frequency mode (code = frequency table index).
constexpr ControlRule FrequencyEdit(const char* unit = "Hz") {
    return ControlRule{LabelRule::L20, 1.0, 0.0, unit, 4, {}};
}
// A numeric edit in gain mode (shown = code * step - offset).
constexpr ControlRule GainEdit(double step, double offset, const char* unit = "") {
    return ControlRule{LabelRule::L20, step, offset, unit, 23, {}};
}
// A numeric edit in Q mode (code = Q table index).
constexpr ControlRule QEdit() {
    return ControlRule{LabelRule::L20, 1.0, 0.0, "", 11, {}};
}
// A combo whose items are the given texts.
constexpr ControlRule Items(std::span<const char* const> items) {
    return ControlRule{LabelRule::L20, 1.0, 0.0, "", 0, items};
}

// A control whose positions are steps of `step` codes (a delay of 0.1 ms codes moved in 1 ms).
constexpr ControlRule Stepped(int step, ControlRule rule = {}) {
    rule.step = step;
    return rule;
}

// How a button row looks under the mouse.
enum class ButtonLook : uint8_t {
    Latch,  // the released face under the mouse; a Button shows its pressed face while held
    Push,   // a command button: the pressed face already under the mouse
};

// Skin bitmap ids of a row. Sliders: channel, active channel, thumb, active thumb. Buttons:
// released, pressed (also the checked look). Zero everywhere means the kind's usual skin:
// the page slider (142, 155, 141), the page button (152, 153) and the page combo.
struct SkinIds {
    int first = 0;
    int second = 0;
    int third = 0;
    int fourth = 0;
};

namespace skins {
constexpr SkinIds kPageSlider{142, 155, 141, 141};
constexpr SkinIds kVolumeSlider{134, 169, 133, 133};
constexpr SkinIds kGainSlider{138, 0, 137, 139};
constexpr SkinIds kPageButton{152, 153};
constexpr SkinIds kSwitchButton{161, 160};  // red plus released, red minus pressed
constexpr SkinIds kSelectorButton{158, 157};
constexpr SkinIds kModeButton{175, 176};
constexpr SkinIds kMuteButton{172, 173};
constexpr SkinIds kTopBarButton{168, 168};
}  // namespace skins

// One control. `field` names the catalogue field the control edits (nullptr: none). It may
// hold placeholders in braces that are filled each time the control is loaded or stored:
// `{scene}` is the output scene in force (1..3) unless the page sets it, any other key is set
// by the page with CFieldBinding::SetPlaceholder ("{ch}.hpf.freqCode" with ch = MusicRight).
// In a block (CFieldBinding::AddBlock) a leading '@' stands for the block's field prefix and
// `id` is the index of the control's id in the id list given when the block is placed.
struct ControlRow {
    int id = 0;
    ControlKind kind = ControlKind::Caption;
    DuRect rect{};
    TextPair caption{nullptr, nullptr};
    const char* field = nullptr;
    ControlRule rule{};
    int minimum = 0;  // code range of the control; maximum < minimum: the field's own range
    int maximum = -1;
    SkinIds skin{};
    unsigned style = 0;                   // static style bits (ss::k...) of Caption and Label rows
    ButtonLook look = ButtonLook::Latch;  // Button and Toggle rows
};

using ControlTable = std::span<const ControlRow>;

}  // namespace qx
