#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <set>

#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "RangeClamp.h"

using namespace qx;

namespace {

ParsedValue MustParse(const char* name, const char* text) {
    const ParamField* f = CParamCatalogue::Find(name);
    EXPECT_NE(f, nullptr) << name;
    ParsedValue v;
    std::string error;
    EXPECT_TRUE(f != nullptr && CParamCatalogue::Parse(*f, text, v, error))
        << name << "=" << text << ": " << error;
    return v;
}

std::string ParseError(const char* name, const std::string& text) {
    const ParamField* f = CParamCatalogue::Find(name);
    ParsedValue v;
    std::string error;
    EXPECT_FALSE(CParamCatalogue::Parse(*f, text, v, error)) << name << "=" << text;
    return error;
}

}  // namespace

TEST(CatalogueTest, CoversEveryBitOfProgramAndSystemExactlyOnce) {
    std::array<uint8_t, sizeof(ParamImage)> covered{};  // bits claimed so far, per byte
    std::set<std::string> names;
    bool overlap = false;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        EXPECT_TRUE(names.insert(f.name).second) << "duplicate " << f.name;
        ASSERT_GE(f.offset, 0);
        ASSERT_LE(f.offset + f.width, static_cast<int>(sizeof(ParamImage))) << f.name;
        EXPECT_TRUE(f.mask == 0 || f.width == 1) << f.name;
        const uint8_t bits = f.mask == 0 ? 0xFF : f.mask;
        for (int i = 0; i < f.width; ++i) {
            if ((covered[f.offset + i] & bits) != 0) {
                ADD_FAILURE() << f.name << " overlaps at byte " << f.offset + i;
                overlap = true;
            }
            covered[f.offset + i] |= bits;
        }
        EXPECT_EQ(f.IsSystem(), f.name.rfind("System.", 0) == 0) << f.name;
    }
    EXPECT_FALSE(overlap);
    for (std::size_t i = 0; i < covered.size(); ++i) {
        ASSERT_EQ(covered[i], 0xFF) << "byte " << i << " not covered";
    }
}

TEST(CatalogueTest, NamesLandOnTheRecordsTheyName) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof *image);
    uint8_t* bytes = CParamCatalogue::Bytes(*image);

    image->program.MusicLeft.bands[3].gainCode = 99;
    image->program.Mic2.limiter.attack = 7;
    image->program.scenes[1].channels[kSub].delay = 1234;
    image->program.scenes[2].channels[kSurroundR].sends[kSrcEchoB].level = 150;
    image->system.block.musicMax = 80;
    image->system.block.keyAndSensitivity = 0xA1;
    image->system.block.musicVolume = 0x80 | 30;
    image->system.extraWord = 0xBEEF;

    auto read = [&](const char* name) {
        const ParamField* f = CParamCatalogue::Find(name);
        EXPECT_NE(f, nullptr) << name;
        return f == nullptr ? 0u : CParamCatalogue::Read(bytes, *f);
    };
    EXPECT_EQ(read("MusicLeft.bands[3].gainCode"), 99u);
    EXPECT_EQ(read("mic2.LIMITER.attack"), 7u);  // names are case-insensitive
    EXPECT_EQ(read("Scene[2].SUB.delay"), 1234u);
    EXPECT_EQ(read("Scene[3].SurroundR.send.EchoB.level"), 150u);
    EXPECT_EQ(read("System.musicMax"), 80u);
    EXPECT_EQ(read("System.key"), 10u);
    EXPECT_EQ(read("System.sensitivity"), 1u);
    EXPECT_EQ(read("System.musicVolume"), 30u);
    EXPECT_EQ(read("System.musicMute"), 1u);
    EXPECT_EQ(read("System.extraWord"), 0xBEEFu);
    EXPECT_EQ(CParamCatalogue::Find("Scene[0].SUB.delay"), nullptr);
    EXPECT_EQ(CParamCatalogue::Find("MusicLeft.bands[15].gainCode"), nullptr);
}

