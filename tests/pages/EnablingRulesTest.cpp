// The pages' enabling rules as pure functions of their state: no page, no widget.

#include <gtest/gtest.h>

#include <span>
#include <utility>

#include "ChannelPairRules.h"
#include "MainDlgRules.h"
#include "SysDlgRules.h"

using namespace qx;

namespace {

using I = SysPageIds;

SysPageState Online(bool permission, int program = 3) {
    SysPageState s;
    s.online = true;
    s.storePermission = permission;
    s.program = program;
    s.system.length = I::kSystemPasswordLength;
    s.panel.length = I::kPanelPasswordLength;
    return s;
}

// Every id of a group has the same state; false when one differs or is not governed.
bool All(const Enabling& e, std::span<const int> ids, bool on) {
    for (int id : ids) {
        if (!e.Governs(id) || e.IsEnabled(id) != on) {
            return false;
        }
    }
    return true;
}

}  // namespace

// --- System page ------------------------------------------------------------------------------

TEST(SysPageRulesTest, OfflineOffersFilesAndWhatTheBankAllows) {
    SysPageState s;            // offline, no bank, no permission
    s.storePermission = true;  // a permission left from the last connection counts for nothing
    s.program = 3;
    Enabling e = SysPageRules(s);
    EXPECT_TRUE(All(e, sysgroups::kBankReaders, false));
    EXPECT_TRUE(All(e, sysgroups::kNameAndStore, false));
    EXPECT_TRUE(All(e, sysgroups::kImports, true));
    EXPECT_TRUE(All(e, sysgroups::kAlwaysUsable, true));
    EXPECT_TRUE(All(e, sysgroups::kVerification, false));
    for (int id : {I::kSystemOld, I::kPanelOld}) {
        EXPECT_FALSE(e.IsEnabled(id)) << id;
    }

    s.bankValid = true;
    e = SysPageRules(s);
    EXPECT_TRUE(All(e, sysgroups::kBankReaders, true));
    EXPECT_TRUE(All(e, sysgroups::kNameAndStore, false));
}

TEST(SysPageRulesTest, OnlineStoringNeedsThePermissionAndAStorableProgram) {
    SysPageState s = Online(false);
    Enabling e = SysPageRules(s);
    EXPECT_TRUE(All(e, sysgroups::kNameAndStore, false));
    EXPECT_TRUE(All(e, sysgroups::kImports, false));
    EXPECT_TRUE(All(e, sysgroups::kBankReaders, true));
    EXPECT_TRUE(e.IsEnabled(I::kVerifyEdit));
    EXPECT_FALSE(e.IsEnabled(I::kVerifyOk));  // nothing typed yet
    s.verifyMatches = true;
    EXPECT_TRUE(SysPageRules(s).IsEnabled(I::kVerifyOk));

    for (auto [program, storable] :
         {std::pair{0, false}, std::pair{1, true}, std::pair{16, true}, std::pair{17, false},
          std::pair{21, false}, std::pair{200, false}}) {
        s = Online(true, program);
        s.verifyMatches = true;  // verified already: the verification is closed
        e = SysPageRules(s);
        EXPECT_EQ(All(e, sysgroups::kNameAndStore, true), storable) << program;
        EXPECT_EQ(All(e, sysgroups::kNameAndStore, false), !storable) << program;
        EXPECT_TRUE(All(e, sysgroups::kImports, true)) << program;
        EXPECT_TRUE(All(e, sysgroups::kVerification, false)) << program;
    }
}

