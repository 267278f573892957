// The System page needs no main window: it reaches the processor through the session it is
// given, and tells whoever listens when a maximum volume changed.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "EditorSession.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "SysDlg.h"

namespace qx {
namespace {

TEST(SysDlgSessionTest, ModesGoThroughTheSessionAndMaximaAreTold) {
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

    // Each maximum slider tells its own master volume, once per change.
    QSignalSpy music(&page, &CSysDlg::MusicMaximumChanged);
    QSignalSpy mic(&page, &CSysDlg::MicMaximumChanged);
    QSignalSpy effect(&page, &CSysDlg::EffectMaximumChanged);
    page.Binding().ControlChanged(2572, 40);
    page.Binding().ControlChanged(2571, 30);
    page.Binding().ControlChanged(2570, 20);
    EXPECT_EQ(music.count(), 1);
    EXPECT_EQ(mic.count(), 1);
    EXPECT_EQ(effect.count(), 1);

    // Without a session the page still works on the image, and sends nothing.
    page.SetSession(nullptr);
    page.Files().Recall(1);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(ParameterSet.system.block.currentProgram, 1);
    ResetParameters();
}

}  // namespace
}  // namespace qx
