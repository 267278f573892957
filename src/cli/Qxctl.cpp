#include "Qxctl.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>

#include <unistd.h>

#include "AuditLog.h"
#include "CurveCommand.h"
#include "DeviceCommands.h"
#include "DeviceModes.h"
#include "EqFitCommand.h"
#include "EqTextCommands.h"
#include "FleetCommand.h"
#include "ImageDiff.h"
#include "JsonImage.h"
#include "LogCommand.h"
#include "ProgramFile.h"
#include "QxVersion.h"
#include "SimulateCommand.h"
#include "TextPair.h"

namespace qx {

struct QxctlCommand {
    const char* name;
    const char* usage;
    const char* summary;
    std::string details;
    std::vector<std::string> valueOptions;
    std::vector<std::string> flags;
};

namespace {

const char* const kPortHelp =
    "  --port PATH     use this serial device (repeatable); without it every serial port\n"
    "                  is probed, as the editor does. PATH may also name a serial device\n"
    "                  server: socket://HOST:PORT (raw TCP) or rfc2217://HOST:PORT\n";

const std::vector<QxctlCommand>& Commands() {
    static const std::vector<QxctlCommand> commands = {
        {"ports", "ports", "list the serial ports", "", {}, {}},
        {"probe",
         "probe [--port PATH] [--json]",
         "find the processor and show its current program",
         std::string(kPortHelp) +
             "  --json          print port, program number, label and name, store permission\n",
         {"--port"},
         {"--json"}},
        {"pull",
         "pull FILE.dia [--port PATH]",
         "read the current program and system block into a program file",
         kPortHelp,
         {"--port"},
         {}},
        {"push",
         "push FILE.dia [--port PATH] [--force]",
         "write a program file's program to the processor",
         "  The processor's system block is kept; the file's is not used.\n"
         "  --force         write a program with fields outside their ranges\n" +
             std::string(kPortHelp),
         {"--port"},
         {"--force"}},
        {"bank-pull",
         "bank-pull FILE.dat [--port PATH]",
         "read all 21 stored programs into an all-programs file",
         kPortHelp,
         {"--port"},
         {}},
        {"bank-push",
         "bank-push FILE.dat [--port PATH] [--force]",
         "write all 21 stored programs and the system block of an all-programs file",
         "  --force         write a file with fields outside their ranges\n" +
             std::string(kPortHelp),
         {"--port"},
         {"--force"}},
        {"recall",
         "recall N [--port PATH]",
         "recall stored program N (1..16, F1..F5) on the processor",
         kPortHelp,
         {"--port"},
         {}},
        {"store",
         "store N --name TEXT [--port PATH]",
         "store the processor's current settings as program N (1..16)",
         "  --name TEXT     the program's name: at most 20 bytes of printable ASCII\n"
         "  The processor must allow storing (store permission).\n" +
             std::string(kPortHelp),
         {"--port", "--name"},
         {}},
        {"set",
         "set NAME=VALUE ... [--port PATH | --file FILE.dia]",
         "change fields on the processor, or in a program file",
         "  On the processor, set returns when every change has been acknowledged.\n"
         "  NAME is a field name as 'show' prints it (case does not matter); VALUE is a bare\n"
         "  code (a whole number) or a value as shown: 1000Hz, 1.2kHz, -3dB, -20dBV, 0.71,\n"
         "  12.5ms, 40%, OFF, PEQ, \"24dB Butterworth\", F3, name=\"Evening\". A value\n"
         "  between two steps takes the nearest step (ties upward) and says so. Nothing\n"
         "  changes unless every assignment is valid.\n"
         "  --file FILE.dia  change a program file instead of the processor\n",
         {"--port", "--file"},
         {}},
        {"show",
         "show FILE [--json] [--only TEXT]",
         "print every field of a program (.dia) or all-programs (.dat) file",
         "  Fields outside their ranges are marked, and counted on standard error.\n"
         "  --json       print JSON: each field with its code and its shown value\n"
         "  --only TEXT  only fields whose name contains TEXT\n",
         {"--only"},
         {"--json"}},
        {"diff",
         "diff A B",
         "print the fields in which two files of the same kind differ",
         "  exit status 0 when they are equal, 1 when they differ, 2 on trouble\n",
         {},
         {}},
        {"to-json",
         "to-json FILE.dia [-o OUT.json]",
         "convert a program file to JSON (field codes by name)",
         "",
         {"-o"},
         {}},
        {"from-json",
         "from-json FILE.json FILE.dia [--force]",
         "convert JSON written by to-json back into the identical program file",
         "  Codes outside a field's range are refused, as set refuses them.\n"
         "  --force  keep such codes (a file from another source, converted back)\n",
         {},
         {"--force"}},
        {"curve",
         "curve FILE.dia --eq N [--scene S]",
         "print the total response of equaliser N as CSV (frequency,dB) on the 420-point grid",
         "  N: 0 MusicLeft, 1 MusicRight, 2 Mic1, 3 Mic2, 4 EchoA, 5 EchoB, 6 Reverb,\n"
         "     7 ReverbShadow, 8..15 output channels MainL..SurroundR, 16/17 dynamic EQ L/R\n"
         "  --scene S  output scene 1 Sing, 2 Disco, 3 Decode (default: the one in force)\n",
         {"--eq", "--scene"},
         {}},
        {"eq-import",
         "eq-import FILTERS.txt --eq N (FILE.dia | --port PATH) [--scene S] [--dry-run]",
         "put the filters of a room-measurement filter text onto equaliser N",
         "  FILTERS.txt  'Filter 1: ON PK Fc 63 Hz Gain -5.0 dB Q 4.00' lines as measurement\n"
         "               programs export them (PK, LS/LSC, HS/HSC, HP/LP, HPQ/LPQ, OFF, Preamp)\n"
         "  Each filter takes the next band with the nearest codes; HP and LP lines set the\n"
         "  equaliser's high-pass and low-pass; the bands left over are bypassed. Nothing\n"
         "  changes unless every line can be taken.\n"
         "  N, --scene S  as for curve\n"
         "  --dry-run     print what the equaliser would get and change nothing\n" +
             std::string(kPortHelp),
         {"--eq", "--scene", "--port"},
         {"--dry-run"}},
        {"eq-export",
         "eq-export (FILE.dia | --port PATH) --eq N [--scene S] [-o FILE.txt]",
         "write equaliser N as room-measurement filter text",
         "  N, --scene S  as for curve\n"
         "  -o FILE.txt   write the text to a file instead of the terminal\n" +
             std::string(kPortHelp),
         {"--eq", "--scene", "--port", "-o"},
         {}},
        {"fleet",
         "fleet (probe|backup|diff|rollout) FLEET.json ...",
         "work on every room of a fleet file at once (see qxctl fleet --help)",
         "",
         {},
         {}},
        {"eq-fit",
         CEqFitCommand::Usage(),
         "fit equaliser N to a room measurement, in the processor's codes",
         CEqFitCommand::Help() + std::string(kPortHelp),
         {"--eq", "--scene", "--port", "--target", "--range", "--bands", "--max-boost", "--types",
          "--smooth"},
         {"--dry-run", "--cuts-only", "--keep"}},
        {"log",
         "log [--room R] [--since TIME] [--field PATTERN] [--json]",
         "print the audit log: what the editor and qxctl sent to processors",
         "  --room R         one room (its name in a fleet file) or port address\n"
         "  --since TIME     from a moment on: 2026-12-09, \"2026-12-09 20:30\" (UTC), or a\n"
         "                   span back from now: 30m, 2h, 7d\n"
         "  --field PATTERN  only field changes whose name matches (Mic*.level, case ignored)\n"
         "  --json           print the records as the JSON lines they are stored as\n"
         "  The log is $QX_AUDIT_LOG, or ~/.local/share/qx-editor/audit.jsonl.\n",
         {"--room", "--since", "--field"},
         {"--json"}},
        {"simulate",
         "simulate [qx-sim options]",
         "run a virtual processor on a pseudo-terminal (same as qx-sim)",
         "",
         {},
         {}},
    };
    return commands;
}

const QxctlCommand* FindCommand(const std::string& name) {
    for (const QxctlCommand& c : Commands()) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// One shown line or JSON member per field, with an optional name prefix.
struct FieldRow {
    std::string name;
    std::string value;
    std::string raw;
    bool numeric = true;
    bool outOfRange = false;
    bool system = false;
};

void CollectRows(const uint8_t* image, bool system, const std::string& prefix,
                 const std::string& only, std::vector<FieldRow>& rows) {
    const std::string filter = Lower(only);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if (f.IsSystem() != system) {
            continue;
        }
        const std::string name = prefix + f.name;
        if (!filter.empty() && Lower(name).find(filter) == std::string::npos) {
            continue;
        }
        rows.push_back({name, CParamCatalogue::Display(image, f),
                        CParamCatalogue::RawText(image, f), !f.IsBytes(),
                        !CParamCatalogue::InRange(image, f), system});
    }
}

// The image a bank's system block and one of its programs make together.
std::unique_ptr<ParamImage> BankView(const BankImage& bank, int program) {
    auto view = std::make_unique<ParamImage>();
    std::memcpy(&view->system, &bank.BankSystemBlock, sizeof(SystemImage));
    std::memcpy(&view->program, &bank.programs[program], sizeof(ProgramImage));
    return view;
}

std::vector<FieldRow> FileRows(const CQxctl::LoadedFile& file, const std::string& only) {
    std::vector<FieldRow> rows;
    if (!file.isBank) {
        const uint8_t* bytes = CParamCatalogue::Bytes(file.program);
        CollectRows(bytes, false, "", only, rows);
        CollectRows(bytes, true, "", only, rows);
        return rows;
    }
    auto first = BankView(file.bank, 0);
    CollectRows(CParamCatalogue::Bytes(*first), true, "", only, rows);
    for (int k = 0; k < kProgramCount; ++k) {
        auto view = BankView(file.bank, k);
        CollectRows(CParamCatalogue::Bytes(*view), false,
                    "Program[" + CDeviceModes::ProgramLabel(k + 1) + "].", only, rows);
    }
    if (only.empty() || Lower("bankValid").find(Lower(only)) != std::string::npos) {
        const uint8_t valid = file.bank.bankValid;
        rows.push_back(
            {"bankValid", std::to_string(valid), std::to_string(valid), true, false, true});
    }
    return rows;
}

bool ReadText(const std::string& path, std::string& text, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = FileResult::Failure(kReadError, path, "is a folder, not a file").error;
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = FileResult::Failure(kReadError, path, std::strerror(errno)).error;
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

}  // namespace

CQxctl::CQxctl(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {
    // What qxctl sends is logged as qxctl's, fleet steps included.
    CAuditLog::SetTool("qxctl");
    CFleetCommand::SetWriteHook(
        [](const FleetRoom& room, const std::string& action, const std::string& detail) {
            AuditFleet(action, room.name, room.port, -1, detail);
        });
}

bool CQxctl::DrawsProgress() const {
    return m_forceProgress || (&m_err == &std::cerr && isatty(STDERR_FILENO) != 0);
}

int CQxctl::Fail(const std::string& command, const std::string& message, int code) {
    m_err << "qxctl: " << (command.empty() ? "" : command + ": ") << message << "\n";
    return code;
}

int CQxctl::Help(const std::vector<std::string>& words) {
    if (!words.empty()) {
        const QxctlCommand* c = FindCommand(words[0]);
        if (c == nullptr) {
            return Fail(
                "",
                Tr({"未知命令“%1”（见 qxctl --help）", "unknown command '%1' (see qxctl --help)"},
                   {words[0]}),
                2);
        }
        return CommandHelp(*c);
    }
    m_out << "Usage: qxctl COMMAND [ARGS...]\n\n"
             "Reads, writes and inspects the settings of a QX processor and its program\n"
             "files (.dia, one program; .dat, all 21 stored programs).\n\nCommands:\n";
    for (const QxctlCommand& c : Commands()) {
        const std::string summary = c.summary;
        m_out << "  " << std::left << std::setw(11) << c.name
              << summary.substr(0, summary.find('\n')) << "\n";
    }
    m_out << "\nRun 'qxctl COMMAND --help' for a command's arguments.\n"
             "Exit status: 0 success, 1 failure, 2 bad usage.\n";
    return 0;
}

int CQxctl::CommandHelp(const QxctlCommand& c) {
    m_out << "Usage: qxctl " << c.usage << "\n\n" << c.summary << "\n";
    if (!c.details.empty()) {
        m_out << "\n" << c.details;
    }
    return 0;
}

int CQxctl::Run(const std::vector<std::string>& args) {
    // Messages in Chinese when the locale is Chinese (PRC), as in the editor.
    ChooseInitialLanguage(SystemLocaleName());
    if (args.empty()) {
        Help({});
        return 2;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        return Help(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (name == "--version") {
        m_out << "qxctl " << kQxVersion << "\n";
        return 0;
    }
    const QxctlCommand* c = FindCommand(name);
    if (c == nullptr) {
        return Fail(
            "",
            Tr({"未知命令“%1”（见 qxctl --help）", "unknown command '%1' (see qxctl --help)"},
               {name}),
            2);
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (name == "simulate") {
        return CSimulateCommand::Run(*this, rest);
    }
    if (name == "fleet") {
        return CFleetCommand::Run(*this, rest);
    }
    CCommandArgs a;
    std::string error;
    if (!a.Parse(rest, c->valueOptions, c->flags, error)) {
        return Fail(name,
                    Tr({"%1（见 qxctl %2 --help）", "%1 (see qxctl %2 --help)"}, {error, name}), 2);
    }
    if (a.Has("--help")) {
        return CommandHelp(*c);
    }
    if (name == "show") {
        return Show(a);
    }
    if (name == "diff") {
        return Diff(a);
    }
    if (name == "to-json") {
        return ToJson(a);
    }
    if (name == "from-json") {
        return FromJson(a);
    }
    if (name == "curve") {
        return CCurveCommand::Run(*this, a);
    }
    if (name == "eq-import") {
        return CEqTextCommands::Import(*this, a);
    }
    if (name == "eq-export") {
        return CEqTextCommands::Export(*this, a);
    }
    if (name == "eq-fit") {
        return CEqFitCommand::Run(*this, a);
    }
    if (name == "log") {
        return CLogCommand::Run(*this, a);
    }
    if (name == "set" && a.Has("--file")) {
        return SetFile(a);
    }
    return CDeviceCommands::Run(*this, name, a);
}

bool CQxctl::LoadAnyFile(const std::string& path, LoadedFile& file, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    FileResult r;
    if (!ec && size == sizeof(BankImage)) {
        file.isBank = true;
        r = CProgramFile::ReadBank(path, file.bank);
    } else if (!ec && size == 2778) {
        file.isBank = false;
        r = CProgramFile::ReadProgram(path, file.program);
    } else if (ec) {
        r = FileResult::Failure(kReadError, path, ec.message());
    } else {
        r = FileResult::Failure(kReadError, path,
                                "expected 2778 bytes (program file) or 57019 bytes "
                                "(all-programs file), found " +
                                    std::to_string(size));
    }
    error = r.error;
    return r.ok;
}

bool CQxctl::ParseAssignments(const std::vector<std::string>& words, std::vector<Assignment>& out,
                              std::string& error) {
    out.clear();
    if (words.empty()) {
        error = Tr({"没有给出 NAME=VALUE", "no NAME=VALUE given"});
        return false;
    }
    for (const std::string& w : words) {
        const auto eq = w.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = Tr({"“%1”不是 NAME=VALUE", "'%1' is not NAME=VALUE"}, {w});
            return false;
        }
        const std::string name = w.substr(0, eq);
        const ParamField* f = CParamCatalogue::Find(name);
        if (f == nullptr) {
            error = Tr({"未知字段“%1”（qxctl show FILE 列出全部名称）",
                        "unknown field '%1' (qxctl show FILE lists the names)"},
                       {name});
            return false;
        }
        Assignment as;
        as.field = f;
        as.typed = w.substr(eq + 1);
        std::string why;
        if (!CParamCatalogue::Parse(*f, w.substr(eq + 1), as.value, why)) {
            error = f->name + ": " + why;
            return false;
        }
        out.push_back(std::move(as));
    }
    return true;
}

void CQxctl::NoteRounded(const std::string& command, const std::vector<Assignment>& assignments) {
    for (const Assignment& as : assignments) {
        if (as.value.rounded) {
            m_err << "qxctl: " << command << ": "
                  << Tr({"%1：%2 介于两档之间，使用 %3", "%1: %2 lies between two steps; using %3"},
                        {as.field->name, as.typed,
                         CParamCatalogue::DisplayCode(*as.field, as.value.code)})
                  << "\n";
        }
    }
}

int CQxctl::OutOfRangeFields(const LoadedFile& file, bool programsOnly) {
    int count = 0;
    for (const FieldRow& r : FileRows(file, "")) {
        count += r.outOfRange && !(programsOnly && r.system) ? 1 : 0;
    }
    return count;
}

int CQxctl::Show(const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        return Fail("show",
                    Tr({"需要一个文件（见 qxctl show --help）",
                        "expected one FILE (see qxctl show --help)"}),
                    2);
    }
    auto file = std::make_unique<LoadedFile>();
    std::string error;
    if (!LoadAnyFile(a.Positional()[0], *file, error)) {
        return Fail("show", error);
    }
    const std::vector<FieldRow> rows = FileRows(*file, a.Value("--only"));
    // Files from elsewhere may hold codes the editor does not know: shown, marked and counted,
    // never refused.
    const auto outside =
        std::count_if(rows.begin(), rows.end(), [](const FieldRow& r) { return r.outOfRange; });
    if (outside > 0) {
        m_err << "qxctl: show: "
              << Tr({"%1：%2 个字段超出范围（已标出）", "%1: %2 fields out of range (marked)"},
                    {a.Positional()[0], std::to_string(outside)})
              << "\n";
    }
    if (a.Has("--json")) {
        m_out << "{\n  \"type\": \"" << (file->isBank ? "bank" : "program")
              << "\",\n  \"fields\": {";
        bool first = true;
        for (const FieldRow& r : rows) {
            m_out << (first ? "\n" : ",\n") << "    " << CJsonImage::Quote(r.name)
                  << ": {\"code\": " << (r.numeric ? r.raw : CJsonImage::Quote(r.raw))
                  << ", \"value\": " << CJsonImage::Quote(r.value)
                  << (r.outOfRange ? ", \"outOfRange\": true}" : "}");
            first = false;
        }
        m_out << "\n  }\n}\n";
        return 0;
    }
    std::size_t width = 0;
    for (const FieldRow& r : rows) {
        width = std::max(width, r.name.size());
    }
    for (const FieldRow& r : rows) {
        m_out << std::left << std::setw(static_cast<int>(width) + 2) << r.name << r.value;
        if (r.numeric && r.value != r.raw) {
            m_out << "  [" << r.raw << "]";
        }
        if (r.outOfRange) {
            m_out << "  " << Tr({"<超出范围>", "<out of range>"});
        }
        m_out << "\n";
    }
    return 0;
}

int CQxctl::Diff(const CCommandArgs& a) {
    if (a.Positional().size() != 2) {
        return Fail("diff",
                    Tr({"需要两个文件 A B（见 qxctl diff --help）",
                        "expected two files A B (see qxctl diff --help)"}),
                    2);
    }
    auto fa = std::make_unique<LoadedFile>();
    auto fb = std::make_unique<LoadedFile>();
    std::string error;
    if (!LoadAnyFile(a.Positional()[0], *fa, error) ||
        !LoadAnyFile(a.Positional()[1], *fb, error)) {
        return Fail("diff", error, 2);
    }
    if (fa->isBank != fb->isBank) {
        return Fail("diff",
                    Tr({"程序文件不能与全部程序文件比较",
                        "cannot compare a program file with an all-programs file"}),
                    2);
    }
    const std::vector<DiffLine> differences = Differences(*fa, *fb);
    for (const DiffLine& d : differences) {
        m_out << d.name << ": " << d.from << " -> " << d.to << "\n";
    }
    return differences.empty() ? 0 : 1;
}

// Catalogue names, not captions: scripts read this output.
std::vector<CQxctl::DiffLine> CQxctl::Differences(const LoadedFile& a, const LoadedFile& b) {
    std::vector<DiffLine> out;
    auto add = [&](const std::vector<FieldDifference>& list, const std::string& prefix,
                   bool systemOnly) {
        for (const FieldDifference& d : list) {
            if (!systemOnly || d.field->IsSystem()) {
                out.push_back({prefix + d.field->name, d.beforeText, d.afterText});
            }
        }
    };
    if (!a.isBank) {
        add(CImageDiff::Compare(a.program, b.program, true), "", false);
        return out;
    }
    add(CImageDiff::Compare(*BankView(a.bank, 0), *BankView(b.bank, 0), true), "", true);
    for (int k = 0; k < kProgramCount; ++k) {
        add(CImageDiff::ComparePrograms(a.bank.programs[k], b.bank.programs[k]),
            "Program[" + CDeviceModes::ProgramLabel(k + 1) + "].", false);
    }
    if (a.bank.bankValid != b.bank.bankValid) {
        out.push_back({"bankValid", std::to_string(int(a.bank.bankValid)),
                       std::to_string(int(b.bank.bankValid))});
    }
    return out;
}

int CQxctl::ToJson(const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        return Fail("to-json",
                    Tr({"需要一个 FILE.dia（见 qxctl to-json --help）",
                        "expected one FILE.dia (see qxctl to-json --help)"}),
                    2);
    }
    auto image = std::make_unique<ParamImage>();
    const FileResult r = CProgramFile::ReadProgram(a.Positional()[0], *image);
    if (!r.ok) {
        return Fail("to-json", r.error);
    }
    const std::string json = CJsonImage::ToJson(*image);
    if (!a.Has("-o")) {
        m_out << json;
        return 0;
    }
    const FileResult w = CProgramFile::WriteBytes(a.Value("-o"), json.data(), json.size());
    return w.ok ? 0 : Fail("to-json", w.error);
}

int CQxctl::FromJson(const CCommandArgs& a) {
    if (a.Positional().size() != 2) {
        return Fail("from-json",
                    Tr({"需要 FILE.json FILE.dia（见 qxctl from-json --help）",
                        "expected FILE.json FILE.dia (see qxctl from-json --help)"}),
                    2);
    }
    std::string text;
    std::string error;
    if (!ReadText(a.Positional()[0], text, error)) {
        return Fail("from-json", error);
    }
    auto image = std::make_unique<ParamImage>();
    if (!CJsonImage::FromJson(text, *image, error, a.Has("--force"))) {
        return Fail("from-json", a.Positional()[0] + ": " + error);
    }
    const FileResult w = CProgramFile::WriteProgram(a.Positional()[1], *image);
    return w.ok ? 0 : Fail("from-json", w.error);
}

int CQxctl::SetFile(const CCommandArgs& a) {
    if (a.Has("--port")) {
        return Fail("set",
                    Tr({"--file 与 --port 不能同时使用", "--file and --port exclude each other"}),
                    2);
    }
    std::vector<Assignment> assignments;
    std::string error;
    if (!ParseAssignments(a.Positional(), assignments, error)) {
        return Fail("set", error, 2);
    }
    NoteRounded("set", assignments);
    const std::string path = a.Value("--file");
    auto image = std::make_unique<ParamImage>();
    const FileResult r = CProgramFile::ReadProgram(path, *image);
    if (!r.ok) {
        return Fail("set", r.error);
    }
    for (const Assignment& as : assignments) {
        CParamCatalogue::Apply(CParamCatalogue::Bytes(*image), *as.field, as.value);
    }
    const FileResult w = CProgramFile::WriteProgram(path, *image);
    return w.ok ? 0 : Fail("set", w.error);
}

}  // namespace qx
