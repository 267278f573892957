// The difference engine: exactly the fields whose values differ, with both values, in the
// catalogue's order; bytes that belong to no changed value (another bit of a shared byte)
// never show up as a change of the wrong field.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "CopyPlan.h"
#include "ImageDiff.h"
#include "ParameterSet.h"

namespace qx {
namespace {

std::unique_ptr<ParamImage> Defaults() {
    ResetParameters();
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(image.get(), &ParameterSet, sizeof(ParamImage));
    return image;
}

void Set(ParamImage& image, const char* name, const char* value) {
    const ParamField* f = CParamCatalogue::Find(name);
    ASSERT_NE(f, nullptr) << name;
    ParsedValue v;
    std::string error;
    ASSERT_TRUE(CParamCatalogue::Parse(*f, value, v, error)) << name << ": " << error;
    CParamCatalogue::Apply(CParamCatalogue::Bytes(image), *f, v);
}

std::set<std::string> Names(const std::vector<FieldDifference>& list) {
    std::set<std::string> names;
    for (const FieldDifference& d : list) {
        names.insert(d.field->name);
    }
    return names;
}

TEST(ImageDiffTest, ListsExactlyTheChangedFieldsWithBothValues) {
    auto a = Defaults();
    auto b = Defaults();
    EXPECT_TRUE(CImageDiff::Compare(*a, *b, true).empty());

    Set(*b, "MusicLeft.bands[3].gainCode", "-3dB");
    Set(*b, "Scene[2].SUB.delay", "12.5ms");
    Set(*b, "name", "Party");
    Set(*b, "System.key", "-2");
    // A bit field beside another in the same byte: only the one changed is named.
    Set(*b, "System.musicMute", "1");

    const auto all = CImageDiff::Compare(*a, *b, true);
    EXPECT_EQ(Names(all),
              (std::set<std::string>{"name", "MusicLeft.bands[3].gainCode", "Scene[2].SUB.delay",
                                     "System.key", "System.musicMute"}));
    for (const FieldDifference& d : all) {
        if (d.field->name == "MusicLeft.bands[3].gainCode") {
            EXPECT_EQ(d.beforeText, "0.0dB");
            EXPECT_EQ(d.afterText, "-3.0dB");
            EXPECT_EQ(d.before, 120u);
            EXPECT_EQ(d.after, 105u);
            EXPECT_FALSE(d.Caption(false).empty());
        }
    }
    // Program fields come first, in image order; without the system block they are all.
    const auto program = CImageDiff::Compare(*a, *b, false);
    ASSERT_EQ(program.size(), 3u);
    EXPECT_EQ(program[0].field->name, "name");
    EXPECT_LT(program[1].field->offset, program[2].field->offset);
    EXPECT_EQ(Names(CImageDiff::ComparePrograms(a->program, b->program)), Names(program));
}

// Every single-field change over the whole catalogue is found, and found alone.
TEST(ImageDiffTest, EveryFieldIsFoundOnItsOwn) {
    auto a = Defaults();
    for (const ParamField& f : CParamCatalogue::Fields()) {
        auto b = std::make_unique<ParamImage>();
        AtomicCopy(b.get(), a.get(), sizeof(ParamImage));
        uint8_t* bytes = CParamCatalogue::Bytes(*b);
        if (f.mask != 0) {
            bytes[f.offset] ^= f.mask & static_cast<uint8_t>(-f.mask);  // lowest bit of the field
        } else {
            bytes[f.offset] ^= 1;
        }
        const auto list = CImageDiff::Compare(*a, *b, true);
        ASSERT_EQ(list.size(), 1u) << f.name;
        EXPECT_EQ(list[0].field, &f) << f.name;
    }
}

}  // namespace
}  // namespace qx
