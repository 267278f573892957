#include "NetSerialLine.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>
#include <algorithm>

#include "TextPair.h"

namespace qx {

namespace {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;
constexpr uint8_t kBinary = 0;
constexpr uint8_t kSuppressGoAhead = 3;
constexpr uint8_t kComPort = 44;
// COM-PORT subcommands sent by the client; the server answers each with the code plus 100.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kParityNone = 1;
constexpr uint8_t kOneStopBit = 1;
constexpr uint8_t kNoFlowControl = 1;

constexpr TextPair kRefusedText{"服务器拒绝连接", "the server refused the connection"};
constexpr TextPair kNotFoundText{"找不到主机", "host not found"};
constexpr TextPair kTimeoutText{"连接超时（服务器不可达）",
                                "timed out (the server cannot be reached)"};
constexpr TextPair kNoComPortText{"服务器不支持 RFC 2217 串口设置",
                                  "the server does not offer RFC 2217 line settings"};
constexpr TextPair kNoSettingsText{"服务器没有确认 115200 8N1 的设置",
                                   "the server did not confirm the line settings 115200 8N1"};
constexpr TextPair kClosedText{"服务器关闭了连接", "the server closed the connection"};

bool Wanted(uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

void PutSub(std::vector<uint8_t>& out, uint8_t command, std::initializer_list<uint8_t> value) {
    out.insert(out.end(), {kIac, kSb, kComPort, command});
    for (uint8_t b : value) {
        out.push_back(b);
        if (b == kIac) {
            out.push_back(kIac);
        }
    }
    out.insert(out.end(), {kIac, kSe});
}

QString SocketReason(const QTcpSocket& socket) {
    switch (socket.error()) {
        case QAbstractSocket::ConnectionRefusedError:
            return QString::fromUtf8(Tr(kRefusedText).c_str());
        case QAbstractSocket::HostNotFoundError:
            return QString::fromUtf8(Tr(kNotFoundText).c_str());
        case QAbstractSocket::SocketTimeoutError:
            return QString::fromUtf8(Tr(kTimeoutText).c_str());
        case QAbstractSocket::RemoteHostClosedError:
            return QString::fromUtf8(Tr(kClosedText).c_str());
        default:
            return socket.errorString();
    }
}

}  // namespace

CNetSerialLine::CNetSerialLine() : m_socket(std::make_unique<QTcpSocket>()) {
    m_home = m_socket->thread();
}

CNetSerialLine::~CNetSerialLine() {
    if (m_socket->state() != QAbstractSocket::UnconnectedState) {
        m_socket->abort();
    }
}

bool CNetSerialLine::IsNetworkAddress(const QString& name) {
    return name.startsWith(QLatin1String("socket://"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("rfc2217://"), Qt::CaseInsensitive);
}

bool CNetSerialLine::ParseAddress(const QString& name, NetAddress& address, QString& error) {
    const qsizetype scheme = name.indexOf(QLatin1String("://"));
    const QString kind = scheme < 0 ? QString() : name.left(scheme).toLower();
    if (kind != QLatin1String("socket") && kind != QLatin1String("rfc2217")) {
        error = QString::fromUtf8(Tr({"地址应为 socket://主机:端口 或 rfc2217://主机:端口",
                                      "an address is socket://HOST:PORT or rfc2217://HOST:PORT"})
                                      .c_str());
        return false;
    }
    address.rfc2217 = kind == QLatin1String("rfc2217");
    QString rest = name.mid(scheme + 3);
    if (rest.endsWith(QLatin1Char('/'))) {
        rest.chop(1);
    }
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QString() : rest.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    bool ok = false;
    const uint port = colon < 0 ? 0 : rest.mid(colon + 1).toUInt(&ok);
    if (host.isEmpty() || host.contains(QLatin1Char('/')) || host.contains(QLatin1Char(' '))) {
        error = QString::fromUtf8(Tr({"缺少主机名", "no host name"}).c_str());
        return false;
    }
    if (!ok || port == 0 || port > 65535) {
        error = QString::fromUtf8(
            Tr({"端口应为 1..65535 的数字", "the port is a number 1..65535"}).c_str());
        return false;
    }
    address.host = host;
    address.port = static_cast<quint16>(port);
    return true;
}

std::vector<uint8_t> CNetSerialLine::Negotiation(int baudRate) {
    std::vector<uint8_t> out = {kIac, kWill, kBinary,  kIac, kDo, kBinary,
                                kIac, kWill, kComPort, kIac, kDo, kSuppressGoAhead};
    const auto baud = static_cast<uint32_t>(baudRate);
    PutSub(out, kSetBaudRate,
           {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16),
            static_cast<uint8_t>(baud >> 8), static_cast<uint8_t>(baud)});
    PutSub(out, kSetDataSize, {8});
    PutSub(out, kSetParity, {kParityNone});
    PutSub(out, kSetStopSize, {kOneStopBit});
    PutSub(out, kSetControl, {kNoFlowControl});
    return out;
}

std::vector<uint8_t> CNetSerialLine::Escape(const uint8_t* bytes, int count) {
    std::vector<uint8_t> out;
    out.reserve(static_cast<std::size_t>(count) + 8);
    for (int i = 0; i < count; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == kIac) {
            out.push_back(kIac);
        }
    }
    return out;
}

void CNetSerialLine::Decode(TelnetState& state, const uint8_t* bytes, int count,
                            std::vector<uint8_t>& input, std::vector<uint8_t>& answer) {
    for (int i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        switch (state.phase) {
            case 0:
                if (b == kIac) {
                    state.phase = 1;
                } else {
                    input.push_back(b);
                }
                break;
            case 1:
                if (b == kIac) {
                    input.push_back(kIac);
                    state.phase = 0;
                } else if (b >= kWill && b <= kDont) {
                    state.verb = b;
                    state.phase = 2;
                } else if (b == kSb) {
                    state.sub.clear();
                    state.phase = 3;
                } else {
                    state.phase = 0;  // NOP, GA, break and the like carry nothing for us
                }
                break;
            case 2:
                // What we asked for is taken as agreed without a reply (no answer loops);
                // anything else the server offers or asks for is declined.
                if (state.verb == kDo && !Wanted(b)) {
                    answer.insert(answer.end(), {kIac, kWont, b});
                } else if (state.verb == kWill && !Wanted(b)) {
                    answer.insert(answer.end(), {kIac, kDont, b});
                } else if ((state.verb == kDont || state.verb == kWont) && b == kComPort) {
                    state.refused = true;
                }
                state.phase = 0;
                break;
            case 3:
                if (b == kIac) {
                    state.phase = 4;
                } else {
                    state.sub.push_back(b);
                }
                break;
            default:
                if (b == kIac) {
                    state.sub.push_back(kIac);
                    state.phase = 3;
                    break;
                }
                if (b == kSe && state.sub.size() >= 2 && state.sub[0] == kComPort) {
                    state.comPortReplies.push_back(state.sub[1]);
                }
                state.phase = 0;
                break;
        }
    }
}

bool CNetSerialLine::Open(const QString& name, int baudRate, int timeoutMs) {
    m_name = name;
    m_error.clear();
    m_lost = false;
    m_input.clear();
    m_telnet = {};
    QString why;
    if (!ParseAddress(name, m_address, why)) {
        m_error = name + QStringLiteral(": ") + why;
        return false;
    }
    m_socket->connectToHost(m_address.host, m_address.port);
    if (!m_socket->waitForConnected(timeoutMs)) {
        m_error = name + QStringLiteral(": ") + SocketReason(*m_socket);
        m_socket->abort();
        return false;
    }
    // Stop-and-wait: every frame is waited for, so none may sit in Nagle's buffer.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!m_address.rfc2217) {
        return true;
    }
    const std::vector<uint8_t> hello = Negotiation(baudRate);
    m_socket->write(reinterpret_cast<const char*>(hello.data()), static_cast<qint64>(hello.size()));
    QElapsedTimer timer;
    timer.start();
    const auto settled = [this] {
        const auto& r = m_telnet.comPortReplies;
        return std::find(r.begin(), r.end(), 100 + kSetBaudRate) != r.end() &&
               std::find(r.begin(), r.end(), 100 + kSetControl) != r.end();
    };
    while (!settled() && !m_telnet.refused && timer.elapsed() < timeoutMs) {
        if (m_socket->bytesToWrite() > 0) {
            m_socket->waitForBytesWritten(50);
        }
        m_socket->waitForReadyRead(50);
        if (!Pump()) {
            m_error = name + QStringLiteral(": ") + SocketReason(*m_socket);
            m_socket->abort();
            return false;
        }
    }
    if (!settled()) {
        m_error =
            name + QStringLiteral(": ") +
            QString::fromUtf8(Tr(m_telnet.refused ? kNoComPortText : kNoSettingsText).c_str());
        m_socket->abort();
        return false;
    }
    return true;
}

