#include <gtest/gtest.h>

#include "LabelRules.h"

using namespace qx;

namespace {
LabelConfig Label(LabelRule rule, double factor, double offset, const char* unit, int minimum = 0,
                  int maximum = INT_MAX) {
    LabelConfig c;
    c.rule = rule;
    c.factor = factor;
    c.offset = offset;
    c.unit = unit;
    c.minimum = minimum;
    c.maximum = maximum;
    return c;
}
}  // namespace

TEST(LabelRulesTest, TextTableRules) {
    const LabelConfig attack = Label(LabelRule::T5, 1, 0, "ms", 0, 19);
    EXPECT_EQ(FormatLabel(0, attack), "0.5ms");
    EXPECT_EQ(FormatLabel(9, attack), "11ms");
    EXPECT_EQ(FormatLabel(19, attack), "400ms");
    EXPECT_EQ(FormatLabel(-4, attack), "0.5ms");
    EXPECT_EQ(FormatLabel(7, LabelRule::T6), "Atk X32");
    EXPECT_EQ(FormatLabel(4, LabelRule::T6), "Atk X12");
    EXPECT_EQ(FormatLabel(0, LabelRule::T12), "1.0");
    EXPECT_EQ(FormatLabel(22, LabelRule::T12), "9.0");
    EXPECT_EQ(FormatLabel(40, LabelRule::T12), "100");
}

TEST(LabelRulesTest, CodesPastATextTableShowItsLastEntry) {
    // A label whose range is wider than its table (or was never configured) still reads
    // inside the table.
    EXPECT_EQ(FormatLabel(20, LabelRule::T5), "400");
    EXPECT_EQ(FormatLabel(255, LabelRule::T6), "Atk X32");
    EXPECT_EQ(FormatLabel(1000, LabelRule::T12), "100");
    EXPECT_EQ(FormatLabel(-1000, LabelRule::T12), "1.0");
    EXPECT_STREQ(TableText(kSlopeNames, 13), "36dBLink-Riley");
    EXPECT_STREQ(TableText(kFeedbackNames, -1), "OFF");
}

TEST(LabelRulesTest, LinearRules) {
    const LabelConfig delay = Label(LabelRule::L14, 0.1, 0, "ms", 0, 1500);
    EXPECT_EQ(FormatLabel(1500, delay), "150.0ms");
    EXPECT_EQ(FormatLabel(3, delay), "0.3ms");
    EXPECT_EQ(FormatLabel(1600, delay), "150.0ms");

    const LabelConfig micLevel = Label(LabelRule::L14, 0.5, 10, "dB", 0, 40);
    EXPECT_EQ(FormatLabel(0, micLevel), "-10.0dB");
    EXPECT_EQ(FormatLabel(21, micLevel), "0.5dB");
    EXPECT_EQ(FormatLabel(40, micLevel), "10.0dB");

    const LabelConfig limiter = Label(LabelRule::L20, 1, 22, "dBV", 0, 34);
    EXPECT_EQ(FormatLabel(0, limiter), "-22dBV");
    EXPECT_EQ(FormatLabel(22, limiter), "0dBV");
    EXPECT_EQ(FormatLabel(34, limiter), "12dBV");
    EXPECT_EQ(FormatLabel(99, limiter), "12dBV");

    // Echo delay: the label gets the slider position and shows twice that in ms.
    EXPECT_EQ(FormatLabel(250, Label(LabelRule::L20, 2, 0, "ms")), "500ms");

    // A label nobody configured shows the code itself.
    EXPECT_EQ(FormatLabel(57, LabelConfig{}), "57");
}

TEST(LabelRulesTest, OffAtTheMinimum) {
    const LabelConfig gate = Label(LabelRule::L47, 1, 78, "dBV", 0, 60);
    EXPECT_EQ(FormatLabel(0, gate), "OFF");
    EXPECT_EQ(FormatLabel(-3, gate), "OFF");
    EXPECT_EQ(FormatLabel(1, gate), "-77dBV");
    EXPECT_EQ(FormatLabel(60, gate), "-18dBV");
    EXPECT_EQ(FormatLabel(3, Label(LabelRule::L47, 1, 0, "", 3)), "OFF");
}

TEST(LabelRulesTest, DelayAsDistance) {
    EXPECT_EQ(FormatLabel(0, LabelRule::D48), "0.000m");
    EXPECT_EQ(FormatLabel(15, LabelRule::D48), "0.510m");
    EXPECT_EQ(FormatLabel(1, LabelRule::D48), "0.034m");
    EXPECT_EQ(FormatLabel(1500, LabelRule::D48), "51.000m");
}

TEST(LabelRulesTest, FrequencyTextChangesPrecisionAt101Hz) {
    EXPECT_EQ(FormatFrequency(19.7), "19.7");
    EXPECT_EQ(FormatFrequency(99.0), "99.0");
    EXPECT_EQ(FormatFrequency(101), "101");
    EXPECT_EQ(FormatFrequency(20600), "20600");
}
