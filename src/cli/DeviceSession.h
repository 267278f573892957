#pragma once
// One connection to the processor for the length of a qxctl command: finds it on the ports
// given with --port (or on every port), reads its settings, and waits until what was queued
// or changed has been acknowledged.

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "CommandArgs.h"
#include "DeviceLink.h"
#include "DeviceModes.h"
#include "ProgramImage.h"
#include "TerminalLinkUi.h"

namespace qx {

class CQxctl;

constexpr int kConnectMs = 15000;  // per candidate port, reads included
constexpr int kSettleMs = 30000;   // a few frames, store pauses included
constexpr int kBankMs = 180000;    // 21 slow frames each way
constexpr int kTries = 3;          // a frame and its two resends

class CDeviceSession {
  public:
    CDeviceSession(CQxctl& cli, std::string command, const CCommandArgs& args);
    ~CDeviceSession();
    CDeviceSession(const CDeviceSession&) = delete;
    CDeviceSession& operator=(const CDeviceSession&) = delete;

    CDeviceModes Modes();

    // Finds the processor and reads its names, system block and current program.
    bool Connect();
    // Waits until everything queued or changed so far has been acknowledged: the worker has
    // gone back to idle polls twice since now (a poll is only built when nothing else is
    // waiting, and the next frame only goes out after the previous one was answered).
    bool Settle(int timeoutMs);
    bool WaitFor(const std::function<bool()>& done, int timeoutMs);
    // Reports a failure with the most exact reason known: the link's own, why no processor
    // was found on each port, or the step whose frame got no reply.
    bool Failed(const std::string& message);

    const QString& PortName() const { return m_link.CurrentPortName(); }
    // What the frames of the next progress bar do, for its labels and for failures.
    void ExpectProgress(CTerminalLinkUi::Phases phases) { m_ui.SetPhases(std::move(phases)); }
    int ModesReceived() const { return m_modes; }
    CTerminalLinkUi& Ui() { return m_ui; }

  private:
    // For each port tried: why it is no serial port, or that no processor answered on it.
    std::string WhyNotFound() const;

    CQxctl& m_cli;
    std::string m_command;
    CTerminalLinkUi m_ui;
    CDeviceLink m_link;
    int m_parameters = 0;
    int m_modes = 0;
    int m_polls = 0;
    bool m_dropped = false;
    bool m_found = false;
    std::vector<std::string> m_paths;
    int m_portCount = 1;
};

// The bits of a ParamImage the synchroniser sends when scene is in force.
std::array<uint8_t, sizeof(ParamImage)> SentBits(int scene);
// True when every bit of the bytes [offset, offset + length) is sent.
bool RangeIsSent(const std::array<uint8_t, sizeof(ParamImage)>& bits, std::size_t offset,
                 std::size_t length);

}  // namespace qx
