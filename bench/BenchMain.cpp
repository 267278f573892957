// The one main of the benchmark programs: the Qt application the widget benchmarks need
// (off-screen unless the caller chose a platform), the editor's curve sets, page state and a
// fresh image the image model starts from, then every benchmark the command line selects.

#include <benchmark/benchmark.h>

#include <QApplication>

#include "CurveSets.h"
#include "ImageModel.h"
#include "PageGlobals.h"
#include "ParameterSet.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    qx::InstallCurveSets();
    qx::ResetParameters();
    qx::ResetPageGlobals();
    qx::CImageModel::Editor().Resynchronise();  // the model starts from the fresh image
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
