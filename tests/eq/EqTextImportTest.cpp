// Filter text onto an equaliser and back: placement, refusals, round trip, and how close the
// result comes to the response the text describes.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "CurveSets.h"
#include "DataConver.h"
#include "EqTextImport.h"
#include "EqTextWriter.h"
#include "FilterTextReader.h"
#include "ParameterSet.h"

using namespace qx;

namespace {

class EqTextImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        image = std::make_unique<ParamImage>();
        std::memcpy(image.get(), &ParameterSet, sizeof(ParamImage));
    }

    EqImportPlan Plan(const std::string& text, int eq, int scene = 1) {
        const FilterText t = CFilterTextReader::Read(text);
        return CEqTextImport::Plan(t, image->program, eq, scene);
    }
    // Plans and applies; the plan must be accepted.
    EqImportPlan Import(const std::string& text, int eq, int scene = 1) {
        EqImportPlan plan = Plan(text, eq, scene);
        EXPECT_TRUE(plan.Ok()) << Errors(plan);
        EXPECT_TRUE(CEqTextImport::Apply(plan, image->program));
        return plan;
    }
    static std::string Errors(const EqImportPlan& plan) {
        std::string s;
        for (const TextProblem& p : plan.errors) {
            s += std::to_string(p.line) + ": " + p.message + "\n";
        }
        return s;
    }
    static std::vector<int> ErrorLines(const EqImportPlan& plan) {
        std::vector<int> lines;
        for (const TextProblem& p : plan.errors) {
            lines.push_back(p.line);
        }
        return lines;
    }
    std::vector<uint8_t> Bytes() const {
        const auto* p = reinterpret_cast<const uint8_t*>(&image->program);
        return {p, p + sizeof(ProgramImage)};
    }

    std::unique_ptr<ParamImage> image;
};

// ---- the response a text describes, from the textbook biquad formulas ----

constexpr double kRate = 192000.0;

struct Section {
    double b0, b1, b2, a0, a1, a2;
    double Db(double hz) const {
        const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / kRate);
        const std::complex<double> z2 = z1 * z1;
        return 20.0 * std::log10(std::abs((b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2)));
    }
};

// Peaking, low shelf, high shelf and second-order high and low pass as the audio cookbook
// gives them; shelves with a slope S take 1/Q = sqrt((A + 1/A)(1/S - 1) + 2).
Section Cookbook(const std::string& type, double f0, double gainDb, double q) {
    const double w0 = 2.0 * std::numbers::pi * f0 / kRate;
    const double cs = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double A = std::pow(10.0, gainDb / 40.0);
    const double r = 2.0 * std::sqrt(A) * alpha;
    if (type == "PK") {
        return {1 + alpha * A, -2 * cs, 1 - alpha * A, 1 + alpha / A, -2 * cs, 1 - alpha / A};
    }
    if (type == "LS") {
        return {A * ((A + 1) - (A - 1) * cs + r), 2 * A * ((A - 1) - (A + 1) * cs),
                A * ((A + 1) - (A - 1) * cs - r), (A + 1) + (A - 1) * cs + r,
                -2 * ((A - 1) + (A + 1) * cs),    (A + 1) + (A - 1) * cs - r};
    }
    if (type == "HS") {
        return {A * ((A + 1) + (A - 1) * cs + r), -2 * A * ((A - 1) + (A + 1) * cs),
                A * ((A + 1) + (A - 1) * cs - r), (A + 1) - (A - 1) * cs + r,
                2 * ((A - 1) - (A + 1) * cs),     (A + 1) - (A - 1) * cs - r};
    }
    if (type == "HP") {
        return {(1 + cs) / 2, -(1 + cs), (1 + cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};
    }
    return {(1 - cs) / 2, 1 - cs, (1 - cs) / 2, 1 + alpha, -2 * cs, 1 - alpha};  // LP
}

double SlopeQ(double slopeDb, double gainDb) {
    const double A = std::pow(10.0, gainDb / 40.0);
    return 1.0 / std::sqrt((A + 1.0 / A) * (12.0 / slopeDb - 1.0) + 2.0);
}

struct Asked {
    std::string type;  // PK, LS, HS, HP, LP
    double hz;
    double gainDb;
    double q;
};

// A measurement program's export of the filters.
std::string ExportText(const std::vector<Asked>& filters) {
    std::string text =
        "Filter Settings file\r\n\r\nRoom EQ V5.20.13\r\nEqualiser: Generic\r\n"
        "Average 1\r\n";
    int n = 0;
    for (const Asked& f : filters) {
        char line[160];
        if (f.type == "HP" || f.type == "LP") {
            std::snprintf(line, sizeof line, "Filter %2d: ON  %sQ      Fc %6.1f Hz  Q %.3f\r\n",
                          ++n, f.type.c_str(), f.hz, f.q);
        } else {
            std::snprintf(line, sizeof line,
                          "Filter %2d: ON  %s%s      Fc %6.1f Hz  Gain %5.1f dB  Q %.3f\r\n", ++n,
                          f.type.c_str(), f.type == "PK" ? "" : "C", f.hz, f.gainDb, f.q);
        }
        text += line;
    }
    return text;
}

}  // namespace

