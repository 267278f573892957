// Program and all-programs files of any length and content, imported offline the way the
// System page's "Import" and "Import all" do. A refused file leaves the editor's images as they
// were; a taken one leaves its program counted as sent (an all-programs file its system block
// too), and the current program is one of the bank's 21.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ByteField.h"
#include "DeviceModes.h"
#include "FuzzCheck.h"
#include "LinkState.h"
#include "ParameterSet.h"

using namespace qx;

namespace {

struct Images {
    ParamImage edited;
    ParamImage sent;
    BankImage bank;

    // One thread only here, so plain copies do.
    void Take() {
        std::memcpy(&edited, &ParameterSet, sizeof edited);
        std::memcpy(&sent, &SentImage, sizeof sent);
        std::memcpy(&bank, &ProgramBank, sizeof bank);
    }
    bool Unchanged() const {
        return std::memcmp(&edited, &ParameterSet, sizeof edited) == 0 &&
               std::memcmp(&sent, &SentImage, sizeof sent) == 0 &&
               std::memcmp(&bank, &ProgramBank, sizeof bank) == 0;
    }
};

// The input as a file on disk; a name holding ".dat" so "Import all" takes it.
std::string WriteInput(const uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char folder[] = "/tmp/qx-fuzz-files-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            std::abort();
        }
        return std::string(folder) + "/input.dat";
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    QX_FUZZ_CHECK(f != nullptr);
    QX_FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    QX_FUZZ_CHECK(std::fclose(f) == 0);
    return path;
}

// A refused import says why and changes nothing; a taken one was a file of the format's size
// and left its program counted as sent. True when the import was taken.
bool CheckOutcome(const ModeResult& result, std::size_t size, std::size_t formatSize,
                  const Images& before) {
    if (result.status == ModeResult::kFailed) {
        QX_FUZZ_CHECK(!result.message.empty());
        QX_FUZZ_CHECK(before.Unchanged());
        return false;
    }
    QX_FUZZ_CHECK(result.status == ModeResult::kDone);
    QX_FUZZ_CHECK(size == formatSize);
    QX_FUZZ_CHECK(AtomicEqual(&ParameterSet.program, &SentImage.program, sizeof(ProgramImage)));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool reset = [] {
        ResetParameters();
        return true;
    }();
    (void)reset;
    online = false;
    const std::string path = WriteInput(data, size);
    CDeviceModes modes;
    static auto before = std::make_unique<Images>();

    before->Take();
    if (CheckOutcome(modes.ImportProgram(path), size, sizeof(ParamImage), *before)) {
        // The file's system block is discarded.
        QX_FUZZ_CHECK(
            AtomicEqual(&ParameterSet.system, &before->edited.system, sizeof(SystemImage)));
    }

    before->Take();
    if (CheckOutcome(modes.ImportAllPrograms(path), size, sizeof(BankImage), *before)) {
        QX_FUZZ_CHECK(ProgramBank.bankValid == 1);
        QX_FUZZ_CHECK(AtomicEqual(&ParameterSet.system, &SentImage.system, sizeof(SystemImage)));
        const int current = CDeviceModes::BankProgramFor(ParameterSet.system.block.currentProgram);
        QX_FUZZ_CHECK(current >= 1 && current <= kProgramCount);
        QX_FUZZ_CHECK(AtomicEqual(&ParameterSet.program, &ProgramBank.programs[current - 1],
                                  sizeof(ProgramImage)));
    }
    return 0;
}
