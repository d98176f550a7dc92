// The one QApplication of a widget test executable, created on first use.
#pragma once
#include <QApplication>

namespace test_support {

// Never destroyed: tearing Qt down among the exit handlers crashes.
inline QApplication& application() {
    static int argc = 1;
    static char name[] = "kantelo-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

} // namespace test_support
