#include "DeviceCommands.h"

#include <array>
#include <memory>
#include <ostream>

#include "CliAudit.h"
#include "DeviceSession.h"
#include "EnumSerialPorts.h"
#include "JsonImage.h"
#include "LinkState.h"
#include "ParamCatalogue.h"
#include "ParameterSet.h"
#include "Qxctl.h"
#include "SceneSelector.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kStepReadPrograms{"读取程序", "reading programs"};
constexpr TextPair kStepWritePrograms{"写入程序", "writing programs"};
constexpr TextPair kStepWriteSystem{"写入系统数据", "writing the system block"};

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

// A refusal is a failure (1); only a request that makes no sense is bad usage (2).
int ModeFailure(CQxctl& cli, const std::string& command, const ModeResult& r) {
    return cli.Fail(command, r.message.empty() ? Tr({"被拒绝", "refused"}) : r.message,
                    r.status == ModeResult::kIgnored ? 2 : 1);
}

bool OneFile(CQxctl& cli, const std::string& command, const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        cli.Fail(
            command,
            Tr({"需要一个文件（见 qxctl %1 --help）", "expected one FILE (see qxctl %1 --help)"},
               {command}),
            2);
        return false;
    }
    return true;
}

int Ports(CQxctl& cli, const CCommandArgs& a) {
    if (!a.Positional().empty()) {
        return cli.Fail("ports", Tr({"不接受参数", "takes no arguments"}), 2);
    }
    std::vector<PortInfo> ports;
    if (!EnumSerialPorts(ports, false)) {
        return cli.Fail("ports", Tr({"无法列出串口", "the serial ports could not be listed"}));
    }
    for (const PortInfo& p : ports) {
        cli.Out() << p.devicePath.toStdString() << "\t" << p.description.toStdString()
                  << (p.isUsb ? "\tUSB" : "") << "\n";
    }
    return 0;
}

// "F3 \"Evening\"": the name shown as `show` shows it, control bytes escaped.
std::string CurrentProgramText() {
    const int n = ParameterSet.system.block.currentProgram;
    const std::string label = n >= 1 && n <= kProgramCount ? CDeviceModes::ProgramLabel(n) : "-";
    static const ParamField* const name = CParamCatalogue::Find("name");
    return label + " " + CParamCatalogue::Display(CParamCatalogue::Bytes(ParameterSet), *name);
}

int Set(CQxctl& cli, CDeviceSession& s, const CCommandArgs& a) {
    std::vector<CQxctl::Assignment> assignments;
    std::string error;
    if (!CQxctl::ParseAssignments(a.Positional(), assignments, error)) {
        return cli.Fail("set", error, 2);
    }
    cli.NoteRounded("set", assignments);
    if (!s.Connect()) {
        return 1;
    }
    CCliAudit audit(s.PortName().toStdString());
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
                return cli.Fail(
                    "set",
                    Tr({"%1 不能单独发送（隐藏的副本、非当前输出场景，或只随整个程序保存）；"
                        "请在文件中修改后用 push 写入",
                        "%1 is not sent field by field (a hidden copy, another output scene than "
                        "the one in force, or stored only with the whole program); change it in "
                        "a file and push it"},
                       {as.field->name}),
                    2);
            }
        }
        audit.Before();
        for (const auto& as : assignments) {
            CParamCatalogue::Apply(CParamCatalogue::Bytes(ParameterSet), *as.field, as.value);
        }
    }
    const bool settled = s.Settle(kSettleMs);
    audit.After(ChangeOrigin::FromControl(0, "qxctl set"), settled);
    if (!settled) {
        s.Failed(Tr({"处理器没有确认全部修改", "the processor did not acknowledge every change"}));
        return 1;
    }
    ParamGuard guard(ParamLock);
    for (const auto& as : assignments) {
        if (!FieldMatchesSent(*as.field)) {
            return cli.Fail("set", Tr({"%1 没有发送", "%1 was not sent"}, {as.field->name}));
        }
    }
    return 0;
}

}  // namespace

