// qxctl log reads what qxctl and the editor logged, and the device commands log what they
// sent: each field with both codes, recalls and stores.

#include <gtest/gtest.h>

#include <QDateTime>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "AuditLog.h"
#include "AuditReader.h"
#include "CliTestSupport.h"
#include "FieldCaption.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "Qxctl.h"
#include "VirtualProcessor.h"

using namespace qx;
namespace fs = std::filesystem;

namespace {

std::string Caption(const char* name) {
    return FieldCaption(*CParamCatalogue::Find(name), useChinese);
}

// Every command of this program logs into a file of its own, never into the person's log
// (set before any test runs, so the shared log opens it).
const std::string kLogPath = [] {
    const std::string path =
        (fs::temp_directory_path() / ("qxctl-tests-audit-" + std::to_string(::getpid()) + ".jsonl"))
            .string();
    ::setenv("QX_AUDIT_LOG", path.c_str(), 1);
    return path;
}();

struct Cli {
    int Run(const std::vector<std::string>& args) { return clitest::RunQxctl(args, out, err); }
    std::ostringstream out;
    std::ostringstream err;
};

class QxctlLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetParameters();
        ParamImage img;
        std::memcpy(&img, &ParameterSet, sizeof img);
        sim = std::make_unique<CVirtualProcessor>(img);
        server = std::make_unique<CPtyServer>(*sim);
        std::string error;
        ASSERT_TRUE(server->Start(&error)) << error;
        startMs = QDateTime::currentMSecsSinceEpoch();
    }
    void TearDown() override {
        server.reset();
        sim.reset();
        online = false;
        linkChannel = 0;
        deviceBusy = false;
        storePermission = 0;
    }
    std::vector<AuditRecord> LoggedHere() {
        EXPECT_TRUE(CAuditLog::Shared().Flush());
        AuditFilter here;
        here.room = server->Path();  // a terminal's path comes back in later tests
        here.sinceMs = startMs;
        return CAuditReader::Read(kLogPath, here);
    }

    std::unique_ptr<CVirtualProcessor> sim;
    std::unique_ptr<CPtyServer> server;
    int64_t startMs = 0;
    Cli cli;
};

}  // namespace

TEST_F(QxctlLogTest, DeviceCommandsLogWhatTheySent) {
    ASSERT_EQ(CAuditLog::Shared().Path(), kLogPath);
    const std::string port = server->Path();
    ASSERT_EQ(cli.Run({"set", "Mic1.level=6", "EchoA.repeat=40", "--port", port}), 0)
        << cli.err.str();
    ASSERT_EQ(cli.Run({"recall", "F2", "--port", port}), 0) << cli.err.str();
    ASSERT_EQ(cli.Run({"store", "4", "--name", "Late show", "--port", port}), 0) << cli.err.str();

    const std::vector<AuditRecord> logged = LoggedHere();
    ASSERT_EQ(logged.size(), 4u);
    // The fields in image order.
    EXPECT_EQ(logged[0].field, "EchoA.repeat");
    EXPECT_EQ(logged[0].newCode, 40u);
    EXPECT_EQ(logged[1].field, "Mic1.level");
    EXPECT_EQ(logged[1].newCode, 6u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(logged[i].hasCodes);
        EXPECT_EQ(logged[i].cause, AuditCause::Control);
        EXPECT_EQ(logged[i].tool, "qxctl");
        EXPECT_FALSE(logged[i].oldLabel.empty());
    }
    EXPECT_EQ(logged[2].action, "recall");
    EXPECT_EQ(logged[2].program, 18);
    EXPECT_EQ(logged[3].action, "store");
    EXPECT_EQ(logged[3].program, 4);
    EXPECT_NE(logged[3].detail.find("Late show"), std::string::npos);

    // Read back readably, filtered by port and field.
    ASSERT_EQ(cli.Run({"log", "--room", port, "--field", "mic*"}), 0) << cli.err.str();
    std::string shown = cli.out.str();
    // A field reads as the pages name it.
    EXPECT_NE(shown.find(Caption("Mic1.level")), std::string::npos) << shown;
    EXPECT_EQ(shown.find("EchoA"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("recall"), std::string::npos) << shown;
    // From this test's start on: the terminal's path may have served earlier tests.
    const std::string since =
        QDateTime::fromMSecsSinceEpoch(startMs, Qt::UTC).toString(Qt::ISODateWithMs).toStdString();
    ASSERT_EQ(cli.Run({"log", "--room", port, "--since", since, "--json"}), 0);
    shown = cli.out.str();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 4);
    ASSERT_EQ(cli.Run({"log", "--room", port, "--since", "1d"}), 0);
    EXPECT_NE(cli.out.str().find("store"), std::string::npos);
}

// A fleet command running qxctl for a room names the room and the cause for its lines.
TEST_F(QxctlLogTest, RoomAndCauseFromTheFleetsEnvironment) {
    ::setenv("QX_AUDIT_ROOM", "A07", 1);
    ::setenv("QX_AUDIT_CAUSE", "fleet", 1);
    const int rc = cli.Run({"set", "Mic2.level=9", "--port", server->Path()});
    ::unsetenv("QX_AUDIT_ROOM");
    ::unsetenv("QX_AUDIT_CAUSE");
    ASSERT_EQ(rc, 0) << cli.err.str();
    const std::vector<AuditRecord> logged = LoggedHere();
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].room, "A07");
    EXPECT_EQ(logged[0].cause, AuditCause::Fleet);
    ASSERT_EQ(cli.Run({"log", "--room", "A07"}), 0);
    EXPECT_NE(cli.out.str().find(Caption("Mic2.level")), std::string::npos) << cli.out.str();
}

TEST(QxctlLogUsage, BadSinceIsBadUsage) {
    Cli cli;
    EXPECT_EQ(cli.Run({"log", "--since", "last tuesday"}), 2);
    EXPECT_NE(cli.err.str().find("--since"), std::string::npos) << cli.err.str();
    EXPECT_EQ(cli.Run({"log", "extra"}), 2);
}
