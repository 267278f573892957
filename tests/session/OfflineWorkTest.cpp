// The record of offline work: a changed image is kept as a program file under a fresh name.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <ctime>

#include "OfflineWork.h"
#include "ParameterSet.h"

namespace qx {
namespace {

TEST(OfflineWorkTest, KeepsAChangedImageUnderAFreshName) {
    ResetParameters();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.filePath(QStringLiteral("MusicFile")).toStdString();
    COfflineWork work;
    work.NoteLoaded(ParameterSet);
    std::string path;
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 10;
    when.tm_min = 5;
    when.tm_sec = 7;
    when.tm_isdst = -1;
    const std::time_t now = std::mktime(&when);
    EXPECT_EQ(COfflineWork::FileName(now), "offline-20261209-100507");

    EXPECT_TRUE(work.KeepIfChanged(ParameterSet, folder, now, path).ok);
    EXPECT_TRUE(path.empty());

    ParameterSet.program.Mic1.level = 3;
    ASSERT_TRUE(work.KeepIfChanged(ParameterSet, folder, now, path).ok);
    EXPECT_EQ(path, folder + "/offline-20261209-100507.dia");
    ParamImage read;
    ASSERT_TRUE(CProgramFile::ReadProgram(path, read).ok);
    EXPECT_EQ(std::memcmp(&read, &ParameterSet, sizeof read), 0);
    EXPECT_FALSE(work.Changed(ParameterSet));

    // Another change within the same second gets its own file.
    ParameterSet.program.Mic1.level = 4;
    ASSERT_TRUE(work.KeepIfChanged(ParameterSet, folder, now, path).ok);
    EXPECT_EQ(path, folder + "/offline-20261209-100507-2.dia");

    // A folder that cannot be written: reported, nothing claimed.
    ParameterSet.program.Mic1.level = 5;
    const FileResult r = work.KeepIfChanged(ParameterSet, "/proc/no-such/MusicFile", now, path);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(work.Changed(ParameterSet));
}

}  // namespace
}  // namespace qx
