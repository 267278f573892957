// Port listing completion and the window-message layer.

#include <gtest/gtest.h>

#include <QThread>

#include "EnumSerialPorts.h"
#include "LinkTestSupport.h"
#include "MessageMap.h"
#include "Messages.h"

using namespace qx;
using namespace linktest;

namespace {

PortInfo Record(const char* path, const char* port, const char* com, const char* description) {
    PortInfo p;
    p.devicePath = QString::fromLatin1(path);
    p.portName = QString::fromLatin1(port);
    p.comName = QString::fromLatin1(com);
    p.description = QString::fromLatin1(description);
    return p;
}

TEST(EnumSerialPortsTest, CompletionAndTestOpen) {
    std::vector<PortInfo> list = {
        Record("/dev/a", "ttyA", "", ""),            // comName from portName
        Record("/dev/b", "ttyB", "COM5 (USB)", ""),  // description cut before " ("
        Record("/dev/c", "ttyC", "X", "Given"),      // kept
        Record("/dev/gone1", "g1", "", ""),          // removed by the test-open
        Record("/dev/gone2", "g2", "", ""),          // adjacent: removed as well
        Record("/dev/d", "ttyD", "(odd)", ""),       // " (" not after position 0: kept
    };
    CompletePorts(list, true, [](const QString& path) { return !path.contains("gone"); });
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].comName, "ttyA");
    EXPECT_EQ(list[0].description, "ttyA");
    EXPECT_EQ(list[1].description, "COM5");
    EXPECT_EQ(list[2].description, "Given");
    EXPECT_EQ(list[3].devicePath, "/dev/d");
    EXPECT_EQ(list[3].description, "(odd)");

    // Paths from the command line come first and are opened by their path.
    QStringList args = {"qx-editor", "--port", "/dev/pts/7", "--port=/dev/pts/9", "-x"};
    TakePortArguments(args);
    EXPECT_EQ(args, (QStringList{"qx-editor", "-x"}));
    std::vector<PortInfo> found;
    EnumSerialPorts(found, false);
    ASSERT_GE(found.size(), 2u);
    EXPECT_EQ(found[0].comName, "/dev/pts/7");
    EXPECT_EQ(found[1].devicePath, "/dev/pts/9");
    SetExtraPortPaths({});
}

TEST(MessagesTest, PostedFromAnyThreadSentSynchronously) {
    MessageRecorder target;
    // Posted from another thread: queued, delivered by the target's event loop in order.
    std::thread poster([&] {
        PostMessage(&target, WM_LINK_FAILED, 1, 1);
        PostMessage(&target, WM_SYSTEM_DATA_RECEIVED, 0x18, 0);
    });
    poster.join();
    EXPECT_TRUE(target.messages.empty());
    ASSERT_TRUE(WaitUntil([&] { return target.messages.size() == 2; }, 2000));
    EXPECT_EQ(target.messages[0].message, WM_LINK_FAILED);
    EXPECT_EQ(target.messages[0].lParam, 1);
    EXPECT_EQ(target.messages[1].wParam, 0x18);

    // Sent: handled before SendMessage returns, with the handler's result.
    QObject owner;
    CMessageMap map(&owner);
    map.On(WM_NUMEDIT_CHANGED, [](WParam w, LParam l) -> LParam { return w + l + 1; });
    EXPECT_EQ(SendMessage(&owner, WM_NUMEDIT_CHANGED, 2, 3), 6);
    EXPECT_EQ(SendMessage(&owner, WM_EQ_BAND_CHANGED, 0, 1), 0);  // not mapped
    EXPECT_FALSE(PostMessage(nullptr, WM_AUTO_CONNECT));
    EXPECT_EQ(WM_LINK_FAILED, 0x472);
    EXPECT_EQ(WM_DEVICE_FOUND, 0x47B);
    EXPECT_EQ(WM_SLIDER_TRACKING, 0x28D1);
}

}  // namespace
