#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// The one application object the widget tests of a program share. It is destroyed when
// the tests end, while Qt's own globals still exist.
class TWidgetTestEnvironment : public ::testing::Environment {
public:
    QApplication& App()
    {
        if (!fApp)
            fApp = std::make_unique<QApplication>(fArgc, fArgv);
        return *fApp;
    }
    void TearDown() override { fApp.reset(); }

private:
    int fArgc = 1;
    char fName[14] = "settings_test";
    char* fArgv[2] = { fName, nullptr };
    std::unique_ptr<QApplication> fApp;
};

inline TWidgetTestEnvironment* const gWidgetTestEnvironment = static_cast<TWidgetTestEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new TWidgetTestEnvironment));

inline QApplication& WidgetTestApp() { return gWidgetTestEnvironment->App(); }
