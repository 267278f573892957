// "Copy to...": what a copy may touch. Equalisers go only onto equalisers of the same band
// count, levels, mutes and delays only when asked for, a right output keeps its own limiter,
// and the preview names exactly the fields that applying the plan changes.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>

#include "CopyPlan.h"
#include "ParameterSet.h"

namespace qx {
namespace {

// An image whose every program byte is random, so that any copied byte shows.
std::unique_ptr<ParamImage> Noise(unsigned seed) {
    auto image = std::make_unique<ParamImage>();
    std::mt19937 rng(seed);
    uint8_t* b = CParamCatalogue::Bytes(*image);
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        b[i] = static_cast<uint8_t>(rng());
    }
    return image;
}

std::set<std::string> Changed(const ParamImage& image, const CopyPlan& plan) {
    std::set<std::string> names;
    for (const FieldDifference& d : CCopyPlan::Preview(image, plan)) {
        names.insert(d.field->name);
    }
    return names;
}

bool AnyStartsWith(const std::set<std::string>& names, const std::string& prefix) {
    for (const std::string& n : names) {
        if (n.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

constexpr CopyEndpoint kMainLeft{CopyKind::Output, kMainL, 1};
constexpr CopyEndpoint kMainRight{CopyKind::Output, kMainR, 1};

TEST(CopyPlanTest, DefaultPartsLeaveLevelsMutesAndDelaysAlone) {
    auto image = Noise(1);
    const auto names =
        Changed(*image, CCopyPlan::Plan(kMainLeft, {kMainRight}, kCopyDefault, false));
    EXPECT_TRUE(AnyStartsWith(names, "Scene[1].MainR.bands["));
    EXPECT_TRUE(names.count("Scene[1].MainR.eqBypass"));
    EXPECT_TRUE(AnyStartsWith(names, "Scene[1].MainR.hpf."));
    EXPECT_TRUE(AnyStartsWith(names, "Scene[1].MainR.lpf."));
    for (const std::string& n : names) {
        EXPECT_EQ(n.rfind("Scene[1].MainR.", 0), 0u) << "outside the target: " << n;
        EXPECT_EQ(n.find(".send"), std::string::npos) << n;
        EXPECT_EQ(n.find("mute"), std::string::npos) << n;
        EXPECT_EQ(n.find("delay"), std::string::npos) << n;
        // The processor takes the pair's limiter from Main L.
        EXPECT_EQ(n.find("limiter"), std::string::npos) << n;
    }

    const auto chosen = Changed(
        *image,
        CCopyPlan::Plan(kMainLeft, {kMainRight}, kCopyLevels | kCopyMute | kCopyDelay, false));
    EXPECT_TRUE(AnyStartsWith(chosen, "Scene[1].MainR.send"));
    EXPECT_TRUE(chosen.count("Scene[1].MainR.mute"));
    EXPECT_TRUE(chosen.count("Scene[1].MainR.delay"));
    EXPECT_FALSE(AnyStartsWith(chosen, "Scene[1].MainR.bands["));
}

TEST(CopyPlanTest, EqualisersOnlyBetweenEqualBandCounts) {
    auto image = Noise(2);
    const CopyEndpoint music{CopyKind::Music, 0};
    const CopyEndpoint mic{CopyKind::Mic, 1};
    const CopyPlan plan = CCopyPlan::Plan(music, {mic}, kCopyDefault | kCopyLevels, false);
    EXPECT_TRUE(plan.Empty());
    ASSERT_FALSE(plan.skipped.empty());
    EXPECT_NE(plan.skipped[0].find("15 and 20"), std::string::npos) << plan.skipped[0];
    EXPECT_TRUE(Changed(*image, plan).empty());

    // Microphones: both equalisers of 20 bands and 5 extra bands, filters and dynamics.
    const auto names = Changed(
        *image, CCopyPlan::Plan({CopyKind::Mic, 0}, {{CopyKind::Mic, 1}}, kCopyDefault, false));
    EXPECT_TRUE(AnyStartsWith(names, "Mic2.bands[19]"));
    EXPECT_TRUE(AnyStartsWith(names, "Mic2.extraBands[4]"));
    EXPECT_TRUE(AnyStartsWith(names, "Mic2.limiter."));
    EXPECT_TRUE(AnyStartsWith(names, "Mic2.noiseGate."));
    EXPECT_FALSE(names.count("Mic2.level"));
    EXPECT_FALSE(AnyStartsWith(names, "Mic2.feedback"));
    EXPECT_FALSE(AnyStartsWith(names, "Mic1."));
}

TEST(CopyPlanTest, PartnersAndAllOutputs) {
    CopyEndpoint p;
    EXPECT_TRUE(CCopyPlan::Partner(kMainLeft, p));
    EXPECT_EQ(p, kMainRight);
    EXPECT_TRUE(CCopyPlan::Partner({CopyKind::Output, kSurroundR, 3}, p));
    EXPECT_EQ(p, (CopyEndpoint{CopyKind::Output, kSurroundL, 3}));
    EXPECT_FALSE(CCopyPlan::Partner({CopyKind::Output, kSub, 1}, p));
    EXPECT_TRUE(CCopyPlan::Partner({CopyKind::DynamicEq, 1}, p));
    EXPECT_EQ(p.index, 0);

    auto image = Noise(3);
    const auto names = Changed(*image, CCopyPlan::Plan({CopyKind::Output, kCenter, 2},
                                                       CCopyPlan::AllOutputs(2), kCopyEq, false));
    for (const char* out : {"MainL", "MainR", "SUB", "RearL", "RearR", "SurroundL", "SurroundR"}) {
        EXPECT_TRUE(AnyStartsWith(names, std::string("Scene[2].") + out + ".bands[")) << out;
    }
    EXPECT_FALSE(AnyStartsWith(names, "Scene[2].Center."));
    EXPECT_FALSE(AnyStartsWith(names, "Scene[1]."));
    EXPECT_FALSE(AnyStartsWith(names, "Scene[3]."));
}

// The preview is what applying the plan does: every byte outside the listed fields is kept,
// and the listed fields hold the source's values afterwards.
TEST(CopyPlanTest, PreviewEqualsWhatChanges) {
    auto image = Noise(4);
    const CopyPlan plan = CCopyPlan::PlanScene(1, 3, kCopyDefault | kCopyDelay, false);
    auto after = std::make_unique<ParamImage>();
    CCopyPlan::ApplyTo(*image, plan, *after);
    const auto preview = CCopyPlan::Preview(*image, plan);
    ASSERT_FALSE(preview.empty());

    std::vector<bool> listed(sizeof(ParamImage), false);
    for (const FieldDifference& d : preview) {
        EXPECT_EQ(d.field->name.rfind("Scene[3].", 0), 0u) << d.field->name;
        for (int i = 0; i < d.field->width; ++i) {
            listed[static_cast<std::size_t>(d.field->offset + i)] = true;
        }
        // The target now holds what the same field of scene 1 holds.
        const std::string source = "Scene[1]." + d.field->name.substr(9);
        const ParamField* f = CParamCatalogue::Find(source);
        ASSERT_NE(f, nullptr) << source;
        EXPECT_EQ(CParamCatalogue::Read(CParamCatalogue::Bytes(*after), *d.field),
                  CParamCatalogue::Read(CParamCatalogue::Bytes(*image), *f))
            << d.field->name;
    }
    const uint8_t* before = CParamCatalogue::Bytes(*image);
    const uint8_t* now = CParamCatalogue::Bytes(*after);
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        if (!listed[i]) {
            ASSERT_EQ(before[i], now[i]) << "byte " << i << " changed but is not listed";
        }
    }
}

TEST(CopyPlanTest, NothingToCopyOntoItselfOrWithoutTheParts) {
    EXPECT_TRUE(CCopyPlan::Plan(kMainLeft, {kMainLeft}, kCopyDefault, false).Empty());
    EXPECT_TRUE(CCopyPlan::PlanScene(2, 2, kCopyDefault, false).Empty());
    // Music dynamics act on both channels from the left one: there is nothing to copy.
    const CopyPlan music =
        CCopyPlan::Plan({CopyKind::Music, 0}, {{CopyKind::Music, 1}}, kCopyDynamics, false);
    EXPECT_TRUE(music.Empty());
    EXPECT_EQ(music.skipped.size(), 1u);
    // Out-of-range endpoints are ignored rather than addressed.
    EXPECT_TRUE(CCopyPlan::Plan(kMainLeft, {{CopyKind::Output, 9, 1}, {CopyKind::Output, 0, 4}},
                                kCopyDefault, false)
                    .Empty());
}

}  // namespace
}  // namespace qx