TEST(CatalogueTest, DisplaysAsAPersonReadsIt) {
    auto show = [](const char* name, uint32_t code) {
        return CParamCatalogue::DisplayCode(*CParamCatalogue::Find(name), code);
    };
    EXPECT_EQ(show("MusicLeft.bands[0].freqCode", 204), "1000Hz");
    EXPECT_EQ(show("MusicLeft.bands[0].freqCode", 2), "20.5Hz");
    EXPECT_EQ(show("MusicLeft.bands[0].gainCode", 105), "-3.0dB");
    EXPECT_EQ(show("MusicLeft.bands[0].qCode", 10), "0.71");
    EXPECT_EQ(show("MusicLeft.bands[0].type", 1), "PEQ");
    EXPECT_EQ(show("Mic1.hpf.slope", 3), "12dB Butuerworth");
    EXPECT_EQ(show("Mic1.noiseGate.threshold", 0), "OFF");
    EXPECT_EQ(show("Mic1.noiseGate.threshold", 1), "-77dBV");
    EXPECT_EQ(show("Mic1.limiter.attack", 9), "11ms");
    EXPECT_EQ(show("Mic1.level", 25), "2.5dB");
    EXPECT_EQ(show("Scene[1].MainL.delay", 1500), "150.0ms");
    EXPECT_EQ(show("Scene[1].MainL.limiter.level", 22), "0dB");
    EXPECT_EQ(show("EchoA.rightDelay", 40), "-10%");
    EXPECT_EQ(show("System.key", 14), "+7");
    EXPECT_EQ(show("System.currentProgram", 19), "F3");
    EXPECT_EQ(show("System.inputSelect", 8), "ARC");
    // Codes outside a field's range are shown as codes, never looked up past a table.
    EXPECT_EQ(show("MusicLeft.bands[0].freqCode", 400), "code 400");
    EXPECT_EQ(show("Mic1.limiter.ratio", 200), "code 200");

    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0, sizeof *image);
    std::memcpy(image->program.name, "Party  \"A\"          ", 20);
    EXPECT_EQ(
        CParamCatalogue::Display(CParamCatalogue::Bytes(*image), *CParamCatalogue::Find("name")),
        "\"Party  \\\"A\\\"\"");
}

TEST(CatalogueTest, ParsesCodesUnitsAndTexts) {
    EXPECT_EQ(MustParse("MusicLeft.bands[3].freqCode", "1000Hz").code, 204u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].freqCode", "1kHz").code, 204u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].freqCode", "94.5 Hz").code, 82u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].freqCode", "361").code, 361u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].gainCode", "-3dB").code, 105u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].gainCode", "+24dB").code, 240u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].qCode", "0.71").code, 10u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].type", "peq").code, 1u);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].type", "P").code, 1u);
    EXPECT_EQ(MustParse("Mic1.noiseGate.threshold", "off").code, 0u);
    EXPECT_EQ(MustParse("Mic1.noiseGate.threshold", "-60dBV").code, 18u);
    EXPECT_EQ(MustParse("Mic1.limiter.attack", "16ms").code, 10u);
    EXPECT_EQ(MustParse("Mic1.limiter.release", "Atk X4").code, 1u);
    EXPECT_EQ(MustParse("Mic1.hpf.slope", "24dB Butuerworth").code, 8u);
    EXPECT_EQ(MustParse("Mic1.level", "0dB").code, 20u);
    EXPECT_EQ(MustParse("Scene[2].SUB.delay", "12.5ms").code, 125u);
    EXPECT_EQ(MustParse("Reverb.time", "2.5s").code, 25000u);
    EXPECT_EQ(MustParse("EchoA.rightDelay", "-10%").code, 40u);
    EXPECT_EQ(MustParse("System.key", "-2").code, 5u);
    EXPECT_EQ(MustParse("System.inputSelect", "hdmi2").code, 6u);
    EXPECT_EQ(MustParse("System.currentProgram", "F5").code, 21u);
    EXPECT_EQ(MustParse("System.reserved", std::string(78, 'a').c_str()).bytes.size(), 39u);
    // Between two steps: the nearest step, ties upward, marked as rounded.
    const ParsedValue between = MustParse("MusicLeft.bands[3].gainCode", "-3.1dB");
    EXPECT_EQ(between.code, 105u);
    EXPECT_TRUE(between.rounded);
    EXPECT_EQ(MustParse("MusicLeft.bands[3].gainCode", "0.5dB").code, 123u);
    EXPECT_FALSE(MustParse("MusicLeft.bands[3].gainCode", "-3dB").rounded);
    EXPECT_EQ(MustParse("Mic1.hpf.slope", "24dB Butterworth").code, 8u);
    const ParsedValue name = MustParse("name", "Party");
    EXPECT_EQ(std::string(name.bytes.begin(), name.bytes.end()), "Party               ");
}

