#pragma once
// The processor's serial line reached through a serial device server over TCP: either the raw
// bytes of the line ("socket://HOST:PORT") or a telnet session with the COM-PORT option
// ("rfc2217://HOST:PORT"), in which the line's settings are asked of the server and 0xFF bytes
// are doubled both ways. Used with blocking waits on the worker thread, like CQtSerialLine.

#include <QString>
#include <QTcpSocket>
#include <memory>
#include <vector>

#include "SerialLine.h"

namespace qx {

// A network address as named on the command line or in a fleet file.
struct NetAddress {
    bool rfc2217 = false;
    QString host;
    quint16 port = 0;
};

class CNetSerialLine : public CSerialLine {
  public:
    CNetSerialLine();
    ~CNetSerialLine() override;

    // True for "socket://..." and "rfc2217://..." (whether well formed or not).
    static bool IsNetworkAddress(const QString& name);
    // Splits "socket://HOST:PORT" or "rfc2217://HOST:PORT" ([v6]:PORT allowed). False, with
    // the reason in error, for anything else.
    static bool ParseAddress(const QString& name, NetAddress& address, QString& error);

    // Connects within timeoutMs and, for RFC 2217, has the server set the line to
    // baudRate 8N1 without flow control. False with ErrorText ("ADDRESS: reason") otherwise.
    bool Open(const QString& name, int baudRate = 115200, int timeoutMs = 5000);
    // Why the address cannot be reached, as "ADDRESS: reason"; empty when it connects.
    static QString OpenFailureText(const QString& name, int timeoutMs = 3000);

    bool Write(const uint8_t* bytes, int count, int timeoutMs) override;
    bool WaitForInput(int timeoutMs) override;
    int BytesAvailable() override;
    int Read(uint8_t* buffer, int max) override;
    void Purge() override;
    void ClearError() override;
    bool Lost() override;
    QString ErrorText() override;
    void MoveToWorker(void* thread) override;
    void ReturnFromWorker() override;

    // The telnet decoding, open for tests: feeds received bytes through the option state
    // machine, appending line data to the input and answers to the server to the output.
    struct TelnetState {
        int phase = 0;  // 0 data, 1 after IAC, 2 option verb, 3 subnegotiation, 4 IAC in it
        uint8_t verb = 0;
        std::vector<uint8_t> sub;
        std::vector<int> comPortReplies;  // COM-PORT reply codes seen (101 = baud rate set ...)
        bool refused = false;             // the server will not do COM-PORT
    };
    static void Decode(TelnetState& state, const uint8_t* bytes, int count,
                       std::vector<uint8_t>& input, std::vector<uint8_t>& answer);
    // The bytes that negotiate binary mode and the line settings.
    static std::vector<uint8_t> Negotiation(int baudRate);
    // Doubles every 0xFF.
    static std::vector<uint8_t> Escape(const uint8_t* bytes, int count);

  private:
    // Moves what the socket holds into m_input (decoded when RFC 2217). False when the socket
    // has failed.
    bool Pump();
    void NoteError();

    std::unique_ptr<QTcpSocket> m_socket;
    QString m_name;
    NetAddress m_address;
    QString m_error;
    TelnetState m_telnet;
    std::vector<uint8_t> m_input;
    QThread* m_home = nullptr;
    bool m_lost = false;
};

}  // namespace qx
