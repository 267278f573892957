// The System page needs no main window: it reaches the processor through the session it is
// given.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "EditorSession.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "SysDlg.h"

namespace qx {
namespace {

TEST(SysDlgSessionTest, ModesGoThroughTheSession) {
    ResetParameters();
    {
        ParamGuard guard(ParamLock);
        ProgramBank.bankValid = 1;
        ProgramBank.programs[1].MusicLeft.limiter.level = 23;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CEditorSession session(dir.filePath(QStringLiteral("MusicFile")));
    CSysDlg page;
    page.SetSession(&session);
    QSignalSpy replaced(&session, &CEditorSession::imageReplaced);

    // An offline recall takes the stored program; the session says the image was replaced.
    page.Files().Recall(2);
    EXPECT_EQ(ParameterSet.program.MusicLeft.limiter.level, 23);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 2);
    EXPECT_EQ(replaced.count(), 1);

    // Without a session the page still works on the image, and sends nothing.
    page.SetSession(nullptr);
    page.Files().Recall(1);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 1);
    ResetParameters();
}

}  // namespace
}  // namespace qx
