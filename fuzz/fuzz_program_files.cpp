// Program and all-programs files of any length and content, imported offline the way the
// System page's "Import" and "Import all" do. A refused file leaves the editor's images as they
// were; a taken one is adopted whole, so nothing differs from the sent copy afterwards and the
// current program is one of the bank's 21.

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

bool ImageAdopted() {
    return AtomicEqual(&ParameterSet, &SentImage, sizeof(ParamImage));
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
    const ModeResult program = modes.ImportProgram(path);
    if (program.status == ModeResult::kFailed) {
        QX_FUZZ_CHECK(!program.message.empty());
        QX_FUZZ_CHECK(before->Unchanged());
    } else {
        QX_FUZZ_CHECK(program.status == ModeResult::kDone);
        QX_FUZZ_CHECK(size == sizeof(ParamImage));
        QX_FUZZ_CHECK(ImageAdopted());
        // The file's system block is discarded.
        QX_FUZZ_CHECK(
            AtomicEqual(&ParameterSet.system, &before->edited.system, sizeof(SystemImage)));
    }

    before->Take();
    const ModeResult bank = modes.ImportAllPrograms(path);
    if (bank.status == ModeResult::kFailed) {
        QX_FUZZ_CHECK(!bank.message.empty());
        QX_FUZZ_CHECK(before->Unchanged());
    } else {
        QX_FUZZ_CHECK(bank.status == ModeResult::kDone);
        QX_FUZZ_CHECK(size == sizeof(BankImage));
        QX_FUZZ_CHECK(ProgramBank.bankValid == 1);
        QX_FUZZ_CHECK(ImageAdopted());
        const int current = CDeviceModes::BankProgramFor(ParameterSet.system.block.currentProgram);
        QX_FUZZ_CHECK(current >= 1 && current <= kProgramCount);
        QX_FUZZ_CHECK(AtomicEqual(&ParameterSet.program, &ProgramBank.programs[current - 1],
                                  sizeof(ProgramImage)));
    }
    return 0;
}
