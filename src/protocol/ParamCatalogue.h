#pragma once
// The catalogue of every field of a program and of the system block: a stable dotted name,
// its place in the ParamImage, its code range and how a person reads and types its value.
//
// Names follow the records: `MusicLeft.bands[3].gainCode`, `Mic2.limiter.attack`,
// `Scene[2].SUB.delay` (scenes 1 Sing, 2 Disco, 3 Decode), `Scene[1].MainL.send.Music.level`,
// `System.musicMax`. Arrays of records count from 0, as the band indices of the frames do.
// Bytes that hold two values are split into bit fields (`System.key` and
// `System.sensitivity`; `System.musicVolume` and `System.musicMute`), so that together the
// fields cover every bit of the 2778 bytes exactly once.

#include <cstdint>
#include <string>
#include <vector>

#include "LabelRules.h"
#include "ProgramImage.h"

namespace qx {

// How a field's code reads.
enum class FieldKind : uint8_t {
    Number,         // the code itself
    Frequency,      // frequency table, "1000Hz"
    Gain,           // code * 0.2 - 24, "-3.0dB"
    Q,              // Q table
    BandType,       // "BY" "PEQ" "LS" "HS"
    FilterKind,     // "HPF" "LPF"
    Slope,          // "ByPass" .. "36dBLink-Riley"
    LimiterDbv,     // code - 22, "dBV" (music and microphones)
    LimiterDb,      // code - 22, "dB" (outputs)
    Attack,         // attack-time texts, "ms"
    Release,        // "Atk X2" ..
    Ratio,          // ratio texts
    GateThreshold,  // "OFF" at 0, otherwise code - 78 "dBV"
    DeqThreshold,   // code - 48 "dBV"
    HalfDb,         // code * 0.5 - 10, one decimal, "dB" (microphone level)
    InputGain,      // code * 0.5 - 10, one decimal, no unit
    Percent,        // code "%"
    PercentFrom50,  // code - 50 "%"
    Tenths,         // tenths of a millisecond, "12.5ms"
    Switch,         // "OFF" "ON"
    Feedback,       // "OFF" "FB.EX1" ..
    Amount,         // exciter amount "0".."9"
    InputSelect,    // "Auto" "VOD" ..
    Key,            // code - 7, signed
    Sensitivity,    // "L" "H"
    Enable,         // "Disable" "Enable"
    OutputMode,     // "Auto" "Sing" "Disco" "Decode"
    Program,        // current program: "0", "1".."16", "F1".."F5"
    Text,           // fixed-width characters, shown trimmed, padded with spaces when set
    Bytes,          // bytes kept unchanged, shown in hex
};

struct ParamField {
    std::string name;
    int offset = 0;    // in the ParamImage (program 0..2711, system block 2712..2777)
    int width = 1;     // bytes
    uint8_t mask = 0;  // bit field of a single byte; 0 = the whole field
    FieldKind kind = FieldKind::Number;
    int minimum = 0;  // code range that set accepts
    int maximum = 255;

    bool IsSystem() const { return offset >= static_cast<int>(sizeof(ProgramImage)); }
    bool IsBytes() const { return kind == FieldKind::Text || kind == FieldKind::Bytes; }
};

// A value parsed for one field: a code, or the bytes of a text or byte field.
struct ParsedValue {
    uint32_t code = 0;
    std::vector<uint8_t> bytes;
    bool rounded = false;  // the typed value lay between two steps; code is the nearest
};

class CParamCatalogue {
  public:
    // Every field, program fields first, in image order; built once.
    static const std::vector<ParamField>& Fields();
    // Case-insensitive lookup by name; nullptr when no field has that name.
    static const ParamField* Find(const std::string& name);

    // The code of a numeric field (bit fields shifted down).
    static uint32_t Read(const uint8_t* image, const ParamField& field);
    // The field's value as a person reads it.
    static std::string Display(const uint8_t* image, const ParamField& field);
    static std::string DisplayCode(const ParamField& field, uint32_t code);
    // How a value label shows the field's code: the rule, factor, offset and unit that give
    // the text Display gives (the key without its plus sign; kinds that no label rule
    // expresses, such as frequencies and list texts, show the code itself), over the field's
    // own range.
    static LabelConfig LabelOf(const ParamField& field);
    // The raw value for machines: the code, or the bytes as text / hex.
    static std::string RawText(const uint8_t* image, const ParamField& field);

    // Whether a numeric field's code lies in its range (text and byte fields always do).
    static bool InRange(const uint8_t* image, const ParamField& field);

    // Parses a typed value: a bare whole number is the code; anything else is read as shown
    // (a unit value such as "1000Hz", "-3dB", "12.5ms", "40%", or a text such as "OFF"). A
    // value between two steps takes the nearest step, ties upward, as the editor's numeric
    // edits do, and is marked rounded. A text field takes printable ASCII, as typed or quoted
    // and escaped as Display shows it. Returns false with a one-line reason when the value is
    // not acceptable.
    static bool Parse(const ParamField& field, const std::string& text, ParsedValue& out,
                      std::string& error);
    // Writes a parsed value into the image (other bits of a bit field are kept).
    static void Apply(uint8_t* image, const ParamField& field, const ParsedValue& value);

    // Names of the numeric fields whose code lies outside the field's range, in image order
    // (program fields only when withSystem is false): a damaged or foreign image.
    static std::vector<std::string> OutOfRange(const ParamImage& image, bool withSystem = true);

    // The image bytes: a ParamImage viewed as the catalogue addresses it.
    static uint8_t* Bytes(ParamImage& image) { return reinterpret_cast<uint8_t*>(&image); }
    static const uint8_t* Bytes(const ParamImage& image) {
        return reinterpret_cast<const uint8_t*>(&image);
    }
};

}  // namespace qx
