// Reading filter text as measurement and system-wide equaliser programs write it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FilterTextReader.h"

using namespace qx;

namespace {

std::string ProblemLines(const FilterText& t) {
    std::string s;
    for (const TextProblem& p : t.problems) {
        s += std::to_string(p.line) + ": " + p.message + "\n";
    }
    return s;
}

}  // namespace

TEST(FilterTextReaderTest, MeasurementExportWithHeaderBomAndWindowsLineEnds) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Filter Settings file\r\n"
        "\r\n"
        "Room EQ V5.20.13\r\n"
        "Dated: 3 Dec 2026 21:14:05\r\n"
        "\r\n"
        "Notes: main left, listening position\r\n"
        "\r\n"
        "Equaliser: Generic\r\n"
        "Main L 1m avg\r\n"
        "Filter  1: ON  PK       Fc   63.0 Hz  Gain  -5.00 dB  Q  4.000\r\n"
        "Filter  2: ON  LS       Fc    105 Hz  Gain   3.00 dB\r\n"
        "Filter  3: ON  HS 6dB   Fc   8000 Hz  Gain  -1.50 dB\r\n"
        "Filter  4: ON  HP       Fc   28.0 Hz\r\n"
        "Filter  5: ON  None\r\n"
        "Filter  6: OFF PK       Fc   1000 Hz  Gain   2.00 dB  Q  1.000\r\n";
    const FilterText t = CFilterTextReader::Read(text);
    ASSERT_TRUE(t.problems.empty()) << ProblemLines(t);
    ASSERT_EQ(t.filters.size(), 5u);  // the empty slot is no filter

    const TextFilter& pk = t.filters[0];
    EXPECT_EQ(pk.line, 10);
    EXPECT_EQ(pk.number, 1);
    EXPECT_TRUE(pk.on);
    EXPECT_EQ(pk.kind, TextFilterKind::Peaking);
    EXPECT_DOUBLE_EQ(pk.hz, 63.0);
    EXPECT_DOUBLE_EQ(pk.gainDb, -5.0);
    EXPECT_DOUBLE_EQ(pk.q, 4.0);

    // A shelf without Q or slope has slope 1; a slope in dB/octave gives a gain-dependent Q.
    EXPECT_EQ(t.filters[1].kind, TextFilterKind::LowShelf);
    EXPECT_NEAR(t.filters[1].q, 0.7071, 1e-4);
    EXPECT_EQ(t.filters[2].kind, TextFilterKind::HighShelf);
    EXPECT_DOUBLE_EQ(t.filters[2].slopeDb, 6.0);
    EXPECT_NEAR(t.filters[2].q, ShelfSlopeToQ(6.0, -1.5), 1e-12);
    EXPECT_LT(t.filters[2].q, 0.51);
    EXPECT_GT(t.filters[2].q, 0.49);

    EXPECT_EQ(t.filters[3].kind, TextFilterKind::HighPass);
    EXPECT_NEAR(t.filters[3].q, 0.7071, 1e-4);
    EXPECT_FALSE(t.filters[3].qGiven);
    EXPECT_FALSE(t.filters[4].on);
    EXPECT_EQ(t.filters[4].line, 15);
}

TEST(FilterTextReaderTest, SystemEqualiserFileWithPreampCommentsAndOffLines) {
    const std::string text =
        "# living room, after REW\n"
        "Preamp: -5.4 dB\n"
        "\n"
        "Filter: ON PK Fc 53 Hz Gain -2.3 dB Q 1\n"
        "Filter: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.71\n"
        "Filter: OFF PEQ Fc 140 Hz Gain -1.8 dB Q 0.7\n"
        "Filter: ON HSC 12 dB Fc 10000 Hz Gain -1 dB\n"
        "Filter: ON PK Fc 2.5 kHz Gain +1.5 dB BW Oct 1.0\n"
        "Filter: ON LPQ Fc 18000 Hz Q 0.5\n"
        "Preamp: -1 dB\n";
    const FilterText t = CFilterTextReader::Read(text);
    ASSERT_TRUE(t.problems.empty()) << ProblemLines(t);
    EXPECT_TRUE(t.hasPreamp);
    EXPECT_NEAR(t.preampDb, -6.4, 1e-9);  // repeated Preamp lines add up
    EXPECT_EQ(t.preampLine, 2);
    ASSERT_EQ(t.filters.size(), 6u);
    EXPECT_EQ(t.filters[0].number, 0);
    EXPECT_EQ(t.filters[1].kind, TextFilterKind::LowShelf);
    EXPECT_DOUBLE_EQ(t.filters[1].q, 0.71);
    EXPECT_FALSE(t.filters[2].on);
    EXPECT_EQ(t.filters[2].kind, TextFilterKind::Peaking);
    EXPECT_NEAR(t.filters[3].q, 0.7071, 1e-4);  // 12 dB per octave is slope 1
    EXPECT_DOUBLE_EQ(t.filters[4].hz, 2500.0);
    EXPECT_DOUBLE_EQ(t.filters[4].gainDb, 1.5);
    EXPECT_NEAR(t.filters[4].q, 1.4142, 1e-4);  // one octave
    EXPECT_EQ(t.filters[5].kind, TextFilterKind::LowPass);
    EXPECT_DOUBLE_EQ(t.filters[5].q, 0.5);
}

