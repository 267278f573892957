// What a person reads about a filter import: in Chinese every refusal and note is Chinese (only
// units, filter-type words and the quoted line stay as written); in English the wording qxctl
// users and their scripts know is kept.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "EqImportReport.h"
#include "EqTextImport.h"
#include "FilterTextReader.h"
#include "ParameterSet.h"
#include "TextPair.h"

using namespace qx;

namespace {

// A text with a line for each way a filter line can be wrong, then filters that read well but
// that the equaliser cannot take.
std::string EveryRefusal() {
    std::string text =
        "Channel: L\n"
        "Filter 1: MAYBE PK Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter 2: ON\n"
        "Filter 3: ON None 5\n"
        "Filter 4: ON BP Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter 5: ON LS loud Fc 100 Hz Gain 1 dB\n"
        "Filter 6: ON PK Fc 100 Hz Width 3\n"
        "Filter 7: ON PK Fc abc Gain 1 dB Q 1\n"
        "Filter 8: ON PK Gain 3 dB Q 1\n"
        "Filter 9: ON HP Fc 30 Hz Gain 3 dB\n"
        "Filter 10: ON PK Fc 100 Hz Q 1\n"
        "Filter 11: ON PK Fc 100 Hz Gain 3 dB\n"
        "Filter 12: ON LS Fc 100 Hz Gain 3 dB Q 0\n"
        "Filter 13: ON LS 6dB Fc 100 Hz Gain 3 dB Q 1\n"
        "Filter 14: ON LS 18dB Fc 100 Hz Gain 3 dB\n"
        "Preamp: loud\n"
        "Filter 20: ON PK Fc 15 Hz Gain 30 dB Q 150\n"
        "Filter 21: ON HPQ Fc 30 Hz Q 1.2\n"
        "Filter 22: ON HP Fc 30 Hz\n"
        "Filter 23: ON HP Fc 40 Hz\n";
    text += std::string(1200, 'x') + "\n";
    for (int i = 30; i < 40; ++i) {  // Echo A has 7 bands
        text += "Filter " + std::to_string(i) + ": ON PK Fc 1000 Hz Gain 1 dB Q 1\n";
    }
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool HasChinese(const std::string& line) {
    for (unsigned char c : line) {
        if (c >= 0xE4 && c <= 0xE9) {  // the lead byte of a CJK ideograph in UTF-8
            return true;
        }
    }
    return false;
}

// The English words of a line outside the quoted text, the units and the words of the filter
// text itself, which a message names as the file has them.
std::vector<std::string> ForeignWords(std::string line) {
    static const std::set<std::string> kept = {
        "dB",     "Hz",     "Fc",       "ON",          "OFF",         "PK",    "LS",   "LSC",
        "HS",     "HSC",    "HP",       "LP",          "HPQ",         "LPQ",   "None", "Preamp",
        "ByPass", "Bessel", "Linkwitz", "Butterworth", "Butuerworth", "Riley", "Link", "UTF",
        "ANSI",   "EQ",     "BP",       "FC",          "Gain",        "GAIN",
    };
    line = std::regex_replace(line, std::regex("'[^']*'"), "");
    std::vector<std::string> foreign;
    const std::regex word("[A-Za-z]{2,}");
    for (auto it = std::sregex_iterator(line.begin(), line.end(), word);
         it != std::sregex_iterator(); ++it) {
        if (kept.count(it->str()) == 0) {
            foreign.push_back(it->str());
        }
    }
    return foreign;
}

class EqImportReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        image = std::make_unique<ProgramImage>();
        std::memcpy(image.get(), &ParameterSet.program, sizeof(ProgramImage));
    }
    void TearDown() override { useChinese = false; }

    EqImportPlan Plan(const std::string& text, int eq) const {
        return CEqTextImport::Plan(CFilterTextReader::Read(text), *image, eq, 1);
    }
    // Each line of the report is Chinese, or (when allowed) only kept words and numbers.
    static void ExpectChinese(const std::string& report, bool everyLine) {
        for (const std::string& line : Lines(report)) {
            if (everyLine) {
                EXPECT_TRUE(HasChinese(line)) << line;
            }
            EXPECT_EQ(ForeignWords(line), std::vector<std::string>{}) << line;
        }
    }

