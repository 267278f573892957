#include "DeviceCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <array>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>

#include <unistd.h>

#include "ChangeSync.h"
#include "DeviceLink.h"
#include "DeviceModes.h"
#include "EnumSerialPorts.h"
#include "LinkState.h"
#include "MessageMap.h"
#include "ParameterSet.h"
#include "Qxctl.h"
#include "SceneSelector.h"
#include "TerminalLinkUi.h"

namespace qx {

namespace {

constexpr int kConnectMs = 15000;  // per candidate port, reads included
constexpr int kSettleMs = 30000;   // a few frames, store pauses included
constexpr int kBankMs = 180000;    // 21 slow frames each way

// One connection to the processor for the length of a command.
class CDeviceSession {
  public:
    CDeviceSession(CQxctl& cli, std::string command, const CCommandArgs& args)
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

    ~CDeviceSession() {
        m_ui.FinishProgress();
        m_link.DisconnectDevice();
    }

    CDeviceModes Modes() {
        DeviceModeHooks hooks;
        hooks.sendDeviceCommand = [this](uint8_t c, uint8_t a) { m_link.SendDeviceCommand(c, a); };
        hooks.startQueueProgress = [this] { m_link.StartQueueProgress(); };
        return CDeviceModes(hooks);
    }

    // Finds the processor and reads its names, system block and current program.
    bool Connect() {
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

    // Waits until everything queued or changed so far has been acknowledged: the worker has
    // gone back to idle polls twice since now (a poll is only built when nothing else is
    // waiting, and the next frame only goes out after the previous one was answered).
    bool Settle(int timeoutMs) {
        const int start = m_polls;
        return WaitFor(
            [this, start] {
                return m_polls >= start + 2 && !deviceBusy && !m_link.Protocol().HasFrames();
            },
            timeoutMs);
    }

    bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
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

    // Reports a failure: the link's own reason when it gave one.
    bool Failed(const std::string& message) {
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

    const QString& PortName() const { return m_link.CurrentPortName(); }
    int ModesReceived() const { return m_modes; }
    CTerminalLinkUi& Ui() { return m_ui; }

  private:
    CQxctl& m_cli;
    std::string m_command;
    CTerminalLinkUi m_ui;
    QObject m_window;
    CMessageMap* m_map = nullptr;
    CDeviceLink m_link;
    int m_parameters = 0;
    int m_modes = 0;
    int m_polls = 0;
    bool m_dropped = false;
    int m_portCount = 1;
};

// The bits of a ParamImage the synchroniser sends when scene is in force.
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

bool FieldIsSent(const std::array<uint8_t, sizeof(ParamImage)>& bits, const ParamField& f) {
    const uint8_t mask = f.mask == 0 ? 0xFF : f.mask;
    for (int i = 0; i < f.width; ++i) {
        if ((bits[static_cast<std::size_t>(f.offset + i)] & mask) != mask) {
            return false;
        }
    }
    return true;
}

bool FieldMatchesSent(const ParamField& f) {
    const uint8_t mask = f.mask == 0 ? 0xFF : f.mask;
    const uint8_t* current = CParamCatalogue::Bytes(ParameterSet);
    const uint8_t* sent = CParamCatalogue::Bytes(SentImage);
    for (int i = 0; i < f.width; ++i) {
        if (((LoadByte(current[f.offset + i]) ^ LoadByte(sent[f.offset + i])) & mask) != 0) {
            return false;
        }
    }
    return true;
}

int ModeFailure(CQxctl& cli, const std::string& command, const ModeResult& r) {
    return cli.Fail(command, r.message.empty() ? "refused" : r.message,
                    r.status == ModeResult::kRefused || r.status == ModeResult::kIgnored ? 2 : 1);
}

bool OneFile(CQxctl& cli, const std::string& command, const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        cli.Fail(command, "expected one FILE (see qxctl " + command + " --help)", 2);
        return false;
    }
    return true;
}

int Ports(CQxctl& cli, const CCommandArgs& a) {
    if (!a.Positional().empty()) {
        return cli.Fail("ports", "takes no arguments", 2);
    }
    std::vector<PortInfo> ports;
    if (!EnumSerialPorts(ports, false)) {
        return cli.Fail("ports", "the serial ports could not be listed");
    }
    for (const PortInfo& p : ports) {
        cli.Out() << p.devicePath.toStdString() << "\t" << p.description.toStdString()
                  << (p.isUsb ? "\tUSB" : "") << "\n";
    }
    return 0;
}

std::string CurrentProgramText() {
    const int n = ParameterSet.system.block.currentProgram;
    const std::string label = n >= 1 && n <= kProgramCount ? CDeviceModes::ProgramLabel(n) : "-";
    return label + " \"" + CDeviceModes::ShownName(ParameterSet.program.name) + "\"";
}

int Set(CQxctl& cli, CDeviceSession& s, const CCommandArgs& a) {
    std::vector<CQxctl::Assignment> assignments;
    std::string error;
    if (!CQxctl::ParseAssignments(a.Positional(), assignments, error)) {
        return cli.Fail("set", error, 2);
    }
    if (!s.Connect()) {
        return 1;
    }
    {
        ParamGuard guard(ParamLock);
        // The scene in force once the assignments are made decides which scene is sent.
        int mode = ParameterSet.program.OutputMode;
        for (const auto& as : assignments) {
            if (as.field->name == "OutputMode") {
                mode = static_cast<int>(as.value.code);
            }
        }
        const int scene = mode >= 1 && mode <= 3 ? mode : SceneInForce();
        const auto bits = SentBits(scene);
        for (const auto& as : assignments) {
            if (!FieldIsSent(bits, *as.field)) {
                return cli.Fail("set",
                                as.field->name +
                                    " is not sent field by field (a hidden copy, another output "
                                    "scene than the one in force, or stored only with the whole "
                                    "program); change it in a file and push it",
                                2);
            }
        }
        for (const auto& as : assignments) {
            CParamCatalogue::Apply(CParamCatalogue::Bytes(ParameterSet), *as.field, as.value);
        }
    }
    if (!s.Settle(kSettleMs)) {
        s.Failed("the processor did not acknowledge every change");
        return 1;
    }
    ParamGuard guard(ParamLock);
    for (const auto& as : assignments) {
        if (!FieldMatchesSent(*as.field)) {
            return cli.Fail("set", as.field->name + " was not sent");
        }
    }
    return 0;
}

}  // namespace

int CDeviceCommands::Run(CQxctl& cli, const std::string& command, const CCommandArgs& a) {
    if (command == "ports") {
        return Ports(cli, a);
    }
    // File arguments and program numbers are checked before the processor is looked for.
    int program = 0;
    if (command == "recall" || command == "store") {
        if (a.Positional().size() != 1 ||
            (program = CDeviceModes::ParseProgramLabel(a.Positional()[0])) == 0) {
            return cli.Fail(command, "expected one program number: 1..16 or F1..F5", 2);
        }
        if (command == "store" && !a.Has("--name")) {
            return cli.Fail(command, "--name TEXT is needed", 2);
        }
    } else if (command == "pull" || command == "push" || command == "bank-pull" ||
               command == "bank-push") {
        if (!OneFile(cli, command, a)) {
            return 2;
        }
    } else if (command == "probe") {
        if (!a.Positional().empty()) {
            return cli.Fail(command, "takes no arguments", 2);
        }
    }
    if (command == "bank-push" && !CProgramFile::IsBankFilePath(a.Positional()[0])) {
        return cli.Fail(command, a.Positional()[0] + " is not an all-programs file (.dat)", 2);
    }
    // A file that cannot be loaded is reported before any port is opened.
    if (command == "push" || command == "bank-push") {
        CQxctl::LoadedFile file;
        std::string error;
        if (!CQxctl::LoadAnyFile(a.Positional()[0], file, error)) {
            return cli.Fail(command, error);
        }
        if (file.isBank != (command == "bank-push")) {
            return cli.Fail(command,
                            a.Positional()[0] + (file.isBank ? " holds all programs (bank-push)"
                                                             : " holds one program (push)"),
                            2);
        }
    }

    CDeviceSession s(cli, command, a);
    if (command == "set") {
        return Set(cli, s, a);
    }
    if (!s.Connect()) {
        return 1;
    }
    CDeviceModes modes = s.Modes();
    if (command == "probe") {
        cli.Out() << s.PortName().toStdString() << ": program " << CurrentProgramText()
                  << ", store " << (storePermission != 0 ? "allowed" : "not allowed") << "\n";
        return 0;
    }
    if (command == "pull") {
        const ModeResult r = modes.ExportProgram(a.Positional()[0]);
        return r.Succeeded() ? 0 : ModeFailure(cli, command, r);
    }
    if (command == "push") {
        const ModeResult r = modes.ImportProgram(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        return s.Settle(kSettleMs) ? 0 : (s.Failed("the processor did not take the program"), 1);
    }
    if (command == "bank-pull") {
        const ModeResult r = modes.ExportAllPrograms(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        if (!s.WaitFor([&s] { return s.ModesReceived() > 0; }, kBankMs)) {
            s.Failed("the processor did not send all programs");
            return 1;
        }
        s.Ui().FinishProgress();
        modes.OnModesReceived();
        const ModeResult w = modes.WriteAllPrograms(a.Positional()[0]);
        return w.Succeeded() ? 0 : ModeFailure(cli, command, w);
    }
    if (command == "bank-push") {
        const ModeResult r = modes.ImportAllPrograms(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        return s.Settle(kBankMs) ? 0 : (s.Failed("the processor did not take all programs"), 1);
    }
    if (command == "recall") {
        const ModeResult r = modes.RecallProgram(program);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        if (!s.Settle(kSettleMs)) {
            s.Failed("the processor did not recall the program");
            return 1;
        }
        cli.Out() << "program " << CurrentProgramText() << "\n";
        return 0;
    }
    if (command == "store") {
        const ModeResult r = modes.StoreProgram(program, a.Value("--name"));
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        return s.Settle(kSettleMs) ? 0 : (s.Failed("the processor did not store the program"), 1);
    }
    return cli.Fail(command, "unknown command", 2);
}

}  // namespace qx
