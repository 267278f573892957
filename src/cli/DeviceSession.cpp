#include "DeviceSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <unistd.h>

#include "ChangeSync.h"
#include "CommProtocol.h"
#include "EnumSerialPorts.h"
#include "LinkState.h"
#include "NetSerialLine.h"
#include "QtSerialLine.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kStepNames{"读取程序名", "reading names"};
constexpr TextPair kStepSystem{"读取系统数据", "reading the system block"};
constexpr TextPair kStepCurrent{"读取当前程序", "reading the current program"};

}  // namespace

CDeviceSession::CDeviceSession(CQxctl& cli, std::string command, const CCommandArgs& args)
    : m_cli(cli),
      m_command(std::move(command)),
      m_ui(cli.Err(), cli.DrawsProgress()),
      m_link(&m_ui) {
    // The link's signals come on this thread, from the event loop WaitFor runs.
    QObject::connect(&m_link, &CDeviceLink::programReceived, [this] { ++m_parameters; });
    QObject::connect(&m_link, &CDeviceLink::bankReceived, [this] { ++m_modes; });
    QObject::connect(&m_link, &CDeviceLink::monitorReceived, [this](int) { ++m_polls; });
    m_link.Port().SetTiming(cli.Timing());
    QObject::connect(&m_link, &CDeviceLink::onlineChanged, [this](bool isOnline) {
        if (!isOnline) {
            m_dropped = true;
        }
    });
    QObject::connect(&m_link, &CDeviceLink::deviceFound, [this] { m_found = true; });
    const std::vector<std::string> paths = args.Values("--port");
    m_paths = paths;
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
    m_ui.SetPhases({{kNameFrames, Tr(kStepNames)}, {1, Tr(kStepSystem)}, {1, Tr(kStepCurrent)}});
    m_link.ConnectDevice();
    if (!online) {
        return Failed(Tr({"没有能打开的串口", "no serial port could be opened"}));
    }
    if (!WaitFor([this] { return m_parameters > 0; }, kConnectMs * m_portCount)) {
        return Failed(Tr({"处理器没有发送它的设置", "the processor did not send its settings"}));
    }
    m_ui.ClearStepInFlight();
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
    } else if (!m_found) {
        text = WhyNotFound();
    } else if (m_dropped && !m_ui.StepInFlight().empty()) {
        text = Tr({"%1：重试 %2 次后仍没有完整的回复", "%1: no complete reply after %2 tries"},
                  {m_ui.StepInFlight(), std::to_string(kTries)});
    } else if (m_dropped) {
        text = Tr({"%1（连接已断开）", "%1 (the connection was lost)"}, {message});
    }
    m_cli.Fail(m_command, text);
    return false;
}

std::string CDeviceSession::WhyNotFound() const {
    std::vector<std::string> paths = m_paths;
    if (paths.empty()) {
        std::vector<PortInfo> ports;
        EnumSerialPorts(ports, false);
        for (const PortInfo& p : ports) {
            paths.push_back(p.devicePath.toStdString());
        }
    }
    if (paths.empty()) {
        return Tr({"%1（没有找到串口；可用 --port 指定）",
                   "%1 (no serial port found; name one with --port)"},
                  {kTextUnableToOpenDevice.Get()});
    }
    std::string text;
    for (const std::string& path : paths) {
        const QString name = QString::fromStdString(path);
        std::string why =
            (CNetSerialLine::IsNetworkAddress(name) ? CNetSerialLine::OpenFailureText(name)
                                                    : CQtSerialLine::OpenFailureText(name))
                .toStdString();
        if (why.empty()) {
            why = Tr({"%1：没有处理器应答", "%1: no processor answered"}, {path});
        }
        if (!text.empty()) {
            text += "; ";
        }
        text += why;
    }
    return text;
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
