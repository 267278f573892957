#include "DeviceSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <iostream>

#include <unistd.h>

#include "ChangeSync.h"
#include "LinkState.h"
#include "MessageMap.h"
#include "Qxctl.h"

namespace qx {

CDeviceSession::CDeviceSession(CQxctl& cli, std::string command, const CCommandArgs& args)
    : m_cli(cli),
      m_command(std::move(command)),
      m_ui(std::cerr, isatty(STDERR_FILENO) != 0),
      m_link(&m_ui) {
    m_map = new CMessageMap(&m_window);
    m_map->On(WM_PARAMETERS_RECEIVED, [this](WParam, LParam) { ++m_parameters; });
    m_map->On(WM_MODES_RECEIVED, [this](WParam, LParam) { ++m_modes; });
    m_map->On(WM_SYSTEM_DATA_RECEIVED, [this](WParam, LParam) { ++m_polls; });
    m_link.SetMainWindow(&m_window);
    QObject::connect(&m_link, &CDeviceLink::onlineChanged, [this](bool isOnline) {
        if (!isOnline) {
            m_dropped = true;
        }
    });
    const std::vector<std::string> paths = args.Values("--port");
    if (!paths.empty()) {
        m_link.SetPortSource([paths] {
            std::vector<PortInfo> ports;
            for (const std::string& p : paths) {
                PortInfo info;
                info.devicePath = QString::fromStdString(p);
                info.portName = info.devicePath;
                info.comName = info.devicePath;
                info.description = info.devicePath;
                ports.push_back(info);
            }
            return ports;
        });
    }
    m_portCount = paths.empty() ? 4 : static_cast<int>(paths.size());
}

CDeviceSession::~CDeviceSession() {
    m_ui.FinishProgress();
    m_link.DisconnectDevice();
}

CDeviceModes CDeviceSession::Modes() {
    DeviceModeHooks hooks;
    hooks.sendDeviceCommand = [this](uint8_t c, uint8_t a) { m_link.SendDeviceCommand(c, a); };
    hooks.startQueueProgress = [this] { m_link.StartQueueProgress(); };
    return CDeviceModes(hooks);
}

bool CDeviceSession::Connect() {
    m_link.ConnectDevice();
    if (!online) {
        return Failed("Unable to Open Device! (no serial port could be opened)");
    }
    if (!WaitFor([this] { return m_parameters > 0; }, kConnectMs * m_portCount)) {
        return Failed(m_dropped ? "Unable to Open Device! (no processor answered)"
                                : "the processor did not send its settings");
    }
    return Settle(kSettleMs);
}

bool CDeviceSession::Settle(int timeoutMs) {
    const int start = m_polls;
    return WaitFor(
        [this, start] {
            return m_polls >= start + 2 && !deviceBusy && !m_link.Protocol().HasFrames();
        },
        timeoutMs);
}

bool CDeviceSession::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (m_dropped || !m_ui.Problem().empty()) {
            return false;
        }
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        if (!done()) {
            usleep(2000);
        }
    }
    return true;
}

bool CDeviceSession::Failed(const std::string& message) {
    m_ui.FinishProgress();
    std::string text = message;
    if (!m_ui.Problem().empty()) {
        text = m_ui.Problem();
    } else if (m_dropped && message.find("Unable") == std::string::npos) {
        text = message + " (the connection was lost)";
    }
    m_cli.Fail(m_command, text);
    return false;
}

std::array<uint8_t, sizeof(ParamImage)> SentBits(int scene) {
    std::array<uint8_t, sizeof(ParamImage)> bits{};
    for (const SyncItem& item : SyncItems()) {
        const int offset = SyncItemOffset(item, scene);
        const uint8_t mask = item.kind == SyncKind::LowNibble    ? 0x0F
                             : item.kind == SyncKind::HighNibble ? 0xF0
                                                                 : 0xFF;
        for (int i = 0; i < item.length; ++i) {
            if (offset + i >= 0 && offset + i < static_cast<int>(bits.size())) {
                bits[static_cast<std::size_t>(offset + i)] |= mask;
            }
        }
    }
    return bits;
}

bool RangeIsSent(const std::array<uint8_t, sizeof(ParamImage)>& bits, std::size_t offset,
                 std::size_t length) {
    for (std::size_t i = offset; i < offset + length; ++i) {
        if (i >= bits.size() || bits[i] != 0xFF) {
            return false;
        }
    }
    return true;
}

}  // namespace qx
