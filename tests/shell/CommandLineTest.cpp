// The editor's command line.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "Mivo.h"

namespace qx {
namespace {

QStringList Args(std::initializer_list<const char*> list) {
    QStringList a{QStringLiteral("qx-editor")};
    for (const char* s : list) {
        a << QString::fromUtf8(s);
    }
    return a;
}

TEST(CommandLineTest, OptionsAndMistakes) {
    const auto none = CMivoApp::Parse(Args({}));
    EXPECT_FALSE(none.simulate);
    EXPECT_TRUE(none.ports.isEmpty());
    EXPECT_EQ(none.language, -1);
    EXPECT_TRUE(none.error.isEmpty());

    const auto all = CMivoApp::Parse(
        Args({"--simulate", "--port", "/dev/pts/7", "--port=/dev/ttyUSB3", "--lang", "zh"}));
    EXPECT_TRUE(all.simulate);
    EXPECT_EQ(all.ports, (QStringList{"/dev/pts/7", "/dev/ttyUSB3"}));
    EXPECT_EQ(all.language, 1);
    EXPECT_EQ(CMivoApp::Parse(Args({"--lang=en"})).language, 0);

    EXPECT_FALSE(CMivoApp::Parse(Args({"--lang", "fr"})).error.isEmpty());
    EXPECT_FALSE(CMivoApp::Parse(Args({"--port"})).error.isEmpty());
    EXPECT_FALSE(CMivoApp::Parse(Args({"--tab", "10"})).error.isEmpty());
    EXPECT_FALSE(CMivoApp::Parse(Args({"/dev/ttyS0"})).error.isEmpty());
    EXPECT_EQ(CMivoApp::Parse(Args({"--size", "800x600"})).size, QSize(800, 600));
    EXPECT_FALSE(CMivoApp::Parse(Args({"--size=800"})).error.isEmpty());
    EXPECT_FALSE(CMivoApp::Parse(Args({"--size", "0x600"})).error.isEmpty());
    EXPECT_TRUE(CMivoApp::Parse(Args({"--help"})).help);
    EXPECT_TRUE(CMivoApp::Parse(Args({"--version"})).version);
    EXPECT_TRUE(CMivoApp::VersionLine().startsWith(QStringLiteral("qx-editor ")));
}

TEST(CommandLineTest, OneRoomOfAFleetFileIsProbedFirst) {
    const QString path = QDir::temp().filePath(
        QStringLiteral("qx-editor-fleet-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"rooms": [{"name": "A01", "port": "/dev/pts/9"},
                             {"name": "A02", "port": "rfc2217://10.0.0.2:7002"}]})");
    file.close();
    const QByteArray fleet = path.toUtf8();
    const auto room = CMivoApp::Parse(
        Args({"--port", "/dev/ttyUSB0", "--fleet", fleet.constData(), "--room", "A02"}));
    EXPECT_TRUE(room.error.isEmpty()) << room.error.toStdString();
    EXPECT_EQ(room.ports, (QStringList{"rfc2217://10.0.0.2:7002", "/dev/ttyUSB0"}));

    const auto unknown = CMivoApp::Parse(Args({"--fleet", fleet.constData(), "--room", "B01"}));
    EXPECT_TRUE(unknown.error.contains(QStringLiteral("rooms: A01, A02")))
        << unknown.error.toStdString();
    EXPECT_FALSE(CMivoApp::Parse(Args({"--fleet", fleet.constData()})).error.isEmpty());
    EXPECT_FALSE(
        CMivoApp::Parse(Args({"--fleet", "/nonexistent.json", "--room", "A01"})).error.isEmpty());
    QFile::remove(path);
}

}  // namespace
}  // namespace qx
