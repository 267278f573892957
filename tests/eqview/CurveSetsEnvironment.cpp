// The editor's curve sets and a fresh image for the whole test program, made before the first
// test runs (the Qt application comes from the suite's QT_APP environment).

#include <gtest/gtest.h>

#include "CurveSets.h"
#include "ParameterSet.h"

namespace {

class CurveSetsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        qx::InstallCurveSets();
        qx::ResetParameters();
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CurveSetsEnvironment);

}  // namespace