TEST(CatalogueTest, RefusesBadValuesWithAReason) {
    EXPECT_NE(ParseError("MusicLeft.bands[3].gainCode", "241").find("out of range 0..240"),
              std::string::npos);
    EXPECT_NE(ParseError("MusicLeft.bands[3].gainCode", "-30dB").find("out of range"),
              std::string::npos);
    EXPECT_NE(ParseError("MusicLeft.bands[3].freqCode", "30000Hz").find("outside"),
              std::string::npos);
    EXPECT_NE(ParseError("MusicLeft.bands[3].freqCode", "1000dB").find("Hz"), std::string::npos);
    ParseError("MusicLeft.bands[3].type", "loud");
    ParseError("Mic1.limiter.attack", "");
    ParseError("Mic1.noiseGate.threshold", "-78dBV");
    ParseError("System.currentProgram", "F6");
    ParseError("System.musicVolume", "85");
    ParseError("name", std::string(21, 'x').c_str());
    ParseError("name", "tab\there");
    ParseError("System.reserved", "abcd");
    ParseError("System.systemPassword", "1234567");
    // Nothing after a NUL goes unread: "6<NUL>ms" is no Q of 6, "-3dB<NUL>x" no gain.
    ParseError("MusicLeft.bands[3].qCode", std::string("6\0ms", 4));
    ParseError("MusicLeft.bands[3].gainCode", std::string("-3dB\0x", 6));
}

TEST(CatalogueTest, ApplyWritesOnlyItsOwnBits) {
    auto image = std::make_unique<ParamImage>();
    std::memset(image.get(), 0x5A, sizeof *image);
    auto before = std::make_unique<ParamImage>();
    std::memcpy(before.get(), image.get(), sizeof *image);
    uint8_t* bytes = CParamCatalogue::Bytes(*image);

    const ParamField* key = CParamCatalogue::Find("System.key");
    CParamCatalogue::Apply(bytes, *key, MustParse("System.key", "+7"));
    EXPECT_EQ(image->system.block.keyAndSensitivity, 0xEA);
    const ParamField* freq = CParamCatalogue::Find("Mic2.bands[19].freqCode");
    CParamCatalogue::Apply(bytes, *freq, MustParse("Mic2.bands[19].freqCode", "361"));
    EXPECT_EQ(image->program.Mic2.bands[19].freqCode, 361);

    int changed = 0;
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        changed += bytes[i] != CParamCatalogue::Bytes(*before)[i];
    }
    EXPECT_EQ(changed, 3);
}

TEST(CatalogueTest, OutOfRangeNamesOnlyFieldsOutsideTheirRange) {
    auto image = std::make_unique<ParamImage>();
    ResetParameters();
    std::memcpy(image.get(), &ParameterSet, sizeof *image);
    EXPECT_TRUE(CParamCatalogue::OutOfRange(*image).empty());

    image->program.Mic2.bands[19].freqCode = 362;  // one past the frequency table
    image->system.block.musicMax = 85;
    image->system.block.keyAndSensitivity = 0xF0;  // key 15; the sensitivity nibble stays 0
    const std::vector<std::string> all = CParamCatalogue::OutOfRange(*image);
    EXPECT_EQ(all, (std::vector<std::string>{"Mic2.bands[19].freqCode", "System.musicMax",
                                             "System.key"}));
    EXPECT_EQ(CParamCatalogue::OutOfRange(*image, false),
              std::vector<std::string>{"Mic2.bands[19].freqCode"});
}

namespace qx {
namespace {

TEST(CatalogueTest, ClampingBringsOnlyOutOfRangeFieldsToTheNearestEndAndKeepsOtherBits) {
    auto image = std::make_unique<ParamImage>();
    ResetParameters();
    std::memcpy(image.get(), &ParameterSet, sizeof *image);
    image->program.Mic2.bands[19].freqCode = 40000;
    image->system.block.musicMax = 85;
    image->system.block.keyAndSensitivity = 0xF1;  // key 15 beyond its range, sensitivity 1
    auto before = std::make_unique<ParamImage>();
    std::memcpy(before.get(), image.get(), sizeof *image);

    EXPECT_EQ(ClampToRanges(*image, false), 1);
    EXPECT_EQ(static_cast<int>(image->program.Mic2.bands[19].freqCode), 361);
    EXPECT_EQ(static_cast<int>(image->system.block.musicMax), 85)
        << "the system block was left out";

    EXPECT_EQ(ClampToRanges(*image), 2);
    EXPECT_TRUE(CParamCatalogue::OutOfRange(*image).empty());
    const ParamField* key = CParamCatalogue::Find("System.key");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(static_cast<int>(CParamCatalogue::Read(CParamCatalogue::Bytes(*image), *key)),
              key->maximum);
    EXPECT_EQ(static_cast<int>(image->system.block.keyAndSensitivity) & 0x0F, 1);
    // Nothing else moved.
    const auto* a = CParamCatalogue::Bytes(*image);
    const auto* b = CParamCatalogue::Bytes(*before);
    int differing = 0;
    for (std::size_t i = 0; i < sizeof(ParamImage); ++i) {
        differing += a[i] != b[i] ? 1 : 0;
    }
    EXPECT_LE(differing, 4);  // the two bytes of the frequency, the maximum, the key's byte
    EXPECT_EQ(ClampToRanges(*image), 0);
}

}  // namespace
}  // namespace qx
