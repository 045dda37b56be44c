#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

// Measuring and drawing text needs the font database of a GUI application; the tests run
// it on the offscreen platform.
class TGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "report_tests";
        static char* argv[] = { name, nullptr };
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fApp = new QGuiApplication(argc, argv);
    }
    void TearDown() override
    {
        delete fApp;
        fApp = nullptr;
    }

private:
    QGuiApplication* fApp = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace
