// The main window's share of keeping work safe and saying what happens: closing keeps unsaved
// work and the next start says where, the progress form says what it moves and how far, and
// Qt's own buttons speak Chinese while the interface does.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "../pages/PagesTestSupport.h"
#include "EditorSession.h"
#include "ProgramFile.h"
#include "QtTranslations.h"
#include "TextPair.h"

namespace qx {
namespace {

using namespace qx::test;

TEST(SafeWindowTest, ClosingKeepsUnsavedWorkAndTheNextWindowSaysWhere) {
    ResetParameters();
    useChinese = false;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("MusicFile"));
    QString kept;
    {
        Window window(false, folder);
        window->show();
        ParameterSet.program.EchoA.wetLevel = 41;
        window->close();
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("offline-*.dia")}, QDir::Files);
        ASSERT_EQ(files.size(), 1);
        kept = QDir(folder).filePath(files[0]);
        ParamImage saved;
        ASSERT_TRUE(CProgramFile::ReadProgram(kept.toStdString(), saved).ok);
        EXPECT_EQ(saved.program.EchoA.wetLevel, 41);
    }
    {
        Window window(false, folder);
        EXPECT_TRUE(window->Notice().contains(kept));
        window->close();  // nothing changed since: nothing more is written
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("offline-*.dia")}, QDir::Files).size(), 1);
    }
    Window again(false, folder);
    EXPECT_TRUE(again->Notice().isEmpty());
}

TEST(SafeWindowTest, TheProgressFormSaysWhatItMovesAndHowFar) {
    ResetParameters();
    useChinese = false;
    Window window;
    window->show();
    CShow_Dlg* form = window->Progress();
    form->StartProgress(kProgramCount);
    form->SetProgress(5);
    EXPECT_EQ(form->Line(), QStringLiteral("Program 5 of 21 (23%)"));
    form->SetProgress(kProgramCount);
    EXPECT_EQ(form->CurrentForm(), CShow_Dlg::kHidden);
    form->StartProgress(24);
    form->SetProgress(12);
    EXPECT_EQ(form->Line(), QStringLiteral("Block 12 of 24 (50%)"));
    form->SetProgress(24);

    form->ShowLookup();
    form->ShowPortProbed(QStringLiteral("/dev/ttyUSB3"));
    EXPECT_EQ(form->Line(), QStringLiteral("Device lookup: /dev/ttyUSB3"));
}

TEST(SafeWindowTest, QtButtonsFollowTheInterfaceLanguage) {
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    if (!QFile::exists(CQtTranslations::Folder() + QStringLiteral("/qtbase_zh_CN.qm"))) {
        // Without the catalogue the buttons stay English and nothing fails.
        EXPECT_FALSE(CQtTranslations::Follow(true));
        EXPECT_EQ(yes(), QStringLiteral("&Yes"));
        GTEST_SKIP() << "qtbase_zh_CN.qm is not installed";
    }
    EXPECT_TRUE(CQtTranslations::Follow(true));
    EXPECT_TRUE(CQtTranslations::Installed());
    EXPECT_NE(yes(), QStringLiteral("&Yes"));
    EXPECT_TRUE(CQtTranslations::Follow(false));
    EXPECT_FALSE(CQtTranslations::Installed());
    EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}

}  // namespace
}  // namespace qx
