#include "CurveCommand.h"

#include <cstdio>
#include <memory>
#include <ostream>

#include "CurveSets.h"
#include "DeviceModes.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace qx {

int CCurveCommand::Run(CQxctl& cli, const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        return cli.Fail("curve",
                        Tr({"需要一个 FILE.dia（见 qxctl curve --help）",
                            "expected one FILE.dia (see qxctl curve --help)"}),
                        2);
    }
    int eq = 0;
    if (!a.Has("--eq")) {
        return cli.Fail("curve",
                        Tr({"需要 --eq N，N 为 0..17（见 qxctl curve --help）",
                            "--eq N is needed, N from 0 to 17 (see qxctl curve --help)"}),
                        2);
    }
    if (!CCommandArgs::ParseInt(a.Value("--eq"), 0, kEqNumberCount - 1, eq)) {
        return cli.Fail("curve",
                        Tr({"--eq %1 超出范围 0..17（见 qxctl curve --help）",
                            "--eq %1 is out of range 0..17 (see qxctl curve --help)"},
                           {a.Value("--eq")}),
                        2);
    }
    int scene = 0;
    if (a.Has("--scene") && !CCommandArgs::ParseInt(a.Value("--scene"), 1, kSceneCount, scene)) {
        return cli.Fail("curve",
                        Tr({"--scene 为 1（Sing）、2（Disco）或 3（Decode）",
                            "--scene is 1 (Sing), 2 (Disco) or 3 (Decode)"}),
                        2);
    }
    auto image = std::make_unique<ParamImage>();
    const FileResult r = CProgramFile::ReadProgram(a.Positional()[0], *image);
    if (!r.ok) {
        return cli.Fail("curve", r.error);
    }
    const auto points = EqTotalResponse(*image, eq, scene);
    if (points.empty()) {
        return cli.Fail(
            "curve", Tr({"均衡器 %1 没有曲线", "equaliser %1 has no curve"}, {std::to_string(eq)}));
    }
    std::ostream& out = cli.Out();
    out << "frequency,dB\n";
    for (const auto& [hz, db] : points) {
        char line[64];
        std::snprintf(line, sizeof line, "%.2f,%.4f\n", hz, db);
        out << line;
    }
    return 0;
}

}  // namespace qx