TEST_F(EqTextImportTest, FiltersTakeBandsInOrderAndTheRestAreBypassed) {
    // Start from an equaliser with every band active, so that bypassing shows.
    for (EqBand& b : image->program.Mic1.bands) {
        b.type = 1;
    }
    const EqImportPlan plan = Import(
        "Filter 1: ON PK Fc 94.5 Hz Gain -2.5 dB Q 4.21\n"  // a frequency tie and a gain tie
        "Filter 2: ON LSC Fc 105 Hz Gain 3 dB Q 0.71\n"
        "Filter 3: ON HSC Fc 8000 Hz Gain -1.5 dB Q 0.7\n"
        "Filter 4: ON HP Fc 28 Hz\n"
        "Filter 5: ON LPQ Fc 18000 Hz Q 0.5\n",
        kEqMic1);
    const MicChannel& m = image->program.Mic1;
    // The editor's own conversions, ties included: 94.5 Hz lies halfway between 94.0 and 95.0
    // and takes the higher; -2.5 dB lies halfway between two gain codes.
    EXPECT_EQ(m.bands[0].freqCode, FreqToCode(94.5));
    EXPECT_EQ(m.bands[0].freqCode, 82);
    EXPECT_EQ(m.bands[0].gainCode, GainToCode(-2.5));
    EXPECT_EQ(m.bands[0].qCode, QToCode(4.21));
    EXPECT_EQ(m.bands[0].type, 1);
    EXPECT_EQ(m.bands[1].type, 2);
    EXPECT_EQ(m.bands[1].qCode, 10);
    EXPECT_EQ(m.bands[2].type, 3);
    for (int b = 3; b < 20; ++b) {
        EXPECT_EQ(m.bands[b].type, 0) << b;
        EXPECT_EQ(m.bands[b].freqCode, ParameterSet.program.Mic1.bands[b].freqCode) << b;
    }
    // Pass filters: Butterworth for a plain HP, Linkwitz-Riley for Q 0.5.
    EXPECT_EQ(m.hpf.kind, 0);
    EXPECT_EQ(m.hpf.freqCode, FreqToCode(28.0));
    EXPECT_EQ(m.hpf.slope, 3);
    EXPECT_EQ(m.lpf.kind, 1);
    EXPECT_EQ(m.lpf.slope, 4);
    // Nothing else of the image moved.
    EXPECT_EQ(std::memcmp(&image->program.Mic2, &ParameterSet.program.Mic2, sizeof(MicChannel)), 0);
    EXPECT_EQ(CEqTextImport::Describe(plan.steps[0]),
              "band 1  PK  Fc 94.5 Hz -> 95.0 Hz, Q 4.21 -> 4.2, Gain -2.5 -> -2.4 dB");
}

