// The session suite runs a Qt application: the link's signals travel through its event queue.

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "qx_session_tests";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
    }
    void TearDown() override {
        delete app;
        app = nullptr;
    }
    QCoreApplication* app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const env =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

// Qt's own locks are invisible to ThreadSanitizer (the library is not instrumented), so hand
// offs through Qt's event queue look like races inside Qt; those reports are not ours.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6SerialPort.so.6\n"
           "race:QObject::moveToThread\n";
}