    std::unique_ptr<ProgramImage> image;
};

TEST_F(EqImportReportTest, EveryRefusalIsChineseInTheChineseInterface) {
    useChinese = true;
    const EqImportPlan plan = Plan(EveryRefusal(), kEqEchoA);
    ASSERT_FALSE(plan.Ok());
    EXPECT_GE(plan.errors.size(), 24u);
    ExpectChinese(ImportRefusalText(plan), true);
    // The equaliser's own refusals: no such equaliser, no pass filter on the dynamic one.
    ExpectChinese(ImportRefusalText(Plan("Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n", 99)), true);
    ExpectChinese(ImportRefusalText(Plan("Filter 1: ON HP Fc 30 Hz\n", kEqDynamicLeft)), true);
    ExpectChinese(ImportRefusalText(Plan("\xFF\xFE"
                                         "F\0i\0",
                                         kEqMusicLeft)),
                  true);
}

TEST_F(EqImportReportTest, StepsAndNotesAreChineseInTheChineseInterface) {
    useChinese = true;
    image->MusicLeft.eqBypass = 1;
    image->MusicLeft.lpf.slope = 3;  // kept and left out of the comparison
    std::string text = "Preamp: -3 dB\nFilter 1: ON HP Fc 30 Hz\n";
    for (int i = 2; i <= 17; ++i) {  // 15 bands: one OFF filter gives way
        text += "Filter " + std::to_string(i) + (i == 3 ? ": OFF" : ": ON") + " PK Fc " +
                std::to_string(100 * i) + " Hz Gain -1 dB Q 1\n";
    }
    const EqImportPlan plan = Plan(text, kEqMusicLeft);
    ASSERT_TRUE(plan.Ok()) << ImportRefusalText(plan);
    EXPECT_EQ(plan.notes.size(), 4u);
    const std::string report = ImportSummaryText(plan);
    ExpectChinese(report, false);
    std::size_t chineseLines = 0;
    for (const std::string& line : Lines(report)) {
        chineseLines += HasChinese(line) ? 1 : 0;
    }
    // Every band step, every note and the deviation; only the high-pass step has no word.
    EXPECT_EQ(chineseLines, Lines(report).size() - 1) << report;

    // A switched-off filter that keeps its band says so.
    const EqImportPlan off = Plan("Filter 1: OFF PK Fc 100 Hz Gain 2 dB Q 1\n", kEqMusicLeft);
    ASSERT_TRUE(off.Ok());
    EXPECT_NE(CEqTextImport::Describe(off.steps[0]).find("已旁通"), std::string::npos);
}

TEST_F(EqImportReportTest, EnglishKeepsItsWording) {
    const EqImportPlan plan = Plan(EveryRefusal(), kEqEchoA);
    const std::string report = ImportRefusalText(plan);
    for (const char* said : {
             "line 2: expected ON or OFF after the colon: 'Filter 1: MAYBE PK",
             "line 5: filter type BP has no equivalent in the equaliser",
             "filter 20: the frequency 15 Hz (19.7 to 20600 Hz) is outside the frequency range",
             "filter 20: the Q 150 (0.4 to 128) is outside the Q range of the equaliser",
             "filter 23: a second high-pass filter; EchoA has one",
             "filter 37 does not fit: EchoA has 7 bands and",
             "Nothing was changed.",
         }) {
        EXPECT_NE(report.find(said), std::string::npos) << said << "\n" << report;
    }
    EXPECT_TRUE(ForeignWords(report).size() > 20);
    const EqImportPlan dynamic = Plan("Filter 1: ON HP Fc 30 Hz\n", kEqDynamicLeft);
    EXPECT_EQ(dynamic.errors.at(0).message, "filter 1: Dynamic EQ left has no high-pass filter");
}

}  // namespace