TEST_F(EqTextImportTest, WhatTheBandsCannotExpressIsRefusedWholeWithLineNumbers) {
    const std::vector<uint8_t> before = Bytes();
    auto refused = [&](const std::string& text, int eq, std::vector<int> lines) {
        const EqImportPlan plan = Plan(text, eq);
        EXPECT_FALSE(plan.Ok()) << text;
        EXPECT_EQ(ErrorLines(plan), lines) << Errors(plan);
        EXPECT_FALSE(CEqTextImport::Apply(plan, image->program));
        EXPECT_EQ(Bytes(), before) << text;
    };
    // Out of range: gain, Q, frequency; the good lines do not go through on their own.
    refused(
        "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
        "Filter 2: ON PK Fc 200 Hz Gain -30 dB Q 2\n"
        "Filter 3: ON PK Fc 300 Hz Gain 3 dB Q 150\n"
        "Filter 4: ON PK Fc 15 Hz Gain 3 dB Q 2\n"
        "Filter 5: ON PK Fc 21000 Hz Gain 3 dB Q 0.3\n",
        kEqEchoA, {2, 3, 4, 5, 5});
    // More filters than bands: Echo A has 7; the eighth and ninth are refused.
    std::string many;
    for (int i = 1; i <= 9; ++i) {
        many += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(100 * i) +
                " Hz Gain -1 dB Q 1\n";
    }
    refused(many, kEqEchoA, {8, 9});
    // The dynamic equaliser works within +-12 dB and has no pass filters.
    refused("Filter 1: ON PK Fc 100 Hz Gain -13 dB Q 2\nFilter 2: ON HP Fc 30 Hz\n", kEqDynamicLeft,
            {1, 2});
    // A pass filter Q that no slope has, and a second high-pass.
    refused("Filter 1: ON HPQ Fc 30 Hz Q 1.2\n", kEqMusicLeft, {1});
    refused("Filter 1: ON HP Fc 30 Hz\nFilter 2: ON HP Fc 40 Hz\n", kEqMusicLeft, {2});
    // A line the reader could not take refuses the import too.
    refused("Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\nGraphicEQ: 25 -2; 40 4\n", kEqMusicLeft,
            {2});
}

TEST_F(EqTextImportTest, OffFiltersKeepTheirPlaceOrGiveWayToOnFilters) {
    // Everything fits: the OFF filter holds band 2, bypassed with its values.
    Import(
        "Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 2\n"
        "Filter 2: OFF PK Fc 200 Hz Gain 4 dB Q 3\n"
        "Filter 3: ON PK Fc 300 Hz Gain -2 dB Q 1\n",
        kEqEchoA);
    const EchoBlock& e = image->program.EchoA;
    EXPECT_EQ(e.bands[1].type, 0);
    EXPECT_EQ(e.bands[1].freqCode, FreqToCode(200.0));
    EXPECT_EQ(e.bands[1].gainCode, GainToCode(4.0));
    EXPECT_EQ(e.bands[2].type, 1);
    EXPECT_EQ(e.bands[2].freqCode, FreqToCode(300.0));

    // Seven ON filters and one OFF on seven bands: the OFF one is left out, and said so.
    std::string text;
    for (int i = 1; i <= 8; ++i) {
        text += "Filter " + std::to_string(i) + (i == 2 ? ": OFF" : ": ON") + " PK Fc " +
                std::to_string(100 * i) + " Hz Gain -1 dB Q 1\n";
    }
    const EqImportPlan plan = Import(text, kEqEchoA);
    EXPECT_EQ(e.bands[1].freqCode, FreqToCode(300.0));
    ASSERT_FALSE(plan.notes.empty());
    EXPECT_EQ(plan.notes[0].line, 2);
}

