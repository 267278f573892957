// Port listing completion, and how the reply sink's notices reach the user-interface thread.

#include <gtest/gtest.h>

#include <QThread>

#include "CommProtocol.h"
#include "EnumSerialPorts.h"
#include "LinkTestSupport.h"

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

TEST(ReplySinkTest, NoticesFromTheWorkerArriveQueuedAndInOrder) {
    CCommProtocol protocol;
    CSerialPort port{protocol};
    CLinkReplySink sink{port};
    NoticeRecorder recorder;
    recorder.Watch(sink);
    // Told on another thread, as the serial worker does: nothing runs there or at once; the
    // event loop of this thread delivers every notice in the order it was told.
    std::thread worker([&] {
        sink.DeviceFound();
        sink.SystemReceived();
        sink.ParametersReceived();
        sink.SystemDataReceived(0x18);
        sink.ModesReceived();
    });
    worker.join();
    EXPECT_TRUE(recorder.told.empty());
    ASSERT_TRUE(WaitUntil([&] { return recorder.told.size() == 5; }, 2000));
    const std::vector<Notice> order = {Notice::DeviceFound, Notice::SystemReceived,
                                       Notice::ProgramReceived, Notice::Monitor,
                                       Notice::BankReceived};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(recorder.told[i].notice, order[i]) << i;
    }
    EXPECT_EQ(recorder.told[3].value, 0x18);

    // Monitor blocks are asked for only when the user interface wants them.
    EXPECT_FALSE(sink.TakeMonitorRequest());  // no user interface
    struct Wanting : CLinkUi {
        bool TakeMonitorRequest() override { return true; }
    } wanting;
    sink.SetUi(&wanting);
    EXPECT_TRUE(sink.TakeMonitorRequest());
    UiRecorder refusing;
    sink.SetUi(&refusing);
    EXPECT_FALSE(sink.TakeMonitorRequest());
}

}  // namespace
