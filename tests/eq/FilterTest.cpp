#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <vector>

#include "DataConver.h"
#include "Filter.h"

using namespace qx;

namespace {

constexpr double kPi = std::numbers::pi;

int GridIndexOfCode(int code) {
    return kGridCodeOffset + code;
}

EqBand MakeBand(int freqCode, int gainCode, int qCode, int type) {
    EqBand b{};
    b.freqCode = static_cast<uint16_t>(freqCode);
    b.gainCode = static_cast<uint8_t>(gainCode);
    b.qCode = static_cast<uint8_t>(qCode);
    b.type = static_cast<uint8_t>(type);
    return b;
}

PassFilter MakePass(int kind, int freqCode, int slope) {
    PassFilter p{};
    p.kind = static_cast<uint8_t>(kind);
    p.freqCode = static_cast<uint16_t>(freqCode);
    p.slope = static_cast<uint8_t>(slope);
    return p;
}

// Level in dB between two grid points per octave.
double SlopePerOctave(const CFilter::Response& r, int i1, int i2) {
    const auto& g = DisplayGrid();
    return (r[i2] - r[i1]) / std::log2(g[i2].hz / g[i1].hz);
}

}  // namespace

TEST(FilterTest, PeakingBandReachesItsGainAtItsFrequency) {
    EqBand band = MakeBand(204, 180, 10, 1);
    CFilter f;
    f.AttachBand(&band);
    const auto& r = f.GetResponse();
    EXPECT_NEAR(r[239], 12.0, 1e-9);
    EXPECT_NEAR(r[0], 0.0, 0.01);
    EXPECT_NEAR(r[419], 0.0, 0.1);
    for (double v : r) {
        EXPECT_LE(v, 12.0 + 1e-9);
        EXPECT_GE(v, -1e-9);
    }
}

TEST(FilterTest, LowShelfLevels) {
    // No code gives exactly 100 Hz; code 84 is 99.0 Hz.
    EqBand band = MakeBand(84, 150, 10, 2);  // +6 dB, Q 0.71
    CFilter f;
    f.AttachBand(&band);
    const auto& r = f.GetResponse();
    EXPECT_NEAR(r[0], 6.0, 0.05);
    EXPECT_NEAR(r[GridIndexOfCode(204)], 0.0, 0.05);
    // A shelf is at half its gain at its own frequency, whatever its Q.
    EXPECT_NEAR(r[GridIndexOfCode(84)], 3.0, 1e-9);

    // One code above (101 Hz): the analog shelf prototype mapped by the bilinear transform,
    // evaluated with complex arithmetic.
    const double f0 = 99.0;
    const double f1 = 101.0;
    const double A = std::pow(10.0, 6.0 / 40.0);
    const double q = 0.71;
    const double warp = std::tan(kPi * f1 / 192000) / std::tan(kPi * f0 / 192000);
    const std::complex<double> s(0, warp);
    const std::complex<double> h =
        A * (s * s + std::sqrt(A) / q * s + A) / (A * s * s + std::sqrt(A) / q * s + 1.0);
    EXPECT_NEAR(r[GridIndexOfCode(85)], 20 * std::log10(std::abs(h)), 1e-6);
    EXPECT_NEAR(r[GridIndexOfCode(85)], 2.9, 0.1);
}

TEST(FilterTest, ZeroGainAndBypassAreFlat) {
    for (int type = 0; type <= 3; ++type) {
        for (int gain : {120, 0, 240}) {
            if (type != 0 && gain != 120) {
                continue;
            }
            EqBand band = MakeBand(100, gain, 50, type);
            CFilter f;
            f.AttachBand(&band);
            for (double v : f.GetResponse()) {
                ASSERT_NEAR(v, 0.0, 1e-9) << "type " << type << " gain " << gain;
            }
        }
    }
}

TEST(FilterTest, HighShelfRisesAboveItsFrequency) {
    EqBand band = MakeBand(204, 60, 10, 3);  // -12 dB
    CFilter f;
    f.AttachBand(&band);
    EXPECT_NEAR(f.GetResponse()[0], 0.0, 0.01);
    EXPECT_NEAR(f.GetResponse()[GridIndexOfCode(204)], -6.0, 1e-9);
    EXPECT_NEAR(f.GetResponse()[GridIndexOfCode(361)], -12.0, 0.1);
}

