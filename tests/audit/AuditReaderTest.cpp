// Reading the log back for qxctl log and the editor: room, time and field filters, patterns
// and the times people type.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "AuditReader.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

TEST(AuditReaderTest, PatternsMatchCatalogueNamesIgnoringCase) {
    EXPECT_TRUE(CAuditReader::Matches("Mic*.level", "Mic1.level"));
    EXPECT_TRUE(CAuditReader::Matches("mic*.LEVEL", "Mic2.level"));
    EXPECT_FALSE(CAuditReader::Matches("Mic*.level", "Mic1.limiter.level2"));
    EXPECT_TRUE(CAuditReader::Matches("Scene[*].*.mute", "Scene[2].SUB.mute"));
    EXPECT_FALSE(CAuditReader::Matches("Scene[*].*.mute", "Scene[2].SUB.delay"));
    EXPECT_TRUE(CAuditReader::Matches("*gain*", "MusicLeft.bands[3].gainCode"));
    EXPECT_TRUE(CAuditReader::Matches("Mic?.level", "Mic2.level"));
    EXPECT_FALSE(CAuditReader::Matches("Mic?.level", "Mic12.level"));
    EXPECT_FALSE(CAuditReader::Matches("Mic1", ""));
}

TEST(AuditReaderTest, SinceReadsDatesTimesAndSpans) {
    const int64_t now = 1'800'000'000'000;
    int64_t since = 0;
    ASSERT_TRUE(CAuditReader::ParseSince("2h", now, since));
    EXPECT_EQ(since, now - 2 * 3'600'000);
    ASSERT_TRUE(CAuditReader::ParseSince("30m", now, since));
    EXPECT_EQ(since, now - 30 * 60'000);
    ASSERT_TRUE(CAuditReader::ParseSince("7d", now, since));
    EXPECT_EQ(since, now - 7 * 86'400'000LL);
    ASSERT_TRUE(CAuditReader::ParseSince("1970-01-02", now, since));
    EXPECT_EQ(since, 86'400'000);
    ASSERT_TRUE(CAuditReader::ParseSince("1970-01-01 01:30", now, since));
    EXPECT_EQ(since, 90 * 60'000);
    ASSERT_TRUE(CAuditReader::ParseSince("1970-01-01T02:00:00+01:00", now, since));
    EXPECT_EQ(since, 3'600'000);
    EXPECT_FALSE(CAuditReader::ParseSince("yesterday", now, since));
    EXPECT_FALSE(CAuditReader::ParseSince("5x", now, since));
}

// Rooms match by name or port, times from the moment on, fields by pattern (which leaves out
// records that are no field change); damaged lines are skipped and counted.
TEST(AuditReaderTest, FiltersAcrossRotatedFiles) {
    const fs::path dir =
        fs::temp_directory_path() / ("qx-audit-read-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "audit.jsonl").string();
    auto record = [](int64_t t, const char* room, const char* port, const char* field) {
        AuditRecord r;
        r.timeMs = t;
        r.room = room;
        r.port = port;
        r.action = *field != '\0' ? "field" : "recall";
        r.field = field;
        return r.ToJsonLine() + "\n";
    };
    std::ofstream(path + ".1") << record(1000, "A01", "/dev/a", "Mic1.level")
                               << record(2000, "A02", "/dev/b", "Mic2.level");
    std::ofstream(path) << record(3000, "A01", "/dev/a", "EchoA.repeat") << "{\"cut short\n"
                        << record(4000, "", "/dev/c", "")
                        << record(5000, "A01", "/dev/a", "Mic2.level");

    int skipped = 0;
    auto times = [&](const AuditFilter& f) {
        std::vector<int64_t> t;
        for (const AuditRecord& r : CAuditReader::Read(path, f, &skipped)) {
            t.push_back(r.timeMs);
        }
        return t;
    };
    EXPECT_EQ(times({}), (std::vector<int64_t>{1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(skipped, 1);
    AuditFilter room;
    room.room = "A01";
    EXPECT_EQ(times(room), (std::vector<int64_t>{1000, 3000, 5000}));
    room.room = "/dev/c";
    EXPECT_EQ(times(room), (std::vector<int64_t>{4000}));
    AuditFilter since;
    since.sinceMs = 3000;
    EXPECT_EQ(times(since), (std::vector<int64_t>{3000, 4000, 5000}));
    AuditFilter field;
    field.field = "mic*.level";
    EXPECT_EQ(times(field), (std::vector<int64_t>{1000, 2000, 5000}));
    field.room = "A01";
    field.sinceMs = 2000;
    EXPECT_EQ(times(field), (std::vector<int64_t>{5000}));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qx
