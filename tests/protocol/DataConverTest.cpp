#include <gtest/gtest.h>

#include <cmath>

#include "DataConver.h"

using namespace qx;

TEST(DataConverTest, NearestEntryWithTiesToTheHigherCode) {
    EXPECT_EQ(FreqToCode(1000), 204);
    EXPECT_EQ(FreqToCode(19.7), 0);
    EXPECT_EQ(FreqToCode(20600), 361);
    EXPECT_EQ(FreqToCode(20.2), 1);
    EXPECT_EQ(FreqToCode(94.5), 82);
    EXPECT_EQ(QToCode(0.71), 10);
    EXPECT_EQ(QToCode(0.4), 0);
    EXPECT_EQ(QToCode(128), 100);
}

TEST(DataConverTest, OutOfRangeInputsStayInsideTheTables) {
    EXPECT_EQ(FreqToCode(5), 0);
    EXPECT_EQ(FreqToCode(-1), 0);
    EXPECT_EQ(FreqToCode(99999), 361);
    EXPECT_EQ(FreqToCode(NAN), 0);
    EXPECT_EQ(QToCode(0.1), 0);
    EXPECT_EQ(QToCode(500), 100);
    EXPECT_DOUBLE_EQ(CodeToFreq(400), 20600);
    EXPECT_DOUBLE_EQ(CodeToFreq(-3), 19.7);
    EXPECT_DOUBLE_EQ(CodeToQ(101), 128);
}

TEST(DataConverTest, GainCodes) {
    EXPECT_EQ(GainToCode(0), 120);
    EXPECT_EQ(GainToCode(-24), 0);
    EXPECT_EQ(GainToCode(24), 240);
    EXPECT_EQ(GainToCode(-30), 0);
    EXPECT_EQ(GainToCode(40), 240);
    EXPECT_DOUBLE_EQ(CodeToGain(240), 24);
    EXPECT_DOUBLE_EQ(CodeToGain(120), 0);
    for (int c = 0; c <= 240; ++c) {
        EXPECT_EQ(GainToCode(CodeToGain(c)), c);
    }
}
