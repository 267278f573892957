// One QApplication for the whole test program, made before the first test runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "FontStatic.h"

namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "qx_shell_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        // A font failure must not open a modal message box in a test.
        qx::CFontStatic::SetFailureReporter([](const QString&) {});
    }
    void TearDown() override { m_app.reset(); }

  private:
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