TEST_F(EqTextImportTest, ExportThenImportGivesTheSameBytes) {
    // Active bands with gaps, shelves, extreme codes and second-order pass filters of every
    // family, on equalisers of every kind.
    MusicChannel& m = image->program.MusicLeft;
    const int types[15] = {1, 0, 2, 3, 0, 1, 1, 0, 3, 2, 1, 0, 0, 0, 0};
    for (int b = 0; b < 15; ++b) {
        m.bands[b].type = static_cast<uint8_t>(types[b]);
        m.bands[b].freqCode = static_cast<uint16_t>(b * 25 + (b == 14 ? 11 : 0));
        m.bands[b].gainCode = static_cast<uint8_t>((b * 37) % 241);
        m.bands[b].qCode = static_cast<uint8_t>((b * 13) % 101);
    }
    auto pass = [](PassFilter& p, int kind, int code, int slope) {
        p.kind = static_cast<uint8_t>(kind);
        p.freqCode = static_cast<uint16_t>(code);
        p.slope = static_cast<uint8_t>(slope);
    };
    auto band = [](EqBand& b, int code, int gain, int q, int type) {
        b.freqCode = static_cast<uint16_t>(code);
        b.gainCode = static_cast<uint8_t>(gain);
        b.qCode = static_cast<uint8_t>(q);
        b.type = static_cast<uint8_t>(type);
    };
    pass(m.hpf, 0, 73, 2);   // Bessel
    pass(m.lpf, 1, 361, 3);  // Butterworth
    OutputChannelRecord& sub = image->program.scenes[1].channels[3];
    band(sub.bands[9], 0, 240, 100, 1);
    pass(sub.hpf, 0, 0, 4);    // Linkwitz-Riley
    pass(sub.lpf, 1, 300, 9);  // 24 dB: a comment only
    band(image->program.MusicRight.deq[1].band, 279, 60, 100, 3);

    for (const auto& [eq, scene] : std::vector<std::pair<int, int>>{
             {kEqMusicLeft, 1}, {kEqOutputFirst + 3, 2}, {kEqDynamicRight, 1}, {kEqMic2, 1}}) {
        const std::string text = CEqTextWriter::Write(image->program, eq, scene);
        const std::vector<uint8_t> before = Bytes();
        const EqImportPlan plan = Plan(text, eq, scene);
        ASSERT_TRUE(plan.Ok()) << text << Errors(plan);
        ASSERT_TRUE(CEqTextImport::Apply(plan, image->program));
        EXPECT_EQ(Bytes(), before) << "equaliser " << eq << "\n" << text;
        EXPECT_LT(plan.maxDeviationDb, 1e-6) << text;
    }
    const std::string output = CEqTextWriter::Write(image->program, kEqOutputFirst + 3, 2);
    EXPECT_NE(output.find("# Low-pass 24dBLink-Riley"), std::string::npos) << output;
    EXPECT_NE(output.find("HPQ Fc 19.7 Hz Q 0.5"), std::string::npos) << output;
    EXPECT_TRUE(CEqTextWriter::Write(image->program, 99, 1).empty());
}

TEST_F(EqTextImportTest, TypicalMeasurementFiltersStayWithinHalfADecibelOfTheText) {
    const std::vector<std::vector<Asked>> exports = {
        // A subwoofer-range room correction: deep, narrow cuts.
        {{"PK", 31.7, -7.9, 5.113},
         {"PK", 42.5, -6.8, 4.21},
         {"PK", 63.0, -5.0, 4.0},
         {"PK", 88.6, -9.6, 6.48},
         {"PK", 118.0, -4.2, 2.87},
         {"PK", 147.0, 3.0, 3.5},
         {"PK", 183.0, -3.4, 4.9},
         {"PK", 247.0, 2.5, 1.95}},
        // Full range with shelves, high-pass and low-pass.
        {{"HP", 28.0, 0.0, 0.707},
         {"LS", 105.0, 3.0, 0.71},
         {"PK", 325.0, -2.7, 1.8},
         {"PK", 1480.0, -2.1, 1.2},
         {"PK", 2630.0, 1.6, 2.4},
         {"PK", 4120.0, -3.3, 3.1},
         {"HS", 8000.0, -1.5, SlopeQ(6.0, -1.5)},
         {"LP", 18500.0, 0.0, 0.5}},
        // Gentle broad corrections of a vocal channel.
        {{"PK", 160.0, -1.4, 0.9},
         {"PK", 720.0, 1.1, 1.4},
         {"PK", 3150.0, 2.2, 0.8},
         {"PK", 6600.0, -2.6, 2.2},
         {"HS", 12000.0, 1.0, 0.71}},
    };
    for (const auto& filters : exports) {
        SetUp();
        const std::string text = ExportText(filters);
        const EqImportPlan plan = Import(text, kEqMusicLeft);
        const auto total = EqTotalResponse(*image, kEqMusicLeft, 1);
        ASSERT_EQ(total.size(), 420u);
        double worst = 0.0;
        double at = 0.0;
        for (const auto& [hz, db] : total) {
            double asked = 0.0;
            for (const Asked& f : filters) {
                asked += Cookbook(f.type, f.hz, f.gainDb, f.q).Db(hz);
            }
            if (std::fabs(db - asked) > worst) {
                worst = std::fabs(db - asked);
                at = hz;
            }
        }
        EXPECT_LT(worst, 0.5) << "at " << at << " Hz\n" << text;
        // The figure the import reports is the same comparison.
        EXPECT_NEAR(plan.maxDeviationDb, worst, 0.05) << text;
    }
}
