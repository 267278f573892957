// One click never loses settings on the equaliser pages: SYNC over differing channels and
// EQ Reset ask first, a refusal changes nothing, and SYNC keeps a snapshot before the second
// channel follows the first.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "Ask.h"
#include "EqPageTestSupport.h"
#include "MusicDlg.h"
#include "PageGlobals.h"
#include "ProgramFile.h"
#include "Snapshot.h"
#include "StripRow.h"

namespace qx {
namespace {

class SafeEditsTest : public test::EqPageTest<CMusicDlg> {
  protected:
    void SetUp() override {
        test::EqPageTest<CMusicDlg>::SetUp();
        ASSERT_TRUE(dir.isValid());
        CSnapshot::Instance().SetFolder(dir.path());
        QObject::connect(
            &CSnapshot::Instance(), &CSnapshot::kept, page.get(),
            [this](const QString& path, const QString&, const QString&) { kept.push_back(path); });
    }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

    QTemporaryDir dir;
    std::vector<QString> kept;
};

TEST_F(SafeEditsTest, SyncOverDifferingChannelsAsksNamesBothAndKeepsASnapshot) {
    ParameterSet.program.MusicRight.bands[2].gainCode = 90;
    const ParamImage before = ParameterSet;
    {
        CAsk::Scripted answers({1});  // No
        Click(CMusicDlg::kSync);
        ASSERT_EQ(answers.Asked().size(), 1U);
        const QString text = answers.Asked()[0].text;
        EXPECT_TRUE(text.contains(Button(CMusicDlg::kLeft)->text()));
        EXPECT_TRUE(text.contains(Button(CMusicDlg::kRight)->text()));
        EXPECT_TRUE(test::ChangedBytes(before, ParameterSet).empty());
        EXPECT_EQ(Button(CMusicDlg::kSync)->GetCheck(), 0);
        EXPECT_TRUE(kept.empty());
    }
    {
        CAsk::Scripted answers({0});  // Yes
        Click(CMusicDlg::kSync);
        EXPECT_EQ(ParameterSet.program.MusicLink, 1);
        ASSERT_EQ(kept.size(), 1U);
        ParamImage saved;
        ASSERT_TRUE(CProgramFile::ReadProgram(kept[0].toStdString(), saved).ok);
        EXPECT_EQ(saved.program.MusicRight.bands[2].gainCode, 90);
        EXPECT_EQ(saved.program.MusicLink, 0);
    }
    {
        // Releasing and linking equal channels asks nothing.
        CAsk::Scripted answers({1});
        Click(CMusicDlg::kSync);
        EXPECT_EQ(ParameterSet.program.MusicLink, 0);
        Click(CMusicDlg::kSync);
        EXPECT_EQ(ParameterSet.program.MusicLink, 1);
        EXPECT_TRUE(answers.Asked().empty());
        EXPECT_EQ(kept.size(), 1U);
    }
}

TEST_F(SafeEditsTest, EqResetAsksFirstAndARefusalChangesNothing) {
    ParameterSet.program.MusicLeft.bands[4].gainCode = 150;
    const ParamImage before = ParameterSet;
    {
        CAsk::Scripted answers({1});
        Click(CMusicDlg::kEqReset);
        ASSERT_EQ(answers.Asked().size(), 1U);
        EXPECT_EQ(answers.Asked()[0].byDefault, 1) << "No is the default";
        EXPECT_TRUE(test::ChangedBytes(before, ParameterSet).empty());
    }
    CAsk::Scripted answers({0});
    Click(CMusicDlg::kEqReset);
    EXPECT_EQ(ParameterSet.program.MusicLeft.bands[4].gainCode, 120);
}

}  // namespace
}  // namespace qx