QString CNetSerialLine::OpenFailureText(const QString& name, int timeoutMs) {
    CNetSerialLine line;
    if (line.Open(name, 115200, timeoutMs)) {
        return {};
    }
    return line.m_error;
}

bool CNetSerialLine::Pump() {
    const qint64 waiting = m_socket->bytesAvailable();
    if (waiting > 0) {
        const QByteArray raw = m_socket->read(waiting);
        const auto* bytes = reinterpret_cast<const uint8_t*>(raw.constData());
        if (!m_address.rfc2217) {
            m_input.insert(m_input.end(), bytes, bytes + raw.size());
        } else {
            std::vector<uint8_t> answer;
            Decode(m_telnet, bytes, static_cast<int>(raw.size()), m_input, answer);
            if (!answer.empty()) {
                m_socket->write(reinterpret_cast<const char*>(answer.data()),
                                static_cast<qint64>(answer.size()));
            }
        }
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        m_lost = true;
        return false;
    }
    return true;
}

void CNetSerialLine::NoteError() {
    if (m_socket->state() != QAbstractSocket::ConnectedState ||
        m_socket->error() == QAbstractSocket::RemoteHostClosedError ||
        m_socket->error() == QAbstractSocket::NetworkError) {
        m_lost = true;
    }
}

bool CNetSerialLine::Write(const uint8_t* bytes, int count, int timeoutMs) {
    qint64 n = 0;
    if (m_address.rfc2217) {
        const std::vector<uint8_t> escaped = Escape(bytes, count);
        n = m_socket->write(reinterpret_cast<const char*>(escaped.data()),
                            static_cast<qint64>(escaped.size()));
        n = n == static_cast<qint64>(escaped.size()) ? count : -1;
    } else {
        n = m_socket->write(reinterpret_cast<const char*>(bytes), count);
    }
    if (n != count) {
        NoteError();
        return false;
    }
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(timeoutMs)) {
            NoteError();
            return false;
        }
    }
    return true;
}

