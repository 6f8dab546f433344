#pragma once

#include "TarvoApplication.h"

#include <QString>

#include <memory>
#include <vector>

namespace tarvo::test {

// Messages the application would have shown in a message box, oldest first.
inline std::vector<QString>& ShownMessages()
{
    static std::vector<QString> messages;
    return messages;
}

// The one application object of a widget test binary (offscreen platform), made on first use.
// Messages of exceptions that escape event handlers are collected instead of shown.
inline TarvoApplication& EnsureApp()
{
    static int argc = 1;
    static char name[] = "tarvo-tests";
    static char* argv[] = { name, nullptr };
    static TarvoApplication* app = [] {
        auto* created = new TarvoApplication(argc, argv);
        TarvoApplication::SetExceptionSink([](const QString& message) { ShownMessages().push_back(message); });
        return created;
    }();
    return *app;
}

} // namespace tarvo::test
