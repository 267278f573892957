// The one Qt application of a test program, made before the first test runs and deleted after
// the last (the QT_APP option of qx_test_suite). QX_TEST_APP names the kind: 1 Core (posted
// events and the worker's calls travel through its queue), 2 Gui (fonts), 3 Widgets.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#if QX_TEST_APP >= 2
#include <QGuiApplication>
#endif
#if QX_TEST_APP >= 3
#include <QApplication>

#include "FontStatic.h"
#endif

namespace {

#if QX_TEST_APP == 3
using Application = QApplication;
#elif QX_TEST_APP == 2
using Application = QGuiApplication;
#else
using Application = QCoreApplication;
#endif

class QtTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "qx_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<Application>(argc, argv);
#if QX_TEST_APP >= 3
        // A font failure must not open a modal message box in a test.
        qx::CFontStatic::SetFailureReporter([](const QString&){});
#endif
    }
    void TearDown() override {
        m_app.reset();
    }

  private:
    std::unique_ptr<Application> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace

// Qt's own locks are invisible to ThreadSanitizer (the library is not instrumented), so hand
// offs through Qt's event queue, and Qt Gui's own threads (images freed by its workers), look
// like races inside Qt; those reports are not ours.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n"
           "called_from_lib:libQt6SerialPort.so.6\n"
           "called_from_lib:libglib-2.0.so.0\n"
           "race:QObject::moveToThread\n";
}