TEST(FilterTextReaderTest, EveryLineThatCannotBeTakenIsReportedWithItsNumber) {
    const std::string text =
        "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"      // 1 fine
        "Channel: L\n"                                    // 2 unknown command
        "Filter 2: ON PK Fc 100 Hz Gain -3 dB\n"          // 3 no Q
        "Filter 3: ON BP Fc 100 Hz Q 2\n"                 // 4 no band can do this
        "Filter 4: ON PK Fc nan Hz Gain -3 dB Q 2\n"      // 5 not a number
        "Filter 5: PK Fc 100 Hz Gain -3 dB Q 2\n"         // 6 no ON/OFF
        "Filter 6: ON PK Fc 100 Hz Gain -3 dB Q 0\n"      // 7 Q of zero
        "Filter 7: ON HP Fc 100 Hz Gain 3 dB\n"           // 8 gain on a pass filter
        "Filter 8: ON LS 6dB Fc 100 Hz Gain 3 dB Q 1\n"   // 9 slope and Q
        "Filter 9: ON PK Fc 100 Hz Gain -3 dB Q 2 Q 3\n"  // 10 Q twice
        "Filter 10: ON PK Fc 100 Gain -3 dB Q 2\n"        // 11 Fc without unit
        "Filter 11: ON LS 24dB Fc 100 Hz Gain 3 dB\n"     // 12 slope too steep
        "Preamp: loud\n"                                  // 13
        "Filter 12: ON PK Fc 1e400 Hz Gain -3 dB Q 2\n"   // 14 overflows
        "Filter 13: ON PK Fc 100 Hz Gain -3 dB Q 2\n";    // 15 fine
    const FilterText t = CFilterTextReader::Read(text);
    std::vector<int> lines;
    for (const TextProblem& p : t.problems) {
        lines.push_back(p.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}))
        << ProblemLines(t);
    ASSERT_EQ(t.filters.size(), 2u);
    EXPECT_EQ(t.filters[1].line, 15);
    // The message quotes the line so the user finds it.
    EXPECT_NE(t.problems[0].message.find("Channel: L"), std::string::npos);
    EXPECT_NE(t.problems[2].message.find("BP"), std::string::npos);
}

TEST(FilterTextReaderTest, HeaderLinesAreOnlyTakenAboveTheFirstFilterOfAnExport) {
    // Without the export's first line, free text is unknown.
    FilterText t =
        CFilterTextReader::Read("Room EQ V5.20\nFilter 1: ON PK Fc 1 kHz Gain 1 dB Q 1\n");
    ASSERT_EQ(t.problems.size(), 1u);
    EXPECT_EQ(t.problems[0].line, 1);

    // After the first filter of an export, free text is unknown again.
    t = CFilterTextReader::Read(
        "Filter Settings file\nMeasurement 3\nFilter 1: ON PK Fc 1 kHz Gain 1 dB Q 1\nstray\n");
    ASSERT_EQ(t.problems.size(), 1u);
    EXPECT_EQ(t.problems[0].line, 4);
    EXPECT_EQ(t.filters.size(), 1u);
}

TEST(FilterTextReaderTest, OddEncodingsAndLineEnds) {
    // UTF-16, as some editors save configuration files, is refused as a whole.
    const FilterText utf16 =
        CFilterTextReader::Read(std::string("\xFF\xFE"
                                            "F\0i\0",
                                            6));
    ASSERT_EQ(utf16.problems.size(), 1u);
    EXPECT_TRUE(utf16.filters.empty());

    // Old Macintosh line ends, no line end at the end, tabs between words, lower case.
    const FilterText t = CFilterTextReader::Read(
        "filter 1:\ton\tpk\tfc 50hz gain -2db q 3\rFilter 2: ON HP Fc 30 Hz");
    ASSERT_TRUE(t.problems.empty()) << ProblemLines(t);
    ASSERT_EQ(t.filters.size(), 2u);
    EXPECT_DOUBLE_EQ(t.filters[0].hz, 50.0);
    EXPECT_EQ(t.filters[1].line, 2);

    // A binary or enormous line is reported, not read.
    const FilterText big = CFilterTextReader::Read(std::string(5000, 'x') + "\n");
    ASSERT_EQ(big.problems.size(), 1u);
    EXPECT_TRUE(CFilterTextReader::Read("").filters.empty());
}

TEST(FilterTextReaderTest, SlopeAndBandwidthConversionsFollowTheTextbook) {
    // Slope 1 is Q 1/sqrt(2) at every gain; a bandwidth of one octave is Q sqrt(2).
    for (double g : {-12.0, -3.0, 0.0, 6.0}) {
        EXPECT_NEAR(ShelfSlopeToQ(12.0, g), 1.0 / std::sqrt(2.0), 1e-12);
    }
    EXPECT_NEAR(OctavesToQ(1.0), std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(OctavesToQ(2.0), 2.0 / 3.0, 1e-12);
    // Gentler slopes widen the shelf (lower Q), more so at larger gains.
    EXPECT_LT(ShelfSlopeToQ(6.0, 12.0), ShelfSlopeToQ(6.0, 3.0));
}
