#pragma once

// The shell tests need a Qt application object (events, widgets, icons). gtest_main owns main(),
// so the object is made on first use and lives as long as the program.

#include "ProcessEvents.h"
#include "ShellTreeNode.h"

#include <QApplication>
#include <QByteArray>

#include <string>
#include <vector>

namespace tarvo::test
{

inline void EnsureShellApp()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Tests run without a display; ctest sets this too, a direct run of the binary may not.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static int argc = 1;
    static char name[] = "tarvo_shell_tests";
    static char* argv[] = { name, nullptr };
    // Never destroyed: at exit Qt's own statics may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    static_cast<void>(app);
}

// Handles everything posted, including what handling posts, until nothing is left.
inline void DrainEvents()
{
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The texts of a node's children, in order.
inline std::vector<std::string> ChildTexts(const TShellTreeNode& node)
{
    std::vector<std::string> texts;
    for (int i = 0; i < node.Count(); ++i)
        texts.push_back(node.Item(i)->text.toStdString());
    return texts;
}

} // namespace tarvo::test
