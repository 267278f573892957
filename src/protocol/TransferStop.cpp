#include "TransferStop.h"

#include "CommProtocol.h"
#include "DeviceModes.h"
#include "FrameRecord.h"
#include "TextPair.h"

namespace qx {

namespace {

constexpr TextPair kReadStopped{"已停止读取：没有保存任何内容，处理器没有改变。",
                                "Reading stopped: nothing was saved and the processor was not "
                                "changed."};
constexpr TextPair kWriteStopped{"已停止写入。", "Writing stopped."};
constexpr TextPair kNewContents{"程序 %1 已是新的内容。", "Programs %1 now hold the new contents."};
constexpr TextPair kNoneWritten{"没有改变任何程序。", "No program was changed."};
constexpr TextPair kKeptContents{"程序 %1 保留原来的内容。",
                                 "Programs %1 keep their earlier contents."};
constexpr TextPair kSystemKept{"系统设置和密码没有改变。",
                               "The system settings and passwords were not changed."};
constexpr TextPair kSystemWritten{"系统设置已写入。", "The system settings were written."};
constexpr TextPair kLevelled{"编辑器已读回处理器当前的程序。",
                             "The editor has read back the processor's current program."};

}  // namespace

TransferKind TransferKindOf(const FrameRecord& frame) {
    const uint8_t command = frame.bytes[4];
    const uint8_t argument = frame.bytes[5];
    if (command == kCmdReadProgram && argument >= 1 && argument <= kProgramCount) {
        return TransferKind::kBankRead;
    }
    if ((command == kCmdWriteProgram && argument >= 1 && argument <= kProgramCount) ||
        command == kCmdWriteSystem) {
        return TransferKind::kBankWrite;
    }
    return TransferKind::kNone;
}

std::string ProgramRanges(const std::vector<int>& programs) {
    std::string text;
    std::size_t i = 0;
    while (i < programs.size()) {
        // A run of consecutive programs, broken where the numbered ones give way to F1..F5.
        std::size_t j = i;
        while (j + 1 < programs.size() && programs[j + 1] == programs[j] + 1 &&
               programs[j] != kStorablePrograms) {
            ++j;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += CDeviceModes::ProgramLabel(programs[i]);
        if (j > i) {
            text += "-" + CDeviceModes::ProgramLabel(programs[j]);
        }
        i = j + 1;
    }
    return text;
}

std::string TransferStopText(const TransferStop& stop) {
    if (!stop.Stopped()) {
        return {};
    }
    if (stop.kind == TransferKind::kBankRead) {
        return Tr(kReadStopped);
    }
    std::string text = Tr(kWriteStopped);
    text += "\n" +
            (stop.done.empty() ? Tr(kNoneWritten) : Tr(kNewContents, {ProgramRanges(stop.done)}));
    if (!stop.dropped.empty()) {
        text += "\n" + Tr(kKeptContents, {ProgramRanges(stop.dropped)});
    }
    text += "\n" + Tr(stop.systemDropped ? kSystemKept : kSystemWritten);
    text += "\n" + Tr(kLevelled);
    return text;
}

}  // namespace qx
