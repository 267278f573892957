// What a table row decides on its own: a value label shows its field as the catalogue reads it
// unless the row gives its own rule, and a button's look under the mouse.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QWidget>

#include "BitButton.h"
#include "Edit_Static.h"
#include "FieldBinding.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "SkinBitmaps.h"
#include "TextPair.h"

namespace qx {
namespace {

using enum ControlKind;

// One label per kind of field a page shows in a label, none with a rule of its own.
constexpr const char* kFields[] = {
    "Mic1.level",                       // half decibels
    "System.inputGains[2]",             // half decibels without a unit
    "Mic1.noiseGate.threshold",         // OFF at the bottom
    "MusicLeft.limiter.level",          // dBV
    "Scene[1].SUB.limiter.level",       // dB
    "MusicRight.deq[2].threshold",      // dBV from -48
    "Mic2.limiter.attack",              // attack texts
    "Mic2.limiter.release",             // release texts
    "Mic2.limiter.ratio",               // ratio texts
    "Scene[2].MainL.send.EchoA.level",  // percent
    "EchoB.rightDelay",                 // percent from -50
    "Scene[3].Center.delay",            // tenths of a millisecond
    "System.micMax",                    // a plain number
};

TEST(LabelRuleTest, ALabelWithoutItsOwnRuleReadsAsTheCatalogue) {
    ResetParameters();
    useChinese = false;
    QWidget page;
    CFieldBinding binding(&page);
    std::vector<ControlRow> rows;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        rows.push_back({static_cast<int>(i), Label, {0, 0, 40, 10}, {}, kFields[i]});
    }
    binding.Add(rows);
    ASSERT_TRUE(binding.Unresolved().empty());

    uint8_t* image = CParamCatalogue::Bytes(ParameterSet);
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        const ParamField* f = CParamCatalogue::Find(kFields[i]);
        ASSERT_NE(f, nullptr) << kFields[i];
        for (int code = f->minimum; code <= f->maximum; code += f->maximum > 200 ? 7 : 1) {
            ParsedValue v;
            v.code = static_cast<uint32_t>(code);
            CParamCatalogue::Apply(image, *f, v);
            binding.Refresh(static_cast<int>(i));
            EXPECT_EQ(binding.Get<CEdit_Static>(static_cast<int>(i))->Text().toStdString(),
                      CParamCatalogue::Display(image, *f))
                << kFields[i] << " code " << code;
        }
    }
}

TEST(LabelRuleTest, TheKeyShowsWithoutAPlusAndARowRuleWins) {
    ResetParameters();
    QWidget page;
    CFieldBinding binding(&page);
    const ControlRow rows[] = {
        {1, Label, {0, 0, 40, 10}, {}, "System.key"},
        // A stepped time in whole milliseconds, which the catalogue shows in tenths.
        {2,
         Label,
         {0, 0, 40, 10},
         {},
         "Reverb.time",
         Stepped(500, Shown(LabelRule::L20, 50, 0, "ms"))},
    };
    binding.Add(rows);
    binding.Write("System.key", 10);
    binding.Write("Reverb.time", 12345);
    EXPECT_EQ(binding.Get<CEdit_Static>(1)->Text(), QStringLiteral("3"));
    EXPECT_EQ(binding.Get<CEdit_Static>(2)->Text(), QStringLiteral("1200ms"));
    binding.Write("System.key", 0);
    EXPECT_EQ(binding.Get<CEdit_Static>(1)->Text(), QStringLiteral("-7"));
}

TEST(ButtonLookTest, APushButtonShowsItsPressedFaceUnderTheMouse) {
    QWidget page;
    CFieldBinding binding(&page);
    const ControlRow rows[] = {
        {1,
         Button,
         {0, 0, 50, 14},
         {"修改", "Modify"},
         nullptr,
         {},
         0,
         -1,
         {},
         0,
         ButtonLook::Push},
        {2, Button, {0, 20, 50, 14}, {"EQ重置", "EQ Reset"}},
        {3, Toggle, {0, 40, 50, 14}, {"同步", "SYNC"}, "MusicLink"},
        {4,
         Button,
         {0, 60, 92, 17},
         {"导出", "Export"},
         nullptr,
         {},
         0,
         -1,
         skins::kModeButton,
         0,
         ButtonLook::Push},
    };
    binding.Add(rows);
    // The faces differ, so the hover face tells the looks apart.
    ASSERT_NE(CSkinBitmaps::Get(skins::kPageButton.first),
              CSkinBitmaps::Get(skins::kPageButton.second));
    ASSERT_NE(CSkinBitmaps::Get(skins::kModeButton.first),
              CSkinBitmaps::Get(skins::kModeButton.second));
    const struct {
        int id;
        int hoverFace;
    } expected[] = {{1, skins::kPageButton.second},
                    {2, skins::kPageButton.first},
                    {3, skins::kPageButton.first},
                    {4, skins::kModeButton.second}};
    for (const auto& e : expected) {
        auto* button = binding.Get<CBitButton>(e.id);
        ASSERT_NE(button, nullptr) << e.id;
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
        QApplication::sendEvent(button, &enter);
        ASSERT_EQ(button->CurrentState(), CBitButton::kHover) << e.id;
        EXPECT_EQ(button->CurrentImage(), CSkinBitmaps::Get(e.hoverFace)) << e.id;
    }
}

}  // namespace
}  // namespace qx
