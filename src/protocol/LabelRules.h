#pragma once
// The texts of value labels: how a label shows a code, and the fixed text tables of attack,
// release and ratio steps, filter slopes, band types and feedback suppression.

#include <array>
#include <climits>
#include <string>

namespace qx {

// How a value label turns a code into text.
enum class LabelRule {
    T5,   // attack-time text of the code, then the unit
    T6,   // release text of the code
    T12,  // ratio text of the code
    L14,  // code * factor - offset with one decimal ("%.1f"), then the unit
    L20,  // code * factor - offset as a whole number ("%d"), then the unit
    L47,  // "OFF" when the code equals the minimum, otherwise as L20
    D48,  // code / 10 * 0.34 as a distance, "%.3fm"
};

// What a value label holds. A label nobody configured shows the code itself (L20, factor 1,
// offset 0, no unit). Codes below the minimum show as the minimum, codes above the maximum as
// the maximum; a text-table rule never reads past its table (the last entry is shown).
struct LabelConfig {
    int minimum = 0;
    int maximum = INT_MAX;
    LabelRule rule = LabelRule::L20;
    double factor = 1.0;  // also the step of L14
    double offset = 0.0;
    std::string unit;
};

std::string FormatLabel(int code, const LabelConfig& config);
// A label with the given rule and otherwise default settings.
std::string FormatLabel(int code, LabelRule rule);

// A frequency as the pages show it: one decimal below 101 Hz ("%.1f"), none from 101 Hz on.
std::string FormatFrequency(double hz);

// Text tables, indexed by the code.
constexpr int kAttackCodes = 20;
constexpr int kReleaseCodes = 8;
constexpr int kRatioCodes = 41;
constexpr int kSlopeCodes = 13;
constexpr int kBandTypeCodes = 4;
constexpr int kFeedbackCodes = 5;
constexpr int kExciterCodes = 10;

extern const std::array<const char*, kAttackCodes> kAttackTexts;    // unit "ms"
extern const std::array<const char*, kReleaseCodes> kReleaseTexts;  // "Atk X2" ..
extern const std::array<const char*, kRatioCodes> kRatioTexts;
extern const std::array<const char*, kSlopeCodes> kSlopeNames;        // "ByPass" ..
extern const std::array<const char*, kBandTypeCodes> kBandTypeNames;  // "BY" "P" "LS" "HS"
extern const std::array<const char*, kBandTypeCodes> kBandTypeWords;  // "BY" "PEQ" "LS" "HS"
extern const std::array<const char*, kFeedbackCodes> kFeedbackNames;  // "OFF" "FB.EX1" ..
extern const std::array<const char*, kExciterCodes> kExciterTexts;    // "0" .. "9"

// The entry of a table for a code; codes past either end give the nearest end's entry.
template <std::size_t N>
const char* TableText(const std::array<const char*, N>& table, int code) {
    if (code < 0) {
        return table[0];
    }
    return table[static_cast<std::size_t>(code) < N ? static_cast<std::size_t>(code) : N - 1];
}

}  // namespace qx
