#pragma once

// Widget tests need a Qt application object (widgets, fonts, palettes, grabs). gtest_main owns
// main(), so the object is made on first use and lives as long as the program.

#include <QApplication>
#include <QByteArray>

namespace tarvo::test
{

inline void EnsureQtTestApp()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Tests run without a display; ctest sets this too, a direct run of the binary may not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "tarvo-tests";
    static char* argv[] = { name, nullptr };
    // Never destroyed: at exit Qt's own statics may already be gone, and tearing the application
    // down after them crashes. The object stays reachable, so it is no leak.
    static QApplication* app = new QApplication(argc, argv);
    static_cast<void>(app);
}

} // namespace tarvo::test
