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

TEST(DataConverTest, TablesAscendSoTheNearestSearchHolds) {
    for (int i = 1; i < kFreqCodes; ++i) {
        EXPECT_LT(kFreqTable[i - 1], kFreqTable[i]) << i;
    }
    for (int i = 1; i < kQCodes; ++i) {
        EXPECT_LT(kQTable[i - 1], kQTable[i]) << i;
    }
    EXPECT_DOUBLE_EQ(CodeToFreq(2), 20.5);
    EXPECT_DOUBLE_EQ(CodeToFreq(204), 1000);
    EXPECT_DOUBLE_EQ(CodeToQ(10), 0.71);
    // Every table value finds its own code, and a point just above a midpoint the upper one.
    for (int c = 0; c < kFreqCodes; ++c) {
        EXPECT_EQ(FreqToCode(CodeToFreq(c)), c);
    }
    for (int c = 0; c < kQCodes; ++c) {
        EXPECT_EQ(QToCode(CodeToQ(c)), c);
    }
    EXPECT_EQ(QToCode((0.4 + 0.42) / 2 + 1e-9), 1);
    EXPECT_EQ(QToCode(0.405), 0);
}
