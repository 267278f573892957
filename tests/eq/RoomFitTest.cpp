// Room curves on the grid, targets, and the fit in the processor's codes.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "DataConver.h"
#include "RoomCurve.h"
#include "RoomFit.h"

using namespace qx;

namespace {

// A room made of known bands: the measurement is what those bands undo, plus a level.
FitInput RoomUndoneBy(const std::vector<FitBand>& bands, int equaliserBands, double level) {
    FitInput in;
    in.measurement.fill(level);
    in.target.fill(0.0);
    std::array<double, kGridPoints> one{};
    for (const FitBand& b : bands) {
        BandResponseDbRange(b.type, CodeToFreq(b.freqCode), CodeToGain(b.gainCode),
                            CodeToQ(b.qCode), 0, kGridPoints, one.data());
        for (int g = 0; g < kGridPoints; ++g) {
            in.measurement[g] -= one[g];
        }
    }
    in.current.assign(static_cast<std::size_t>(equaliserBands), FitBand{});
    return in;
}

// A room with modes as peaks and dips on a slope.
FitInput ModalRoom(int equaliserBands) {
    FitInput in;
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        const double f = grid[g].hz;
        auto mode = [f](double at, double db, double width) {
            const double x = std::log2(f / at) / width;
            return db / (1.0 + x * x);
        };
        in.measurement[g] = 80.0 - 2.0 * std::log10(f / 20.0) + mode(42, 9, 0.08) +
                            mode(67, -7, 0.05) + mode(110, 6, 0.1) + mode(180, -5, 0.07) +
                            mode(300, 4, 0.2);
    }
    in.target.fill(0.0);
    in.current.assign(static_cast<std::size_t>(equaliserBands), FitBand{});
    return in;
}

void ExpectWithin(const FitResult& r, const FitOptions& o, int lowGain = 0,
                  int highGain = kMaxGainCode) {
    const int lowFreq = FreqToCode(o.lowHz);
    const int highFreq = FreqToCode(o.highHz);
    for (std::size_t j = 0; j < r.bands.size(); ++j) {
        const FitBand& b = r.bands[j];
        if (!r.fitted[j]) {
            EXPECT_EQ(b.type, kTypeBypass);
            continue;
        }
        EXPECT_TRUE(o.Allows(b.type)) << "band " << j << " type " << b.type;
        EXPECT_GE(b.freqCode, lowFreq);
        EXPECT_LE(b.freqCode, highFreq);
        EXPECT_GE(b.qCode, 0);
        EXPECT_LE(b.qCode, kMaxQCode);
        EXPECT_GE(b.gainCode, lowGain);
        EXPECT_LE(b.gainCode, highGain);
        EXPECT_LE(CodeToGain(b.gainCode), o.maxBoostDb + 1e-9);
    }
}

}  // namespace

TEST(RoomCurveTest, MeasurementOnTheGridInterpolatesSmoothsAndLeavesTheUnmeasuredOut) {
    Measurement m;
    for (double f = 30.0; f <= 16000.0; f *= std::pow(2.0, 1.0 / 48)) {
        m.hz.push_back(f);
        // A ripple of +-3 dB every few points and a 1 dB/octave fall.
        m.db.push_back(-std::log2(f / 30.0) + (static_cast<int>(m.hz.size()) % 2 ? 3.0 : -3.0));
    }
    const GridCurve raw = CRoomCurve::FromMeasurement(m, 0);
    const GridCurve smooth = CRoomCurve::FromMeasurement(m, 3);
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        const double f = grid[g].hz;
        if (f < 30.0 || f > m.hz.back()) {
            EXPECT_FALSE(HasLevel(raw[g])) << f;
            continue;
        }
        ASSERT_TRUE(HasLevel(smooth[g])) << f;
        EXPECT_LE(std::fabs(raw[g] + std::log2(f / 30.0)), 3.0 + 1e-9) << f;
        if (f > 40.0 && f < 12000.0) {
            EXPECT_NEAR(smooth[g], -std::log2(f / 30.0), 0.6)
                << "1/3 octave evens the ripple at " << f;
        }
    }
}