bool CNetSerialLine::WaitForInput(int timeoutMs) {
    if (!m_input.empty()) {
        return true;
    }
    // Telnet answers may arrive without line data: keep waiting for the rest of the time.
    QElapsedTimer timer;
    timer.start();
    do {
        const int left = std::max(0, timeoutMs - static_cast<int>(timer.elapsed()));
        if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(left)) {
            NoteError();
            Pump();
            return !m_input.empty();
        }
        if (!Pump()) {
            return !m_input.empty();
        }
    } while (m_input.empty() && timer.elapsed() < timeoutMs);
    return !m_input.empty();
}

int CNetSerialLine::BytesAvailable() {
    if (m_input.empty()) {
        // Fetch what the network stack holds without waiting.
        if (m_socket->bytesAvailable() == 0) {
            m_socket->waitForReadyRead(0);
        }
        if (!Pump()) {
            NoteError();
        }
    }
    return static_cast<int>(m_input.size());
}

int CNetSerialLine::Read(uint8_t* buffer, int max) {
    const int n = std::min(max, static_cast<int>(m_input.size()));
    std::copy_n(m_input.begin(), n, buffer);
    m_input.erase(m_input.begin(), m_input.begin() + n);
    return n;
}

void CNetSerialLine::Purge() {
    // What went to the server cannot be called back; what came from it is dropped.
    if (m_socket->bytesAvailable() > 0) {
        Pump();
    }
    m_input.clear();
}

void CNetSerialLine::ClearError() {
    NoteError();
}

bool CNetSerialLine::Lost() {
    return m_lost || m_socket->state() != QAbstractSocket::ConnectedState;
}

QString CNetSerialLine::ErrorText() {
    if (!m_error.isEmpty()) {
        return m_error;  // why the last Open failed
    }
    return m_name + QStringLiteral(": ") + SocketReason(*m_socket);
}

void CNetSerialLine::MoveToWorker(void* thread) {
    m_home = m_socket->thread();
    m_socket->moveToThread(static_cast<QThread*>(thread));
}

void CNetSerialLine::ReturnFromWorker() {
    m_socket->moveToThread(m_home);
}

}  // namespace qx