TEST(FilterTest, ButterworthHighPassIsThreeDecibelsDownAtItsCorner) {
    PassFilter hpf = MakePass(0, 0, 3);
    CFilter f;
    f.SetType(kTypeHighPass);
    f.AttachPassFilter(&hpf);
    const auto& r = f.GetResponse();
    EXPECT_NEAR(r[GridIndexOfCode(0)], -3.01, 0.02);
    for (int i = GridIndexOfCode(85); i < kGridPoints; ++i) {
        EXPECT_NEAR(r[i], 0.0, 0.01);
    }
}

TEST(FilterTest, SlopeCodeZeroIsFlatAndCodeOneFallsSixDecibelsPerOctave) {
    PassFilter lpf = MakePass(1, 85, 0);
    CFilter f;
    f.SetType(kTypeLowPass);
    f.AttachPassFilter(&lpf);
    for (double v : f.GetResponse()) {
        ASSERT_EQ(v, 0.0);
    }
    f.SetSlopeCode(1);
    EXPECT_EQ(lpf.slope, 1);
    // 3 kHz to 6 kHz, far above a 101 Hz corner.
    EXPECT_NEAR(SlopePerOctave(f.GetResponse(), GridIndexOfCode(261), GridIndexOfCode(297)), -6.02,
                0.05);
}

// Textbook cascades, derived here from the families' definitions rather than copied from a
// table of section Q values.
namespace {

struct Family {
    int order;
    std::vector<double> qs;  // second-order sections
    bool firstOrder;
};

Family Butterworth(int order) {
    Family f{order, {}, order % 2 == 1};
    for (int k = 1; k <= order / 2; ++k) {
        f.qs.push_back(1.0 / (2.0 * std::sin((2.0 * k - 1.0) * kPi / (2.0 * order))));
    }
    return f;
}

// Linkwitz-Riley of order n is a Butterworth of order n/2 squared; two equal real poles make
// one section of Q 0.5.
Family LinkwitzRiley(int order) {
    const Family b = Butterworth(order / 2);
    Family f{order, {}, false};
    for (double q : b.qs) {
        f.qs.push_back(q);
        f.qs.push_back(q);
    }
    if (b.firstOrder) {
        f.qs.push_back(0.5);
    }
    return f;
}

// Bessel: the poles of the reverse Bessel polynomial of the order, found numerically
// (Durand-Kerner); each complex pair is one section of Q = |p| / (2 |Re p|).
Family Bessel(int order) {
    std::vector<double> a(order + 1);  // a[k] is the coefficient of s^k
    for (int k = 0; k <= order; ++k) {
        a[k] = std::tgamma(2 * order - k + 1) /
               (std::pow(2.0, order - k) * std::tgamma(k + 1) * std::tgamma(order - k + 1));
    }
    std::vector<std::complex<double>> roots(order);
    for (int i = 0; i < order; ++i) {
        roots[i] = std::pow(std::complex<double>(0.4, 0.9), i);
    }
    auto eval = [&](std::complex<double> s) {
        std::complex<double> v = 0;
        for (int k = order; k >= 0; --k) {
            v = v * s + a[k];
        }
        return v / a[order];
    };
    for (int iter = 0; iter < 500; ++iter) {
        for (int i = 0; i < order; ++i) {
            std::complex<double> d = 1;
            for (int j = 0; j < order; ++j) {
                if (j != i) {
                    d *= roots[i] - roots[j];
                }
            }
            roots[i] -= eval(roots[i]) / d;
        }
    }
    Family f{order, {}, order % 2 == 1};
    for (auto p : roots) {
        if (p.imag() > 1e-6) {
            f.qs.push_back(std::abs(p) / (2.0 * std::abs(p.real())));
        }
    }
    return f;
}

// Level at the corner of the cascade with every section tuned to the corner.
double CornerDb(const Family& f) {
    double db = f.firstOrder ? 20 * std::log10(std::sqrt(0.5)) : 0.0;
    for (double q : f.qs) {
        db += 20 * std::log10(q);  // a second-order section is Q times unity at its corner
    }
    return db;
}

}  // namespace

