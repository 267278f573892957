// The audit log's writer: every record is one complete JSON line, files rotate by size and
// are read back oldest first, and a log that cannot be written loses lines without ever
// holding up whoever appends.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AuditLog.h"
#include "AuditReader.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

class AuditLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("qx-audit-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name = "audit.jsonl") const {
        return (dir / name).string();
    }

    static std::vector<std::string> Lines(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    static AuditRecord FieldChange(int n) {
        AuditRecord r;
        r.action = "field";
        r.port = "socket://10.0.0.7:4001";
        r.room = "A01";
        r.program = 3;
        r.field = "Mic1.level";
        r.caption = "Mic 1 level";
        r.hasCodes = true;
        r.oldCode = static_cast<uint32_t>(n);
        r.newCode = static_cast<uint32_t>(n + 1);
        r.oldLabel = "-10.0dB";
        r.newLabel = "-9.5dB";
        return r;
    }

    fs::path dir;
};

// Each cause gives one line holding who, where, when, why and what; a field's line holds
// both codes and both labels, and reading it back gives the same record.
TEST_F(AuditLogTest, EveryCauseIsOneCompleteJsonLine) {
    const std::vector<AuditCause> causes = {AuditCause::Control,      AuditCause::Undo,
                                            AuditCause::File,         AuditCause::Fleet,
                                            AuditCause::FilterImport, AuditCause::Rule};
    {
        CAuditLog log(Path());
        for (std::size_t i = 0; i < causes.size(); ++i) {
            AuditRecord r = FieldChange(static_cast<int>(i));
            r.cause = causes[i];
            r.detail = "line with \"quotes\"\nand a line end";
            log.Append(r);
        }
        AuditRecord recall;
        recall.action = "recall";
        recall.program = 21;
        recall.port = "/dev/ttyUSB0";
        log.Append(recall);
        ASSERT_TRUE(log.Flush());
        EXPECT_EQ(log.WrittenLines(), causes.size() + 1);
        EXPECT_EQ(log.LostLines(), 0u);
    }
    const std::vector<std::string> lines = Lines(Path());
    ASSERT_EQ(lines.size(), causes.size() + 1);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(lines[i]));
        ASSERT_TRUE(doc.isObject()) << lines[i];
        const QJsonObject o = doc.object();
        for (const char* key : {"time", "user", "host", "tool", "session", "port", "room",
                                "program", "cause", "action"}) {
            EXPECT_TRUE(o.contains(QLatin1String(key))) << key << " in " << lines[i];
        }
        EXPECT_FALSE(o.value(QStringLiteral("user")).toString().isEmpty());
        if (i < causes.size()) {
            EXPECT_EQ(o.value(QStringLiteral("cause")).toString().toStdString(),
                      AuditCauseName(causes[i]));
            EXPECT_EQ(o.value(QStringLiteral("old")).toInt(), static_cast<int>(i));
            EXPECT_EQ(o.value(QStringLiteral("new")).toInt(), static_cast<int>(i) + 1);
            EXPECT_EQ(o.value(QStringLiteral("newLabel")).toString(), QStringLiteral("-9.5dB"));
            AuditRecord back;
            ASSERT_TRUE(AuditRecord::FromJsonLine(lines[i], back));
            EXPECT_EQ(back.cause, causes[i]);
            EXPECT_EQ(back.room, "A01");
            EXPECT_EQ(back.program, 3);
            EXPECT_EQ(back.detail, "line with \"quotes\"\nand a line end");
        } else {
            EXPECT_EQ(o.value(QStringLiteral("action")).toString(), QStringLiteral("recall"));
            EXPECT_FALSE(o.contains(QStringLiteral("old")));
        }
    }
}

// A file is rotated before it grows past its size; the oldest rotated file is dropped, and
// what is kept reads back in the order written, without gaps.
TEST_F(AuditLogTest, RotatesBySizeAndReadsBackInOrder) {
    CAuditLog::Limits limits;
    limits.maxBytes = 2000;
    limits.keptFiles = 3;
    {
        CAuditLog log(Path(), limits);
        for (int n = 0; n < 200; ++n) {
            log.Append(FieldChange(n));
            if (n % 7 == 0) {
                ASSERT_TRUE(log.Flush());
            }
        }
        ASSERT_TRUE(log.Flush());
        EXPECT_EQ(log.WrittenLines(), 200u);
    }
    for (const std::string& p :
         {Path(), Path("audit.jsonl.1"), Path("audit.jsonl.2"), Path("audit.jsonl.3")}) {
        ASSERT_TRUE(fs::exists(p)) << p;
        EXPECT_LE(fs::file_size(p), limits.maxBytes) << p;
    }
    EXPECT_FALSE(fs::exists(Path("audit.jsonl.4")));
    const std::vector<AuditRecord> back = CAuditReader::Read(Path(), {});
    ASSERT_GT(back.size(), 10u);
    EXPECT_EQ(back.back().oldCode, 199u);
    for (std::size_t i = 1; i < back.size(); ++i) {
        EXPECT_EQ(back[i].oldCode, back[i - 1].oldCode + 1);
    }
}

// A log in a place that cannot be written: every line is counted lost, the reason is kept,
// and appending goes on.
TEST_F(AuditLogTest, UnwritableLogLosesLinesAndSaysWhy) {
    { std::ofstream(Path("plain-file")) << "x"; }
    CAuditLog log(Path("plain-file") + "/audit.jsonl");
    for (int n = 0; n < 50; ++n) {
        log.Append(FieldChange(n));
    }
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(log.LostLines(), 50u);
    EXPECT_EQ(log.WrittenLines(), 0u);
    EXPECT_NE(log.LastError().find("plain-file"), std::string::npos) << log.LastError();
}

// On a full disk every line counts as lost, none as written.
TEST_F(AuditLogTest, FullDiskCountsLinesLost) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    CAuditLog log("/dev/full");
    for (int n = 0; n < 20; ++n) {
        log.Append(FieldChange(n));
    }
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(log.WrittenLines(), 0u);
    EXPECT_EQ(log.LostLines(), 20u);
    EXPECT_FALSE(log.LastError().empty());
}

// A writer stuck on its file (a FIFO nobody reads blocks the open) does not hold up Append:
// lines beyond the queue's bound are dropped and counted, and the log's end does not wait
// for the disk.
TEST_F(AuditLogTest, StalledWriterNeverBlocksAppend) {
    std::signal(SIGPIPE, SIG_IGN);  // the reader below may close before the writer is done
    const std::string fifo = Path("stalled");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CAuditLog::Limits limits;
    limits.maxQueued = 10;
    {
        CAuditLog log(fifo, limits);
        for (int n = 0; n < 500; ++n) {
            log.Append(FieldChange(n));
        }
        EXPECT_FALSE(log.Flush(100));
        // The writer holds one batch of at most the bound; at most the bound waits behind it.
        EXPECT_GE(log.LostLines(), 500u - 2 * limits.maxQueued);
    }
    // Let the abandoned writer finish: a reader opens the FIFO and drains it.
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    char buffer[4096];
    for (int i = 0; i < 200; ++i) {
        if (::read(fd, buffer, sizeof buffer) <= 0) {
            ::usleep(5000);
        }
    }
    ::close(fd);
}

}  // namespace
}  // namespace qx