TEST(SysPageRulesTest, PasswordGroupsMoveStepByStepAndApart) {
    SysPageState s = Online(true);
    Enabling e = SysPageRules(s);
    for (const PasswordGroupIds& g : {kSystemPasswordGroup, kPanelPasswordGroup}) {
        EXPECT_TRUE(e.IsEnabled(g.oldEdit));
        EXPECT_FALSE(e.IsEnabled(g.newEdit));
        EXPECT_FALSE(e.IsEnabled(g.confirmEdit));
        EXPECT_FALSE(e.IsEnabled(g.modify));
    }

    s.system.oldMatches = true;
    s.system.typedNew = QStringLiteral("98765");  // one short
    e = SysPageRules(s);
    EXPECT_TRUE(e.IsEnabled(I::kSystemNew));
    EXPECT_FALSE(e.IsEnabled(I::kSystemConfirm));
    EXPECT_FALSE(e.IsEnabled(I::kPanelNew));  // the other group is not opened

    s.system.typedNew = QStringLiteral("987654");
    s.system.typedConfirm = QStringLiteral("98765");
    e = SysPageRules(s);
    EXPECT_TRUE(e.IsEnabled(I::kSystemConfirm));
    EXPECT_FALSE(e.IsEnabled(I::kSystemModify));
    s.system.typedConfirm = QStringLiteral("987654");
    EXPECT_TRUE(SysPageRules(s).IsEnabled(I::kSystemModify));
    EXPECT_FALSE(SysPageRules(s).IsEnabled(I::kPanelModify));

    // A new password changed after it was confirmed needs confirming again.
    s.system.typedNew = QStringLiteral("987655");
    EXPECT_FALSE(SysPageRules(s).IsEnabled(I::kSystemModify));

    // The panel password has four characters: six typed ones never make it complete.
    s.panel.oldMatches = true;
    s.panel.typedNew = s.panel.typedConfirm = QStringLiteral("123456");
    e = SysPageRules(s);
    EXPECT_FALSE(e.IsEnabled(I::kPanelConfirm));
    EXPECT_FALSE(e.IsEnabled(I::kPanelModify));
    s.panel.typedNew = s.panel.typedConfirm = QStringLiteral("1234");
    EXPECT_TRUE(SysPageRules(s).IsEnabled(I::kPanelModify));
}

TEST(SysPageRulesTest, TheKeyRowIsNeverShown) {
    for (bool online : {false, true}) {
        SysPageState s = Online(true);
        s.online = online;
        const Enabling e = SysPageRules(s);
        for (int id : sysgroups::kKeyRow) {
            EXPECT_FALSE(e.IsShown(id)) << id;
        }
        EXPECT_TRUE(e.IsShown(I::kStore));
    }
}

// --- Output page ------------------------------------------------------------------------------

TEST(OutputPageRulesTest, OnlyAModeWithASceneEdits) {
    using namespace outputgroups;
    for (auto [mode, editable] : {std::pair{0, false}, std::pair{1, true}, std::pair{2, true},
                                  std::pair{3, true}, std::pair{4, false}, std::pair{255, false}}) {
        const OutputPageEnabling r = OutputPageRules({mode, false, false});
        EXPECT_EQ(r.strips, editable) << mode;
        for (std::span<const int> group :
             {std::span<const int>(kSendToggles), std::span<const int>(kSceneSliders),
              std::span<const int>(kFilterInputs)}) {
            EXPECT_TRUE(All(r.controls, group, editable)) << mode;
        }
        for (int id : {OutputPageIds::kSync, OutputPageIds::kEqReset, OutputPageIds::kEqPass,
                       OutputPageIds::kLeftMute, OutputPageIds::kRightMute}) {
            EXPECT_EQ(r.controls.IsEnabled(id), editable) << mode << " " << id;
        }
    }
}

TEST(OutputPageRulesTest, SideButtonsServeAnUnlinkedPairInEveryMode) {
    using namespace outputgroups;
    for (int mode : {0, 2}) {
        EXPECT_TRUE(All(OutputPageRules({mode, true, false}).controls, kSideButtons, true));
        EXPECT_TRUE(All(OutputPageRules({mode, true, true}).controls, kSideButtons, false));
        EXPECT_TRUE(All(OutputPageRules({mode, false, false}).controls, kSideButtons, false));
    }
}

TEST(OutputPageRulesTest, PairControlsShowForPairsOnly) {
    using namespace outputgroups;
    for (bool pair : {false, true}) {
        const Enabling e = OutputPageRules({1, pair, false}).controls;
        for (int id : kPairButtons) {
            EXPECT_EQ(e.IsShown(id), pair) << id;
        }
        for (int id : kRightSide) {
            EXPECT_EQ(e.IsShown(id), pair) << id;
        }
        EXPECT_TRUE(e.IsShown(OutputPageIds::kLeftMute));
        EXPECT_TRUE(e.IsShown(OutputPageIds::kLeftDelay));
    }
}

// --- Stereo pages -----------------------------------------------------------------------------

TEST(ChannelPairRulesTest, ALinkedPairOffersNoChannel) {
    const ChannelPairIds ids{1065, 1066};
    for (bool linked : {false, true}) {
        const Enabling e = ChannelPairRules(ids, linked);
        EXPECT_EQ(e.IsEnabled(1065), !linked);
        EXPECT_EQ(e.IsEnabled(1066), !linked);
        EXPECT_FALSE(e.Governs(1064));  // the link itself is always usable
    }
}