TEST(RoomCurveTest, TargetsFlatHouseAndParametric) {
    RoomTarget house;
    house.kind = RoomTarget::Kind::House;
    house.house.hz = {20.0, 200.0, 2000.0};
    house.house.db = {6.0, 0.0, -2.0};
    EXPECT_DOUBLE_EQ(house.LevelAt(10.0), 6.0);
    EXPECT_NEAR(house.LevelAt(std::sqrt(20.0 * 200.0)), 3.0, 1e-9) << "log-frequency midpoint";
    EXPECT_DOUBLE_EQ(house.LevelAt(20000.0), -2.0);

    RoomTarget p;
    p.kind = RoomTarget::Kind::Parametric;
    p.bassDb = 6.0;
    p.bassCornerHz = 100.0;
    p.trebleTiltDbPerDecade = -2.0;
    EXPECT_NEAR(p.LevelAt(10.0), 6.0, 0.1);
    EXPECT_NEAR(p.LevelAt(100.0), 3.0, 1e-9);
    EXPECT_NEAR(p.LevelAt(10000.0), -2.0, 0.01);
    EXPECT_DOUBLE_EQ(RoomTarget{}.LevelAt(50.0), 0.0);
}

TEST(RoomFitTest, ARoomOfTheProcessorsOwnBandsIsFitAtLeastAsWellAsThoseCodes) {
    const std::vector<FitBand> known = {
        {kTypePeaking, FreqToCode(45.0), GainToCode(8.0), QToCode(4.0)},
        {kTypePeaking, FreqToCode(90.0), GainToCode(-6.0), QToCode(2.0)},
        {kTypePeaking, FreqToCode(200.0), GainToCode(5.0), QToCode(6.0)},
    };
    FitInput room = RoomUndoneBy(known, 7, 85.0);
    FitOptions o;
    o.allowLowShelf = o.allowHighShelf = false;
    const FitError withKnown = CRoomFit::Evaluate(room, known, o);
    EXPECT_LT(withKnown.rmsDb, 1e-6);
    const FitResult r = CRoomFit::Run(room, o);
    ASSERT_TRUE(r.Ok()) << r.error;
    EXPECT_LE(r.after.rmsDb, withKnown.rmsDb + 1e-6);
    EXPECT_GT(r.before.rmsDb, 2.0);
    ExpectWithin(r, o);
}

TEST(RoomFitTest, CutsOnlyNeverBoostsAndTheLimitsHold) {
    FitOptions o;
    o.maxBoostDb = 0.0;
    const FitResult r = CRoomFit::Run(ModalRoom(7), o);
    ASSERT_TRUE(r.Ok()) << r.error;
    ExpectWithin(r, o);
    for (std::size_t j = 0; j < r.bands.size(); ++j) {
        EXPECT_LE(r.bands[j].gainCode, kZeroGainCode) << j;
    }
    EXPECT_LT(r.after.rmsDb, r.before.rmsDb);

    FitOptions boost3;
    boost3.maxBoostDb = 3.0;
    boost3.allowPeaking = false;
    boost3.allowHighShelf = false;
    boost3.lowHz = 30.0;
    boost3.highHz = 2000.0;
    const FitResult shelves = CRoomFit::Run(ModalRoom(5), boost3);
    ASSERT_TRUE(shelves.Ok());
    ExpectWithin(shelves, boost3);

    // The dynamic bands take gains within +-12 dB only.
    FitInput dynamic = ModalRoom(3);
    dynamic.lowestGainCode = 60;
    dynamic.highestGainCode = 180;
    const FitResult d = CRoomFit::Run(dynamic, FitOptions{});
    ASSERT_TRUE(d.Ok());
    ExpectWithin(d, FitOptions{}, 60, 180);
}

TEST(RoomFitTest, BandCountKeptBandsAndTheFitsOwnWordOnItsError) {
    FitInput room = ModalRoom(7);
    room.current[2] = {kTypePeaking, FreqToCode(1000.0), GainToCode(-3.0), QToCode(1.0)};
    FitOptions o;
    o.maxBands = 3;
    o.keepBands = true;
    const FitResult r = CRoomFit::Run(room, o);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.bands[2], room.current[2]) << "a band already set stays";
    EXPECT_FALSE(r.fitted[2]);
    int fitted = 0;
    for (bool f : r.fitted) {
        fitted += f ? 1 : 0;
    }
    EXPECT_LE(fitted, 3);
    EXPECT_GE(fitted, 1);
    const FitError again = CRoomFit::Evaluate(room, r.bands, o);
    EXPECT_DOUBLE_EQ(again.rmsDb, r.after.rmsDb) << "the reported error is the bands' own";
    EXPECT_LE(std::fabs(r.after.worstDb), std::fabs(r.before.worstDb));

    FitOptions nowhere;
    nowhere.lowHz = 5.0;
    nowhere.highHz = 9.0;
    EXPECT_FALSE(CRoomFit::Run(room, nowhere).Ok());

    int calls = 0;
    const FitResult stopped =
        CRoomFit::Run(ModalRoom(7), FitOptions{}, [&calls](double) { return ++calls < 5; });
    EXPECT_TRUE(stopped.cancelled);
}
