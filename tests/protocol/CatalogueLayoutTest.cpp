// The catalogue names fields as the records do: reading a field by its name must give the value
// of that very record member, most of all where neighbours have the same width and a swap would
// pass every size and coverage check.

#include <gtest/gtest.h>

#include <string>

#include "ParamCatalogue.h"
#include "ParameterSet.h"

using namespace qx;

namespace {

uint32_t ByName(const ParamImage& image, const std::string& name) {
    const ParamField* f = CParamCatalogue::Find(name);
    EXPECT_NE(f, nullptr) << name;
    return f != nullptr ? CParamCatalogue::Read(CParamCatalogue::Bytes(image), *f) : 0;
}

}  // namespace

TEST(CatalogueLayoutTest, SameWidthNeighboursReadTheirOwnMembers) {
    ResetParameters();
    ProgramImage& p = ParameterSet.program;
    p.Mic1.limiter.attack = 3;
    p.Mic1.limiter.release = 4;
    p.Mic2.noiseGate.attack = 5;
    p.Mic2.noiseGate.release = 6;
    p.EchoB.delay = 1234;
    p.EchoB.rightDelay = 77;
    p.EchoA.wetLevel = 11;
    p.EchoA.dryLevel = 12;
    p.Reverb.preDelay = 900;
    p.Reverb.time = 4321;
    p.MusicRight.deq[2].band.gainCode = 61;
    p.MusicRight.deq[2].band.qCode = 62;
    p.MusicRight.deq[2].threshold = 21;
    p.MusicRight.deq[2].ratio = 22;
    p.MusicLeft.lowExciter.harmonic = 8;
    p.MusicLeft.lowExciter.timbre = 9;
    p.scenes[2].channels[kRearR].sends[kSrcEchoB].level = 150;
    p.scenes[2].channels[kRearR].sends[kSrcEchoB].toggle = 1;
    p.scenes[2].channels[kRearR].delay = 1499;

    const ParamImage& img = ParameterSet;
    EXPECT_EQ(ByName(img, "Mic1.limiter.attack"), 3u);
    EXPECT_EQ(ByName(img, "Mic1.limiter.release"), 4u);
    EXPECT_EQ(ByName(img, "Mic2.noiseGate.attack"), 5u);
    EXPECT_EQ(ByName(img, "Mic2.noiseGate.release"), 6u);
    EXPECT_EQ(ByName(img, "EchoB.delay"), 1234u);
    EXPECT_EQ(ByName(img, "EchoB.rightDelay"), 77u);
    EXPECT_EQ(ByName(img, "EchoA.wetLevel"), 11u);
    EXPECT_EQ(ByName(img, "EchoA.dryLevel"), 12u);
    EXPECT_EQ(ByName(img, "Reverb.preDelay"), 900u);
    EXPECT_EQ(ByName(img, "Reverb.time"), 4321u);
    EXPECT_EQ(ByName(img, "MusicRight.deq[2].gainCode"), 61u);
    EXPECT_EQ(ByName(img, "MusicRight.deq[2].qCode"), 62u);
    EXPECT_EQ(ByName(img, "MusicRight.deq[2].threshold"), 21u);
    EXPECT_EQ(ByName(img, "MusicRight.deq[2].ratio"), 22u);
    EXPECT_EQ(ByName(img, "MusicLeft.lowExciter.harmonic"), 8u);
    EXPECT_EQ(ByName(img, "MusicLeft.lowExciter.timbre"), 9u);
    EXPECT_EQ(ByName(img, "Scene[3].RearR.send.EchoB.level"), 150u);
    EXPECT_EQ(ByName(img, "Scene[3].RearR.send.EchoB.toggle"), 1u);
    EXPECT_EQ(ByName(img, "Scene[3].RearR.delay"), 1499u);
}
