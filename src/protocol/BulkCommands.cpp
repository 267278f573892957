// The bulk commands: probe, reads, whole-program and bank writes, recall, store, passwords.

#include <cstring>

#include "CommProtocol.h"
#include "LinkState.h"
#include "ParameterSet.h"

namespace qx {

namespace {

// One frame: count, command and data bytes; the trailer and checksum come after.
class FrameBuilder {
  public:
    FrameBuilder(uint8_t command, int dataBytes) : m_frame(std::make_unique<CSendData>()) {
        FrameRecord& r = m_frame->Record();
        r.SetCount(dataBytes + 2);
        r.bytes[4] = command;
    }
    FrameBuilder& Byte(uint8_t b) {
        m_frame->Record().bytes[m_pos++] = b;
        return *this;
    }
    // Bytes of the image, read with atomic loads (the UI thread may be storing a field).
    FrameBuilder& Bytes(const void* src, int n) {
        AtomicCopy(m_frame->Record().bytes + m_pos, src, static_cast<std::size_t>(n));
        m_pos += n;
        return *this;
    }
    FrameRecord& Record() { return m_frame->Record(); }
    std::unique_ptr<CSendData> Finish() {
        FinishFrame(m_frame->Record());
        return std::move(m_frame);
    }

  private:
    std::unique_ptr<CSendData> m_frame;
    int m_pos = 5;
};

}  // namespace

bool CCommProtocol::QueueCommand(uint8_t command, uint8_t argument) {
    ParamGuard guard(ParamLock);
    ProgramImage& current = ParameterSet.program;
    SystemBlock& system = ParameterSet.system.block;

    switch (command) {
        case kCmdProbe: {
            FrameBuilder f(command, 1);
            f.Byte(0);
            f.Record().notifyOnFailure = 1;
            AddFrame(f.Finish());
            break;
        }
        case kCmdReadName:
            for (int i = 0; i < kNameFrames; ++i) {
                FrameBuilder f(command, 1);
                f.Byte(static_cast<uint8_t>(i));
                AddFrame(f.Finish());
            }
            break;
        case kCmdReadSystem: {
            FrameBuilder f(command, 1);
            f.Byte(0);
            AddFrame(f.Finish());
            break;
        }
        case kCmdReadProgram:
            if (argument == 0) {
                FrameBuilder f(command, 1);
                f.Byte(0);
                AddFrame(f.Finish());
            } else {
                for (int i = 1; i <= kProgramCount; ++i) {
                    FrameBuilder f(command, 1);
                    f.Byte(static_cast<uint8_t>(i));
                    f.Record().slowReply = 1;
                    AddFrame(f.Finish());
                }
            }
            break;
        case kCmdWriteSystem: {
            FrameBuilder f(command, 1 + static_cast<int>(sizeof(SystemImage)));
            f.Byte(argument).Bytes(&ProgramBank.BankSystemBlock, sizeof(SystemImage));
            f.Record().storeDelay = 1;
            AddFrame(f.Finish());
            break;
        }
        case kCmdWriteProgram:
            if (argument == 0) {
                FrameBuilder f(command, 1 + static_cast<int>(sizeof(ProgramImage)));
                f.Byte(0).Bytes(&current, sizeof(ProgramImage));
                f.Record().storeDelay = 1;
                f.Record().clearsBusy = 1;
                deviceBusy = true;
                AddFrame(f.Finish());
            } else {
                for (int i = 0; i < kProgramCount; ++i) {
                    FrameBuilder f(command, 1 + static_cast<int>(sizeof(ProgramImage)));
                    f.Byte(static_cast<uint8_t>(i + 1))
                        .Bytes(&ProgramBank.programs[i], sizeof(ProgramImage));
                    f.Record().slowReply = 1;
                    AddFrame(f.Finish());
                }
            }
            break;
        case kCmdRecall: {
            FrameBuilder f(command, 1);
            f.Byte(argument);
            if (argument != 0) {
                f.Record().clearsBusy = 1;
                f.Record().storeDelay = 1;
                deviceBusy = true;
            }
            AddFrame(f.Finish());
            break;
        }
        case kCmdStore: {
            // Program numbers beyond the bank take the current program's name rather than
            // reading past the 21 stored programs.
            const U8* name = (argument >= 1 && argument <= kProgramCount)
                                 ? ProgramBank.programs[argument - 1].name
                                 : current.name;
            FrameBuilder f(command, 1 + kNameLength);
            f.Byte(argument).Bytes(name, kNameLength);
            if (argument != 0) {
                f.Record().clearsBusy = 1;
                deviceBusy = true;
            }
            AddFrame(f.Finish());
            break;
        }
        case kCmdSystemPassword: {
            FrameBuilder f(command, 12);
            f.Bytes(system.systemPassword, 6).Bytes(PasswordScratch.newSystem, 6);
            AddFrame(f.Finish());
            AtomicCopy(system.systemPassword, PasswordScratch.newSystem, 6);
            break;
        }
        case kCmdPanelPassword: {
            FrameBuilder f(command, 8);
            f.Bytes(system.panelPassword, 4).Bytes(PasswordScratch.newPanel, 4);
            AddFrame(f.Finish());
            AtomicCopy(system.panelPassword, PasswordScratch.newPanel, 4);
            break;
        }
        default:
            break;
    }
    return true;
}

}  // namespace qx
