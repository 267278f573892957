#include "DeviceModes.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include "CommProtocol.h"
#include "LinkState.h"
#include "ParameterSet.h"
#include "RangeClamp.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kNoPermission{"处理器不允许保存", "the processor does not allow storing"};
constexpr TextPair kNoBank{"没有载入已保存的程序", "no stored programs loaded"};

ModeResult Result(ModeResult::Status status, std::string message = {}) {
    ModeResult r;
    r.status = status;
    r.message = std::move(message);
    return r;
}

ModeResult FromFile(const FileResult& f) {
    return f.ok ? Result(ModeResult::kDone) : Result(ModeResult::kFailed, f.error);
}

uint8_t ByteSum(const void* data, std::size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += p[i];
    }
    return static_cast<uint8_t>(sum);
}

}  // namespace

CDeviceModes::CDeviceModes(DeviceModeHooks hooks) : m_hooks(std::move(hooks)) {}

std::string CDeviceModes::ProgramLabel(int program) {
    // Formatted in one piece: concatenating onto a short literal makes GCC 12 warn falsely
    // (-Wrestrict) once it is inlined at -O2 and above.
    char text[16];
    if (program > kStorablePrograms) {
        std::snprintf(text, sizeof text, "F%d", program - kStorablePrograms);
    } else {
        std::snprintf(text, sizeof text, "%d", program);
    }
    return text;
}

int CDeviceModes::ParseProgramLabel(const std::string& text) {
    std::string digits = text;
    int base = 0;
    if (!digits.empty() && (digits[0] == 'F' || digits[0] == 'f')) {
        digits.erase(0, 1);
        base = kStorablePrograms;
    }
    if (digits.empty() || digits.size() > 2) {
        return 0;
    }
    int n = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    const int limit = base == 0 ? kStorablePrograms : kProgramCount - kStorablePrograms;
    if (n < 1 || n > limit) {
        return 0;
    }
    return base + n;
}

bool CDeviceModes::PadName(const std::string& name, uint8_t (&out)[kNameLength]) {
    if (name.size() > static_cast<std::size_t>(kNameLength)) {
        return false;
    }
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F) {
            return false;
        }
    }
    std::memset(out, ' ', kNameLength);
    std::memcpy(out, name.data(), name.size());
    return true;
}

std::string CDeviceModes::ShownName(const U8 (&name)[kNameLength]) {
    std::string s;
    for (const U8& b : name) {
        s.push_back(static_cast<char>(static_cast<uint8_t>(b)));
    }
    const auto keep = [](char c) { return c != ' ' && c != '\0'; };
    std::size_t first = 0;
    while (first < s.size() && !keep(s[first])) {
        ++first;
    }
    std::size_t last = s.size();
    while (last > first && !keep(s[last - 1])) {
        --last;
    }
    return s.substr(first, last - first);
}

int CDeviceModes::BankProgramFor(int currentProgram) {
    return (currentProgram >= 1 && currentProgram <= kProgramCount) ? currentProgram : 1;
}

void CDeviceModes::Send(uint8_t command, uint8_t argument) {
    if (m_hooks.sendDeviceCommand) {
        m_hooks.sendDeviceCommand(command, argument);
    }
}

void CDeviceModes::Refresh() {
    if (m_hooks.refresh) {
        m_hooks.refresh();
    }
}

ModeResult CDeviceModes::RecallProgram(int program) {
    if (program < 1 || program > kProgramCount) {
        return Result(ModeResult::kRefused, Tr({"程序 %1 不存在（1..16, F1..F5）",
                                                "program %1 does not exist (1..16, F1..F5)"},
                                               {std::to_string(program)}));
    }
    if (online) {
        ParamGuard guard(ParamLock);
        Send(kCmdRecall, static_cast<uint8_t>(program));
        ParameterSet.system.block.currentProgram = static_cast<uint8_t>(program);
        return Result(ModeResult::kQueued);
    }
    {
        ParamGuard guard(ParamLock);
        if (ProgramBank.bankValid == 0) {
            return Result(ModeResult::kRefused, Tr(kNoBank));
        }
        AdoptProgram(&ProgramBank.programs[program - 1]);
        ParameterSet.system.block.currentProgram = static_cast<uint8_t>(program);
    }
    Refresh();
    return Result(ModeResult::kDone);
}

ModeResult CDeviceModes::StoreProgram(int program, const std::string& name) {
    if (!online) {
        return Result(ModeResult::kRefused,
                      Tr({"保存需要连接处理器", "storing needs a connected processor"}));
    }
    if (program < 1 || program > kStorablePrograms) {
        return Result(ModeResult::kRefused,
                      Tr({"只能存入程序 1..16，不能存入 %1",
                          "only programs 1..16 can be stored into, not %1"},
                         {program >= 1 && program <= kProgramCount ? ProgramLabel(program)
                                                                   : std::to_string(program)}));
    }
    if (storePermission == 0) {
        return Result(ModeResult::kRefused, Tr(kNoPermission));
    }
    uint8_t padded[kNameLength];
    if (!PadName(name, padded)) {
        return Result(ModeResult::kRefused, Tr(kTextBadProgramName));
    }
    {
        ParamGuard guard(ParamLock);
        // The password command re-sends the current system password unchanged. Its new bytes
        // come from the scratch, which may still hold something typed on the System page, so
        // set them from the current password right before queueing.
        SystemBlock& system = ParameterSet.system.block;
        AtomicCopy(PasswordScratch.newSystem, system.systemPassword, sizeof system.systemPassword);
        Send(kCmdSystemPassword, 0);
        AtomicCopy(ParameterSet.program.name, padded, kNameLength);
        AtomicCopy(ProgramBank.programs[program - 1].name, padded, kNameLength);
        Send(kCmdStore, static_cast<uint8_t>(program));
        system.currentProgram = static_cast<uint8_t>(program);
    }
    Refresh();
    return Result(ModeResult::kQueued);
}

