#pragma once

// Waiting on the event loop in widget tests (header only: the support library itself has no Qt).

#include <QCoreApplication>

#include <chrono>
#include <functional>

namespace tarvo::test
{

// Runs the event loop until done() holds; false when it still does not after a generous
// deadline (meant for waiting, never for timing).
inline bool ProcessEventsUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace tarvo::test
