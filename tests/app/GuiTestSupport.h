#pragma once

#include "ProcessEvents.h"
#include "TarvoApplication.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QString>
#include <QWidget>

#include <chrono>
#include <functional>

#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace tarvo::test
{

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

// A left click in the middle of the widget, delivered straight to it (no window activation
// needed, unlike QTest's clicks on some platforms).
inline void Click(QWidget& widget)
{
    const QPointF centre = QRectF(widget.rect()).center();
    const QPointF global = widget.mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

// While it lives, allocations are not reported as leaks. For events whose handler throws on
// purpose: Qt's widget code that the exception unwinds through skips its own clean-up (a copied
// mouse event, a guarded pointer), which is Qt's memory, not the program's.
class ExpectedQtLeaks
{
public:
#if defined(__SANITIZE_ADDRESS__)
    ExpectedQtLeaks() { __lsan_disable(); }
    ~ExpectedQtLeaks() { __lsan_enable(); }
#else
    // Not defaulted: a guard that does nothing still must not count as an unused variable.
    ExpectedQtLeaks() { }
    ~ExpectedQtLeaks() { }
#endif
    ExpectedQtLeaks(const ExpectedQtLeaks&) = delete;
    ExpectedQtLeaks& operator=(const ExpectedQtLeaks&) = delete;
};

} // namespace tarvo::test
