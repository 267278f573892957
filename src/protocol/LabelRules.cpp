#include "LabelRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qx {

const std::array<const char*, kAttackCodes> kAttackTexts = {
    "0.5", "0.7", "1.0", "1.4", "2.0", "2.8", "4.0", "5.7", "8.0", "11",
    "16",  "23",  "32",  "45",  "64",  "90",  "100", "120", "150", "400",
};

const std::array<const char*, kReleaseCodes> kReleaseTexts = {
    "Atk X2", "Atk X4", "Atk X6", "Atk X8", "Atk X12", "Atk X16", "Atk X24", "Atk X32",
};

const std::array<const char*, kRatioCodes> kRatioTexts = {
    "1.0", "1.2", "1.4",  "1.6",  "1.8",  "2.0", "2.4", "2.8", "3.2", "3.6", "4.0",
    "4.4", "4.8", "5.2",  "5.6",  "6.0",  "6.4", "6.8", "7.2", "7.6", "8.0", "8.4",
    "9.0", "9.6", "10.2", "10.8", "11.4", "12",  "13",  "14",  "15",  "16",  "17",
    "18",  "19",  "20",   "22",   "24",   "26",  "30",  "100",
};

const std::array<const char*, kSlopeCodes> kSlopeNames = {
    "ByPass",      "6dB/ct",           "12dB Bessel",    "12dB Butuerworth", "12dBLink-Riley",
    "18dB Bessel", "18dB Butuerworth", "24dB Bessel",    "24dB Butuerworth", "24dBLink-Riley",
    "36dB Bessel", "36dB Butuerworth", "36dBLink-Riley",
};

const std::array<const char*, kBandTypeCodes> kBandTypeNames = {"BY", "P", "LS", "HS"};
const std::array<const char*, kBandTypeCodes> kBandTypeWords = {"BY", "PEQ", "LS", "HS"};

const std::array<const char*, kFeedbackCodes> kFeedbackNames = {"OFF", "FB.EX1", "FB.EX2", "FB.EX3",
                                                                "FB.EX4"};

const std::array<const char*, kExciterCodes> kExciterTexts = {"0", "1", "2", "3", "4",
                                                              "5", "6", "7", "8", "9"};

namespace {

std::string Printf(const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

std::string Printf(const char* format, long value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

}  // namespace

std::string FormatLabel(int code, const LabelConfig& c) {
    code = std::max(code, c.minimum);
    if (c.maximum >= c.minimum) {
        code = std::min(code, c.maximum);
    }
    switch (c.rule) {
        case LabelRule::T5:
            return std::string(TableText(kAttackTexts, code)) + c.unit;
        case LabelRule::T6:
            return TableText(kReleaseTexts, code);
        case LabelRule::T12:
            return TableText(kRatioTexts, code);
        case LabelRule::L14:
            return Printf("%.1f", code * c.factor - c.offset) + c.unit;
        case LabelRule::L47:
            if (code == c.minimum) {
                return "OFF";
            }
            [[fallthrough]];
        case LabelRule::L20:
            // Factors and offsets are whole numbers in practice; rounding keeps a product such
            // as 3 * 0.1 * 10 from losing one to truncation.
            return Printf("%ld", std::lround(code * c.factor - c.offset)) + c.unit;
        case LabelRule::D48:
            return Printf("%.3fm", code / 10.0 * 0.34);
    }
    return {};
}

std::string FormatLabel(int code, LabelRule rule) {
    LabelConfig c;
    c.rule = rule;
    return FormatLabel(code, c);
}

std::string FormatFrequency(double hz) {
    return Printf(hz < 101.0 ? "%.1f" : "%.0f", hz);
}

}  // namespace qx
