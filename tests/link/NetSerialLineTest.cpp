// The serial line through a device server: address forms, the telnet COM-PORT exchange, and
// a raw or RFC 2217 line against a small server on 127.0.0.1.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "NetSerialLine.h"
#include "TextPair.h"

using namespace qx;

namespace {

// Listens on a free loopback port and serves one connection with handler on a thread.
class CLoopbackServer {
  public:
    explicit CLoopbackServer(std::function<void(int fd)> handler) {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        ::listen(m_listen, 1);
        m_thread = std::thread([this, handler] {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd >= 0) {
                handler(fd);
                ::close(fd);
            }
        });
    }
    ~CLoopbackServer() {
        ::shutdown(m_listen, SHUT_RDWR);
        ::close(m_listen);
        Join();
    }
    // Waits for the handler to end; what it recorded may be read only after this.
    void Join() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    int Port() const { return m_port; }
    QString Address(const char* scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(m_port);
    }

  private:
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
};

std::vector<uint8_t> ReadSome(int fd, std::size_t atLeast) {
    std::vector<uint8_t> got;
    uint8_t buffer[512];
    while (got.size() < atLeast) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

void WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

bool Contains(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

std::vector<uint8_t> ReadLine(CNetSerialLine& line, std::size_t count, int timeoutMs) {
    std::vector<uint8_t> got;
    while (got.size() < count && line.WaitForInput(timeoutMs)) {
        uint8_t buffer[256];
        const int n = line.Read(buffer, static_cast<int>(sizeof buffer));
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

}  // namespace

TEST(NetAddressTest, TakesTheFormsOtherSerialToolsUseAndRefusesTheRest) {
    NetAddress a;
    QString why;
    ASSERT_TRUE(
        CNetSerialLine::ParseAddress(QStringLiteral("socket://dsp-a01.local:4001"), a, why));
    EXPECT_FALSE(a.rfc2217);
    EXPECT_EQ(a.host, QStringLiteral("dsp-a01.local"));
    EXPECT_EQ(a.port, 4001);
    ASSERT_TRUE(CNetSerialLine::ParseAddress(QStringLiteral("RFC2217://[::1]:7000/"), a, why));
    EXPECT_TRUE(a.rfc2217);
    EXPECT_EQ(a.host, QStringLiteral("::1"));
    EXPECT_EQ(a.port, 7000);

    for (const char* bad :
         {"socket://host", "socket://host:0", "socket://host:70000", "socket://:4001",
          "socket://host:40x1", "telnet://host:23", "/dev/ttyUSB0", "socket://a b:1"}) {
        EXPECT_FALSE(CNetSerialLine::ParseAddress(QString::fromLatin1(bad), a, why)) << bad;
        EXPECT_FALSE(why.isEmpty()) << bad;
    }
    EXPECT_TRUE(CNetSerialLine::IsNetworkAddress(QStringLiteral("rfc2217://x:1")));
    EXPECT_FALSE(CNetSerialLine::IsNetworkAddress(QStringLiteral("/dev/pts/3")));
}

TEST(TelnetDecodeTest, LineDataOptionsAndComPortRepliesEvenWhenSplit) {
    // Data with a doubled 0xFF, an option the line declines, one it asked for, and COM-PORT
    // replies whose value holds an escaped 0xFF, cut at every possible point.
    const std::vector<uint8_t> stream = {
        0x01, 0xFF, 0xFF, 0x02,                                      // data 01 FF 02
        0xFF, 0xFD, 0x01,                                            // DO ECHO: declined
        0xFF, 0xFB, 0x00,                                            // WILL BINARY: asked for
        0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x01, 0xC2, 0x00, 0xFF, 0xF0,  // baud rate set
        0xFF, 0xFA, 0x2C, 0x69, 0xFF, 0xFF, 0xFF, 0xF0,              // control, value FF
        0x03};
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        CNetSerialLine::TelnetState state;
        std::vector<uint8_t> input;
        std::vector<uint8_t> answer;
        CNetSerialLine::Decode(state, stream.data(), static_cast<int>(cut), input, answer);
        CNetSerialLine::Decode(state, stream.data() + cut, static_cast<int>(stream.size() - cut),
                               input, answer);
        EXPECT_EQ(input, (std::vector<uint8_t>{0x01, 0xFF, 0x02, 0x03})) << cut;
        EXPECT_EQ(answer, (std::vector<uint8_t>{0xFF, 0xFC, 0x01})) << cut;  // WONT ECHO
        EXPECT_EQ(state.comPortReplies, (std::vector<int>{101, 105})) << cut;
        EXPECT_FALSE(state.refused);
    }
    CNetSerialLine::TelnetState state;
    std::vector<uint8_t> input;
    std::vector<uint8_t> answer;
    const uint8_t refusal[] = {0xFF, 0xFE, 0x2C};  // DONT COM-PORT
    CNetSerialLine::Decode(state, refusal, 3, input, answer);
    EXPECT_TRUE(state.refused);

    EXPECT_EQ(CNetSerialLine::Escape(stream.data(), 3),
              (std::vector<uint8_t>{0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(Contains(CNetSerialLine::Negotiation(115200),
                         {0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x01, 0xC2, 0x00, 0xFF, 0xF0}));
}

TEST(NetSerialLineTest, RawLineCarriesEveryByteAndLosesTheDeviceWhenTheServerGoes) {
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
    }
    std::vector<uint8_t> received;
    CLoopbackServer server([&](int fd) {
        received = ReadSome(fd, all.size());
        WriteAll(fd, received);  // echo, then hang up
    });
    CNetSerialLine line;
    ASSERT_TRUE(line.Open(server.Address("socket"))) << line.ErrorText().toStdString();
    ASSERT_TRUE(line.Write(all.data(), static_cast<int>(all.size()), 1000));
    EXPECT_EQ(ReadLine(line, all.size(), 2000), all);
    // The server closed: the next wait notices and the device counts as lost.
    EXPECT_FALSE(line.WaitForInput(500));
    EXPECT_TRUE(line.Lost());
    server.Join();
    EXPECT_EQ(received, all);
}

TEST(NetSerialLineTest, RefusedServerNamesTheAddressAndTheReason) {
    int port = 0;
    {
        CLoopbackServer closed([](int) {});
        port = closed.Port();
        // Connect once so the server's thread ends; then nothing listens on the port.
        CNetSerialLine line;
        line.Open(closed.Address("socket"));
    }
    const QString address = QStringLiteral("socket://127.0.0.1:%1").arg(port);
    CNetSerialLine line;
    EXPECT_FALSE(line.Open(address));
    const std::string text = CNetSerialLine::OpenFailureText(address).toStdString();
    EXPECT_NE(text.find(address.toStdString()), std::string::npos) << text;
    EXPECT_NE(text.find("refused"), std::string::npos) << text;
    EXPECT_NE(CNetSerialLine::OpenFailureText(QStringLiteral("socket://host"))
                  .toStdString()
                  .find("socket://host: "),
              std::string::npos);
}

TEST(NetSerialLineTest, Rfc2217SetsTheLineAndDoublesFfBothWays) {
    std::vector<uint8_t> negotiation;
    std::vector<uint8_t> written;
    CLoopbackServer server([&](int fd) {
        negotiation = ReadSome(fd, CNetSerialLine::Negotiation(115200).size());
        WriteAll(fd, {0xFF, 0xFB, 0x00,  // WILL BINARY
                      0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x01, 0xC2, 0x00, 0xFF,
                      0xF0, 0xFF, 0xFA, 0x2C, 0x69, 0x01, 0xFF, 0xF0,  // control set
                      0xFF, 0xFF, 0x10});                              // data FF 10
        written = ReadSome(fd, 3);
    });
    CNetSerialLine line;
    ASSERT_TRUE(line.Open(server.Address("rfc2217"))) << line.ErrorText().toStdString();
    EXPECT_EQ(ReadLine(line, 2, 2000), (std::vector<uint8_t>{0xFF, 0x10}));
    const uint8_t out[] = {0xFF, 0x20};
    ASSERT_TRUE(line.Write(out, 2, 1000));
    server.Join();
    EXPECT_EQ(negotiation, CNetSerialLine::Negotiation(115200));
    EXPECT_EQ(written, (std::vector<uint8_t>{0xFF, 0xFF, 0x20}));
}

TEST(NetSerialLineTest, Rfc2217ServerThatNeverConfirmsIsRefusedWithTheReason) {
    std::atomic<bool> done{false};
    CLoopbackServer server([&](int fd) {
        ReadSome(fd, 4);
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        (void)fd;
    });
    useChinese = false;
    CNetSerialLine line;
    EXPECT_FALSE(line.Open(server.Address("rfc2217"), 115200, 400));
    done = true;
    const std::string text = line.ErrorText().toStdString();
    EXPECT_NE(text.find("115200 8N1"), std::string::npos) << text;
}
