#include "DeviceCommands.h"

#include <array>
#include <memory>
#include <ostream>

#include "DeviceSession.h"
#include "EnumSerialPorts.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "Qxctl.h"
#include "SceneSelector.h"

namespace qx {

namespace {

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