int CDeviceCommands::Run(CQxctl& cli, const std::string& command, const CCommandArgs& a) {
    if (command == "ports") {
        return Ports(cli, a);
    }
    // File arguments, program numbers and names are checked before the processor is looked
    // for.
    int program = 0;
    if (command == "recall" || command == "store") {
        const int last = command == "store" ? kStorablePrograms : kProgramCount;
        if (a.Positional().size() != 1 ||
            (program = CDeviceModes::ParseProgramLabel(a.Positional()[0])) == 0 || program > last) {
            return cli.Fail(
                command,
                command == "store"
                    ? Tr({"需要一个程序号：1..16", "expected one program number: 1..16"})
                    : Tr({"需要一个程序号：1..16 或 F1..F5",
                          "expected one program number: 1..16 or F1..F5"}),
                2);
        }
        uint8_t padded[kNameLength];
        if (command == "store" && !a.Has("--name")) {
            return cli.Fail(command, Tr({"需要 --name TEXT", "--name TEXT is needed"}), 2);
        }
        if (command == "store" && !CDeviceModes::PadName(a.Value("--name"), padded)) {
            return cli.Fail(command, std::string("--name: ") + Tr(kTextBadProgramName), 2);
        }
    } else if (command == "pull" || command == "push" || command == "bank-pull" ||
               command == "bank-push") {
        if (!OneFile(cli, command, a)) {
            return 2;
        }
    } else if (command == "probe") {
        if (!a.Positional().empty()) {
            return cli.Fail(command, Tr({"不接受参数", "takes no arguments"}), 2);
        }
    }
    if (command == "bank-push" && !CProgramFile::IsBankFilePath(a.Positional()[0])) {
        return cli.Fail(command,
                        Tr({"%1 不是全部程序文件（.dat）", "%1 is not an all-programs file (.dat)"},
                           {a.Positional()[0]}),
                        2);
    }
    // A file that cannot be loaded, or holds values the processor does not know, is reported
    // before any port is opened.
    if (command == "push" || command == "bank-push") {
        auto file = std::make_unique<CQxctl::LoadedFile>();
        std::string error;
        if (!CQxctl::LoadAnyFile(a.Positional()[0], *file, error)) {
            return cli.Fail(command, error);
        }
        if (file->isBank != (command == "bank-push")) {
            return cli.Fail(
                command,
                file->isBank
                    ? Tr({"%1 包含全部程序（用 bank-push）", "%1 holds all programs (bank-push)"},
                         {a.Positional()[0]})
                    : Tr({"%1 只包含一个程序（用 push）", "%1 holds one program (push)"},
                         {a.Positional()[0]}),
                2);
        }
        // push sends the program only; bank-push sends everything.
        const int outside = CQxctl::OutOfRangeFields(*file, command == "push");
        if (outside > 0 && !a.Has("--force")) {
            return cli.Fail(command,
                            Tr({"%1：%2 个字段超出范围（qxctl show %1 会标出）；"
                                "加 --force 仍然写入",
                                "%1: %2 fields are out of range (qxctl show %1 marks them); "
                                "--force writes the file anyway"},
                               {a.Positional()[0], std::to_string(outside)}));
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
    if (command == "probe" && a.Has("--json")) {
        const int n = ParameterSet.system.block.currentProgram;
        cli.Out() << "{\"port\": " << CJsonImage::Quote(s.PortName().toStdString())
                  << ", \"program\": " << n << ", \"label\": "
                  << CJsonImage::Quote(n >= 1 && n <= kProgramCount ? CDeviceModes::ProgramLabel(n)
                                                                    : "-")
                  << ", \"name\": "
                  << CJsonImage::Quote(CDeviceModes::ShownName(ParameterSet.program.name))
                  << ", \"store\": " << (storePermission != 0 ? "true" : "false") << "}\n";
        return 0;
    }
    CCliAudit audit(s.PortName().toStdString());
    if (command == "probe") {
        cli.Out() << s.PortName().toStdString() << ": "
                  << (storePermission != 0
                          ? Tr({"程序 %1，允许保存", "program %1, store allowed"},
                               {CurrentProgramText()})
                          : Tr({"程序 %1，不允许保存", "program %1, store not allowed"},
                               {CurrentProgramText()}))
                  << "\n";
        return 0;
    }
    if (command == "pull") {
        const ModeResult r = modes.ExportProgram(a.Positional()[0]);
        return r.Succeeded() ? 0 : ModeFailure(cli, command, r);
    }
    if (command == "push") {
        audit.Before();
        const ModeResult r = modes.ImportProgram(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        const bool settled = s.Settle(kSettleMs);
        audit.After(ChangeOrigin::FromFile(a.Positional()[0]), settled);
        return settled ? 0
                       : (s.Failed(
                              Tr({"处理器没有接受程序", "the processor did not take the program"})),
                          1);
    }
    if (command == "bank-pull") {
        s.ExpectProgress({{kProgramCount, Tr(kStepReadPrograms)}});
        const ModeResult r = modes.ExportAllPrograms(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        if (!s.WaitFor([&s] { return s.ModesReceived() > 0; }, kBankMs)) {
            s.Failed(Tr({"处理器没有发送全部程序", "the processor did not send all programs"}));
            return 1;
        }
        s.Ui().FinishProgress();
        s.Ui().ClearStepInFlight();
        modes.OnModesReceived();
        const ModeResult w = modes.WriteAllPrograms(a.Positional()[0]);
        return w.Succeeded() ? 0 : ModeFailure(cli, command, w);
    }
    if (command == "bank-push") {
        s.ExpectProgress({{kProgramCount, Tr(kStepWritePrograms)}, {1, Tr(kStepWriteSystem)}});
        const ModeResult r = modes.ImportAllPrograms(a.Positional()[0]);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        const bool settled = s.Settle(kBankMs);
        audit.Command("bank-push", -1, a.Positional()[0], settled);
        return settled ? 0
                       : (s.Failed(Tr({"处理器没有接受全部程序",
                                       "the processor did not take all programs"})),
                          1);
    }
    if (command == "recall") {
        const ModeResult r = modes.RecallProgram(program);
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        const bool settled = s.Settle(kSettleMs);
        audit.Command("recall", program, CDeviceModes::ProgramLabel(program), settled);
        if (!settled) {
            s.Failed(Tr({"处理器没有调出程序", "the processor did not recall the program"}));
            return 1;
        }
        cli.Out() << Tr({"程序 %1", "program %1"}, {CurrentProgramText()}) << "\n";
        return 0;
    }
    if (command == "store") {
        const ModeResult r = modes.StoreProgram(program, a.Value("--name"));
        if (!r.Succeeded()) {
            return ModeFailure(cli, command, r);
        }
        const bool settled = s.Settle(kSettleMs);
        audit.Command("store", program,
                      CDeviceModes::ProgramLabel(program) + " " + a.Value("--name"), settled);
        return settled ? 0
                       : (s.Failed(Tr(
                              {"处理器没有保存程序", "the processor did not store the program"})),
                          1);
    }
    return cli.Fail(command, Tr({"未知命令", "unknown command"}), 2);
}

}  // namespace qx
