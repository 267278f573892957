#pragma once
// Equaliser filters as room-measurement tools write them as text: one "Filter" line per
// filter ("Filter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 1.41"), a "Preamp:" line, comments and
// the header lines a measurement program puts above its filters. These are the records the
// reader fills and the importer maps onto an equaliser.

#include <string>
#include <vector>

namespace qx {

enum class TextFilterKind { Peaking, LowShelf, HighShelf, HighPass, LowPass };

// One filter line.
struct TextFilter {
    int line = 0;    // 1-based line number in the text
    int number = 0;  // the number after "Filter", 0 when the line has none
    bool on = true;  // ON or OFF
    TextFilterKind kind = TextFilterKind::Peaking;
    std::string type;      // the type word as written ("PK", "LSC", "HP" ...)
    double hz = 0.0;       // Fc
    double gainDb = 0.0;   // 0 for pass filters
    double q = 0.0;        // the Q the filter works with: given, from a bandwidth or a slope, or
                           // the type's default
    bool qGiven = false;   // Q or a bandwidth was written on the line
    double slopeDb = 0.0;  // a shelf's slope in dB per octave, 0 when none was written
};

// A line that could not be read, or a filter that cannot be imported.
struct TextProblem {
    int line = 0;
    std::string message;
};

struct FilterText {
    std::vector<TextFilter> filters;  // in the order of the text
    bool hasPreamp = false;
    double preampDb = 0.0;              // the sum of every Preamp line
    int preampLine = 0;                 // the first Preamp line
    std::vector<TextProblem> problems;  // unknown or malformed lines; empty when all were read
};

// The Q a second-order filter needs for its shelf slope S (1 is the steepest slope without
// overshoot, 12 dB per octave) at a gain.
double ShelfSlopeToQ(double slopeDbPerOctave, double gainDb);
// The Q of a peaking filter with a bandwidth in octaves.
double OctavesToQ(double octaves);

}  // namespace qx
