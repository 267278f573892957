#include "EqImportReport.h"

#include <cstdio>

#include "TextPair.h"

namespace qx {

namespace {

// "line 3: " before a problem of a line; nothing before one of the whole text.
std::string Where(const TextProblem& p) {
    return p.line > 0 ? Tr({"第 %1 行：", "line %1: "}, {std::to_string(p.line)}) : std::string();
}

}  // namespace

std::string ImportRefusalText(const EqImportPlan& plan) {
    std::string report;
    for (const TextProblem& e : plan.errors) {
        report += Where(e) + e.message + "\n";
    }
    return report + Tr({"未做任何更改。", "Nothing was changed."});
}

std::string ImportSummaryText(const EqImportPlan& plan) {
    std::string report;
    for (const EqImportStep& s : plan.steps) {
        report += CEqTextImport::Describe(s) + "\n";
    }
    for (const TextProblem& n : plan.notes) {
        report += Tr({"注意：", "note: "}) + Where(n) + n.message + "\n";
    }
    char deviation[96];
    std::snprintf(deviation, sizeof deviation, "%.2f dB @ %.0f Hz", plan.maxDeviationDb,
                  plan.deviationHz);
    return report +
           Tr({"与文本响应的最大偏差：%1", "Largest deviation from the text's response: %1"},
              {deviation});
}

}  // namespace qx
