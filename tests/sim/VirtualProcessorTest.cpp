#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <random>

#include "ChangeSync.h"
#include "FrameEncoder.h"
#include "ParameterSet.h"
#include "PtyServer.h"
#include "VirtualProcessor.h"

using namespace qx;

namespace {

std::vector<uint8_t> Request(uint8_t cmd, std::vector<uint8_t> data) {
    FrameRecord r;
    InitFrame(r);
    r.SetCount(static_cast<int>(data.size()) + 2);
    r.bytes[4] = cmd;
    std::copy(data.begin(), data.end(), r.bytes + 5);
    FinishFrame(r);
    return std::vector<uint8_t>(r.bytes, r.bytes + r.Length());
}

using qxtest::ChecksumOk;

ParamImage Defaults() {
    ResetParameters();
    return ParameterSet;
}

std::vector<uint8_t> Ask(CVirtualProcessor& sim, uint8_t cmd, std::vector<uint8_t> data) {
    const auto req = Request(cmd, std::move(data));
    return sim.Handle(req.data(), static_cast<int>(req.size()));
}

TEST(VirtualProcessorTest, FollowsEveryParameterFrameOfTheSynchroniser) {
    const ParamImage start = Defaults();
    CVirtualProcessor sim(start);
    ParamImage editor = sim.Image();
    ParamImage sent = editor;
    std::mt19937 rng(7);
    const auto items = SyncItems();
    auto sync = [&] {
        FrameRecord f;
        for (int guard = 0; guard < 2000; ++guard) {
            BuildParameterFrame(editor, sent, editor.program.OutputMode.raw, f);
            if (f.Command() == kPollA || f.Command() == kPollB) {
                return;
            }
            const auto reply = sim.Handle(f.bytes, f.Length());
            ASSERT_EQ(reply.size(), 7u);
            EXPECT_EQ(reply[5], 0);
        }
    };
    for (int round = 0; round < 60; ++round) {
        // The output mode changes on its own (a page action), then fields of every kind,
        // in the scene in force.
        editor.program.OutputMode.raw = static_cast<uint8_t>(1 + rng() % 3);
        sync();
        const int inForce = editor.program.OutputMode.raw;
        for (int k = 0; k < 40; ++k) {
            const SyncItem& item = items[rng() % items.size()];
            if (item.command == 0x8E) {
                continue;
            }
            uint8_t* p = BytesOf(editor) + SyncItemOffset(item, inForce);
            for (int i = 0; i < item.length; ++i) {
                p[i] = static_cast<uint8_t>(rng());
            }
            if (item.command == 0x04) {
                p[0] = BytesOf(sent)[SyncItemOffset(item, inForce)];  // kinds never change
            }
        }
        sync();
        const ParamImage dev = sim.Image();
        const int scene = editor.program.OutputMode.raw;
        for (const SyncItem& item : items) {
            const int off = SyncItemOffset(item, scene);
            const uint8_t* a = BytesOf(editor) + off;
            const uint8_t* b = BytesOf(dev) + off;
            for (int i = 0; i < item.length; ++i) {
                if (item.kind == SyncKind::LowNibble) {
                    ASSERT_EQ(a[i] & 0x0F, b[i] & 0x0F);
                } else if (item.kind == SyncKind::HighNibble) {
                    ASSERT_EQ(a[i] & 0xF0, b[i] & 0xF0);
                } else {
                    ASSERT_EQ(a[i], b[i]) << "cmd " << int(item.command) << " idx " << item.index;
                }
            }
        }
    }
}

TEST(VirtualProcessorTest, BulkCommands) {
    CVirtualProcessor sim(Defaults());
    auto probe = Ask(sim, 0x7F, {0});
    EXPECT_EQ(probe, (std::vector<uint8_t>{0xFF, 0x55, 0x04, 0x00, 0x7F, 0x00, 0x01, 0x84}));

    auto name = Ask(sim, 0x80, {3});
    ASSERT_EQ(name.size(), 27u);
    EXPECT_EQ(std::string(name.begin() + 6, name.begin() + 13), "MODE 03");
    EXPECT_TRUE(ChecksumOk(name));

    EXPECT_EQ(Ask(sim, 0x81, {0}).size(), 72u);
    auto current = Ask(sim, 0x82, {0});
    ASSERT_EQ(current.size(), 2719u);
    EXPECT_TRUE(ChecksumOk(current));

    // Write program 4, recall it: the reply carries the recalled image.
    std::vector<uint8_t> prog(sizeof(ProgramImage));
    for (std::size_t i = 0; i < prog.size(); ++i) {
        prog[i] = static_cast<uint8_t>(i * 13);
    }
    std::vector<uint8_t> write = {4};
    write.insert(write.end(), prog.begin(), prog.end());
    EXPECT_EQ(Ask(sim, 0x84, write)[5], 0);
    auto recalled = Ask(sim, 0x85, {4});
    ASSERT_EQ(recalled.size(), 2719u);
    EXPECT_TRUE(std::equal(prog.begin(), prog.end(), recalled.begin() + 6));
    EXPECT_EQ(sim.Image().system.block.currentProgram, 4);

    // Store the current program as 9 under a new name.
    std::vector<uint8_t> store = {9};
    for (char c : std::string("STORED NAME         ")) {
        store.push_back(static_cast<uint8_t>(c));
    }
    EXPECT_EQ(Ask(sim, 0x86, store)[5], 0);
    EXPECT_EQ(sim.StoredProgram(9).name[0], 'S');
    EXPECT_EQ(sim.StoredProgram(9).EchoA.repeat, sim.Image().program.EchoA.repeat);

    // Password change only with the right old password.
    const SystemBlock s = sim.Image().system.block;
    std::vector<uint8_t> pw(s.systemPassword[0].raw == 0 ? 12 : 12);
    std::memcpy(pw.data(), s.systemPassword, 6);
    std::memcpy(pw.data() + 6, "654321", 6);
    Ask(sim, 0x8C, pw);
    EXPECT_EQ(std::memcmp(sim.Image().system.block.systemPassword, "654321", 6), 0);
    Ask(sim, 0x8D, {9, 9, 9, 9, '1', '1', '1', '1'});  // wrong old password
    EXPECT_EQ(std::memcmp(sim.Image().system.block.panelPassword, s.panelPassword, 4), 0);

    // A damaged request is not answered.
    auto bad = Request(0x7F, {0});
    bad.back() ^= 1;
    EXPECT_TRUE(sim.Handle(bad.data(), static_cast<int>(bad.size())).empty());
}

TEST(VirtualProcessorTest, FaultOptionsAndFraming) {
    SimOptions opt;
    opt.rejectEvery = 2;
    opt.corruptEvery = 3;
    opt.altHeader = true;
    CVirtualProcessor sim(Defaults(), opt);
    const auto vol = Request(0x01, {0, 0x40});
    auto r1 = sim.Handle(vol.data(), static_cast<int>(vol.size()));
    auto r2 = sim.Handle(vol.data(), static_cast<int>(vol.size()));
    auto r3 = sim.Handle(vol.data(), static_cast<int>(vol.size()));
    EXPECT_EQ(r1[0], 0x03);
    EXPECT_EQ(r1[1], 0xCC);
    EXPECT_EQ(r1[5], 0);
    EXPECT_EQ(r2[5], 2);
    EXPECT_TRUE(ChecksumOk(r1));
    EXPECT_FALSE(ChecksumOk(r3));

    // Requests split anywhere, with noise between them.
    std::vector<uint8_t> stream = {0x00, 0x12};
    for (int i = 0; i < 3; ++i) {
        const auto p = Request(0x7F, {0});
        stream.insert(stream.end(), p.begin(), p.end());
        stream.push_back(0x33);
    }
    sim.SetOptions({});
    int replies = 0;
    for (std::size_t i = 0; i < stream.size(); i += 2) {
        replies +=
            static_cast<int>(sim.Feed(stream.data() + i,
                                      static_cast<int>(std::min<std::size_t>(2, stream.size() - i)))
                                 .size());
    }
    EXPECT_EQ(replies, 3);
    EXPECT_EQ(sim.CountRequests(0x7F), 3);

    opt = {};
    opt.silent = true;
    sim.SetOptions(opt);
    EXPECT_TRUE(Ask(sim, 0x7F, {0}).empty());
}

TEST(VirtualProcessorTest, AnswersAProbeOverAPseudoTerminal) {
    CVirtualProcessor sim(Defaults());
    CPtyServer server(sim);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    const int fd = open(server.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    const uint8_t probe[] = {0xFF, 0x55, 0x03, 0x00, 0x7F, 0x00, 0x82};
    const auto sentAt = std::chrono::steady_clock::now();
    ASSERT_EQ(write(fd, probe, sizeof probe), 7);
    std::vector<uint8_t> got;
    while (got.size() < 8) {
        pollfd p = {fd, POLLIN, 0};
        ASSERT_GT(poll(&p, 1, 5000), 0);
        uint8_t buf[64];
        const ssize_t n = read(fd, buf, sizeof buf);
        ASSERT_GT(n, 0);
        got.insert(got.end(), buf, buf + n);
    }
    // Never earlier than 15 bytes could cross the line plus the processing time.
    const auto elapsed = std::chrono::steady_clock::now() - sentAt;
    EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count(),
              static_cast<long>(15 * CPtyServer::kByteMicros) + 3000);
    EXPECT_EQ(got, (std::vector<uint8_t>{0xFF, 0x55, 0x04, 0x00, 0x7F, 0x00, 0x01, 0x84}));
    close(fd);
    server.Stop();
}

}  // namespace
