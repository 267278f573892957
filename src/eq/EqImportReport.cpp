#include "EqImportReport.h"

#include <cstdio>

#include "TextPair.h"

namespace qx {

std::string LinePrefix(int line) {
    return line > 0 ? Tr({"第 %1 行：", "line %1: "}, {std::to_string(line)}) : std::string();
}

std::string NoteLine(const TextProblem& note) {
    return Tr({"注意：", "note: "}) + LinePrefix(note.line) + note.message;
}

std::string ImportRefusalText(const EqImportPlan& plan) {
    std::string report;
    for (const TextProblem& e : plan.errors) {
        report += LinePrefix(e.line) + e.message + "\n";
    }
    return report + Tr({"未做任何更改。", "Nothing was changed."});
}

std::string ImportSummaryText(const EqImportPlan& plan) {
    std::string report;
    for (const EqImportStep& s : plan.steps) {
        report += CEqTextImport::Describe(s) + "\n";
    }
    for (const TextProblem& n : plan.notes) {
        report += NoteLine(n) + "\n";
    }
    char deviation[96];
    std::snprintf(deviation, sizeof deviation, "%.2f dB @ %.0f Hz", plan.maxDeviationDb,
                  plan.deviationHz);
    return report +
           Tr({"与文本响应的最大偏差：%1", "Largest deviation from the text's response: %1"},
              {deviation});
}

}  // namespace qx
