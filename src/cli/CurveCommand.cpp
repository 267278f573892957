#include "CurveCommand.h"

#include <cstdio>
#include <memory>
#include <ostream>

#include "CurveSets.h"
#include "DeviceModes.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "Qxctl.h"

namespace qx {

int CCurveCommand::Run(CQxctl& cli, const CCommandArgs& a) {
    if (a.Positional().size() != 1) {
        return cli.Fail("curve", "expected one FILE.dia (see qxctl curve --help)", 2);
    }
    int eq = 0;
    if (!a.Has("--eq") || !CCommandArgs::ParseInt(a.Value("--eq"), 0, kEqNumberCount - 1, eq)) {
        return cli.Fail("curve", "--eq N is needed, N from 0 to 17 (see qxctl curve --help)", 2);
    }
    int scene = 0;
    if (a.Has("--scene") && !CCommandArgs::ParseInt(a.Value("--scene"), 1, kSceneCount, scene)) {
        return cli.Fail("curve", "--scene is 1 (Sing), 2 (Disco) or 3 (Decode)", 2);
    }
    auto image = std::make_unique<ParamImage>();
    const FileResult r = CProgramFile::ReadProgram(a.Positional()[0], *image);
    if (!r.ok) {
        return cli.Fail("curve", r.error);
    }
    const auto points = EqTotalResponse(*image, eq, scene);
    if (points.empty()) {
        return cli.Fail("curve", "equaliser " + std::to_string(eq) + " has no curve");
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
