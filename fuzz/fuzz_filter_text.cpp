// Filter text from room-measurement programs, of any content, planned onto any equaliser.
// The first input byte chooses the equaliser and the scene, the rest is the text. Every
// problem names a line of the text, planning only reads the program, every step's codes are
// codes the equaliser can hold, and a plan with errors writes nothing.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "EqTextImport.h"
#include "FilterTextReader.h"
#include "FuzzCheck.h"
#include "ParameterSet.h"

using namespace qx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool reset = [] {
        ResetParameters();
        return true;
    }();
    (void)reset;
    if (size < 1) {
        return 0;
    }
    const int eqNumber = data[0] % kEqNumberCount;
    const int scene = 1 + (data[0] / kEqNumberCount) % 3;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    const FilterText read = CFilterTextReader::Read(text);
    int lines = 1;
    for (char c : text) {
        lines += c == '\n' || c == '\r' ? 1 : 0;
    }
    for (const TextProblem& p : read.problems) {
        QX_FUZZ_CHECK(p.line >= 0 && p.line <= lines);
        QX_FUZZ_CHECK(!p.message.empty());
    }

    auto image = std::make_unique<ProgramImage>();
    std::memcpy(image.get(), &ParameterSet.program, sizeof(ProgramImage));
    auto before = std::make_unique<ProgramImage>();
    std::memcpy(before.get(), image.get(), sizeof(ProgramImage));

    const EqImportPlan plan = CEqTextImport::Plan(read, *image, eqNumber, scene);
    QX_FUZZ_CHECK(std::memcmp(image.get(), before.get(), sizeof(ProgramImage)) == 0);
    for (const EqImportStep& step : plan.steps) {
        if (step.target == EqImportStep::Target::Band) {
            QX_FUZZ_CHECK(step.band >= 0 && step.band < plan.bandCount);
        }
        QX_FUZZ_CHECK(step.freqCode >= 0 && step.freqCode <= 361);
        QX_FUZZ_CHECK(step.gainCode >= 0 && step.gainCode <= 240);
        QX_FUZZ_CHECK(step.qCode >= 0 && step.qCode <= 100);
        (void)CEqTextImport::Describe(step);
    }
    const bool applied = CEqTextImport::Apply(plan, *image);
    QX_FUZZ_CHECK(applied == plan.Ok());
    if (!applied) {
        QX_FUZZ_CHECK(std::memcmp(image.get(), before.get(), sizeof(ProgramImage)) == 0);
    }
    return 0;
}