ModeResult CDeviceModes::ExportProgram(const std::string& path) {
    ParamImage image;
    AtomicCopy(&image, &ParameterSet, sizeof image);
    return FromFile(CProgramFile::WriteProgram(CProgramFile::ProgramFilePath(path), image));
}

ModeResult CDeviceModes::ImportProgram(const std::string& path) {
    if (online && storePermission == 0) {
        return Result(ModeResult::kRefused, Tr(kNoPermission));
    }
    auto file = std::make_unique<ParamImage>();
    const FileResult read = CProgramFile::ReadProgram(path, *file);
    if (!read.ok) {
        return FromFile(read);
    }
    // The file's system block is discarded: the current one stays, and a system change not
    // sent yet still goes out (the program write below carries no system block).
    if (m_clamp) {
        ClampToRanges(*file, false);
    }
    file->program.imageSum = ByteSum(&file->program, sizeof(ProgramImage));
    {
        ParamGuard guard(ParamLock);
        AdoptProgram(&file->program);
        if (online) {
            Send(kCmdWriteProgram, 0);
        }
    }
    Refresh();
    return Result(online ? ModeResult::kQueued : ModeResult::kDone);
}

ModeResult CDeviceModes::ExportAllPrograms(const std::string& path) {
    if (online) {
        ParamGuard guard(ParamLock);
        Send(kCmdReadProgram, 1);
        return Result(ModeResult::kQueued);
    }
    {
        ParamGuard guard(ParamLock);
        if (ProgramBank.bankValid == 0) {
            return Result(ModeResult::kRefused, Tr(kNoBank));
        }
        AtomicCopy(&ProgramBank.BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
    }
    return WriteAllPrograms(path);
}

void CDeviceModes::OnModesReceived() {
    ParamGuard guard(ParamLock);
    AtomicCopy(&ProgramBank.BankSystemBlock, &ParameterSet.system, sizeof(SystemImage));
    ProgramBank.bankValid = 1;
}

ModeResult CDeviceModes::WriteAllPrograms(const std::string& path) {
    if (ProgramBank.bankValid == 0) {
        return Result(ModeResult::kRefused, Tr(kNoBank));
    }
    auto bank = std::make_unique<BankImage>();
    AtomicCopy(bank.get(), &ProgramBank, sizeof(BankImage));
    return FromFile(CProgramFile::WriteBank(CProgramFile::BankFilePath(path), *bank));
}

namespace {

// Each program with the bank's system block, brought into range as it would stand recalled.
void ClampBank(BankImage& bank) {
    auto image = std::make_unique<ParamImage>();
    AtomicCopy(&image->system, &bank.BankSystemBlock, sizeof(SystemImage));
    ClampToRanges(*image, true);
    AtomicCopy(&bank.BankSystemBlock, &image->system, sizeof(SystemImage));
    for (ProgramImage& program : bank.programs) {
        AtomicCopy(&image->program, &program, sizeof(ProgramImage));
        if (ClampToRanges(*image, false) > 0) {
            image->program.imageSum = ByteSum(&image->program, sizeof(ProgramImage));
            AtomicCopy(&program, &image->program, sizeof(ProgramImage));
        }
    }
}

}  // namespace

ModeResult CDeviceModes::ImportAllPrograms(const std::string& path, bool keepPasswords) {
    if (!CProgramFile::IsBankFilePath(path)) {
        return Result(ModeResult::kIgnored, path + " is not an all-programs file (.dat)");
    }
    if (online && storePermission == 0) {
        return Result(ModeResult::kRefused, Tr(kNoPermission));
    }
    auto bank = std::make_unique<BankImage>();
    const FileResult read = CProgramFile::ReadBank(path, *bank);
    if (!read.ok) {
        return FromFile(read);
    }
    if (m_clamp) {
        ClampBank(*bank);
    }
    {
        ParamGuard guard(ParamLock);
        if (keepPasswords) {
            SystemBlock& from = bank->BankSystemBlock.block;
            const SystemBlock& now = ParameterSet.system.block;
            AtomicCopy(from.systemPassword, now.systemPassword, sizeof from.systemPassword);
            AtomicCopy(from.panelPassword, now.panelPassword, sizeof from.panelPassword);
        }
        AtomicCopy(&ProgramBank, bank.get(), sizeof(BankImage));
        ProgramBank.bankValid = 1;
        AdoptSystem(&ProgramBank.BankSystemBlock);
        const int program = BankProgramFor(ProgramBank.BankSystemBlock.block.currentProgram);
        AdoptProgram(&ProgramBank.programs[program - 1]);
        if (online) {
            Send(kCmdWriteProgram, 1);
            Send(kCmdWriteSystem, 1);
            if (m_hooks.startQueueProgress) {
                m_hooks.startQueueProgress();
            }
        }
    }
    Refresh();
    return Result(online ? ModeResult::kQueued : ModeResult::kDone);
}

}  // namespace qx
