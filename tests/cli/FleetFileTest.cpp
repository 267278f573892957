// Fleet files as installers write them (and get wrong), and the field patterns of --keep and
// --fields.

#include <gtest/gtest.h>

#include "FieldPattern.h"
#include "FleetFile.h"
#include "TextPair.h"

using namespace qx;

namespace {

struct Refusal {
    const char* text;
    const char* where;   // "LINE:" the error starts with
    const char* reason;  // part of the reason
};

}  // namespace

TEST(FleetFileTest, ReadsRoomsWithTheirAddressesAndTags) {
    std::vector<FleetRoom> rooms;
    std::string error;
    ASSERT_TRUE(CFleetFile::Parse(R"({"rooms": [
        {"name": "A01", "port": "socket://dsp-a01.local:4001", "tags": ["small", "2F"]},
        {"name": "A02", "port": "rfc2217://10.0.0.7:7001"},
        {"name": "VIP_1", "port": "/dev/ttyUSB0", "tags": []}
    ]})",
                                  rooms, error))
        << error;
    ASSERT_EQ(rooms.size(), 3U);
    EXPECT_EQ(rooms[0].port, "socket://dsp-a01.local:4001");
    EXPECT_TRUE(rooms[0].HasTag("2F"));
    EXPECT_FALSE(rooms[1].HasTag("small"));
    EXPECT_EQ(rooms[2].line, 4);
    EXPECT_EQ(CFleetFile::Find(rooms, "A02"), &rooms[1]);
    EXPECT_EQ(CFleetFile::Find(rooms, "a02"), nullptr);
}

TEST(FleetFileTest, RefusesBadFilesWithTheLineAndTheReason) {
    useChinese = false;
    const Refusal cases[] = {
        {"{\"rooms\": [\n{\"name\": \"A\", \"port\": \"/dev/a\"},\n{\"name\": \"A\", \"port\": "
         "\"/dev/b\"}]}",
         "3:", "duplicate room name A (also on line 2)"},
        {"{\"rooms\": [{\"name\": \"A\",\n \"prot\": \"/dev/a\"}]}", "2:", "unknown key 'prot'"},
        {"{\"rooms\": [], \n\"site\": 1}", "2:", "unknown key 'site'"},
        {"{\"rooms\": [\n]}", "1:", "no rooms"},
        {"{}", "1:", "rooms"},
        {"{\"rooms\": [\n\n{\"name\": \"A\", \"port\": \"socket://host:99999\"}]}",
         "3:", "bad address"},
        {"{\"rooms\": [{\"name\": \"A\", \"port\": \"tcp://host:1\"}]}", "1:", "bad address"},
        {"{\"rooms\": [{\"name\": \"A\"}]}", "1:", "no 'port'"},
        {"{\"rooms\": [{\"name\": \"../etc\", \"port\": \"/dev/a\"}]}", "1:", "room name"},
        {"{\"rooms\": [{\"name\": \"A\", \"port\": \"/dev/a\", \"tags\": [1]}]}", "1:", "tags"},
        {"{\"rooms\": [\n{\"name\": \"A\" \"port\": \"/dev/a\"}]}", "2:", "expected ','"},
        {"{\"rooms\": [{\"name\": \"A\", \"port\": \"/dev/a\"}]} x", "1:", "text after"},
        {"", "1:", "ends too early"},
    };
    for (const Refusal& c : cases) {
        std::vector<FleetRoom> rooms;
        std::string error;
        EXPECT_FALSE(CFleetFile::Parse(c.text, rooms, error)) << c.text;
        EXPECT_EQ(error.rfind(c.where, 0), 0U) << c.text << " -> " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " -> " << error;
    }
    std::vector<FleetRoom> rooms;
    std::string error;
    EXPECT_FALSE(CFleetFile::Load("/nonexistent/fleet.json", rooms, error));
    EXPECT_NE(error.find("/nonexistent/fleet.json"), std::string::npos);
    // Deep nesting is refused, not recursed into without end.
    EXPECT_FALSE(CFleetFile::Parse(std::string(100000, '['), rooms, error));
}

TEST(FieldPatternTest, WildcardsOverCatalogueNames) {
    EXPECT_TRUE(CFieldPattern::Matches("Mic*.level", "Mic1.level"));
    EXPECT_TRUE(CFieldPattern::Matches("mic*.LEVEL", "Mic2.level"));
    EXPECT_FALSE(CFieldPattern::Matches("Mic*.level", "Mic1.limiter.level.x"));
    EXPECT_TRUE(CFieldPattern::Matches("Mic*.level", "Mic1.limiter.level"));  // '*' spans dots
    EXPECT_TRUE(CFieldPattern::Matches("Scene[*].*.mute", "Scene[1].MainL.mute"));
    EXPECT_FALSE(CFieldPattern::Matches("Scene[*].*.mute", "Scene[1].MainL.send.Mic.toggle"));
    EXPECT_TRUE(CFieldPattern::Matches("Mic?.level", "Mic1.level"));
    EXPECT_FALSE(CFieldPattern::Matches("Mic?.level", "Mic12.level"));
    EXPECT_TRUE(CFieldPattern::Matches("*", ""));
    // Many stars against a long name that does not match end quickly.
    EXPECT_FALSE(CFieldPattern::Matches(std::string(40, '*') + "x", std::string(5000, 'a')));
    EXPECT_TRUE(CFieldPattern::MatchesSomeField("Scene[*].*.mute"));
    EXPECT_FALSE(CFieldPattern::MatchesSomeField("Mci*.level"));
}