TEST(FilterTest, EverySlopeCodeMatchesItsFamilyAndOrder) {
    const Family families[13] = {
        {0, {}, false}, Butterworth(1), Bessel(2),        Butterworth(2), LinkwitzRiley(2),
        Bessel(3),      Butterworth(3), Bessel(4),        Butterworth(4), LinkwitzRiley(4),
        Bessel(6),      Butterworth(6), LinkwitzRiley(6),
    };
    EXPECT_NEAR(CornerDb(Butterworth(4)), -3.0103, 1e-4);
    EXPECT_NEAR(CornerDb(LinkwitzRiley(4)), -6.0206, 1e-4);
    EXPECT_NEAR(Bessel(4).qs[0] + Bessel(4).qs[1], 0.5219 + 0.8055, 1e-3);

    for (int code = 1; code <= 12; ++code) {
        const Family& fam = families[code];
        SCOPED_TRACE(code);
        // High-pass at 1000 Hz: slope measured 4 to 5 octaves below.
        PassFilter hpf = MakePass(0, 204, code);
        CFilter h;
        h.SetType(kTypeHighPass);
        h.AttachPassFilter(&hpf);
        // The device's section Q values are rounded (0.71 for 1/sqrt(2) in the 24 dB
        // Linkwitz-Riley), which moves the corner by up to 0.07 dB.
        EXPECT_NEAR(h.GetResponse()[GridIndexOfCode(204)], CornerDb(fam), 0.08);
        EXPECT_NEAR(SlopePerOctave(h.GetResponse(), GridIndexOfCode(22), GridIndexOfCode(58)),
                    6.02 * fam.order, 0.15 * fam.order);

        // Low-pass at 101 Hz: slope measured 5 to 6 octaves above.
        PassFilter lpf = MakePass(1, 85, code);
        CFilter l;
        l.SetType(kTypeLowPass);
        l.AttachPassFilter(&lpf);
        EXPECT_NEAR(l.GetResponse()[GridIndexOfCode(85)], CornerDb(fam), 0.08);
        EXPECT_NEAR(SlopePerOctave(l.GetResponse(), GridIndexOfCode(261), GridIndexOfCode(297)),
                    -6.02 * fam.order, 0.15 * fam.order);
        for (double v : l.GetResponse()) {
            ASSERT_TRUE(std::isfinite(v));
        }
    }
}

TEST(FilterTest, SettersWriteTheRecordWithinRange) {
    EqBand band = MakeBand(100, 120, 10, 1);
    CFilter f;
    f.AttachBand(&band);
    f.SetQCode(150);
    EXPECT_EQ(band.qCode, 100);
    EXPECT_DOUBLE_EQ(f.GetQ(), 128);
    f.SetQCode(-5);
    EXPECT_EQ(band.qCode, 0);
    EXPECT_DOUBLE_EQ(f.GetQ(), 0.4);
    f.SetGainCode(300);
    EXPECT_EQ(band.gainCode, 240);
    EXPECT_DOUBLE_EQ(f.GetGainDb(), 24);
    f.SetGainCode(-1);
    EXPECT_EQ(band.gainCode, 0);
    f.SetFreqCode(500);
    EXPECT_EQ(band.freqCode, 361);
    EXPECT_DOUBLE_EQ(f.GetFreq(), 20600);
    f.SetType(3);
    EXPECT_EQ(band.type, 3);
    f.SetNumber(7);
    EXPECT_EQ(f.GetNumberText(), "7");
}

TEST(FilterTest, PassFiltersKeepNoQ) {
    PassFilter hpf = MakePass(0, 50, 8);
    const PassFilter before = hpf;
    CFilter f;
    f.SetType(kTypeHighPass);
    f.AttachPassFilter(&hpf);
    EXPECT_EQ(f.GetNumberText(), "H");
    f.SetQCode(60);
    EXPECT_EQ(std::memcmp(&hpf, &before, sizeof hpf), 0);
    EXPECT_DOUBLE_EQ(f.GetQ(), 0.4);
    f.SetSlopeCode(99);
    EXPECT_EQ(hpf.slope, 12);
}

TEST(FilterTest, DamagedRecordsDrawSafely) {
    // Codes no page offers, as a damaged file could bring them.
    PassFilter lpf = MakePass(1, 0xFFFF, 200);
    CFilter l;
    l.SetType(kTypeLowPass);
    l.AttachPassFilter(&lpf);
    for (double v : l.GetResponse()) {
        ASSERT_EQ(v, 0.0);
    }
    EqBand band = MakeBand(0xFFFF, 255, 255, 9);
    CFilter b;
    b.AttachBand(&band);
    EXPECT_DOUBLE_EQ(b.GetFreq(), 20600);
    EXPECT_EQ(band.qCode, 100);
    EXPECT_EQ(band.gainCode, 240);
    EXPECT_EQ(b.GetLabel(), "");
}
