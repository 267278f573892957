// Fleet workers log their rooms at once from their own threads: every room's rollout line and
// field lines arrive whole, none lost, each with its room.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "AuditReader.h"
#include "FleetAudit.h"
#include "ParamCatalogue.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

TEST(FleetAuditTest, RoomsLoggingFromTheirOwnThreadsArriveWhole) {
    const std::string path =
        (fs::temp_directory_path() / ("qx-fleet-audit-" + std::to_string(::getpid()))).string();
    fs::remove(path);
    auto before = std::make_unique<ParamImage>();
    std::memset(before.get(), 0, sizeof(ParamImage));
    auto after = std::make_unique<ParamImage>(*before);
    CParamCatalogue::Apply(CParamCatalogue::Bytes(*after), *CParamCatalogue::Find("EchoA.repeat"),
                           {12, {}, false});
    std::memcpy(after->system.block.systemPassword, "777777", 6);
    constexpr int kRooms = 8;
    {
        CAuditLog log(path);
        std::vector<std::thread> workers;
        for (int room = 0; room < kRooms; ++room) {
            workers.emplace_back([&, room] {
                AuditFleetChanges("R" + std::to_string(room),
                                  "socket://127.0.0.1:" + std::to_string(4000 + room), 2, *before,
                                  *after, "small.dia", room != 3, log);
                AuditFleet("verify", "R" + std::to_string(room), "", 2, "read back", room != 3,
                           log);
            });
        }
        for (std::thread& w : workers) {
            w.join();
        }
        ASSERT_TRUE(log.Flush());
        EXPECT_EQ(log.LostLines(), 0u);
    }
    int skipped = -1;
    const std::vector<AuditRecord> all = CAuditReader::Read(path, {}, &skipped);
    EXPECT_EQ(skipped, 0);
    for (int room = 0; room < kRooms; ++room) {
        AuditFilter only;
        only.room = "R" + std::to_string(room);
        const std::vector<AuditRecord> logged = CAuditReader::Read(path, only);
        ASSERT_EQ(logged.size(), 4u) << only.room;  // rollout, EchoA.repeat, password, verify
        EXPECT_EQ(logged[0].action, "rollout");
        EXPECT_EQ(logged[0].detail, "small.dia");
        EXPECT_EQ(logged[1].field, "EchoA.repeat");
        EXPECT_EQ(logged[1].newCode, 12u);
        EXPECT_EQ(logged[1].cause, AuditCause::Fleet);
        EXPECT_EQ(logged[1].ok, room != 3);
        EXPECT_EQ(logged[2].newLabel.find("7777"), std::string::npos);
        EXPECT_EQ(logged[3].action, "verify");
        EXPECT_EQ(logged[3].ok, room != 3);
    }
    EXPECT_EQ(all.size(), 4u * kRooms);
    fs::remove(path);
}

}  // namespace
}  // namespace qx
